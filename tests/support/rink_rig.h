// A rink with its three pictures attached for the rink and figure tests: plain ice colour 77, and a
// claimed picture whose colour changes from each cell to the next, so painting from the wrong cell shows.
#pragma once
#include "rink/rink.h"

namespace tundrix::test {

struct RinkRig {
    RinkRig() {
        plain.fillRect(0, 0, RINK_WIDTH, RINK_HEIGHT, 77);
        for (int y = 0; y < RINK_HEIGHT; ++y)
            for (int x = 0; x < RINK_WIDTH; ++x)
                claimed.setPixel(x, y, static_cast<uint8_t>(100 + (7 * x + 3 * y) % 60));
        display.blit(plain, 0, 0);
        rink.attachPictures(display, plain, claimed);
    }
    int count(uint8_t code) const {
        int n = 0;
        for (int i = 0; i < RINK_CELLS; ++i)
            n += rink.cellAtIndex(i) == code;
        return n;
    }
    // The display shows the claimed picture at (x, y).
    bool showsClaimed(int x, int y) const { return display.pixel(x, y) == claimed.pixel(x, y); }

    Rink rink;
    Image display{RINK_WIDTH, RINK_HEIGHT}, plain{RINK_WIDTH, RINK_HEIGHT}, claimed{RINK_WIDTH, RINK_HEIGHT};
};

} // namespace tundrix::test
