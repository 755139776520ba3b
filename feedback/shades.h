// The colours the layer draws with, found in the game's palette: a flash that lightens whatever it lies
// on, and the raid line's and the cut's own colours.
#pragma once
#include "platform/video.h"

#include <array>
#include <cstdint>

namespace tundrix {

class Shades {
  public:
    // How far the flash has faded: 0 is the brightest.
    static constexpr int FLASH_LEVELS = 5;

    // Looks everything up in the palette; until then nothing is known and built() is false.
    void build(const std::array<Rgb, 256>& palette);
    bool built() const { return built_; }

    // The index nearest to index's colour taken level steps of the flash toward white.
    uint8_t lighter(int level, uint8_t index) const { return lighter_[static_cast<size_t>(level)][index]; }

    uint8_t lineCore = 0;    // the raid line's bright core
    uint8_t lineOutline = 0; // and the dark edge either side of it
    uint8_t black = 0;
    uint8_t hot = 0;  // the cut line as it flashes away
    uint8_t gold = 0; // the mark over the chosen mascot

  private:
    bool built_ = false;
    std::array<std::array<uint8_t, 256>, FLASH_LEVELS> lighter_{};
};

} // namespace tundrix
