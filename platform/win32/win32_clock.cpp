// timeGetTime for the clock, Sleep for the wait; timeBeginPeriod(1) so a 40 ms frame is not 46 or 47.
#include "platform/win32/win32_clock.h"

#include <windows.h>

#include <mmsystem.h>

namespace tundrix {

Win32Clock::Win32Clock() {
    timeBeginPeriod(1);
}

Win32Clock::~Win32Clock() {
    timeEndPeriod(1);
}

uint32_t Win32Clock::nowMs() {
    return timeGetTime();
}

void Win32Clock::sleepMs(uint32_t ms) {
    Sleep(ms);
}

} // namespace tundrix
