// Building WAVE file images chunk by chunk for the sound tests.
#pragma once
#include "sound/wave_reader.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tundrix::test {

// Appends x as `bytes` little-endian bytes.
inline void putLE(std::vector<uint8_t>& v, uint32_t x, int bytes) {
    for (int i = 0; i < bytes; ++i)
        v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

// One chunk: id, the given length (the body's by default), the body and a pad byte if it is odd.
inline std::vector<uint8_t> chunk(const std::string& id, const std::vector<uint8_t>& body,
                                  int64_t length = -1) {
    std::vector<uint8_t> c(id.begin(), id.end());
    putLE(c, static_cast<uint32_t>(length < 0 ? static_cast<int64_t>(body.size()) : length), 4);
    c.insert(c.end(), body.begin(), body.end());
    if (body.size() % 2 != 0) c.push_back(0);
    return c;
}

// A "fmt " body of n bytes (14, 16 or more) for 8-bit PCM at the given rate, mono unless told.
inline std::vector<uint8_t> formatBody(uint32_t rate = 8000, size_t n = 16, uint32_t channels = 1) {
    std::vector<uint8_t> f;
    for (auto [value, bytes] :
         {std::pair<uint32_t, int>{1, 2}, {channels, 2}, {rate, 4}, {rate, 4}, {1, 2}, {8, 2}})
        putLE(f, value, bytes);
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
    putLE(v, static_cast<uint32_t>(riffLength < 0 ? static_cast<int64_t>(body.size()) : riffLength), 4);
    v.insert(v.end(), body.begin(), body.end());
    return v;
}

// Mono 8-bit 8000 Hz square wave of the given length: loud enough to find in a mixed stream.
inline std::vector<uint8_t> squareWave(uint32_t ms) {
    std::vector<uint8_t> s(static_cast<size_t>(ms) * 8);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = (i / 40) % 2 == 0 ? 0xE0 : 0x20;
    return s;
}

// A WAVE file image of mono 8-bit samples at 8000 per second.
inline std::vector<uint8_t> monoWave(const std::vector<uint8_t>& samples) {
    return writeWave(PcmFormat{}, samples);
}

} // namespace tundrix::test
