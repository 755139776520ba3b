// The game's 256-colour palette and the nearest-colour search that maps drawn art onto it.
#pragma once
#include "platform/video.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tundrix::assetgen {

using Palette = std::array<Rgb, 256>;

// Indices with a fixed meaning in the palette.
constexpr uint8_t WHITE_INDEX = 0;
constexpr uint8_t BLACK_INDEX = 235;
constexpr uint8_t KEY_INDEX = 236;
constexpr uint8_t CLAIMED_LINE_INDEX = 107;
constexpr uint8_t RAID_LINE_INDEX = 146;

constexpr Rgb RAID_LINE_COLOUR{255, 96, 0};
constexpr Rgb CLAIMED_LINE_COLOUR{0, 184, 72};

// Entry 0 white, 1..234 art colours from light to dark (the two line colours at their fixed places),
// 235 black, 236 magenta, 237..255 black.
Palette buildPalette();

// Finds the closest art colour for a drawn colour. The two line colours and the key are never chosen,
// so art never contains them by accident.
class Quantiser {
  public:
    explicit Quantiser(const Palette& palette);
    uint8_t nearest(uint8_t r, uint8_t g, uint8_t b);

  private:
    const Palette& palette_;
    std::vector<int16_t> cache_;
};

} // namespace tundrix::assetgen
