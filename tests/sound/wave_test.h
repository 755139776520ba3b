// Building WAVE file images chunk by chunk for the sound tests.
#pragma once
#include "sound/wave_reader.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tundrix::test {

inline void put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
inline void put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}

// One chunk: id, the given length (the body's by default), the body and a pad byte if it is odd.
inline std::vector<uint8_t> chunk(const std::string& id, const std::vector<uint8_t>& body,
                                  int64_t length = -1) {
    std::vector<uint8_t> c(id.begin(), id.end());
    put32(c, length < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(length));
    c.insert(c.end(), body.begin(), body.end());
    if (body.size() % 2 != 0) c.push_back(0);
    return c;
}

// A "fmt " body of n bytes (14, 16 or more) for mono 8-bit PCM at the given rate.
inline std::vector<uint8_t> formatBody(uint32_t rate = 8000, size_t n = 16) {
    std::vector<uint8_t> f;
    put16(f, 1);
    put16(f, 1);
    put32(f, rate);
    put32(f, rate);
    put16(f, 1);
    put16(f, 8);
    f.resize(n, 0);
    return f;
}

// RIFF header around chunks; riffLength overrides the computed length.
inline std::vector<uint8_t> riff(std::initializer_list<std::vector<uint8_t>> chunks,
                                 int64_t riffLength = -1) {
    std::vector<uint8_t> body{'W', 'A', 'V', 'E'};
    for (const auto& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    std::vector<uint8_t> v{'R', 'I', 'F', 'F'};
    put32(v, riffLength < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(riffLength));
    v.insert(v.end(), body.begin(), body.end());
    return v;
}

// Mono 8-bit 8000 Hz square wave of the given length: loud enough to find in a mixed stream.
inline std::vector<uint8_t> squareWave(uint32_t ms, int periodSamples = 80) {
    std::vector<uint8_t> s(static_cast<size_t>(ms) * 8);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = (i / (periodSamples / 2)) % 2 == 0 ? 0xE0 : 0x20;
    return s;
}

inline std::vector<uint8_t> monoWave(const std::vector<uint8_t>& samples) {
    PcmFormat f; // mono, 8-bit, 8000 per second
    return writeWave(f, samples);
}

} // namespace tundrix::test
