// The copy of the claimed cells and the scan for the ones a capture added.
#include "feedback/claimed_area.h"

namespace tundrix {

namespace {
bool isClaimed(uint8_t code) {
    return code == CellClaimed || code == CellClaimedLine;
}
} // namespace

void ClaimedArea::reset(const Rink& rink) {
    const uint8_t* cells = rink.grid().pixels();
    for (int32_t i = 0; i < RINK_CELLS; ++i)
        claimed_[static_cast<size_t>(i)] = isClaimed(cells[i]);
}

std::vector<CellRun> ClaimedArea::takeNew(const Rink& rink) {
    std::vector<CellRun> runs;
    const uint8_t* cells = rink.grid().pixels();
    for (int32_t y = 0; y < RINK_HEIGHT; ++y) {
        int32_t start = -1;
        for (int32_t x = 0; x <= RINK_WIDTH; ++x) {
            const size_t i = static_cast<size_t>(y) * RINK_WIDTH + static_cast<size_t>(x);
            const bool fresh = x < RINK_WIDTH && isClaimed(cells[i]) && !claimed_[i];
            if (fresh) {
                claimed_[i] = 1;
                if (start < 0) start = x;
            } else if (start >= 0) {
                runs.push_back({y, start, x - 1});
                start = -1;
            }
        }
    }
    return runs;
}

} // namespace tundrix
