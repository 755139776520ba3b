// Reads an uncompressed Windows bitmap: its size, colour table and 8-bit indices.
#pragma once
#include "platform/video.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tundrix {

struct BmpInfo {
    int32_t width = 0;
    int32_t height = 0;
    int bitsPerPixel = 0;
    // The colour table entries actually present (at most 256).
    std::vector<Rgb> colours;
    // For 8-bit uncompressed pictures: width x height indices, top row first. Empty otherwise.
    std::vector<uint8_t> indices;
};

// Accepts a whole .bmp file ("BM" header) or a packed DIB that starts at its info header. Returns
// false for anything damaged or cut short; never reads past bytes.
bool readBmp(std::span<const uint8_t> bytes, BmpInfo& out);

} // namespace tundrix
