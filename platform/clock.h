// The millisecond clock and the sleep the game paces itself with.
#pragma once
#include <cstdint>

namespace tundrix {

// A free-running, wrapping 32-bit millisecond count; differences are taken modulo 2^32.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual uint32_t nowMs() = 0;
    // Blocks the caller for about ms milliseconds (a real sleep, never a busy wait).
    virtual void sleepMs(uint32_t ms) = 0;
};

} // namespace tundrix
