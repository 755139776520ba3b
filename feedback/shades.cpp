// Nearest-colour searches over the palette, once per world.
#include "feedback/shades.h"

#include "graphics/image.h"

namespace tundrix {

namespace {

// How much of white each flash level mixes in.
constexpr double FLASH_WHITE[Shades::FLASH_LEVELS] = {0.85, 0.65, 0.45, 0.28, 0.14};

constexpr Rgb LINE_CORE{255, 176, 24};
constexpr Rgb LINE_OUTLINE{16, 20, 44};
constexpr Rgb BLACK{0, 0, 0};
constexpr Rgb HOT{240, 40, 32};
constexpr Rgb GOLD{255, 204, 40};

uint8_t nearest(const std::array<Rgb, 256>& palette, double r, double g, double b) {
    double best = -1;
    uint8_t bestIndex = 0;
    for (int i = 0; i < 256; ++i) {
        if (i == TRANSPARENT_INDEX) continue;
        const Rgb c = palette[static_cast<size_t>(i)];
        const double dr = r - c.r, dg = g - c.g, db = b - c.b;
        const double d = 2 * dr * dr + 4 * dg * dg + 3 * db * db;
        if (best < 0 || d < best) best = d, bestIndex = static_cast<uint8_t>(i);
    }
    return bestIndex;
}

uint8_t nearest(const std::array<Rgb, 256>& palette, Rgb c) {
    return nearest(palette, c.r, c.g, c.b);
}

} // namespace

void Shades::build(const std::array<Rgb, 256>& palette) {
    for (int level = 0; level < FLASH_LEVELS; ++level) {
        const double t = FLASH_WHITE[level];
        for (int i = 0; i < 256; ++i) {
            const Rgb c = palette[static_cast<size_t>(i)];
            lighter_[static_cast<size_t>(level)][static_cast<size_t>(i)] =
                nearest(palette, c.r + (255 - c.r) * t, c.g + (255 - c.g) * t, c.b + (255 - c.b) * t);
        }
    }
    lineCore = nearest(palette, LINE_CORE);
    lineOutline = nearest(palette, LINE_OUTLINE);
    black = nearest(palette, BLACK);
    hot = nearest(palette, HOT);
    gold = nearest(palette, GOLD);
    built_ = true;
}

} // namespace tundrix
