// What every artist function gets: the fonts, the palette and its quantiser.
#pragma once
#include "graphics/image.h"
#include "tools/assetgen/canvas.h"
#include "tools/assetgen/palette.h"

#include <memory>
#include <vector>

namespace tundrix::assetgen {

struct ArtContext {
    const Fonts& fonts;
    const Palette& palette;
    Quantiser& quantiser;
};

using Frames = std::vector<std::unique_ptr<Image>>;

// A small deterministic random source for scattered details (crowds, ice scratches).
class Scatter {
  public:
    explicit Scatter(uint32_t seed) : state_(seed) {}
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / 16777216.0;
    }
    double range(double a, double b) { return a + (b - a) * next(); }

  private:
    uint32_t state_;
};

} // namespace tundrix::assetgen
