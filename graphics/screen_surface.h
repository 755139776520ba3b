// The one 440 by 300 surface every frame is composed in, with the game's palette (no SDL here).
#pragma once
#include "graphics/bmp_reader.h"
#include "graphics/image.h"

#include <array>

namespace tundrix {

constexpr int32_t SCREEN_WIDTH = 440;
constexpr int32_t SCREEN_HEIGHT = 300;

class ScreenSurface : public Image {
public:
    ScreenSurface(int32_t width = SCREEN_WIDTH, int32_t height = SCREEN_HEIGHT);
    ~ScreenSurface() override = default;

    std::array<Rgb, 256>& palette() { return palette_; }
    const std::array<Rgb, 256>& palette() const { return palette_; }

private:
    std::array<Rgb, 256> palette_{};
};

// The surface all sprite drawing goes to; owned by the game world.
extern ScreenSurface* g_screen;

} // namespace tundrix
