// A rink with its three pictures attached (plain ice colour 77, claimed colour 88) for the rink tests.
#pragma once
#include "rink/rink.h"

namespace tundrix::test {

struct RinkRig {
    RinkRig() {
        plain.fillRect(0, 0, 440, 300, 77);
        claimed.fillRect(0, 0, 440, 300, 88);
        display.blit(plain, 0, 0);
        rink.attachPictures(display, plain, claimed);
    }
    int count(uint8_t code) const {
        int n = 0;
        for (int i = 0; i < RINK_CELLS; ++i)
            n += rink.cellAtIndex(i) == code;
        return n;
    }

    Rink rink;
    Image display{440, 300}, plain{440, 300}, claimed{440, 300};
};

} // namespace tundrix::test
