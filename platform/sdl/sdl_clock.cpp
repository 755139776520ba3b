// SDL's tick count wraps like the game's 32-bit clock; SDL_Delay sleeps for real.
#include "platform/sdl/sdl_clock.h"

#include <SDL.h>

namespace tundrix {

uint32_t SdlClock::nowMs() {
    return SDL_GetTicks();
}

void SdlClock::sleepMs(uint32_t ms) {
    if (ms > 0) SDL_Delay(ms);
}

} // namespace tundrix
