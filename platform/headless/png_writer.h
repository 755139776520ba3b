// Writes an 8-bit palette picture as an indexed-colour PNG file, so tests can leave screens to look at.
#pragma once
#include "platform/video.h"

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace tundrix::headless {

namespace png_detail {

inline void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 3; i >= 0; --i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Length, type, body, then the CRC-32 of type and body.
inline void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
    put32(out, static_cast<uint32_t>(body.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    uint32_t crc = ~0u;
    for (size_t i = typeAt; i < out.size(); ++i) {
        crc ^= out[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    put32(out, ~crc);
}

} // namespace png_detail

// Saves width x height palette indices, top row first, with the 256 colours; false when the file
// cannot be written. Rows must be shorter than 65535 pixels.
inline bool writePng(const std::string& path, const uint8_t* pixels, int width, int height,
                     std::span<const Rgb, 256> palette) {
    using namespace png_detail;
    std::vector<uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, header, colours;
    put32(header, static_cast<uint32_t>(width));
    put32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 3, 0, 0, 0}); // 8-bit indexed colour, no interlace
    chunk(out, "IHDR", header);
    for (const Rgb& c : palette)
        colours.insert(colours.end(), {c.r, c.g, c.b});
    chunk(out, "PLTE", colours);
    // A zlib stream with one stored (uncompressed) deflate block per row: no library needed.
    std::vector<uint8_t> z{0x78, 0x01};
    uint32_t a = 1, b = 0;
    const auto n = static_cast<uint16_t>(width + 1); // the filter byte (none) and the row
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = pixels + static_cast<size_t>(y) * width;
        z.insert(z.end(),
                 {static_cast<uint8_t>(y + 1 == height), static_cast<uint8_t>(n),
                  static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(~n), static_cast<uint8_t>(~n >> 8), 0});
        z.insert(z.end(), row, row + width);
        for (size_t i = z.size() - n; i < z.size(); ++i)
            a = (a + z[i]) % 65521, b = (b + a) % 65521;
    }
    put32(z, (b << 16) | a);
    chunk(out, "IDAT", z);
    chunk(out, "IEND", {});
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace tundrix::headless
