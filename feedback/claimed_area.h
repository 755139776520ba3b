// Which cells a capture has just claimed: the rink's claimed cells compared with a copy taken before.
#pragma once
#include "rink/rink.h"

#include <cstdint>
#include <vector>

namespace tundrix {

// A row's run of cells, x0 to x1 inclusive.
struct CellRun {
    int32_t y, x0, x1;
};

class ClaimedArea {
  public:
    ClaimedArea() : claimed_(RINK_CELLS, 0) {}

    // Takes the rink as it is now as the starting point.
    void reset(const Rink& rink);
    // The cells claimed since the last look, as runs along the rows; they become part of the copy.
    std::vector<CellRun> takeNew(const Rink& rink);

  private:
    std::vector<uint8_t> claimed_;
};

} // namespace tundrix
