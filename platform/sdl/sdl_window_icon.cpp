// The window icon: a square of RGBA pixels wrapped in an SDL surface for SDL_SetWindowIcon.
#include "platform/sdl/sdl_window_icon.h"

#include <SDL.h>

namespace tundrix {

void showGameIcon(SDL_Window* window, std::span<const uint8_t> rgba, int size) {
    const int pitch = size * 4;
    if (!window || size <= 0 || rgba.size() != static_cast<size_t>(pitch) * static_cast<size_t>(size)) return;
    // SDL only reads the pixels while it copies them to the window.
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(rgba.data()), size, size, 32,
                                                           pitch, SDL_PIXELFORMAT_RGBA32);
    if (!icon) return;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

} // namespace tundrix
