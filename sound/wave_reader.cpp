// RIFF/WAVE chunk walk: header check, "fmt " and "data" in either order, odd chunks padded.
#include "sound/wave_reader.h"

#include <cstring>

namespace tundrix {

namespace {

uint32_t le32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

void put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
void put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void putId(std::vector<uint8_t>& v, const char* id) {
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<uint8_t>(id[i]));
}

} // namespace

bool readWave(std::span<const uint8_t> bytes, WaveData& out) {
    out = WaveData{};
    const size_t size = bytes.size();
    const uint8_t* b = bytes.data();
    if (size < 12 || std::memcmp(b, "RIFF", 4) != 0 || std::memcmp(b + 8, "WAVE", 4) != 0) return false;
    // The walk ends at the RIFF length or at the bytes actually present, whichever comes first.
    const uint64_t riffEnd = 8 + static_cast<uint64_t>(le32(b + 4));
    const uint64_t end = riffEnd < size ? riffEnd : size;

    bool haveFormat = false;
    bool haveData = false;
    uint64_t at = 12;
    while (at < end && at + 8 <= size) {
        const uint8_t* chunk = b + at;
        const uint32_t length = le32(chunk + 4);
        const uint64_t bodyStart = at + 8;
        const uint64_t present = size - bodyStart;
        const size_t available = static_cast<size_t>(length < present ? length : present);
        if (!haveFormat && std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 14 || available < 14) {
                out = WaveData{};
                return false;
            }
            const uint8_t* f = chunk + 8;
            PcmFormat& format = out.format;
            format.formatTag = le16(f);
            format.channels = le16(f + 2);
            format.samplesPerSec = le32(f + 4);
            format.avgBytesPerSec = le32(f + 8);
            format.blockAlign = le16(f + 12);
            if (available >= 16) {
                format.bitsPerSample = le16(f + 14);
            } else {
                // A bare 14-byte format record: the sample size follows from the block size.
                format.bitsPerSample =
                    format.channels != 0 ? static_cast<uint16_t>(format.blockAlign * 8 / format.channels) : 0;
            }
            haveFormat = true;
        } else if (!haveData && std::memcmp(chunk, "data", 4) == 0) {
            out.samples = bytes.subspan(static_cast<size_t>(bodyStart), available);
            haveData = true;
        }
        if (haveFormat && haveData) return true;
        at = bodyStart + ((static_cast<uint64_t>(length) + 1) & ~uint64_t{1});
    }
    out = WaveData{};
    return false;
}

std::vector<uint8_t> writeWave(const PcmFormat& format, std::span<const uint8_t> samples) {
    const uint32_t dataLength = static_cast<uint32_t>(samples.size());
    const uint32_t padded = (dataLength + 1) & ~uint32_t{1};
    std::vector<uint8_t> v;
    v.reserve(44 + padded);
    putId(v, "RIFF");
    put32(v, 4 + (8 + 16) + (8 + padded));
    putId(v, "WAVE");
    putId(v, "fmt ");
    put32(v, 16);
    put16(v, format.formatTag);
    put16(v, format.channels);
    put32(v, format.samplesPerSec);
    put32(v, format.avgBytesPerSec);
    put16(v, format.blockAlign);
    put16(v, format.bitsPerSample);
    putId(v, "data");
    put32(v, dataLength);
    v.insert(v.end(), samples.begin(), samples.end());
    if (padded != dataLength) v.push_back(0);
    return v;
}

} // namespace tundrix
