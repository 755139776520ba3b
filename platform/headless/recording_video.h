// A video output for tests: keeps the palette and the last presented picture, and can save it as PNG.
#pragma once
#include "platform/headless/png_writer.h"
#include "platform/video.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tundrix::headless {

class RecordingVideo : public VideoOut {
  public:
    void setPalette(std::span<const Rgb, 256> colours) override {
        std::copy(colours.begin(), colours.end(), palette.begin());
        ++paletteCalls;
    }
    void present(const uint8_t* pixels, int w, int h) override {
        width = w, height = h;
        frame.assign(pixels, pixels + static_cast<size_t>(w) * h);
        ++presents;
    }

    // The presented index at (x, y), top row first; 0 outside the picture.
    uint8_t index(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        return frame[static_cast<size_t>(y) * width + x];
    }
    // The colour shown at (x, y) through the palette.
    Rgb colour(int x, int y) const { return palette[index(x, y)]; }
    // Saves the last presented picture; false if nothing was presented or the file cannot be written.
    bool writePng(const std::string& path) const {
        return !frame.empty() && tundrix::headless::writePng(path, frame.data(), width, height, palette);
    }

    std::array<Rgb, 256> palette{};
    int paletteCalls = 0;
    int presents = 0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> frame;
};

// A packed Windows bitmap (info header, colour table, bottom-up rows) of the kind that carries the game's
// palette as bitmap 139: 8 bits per pixel with the given colours, or another depth for failure tests.
inline std::vector<uint8_t> makePaletteBitmap(std::span<const Rgb> colours, int bitsPerPixel = 8,
                                              int width = 15, int height = 25) {
    const uint32_t tableSize = bitsPerPixel <= 8 ? static_cast<uint32_t>(colours.size()) : 0;
    // Size 40, width, height, 1 plane and the depth, uncompressed, no size or resolution, the table twice.
    // clang-format off
    const uint32_t header[] = {40, static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                               1u | static_cast<uint32_t>(bitsPerPixel) << 16, 0, 0, 0, 0, tableSize, tableSize};
    // clang-format on
    std::vector<uint8_t> b;
    for (uint32_t v : header)
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    for (uint32_t i = 0; i < tableSize; ++i)
        b.insert(b.end(), {colours[i].b, colours[i].g, colours[i].r, 0});
    const size_t stride = ((static_cast<size_t>(width) * bitsPerPixel + 31) / 32) * 4;
    b.resize(b.size() + stride * static_cast<size_t>(height), 0);
    return b;
}

} // namespace tundrix::headless
