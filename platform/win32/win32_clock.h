// The millisecond clock and the sleep on Windows: timeGetTime and Sleep, at a 1 ms timer resolution.
#pragma once
#include "platform/clock.h"

namespace tundrix {

class Win32Clock : public Clock {
  public:
    // Asks for the system timer's finest resolution while the clock lives, so Sleep wakes on time.
    Win32Clock();
    ~Win32Clock() override;
    Win32Clock(const Win32Clock&) = delete;
    Win32Clock& operator=(const Win32Clock&) = delete;

    uint32_t nowMs() override;
    void sleepMs(uint32_t ms) override;
};

} // namespace tundrix
