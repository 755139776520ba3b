// The millisecond clock and the sleep on SDL's timer: SDL_GetTicks and SDL_Delay.
#pragma once
#include "platform/clock.h"

namespace tundrix {

class SdlClock : public Clock {
  public:
    uint32_t nowMs() override;
    void sleepMs(uint32_t ms) override;
};

} // namespace tundrix
