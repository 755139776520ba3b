// Byte formats the generator writes besides image sets: the palette bitmap, WAVE files, and files on disk.
#pragma once
#include "tools/assetgen/palette.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tundrix::assetgen {

constexpr int PALETTE_BITMAP_WIDTH = 15;
constexpr int PALETTE_BITMAP_HEIGHT = 25;
constexpr uint32_t SAMPLE_RATE = 8000;

// A whole .bmp file: 8 bits per pixel, 15 by 25, a 256-entry colour table holding the palette.
std::vector<uint8_t> paletteBitmap(const Palette& palette);

// A RIFF/WAVE file: PCM, mono, 8-bit unsigned, 8000 samples per second; an odd data chunk gets its pad byte.
std::vector<uint8_t> waveFile(std::span<const uint8_t> samples);

bool writeFile(const std::string& path, std::span<const uint8_t> bytes);

} // namespace tundrix::assetgen
