// The window icon: the embedded RGBA square wrapped in an SDL surface for SDL_SetWindowIcon.
#include "platform/sdl_window_icon.h"

#include "resources/embedded_resources.h"
#include "resources/window_icon.h"

#include <SDL.h>

namespace tundrix {

void showGameIcon(SDL_Window* window) {
    constexpr int PITCH = WINDOW_ICON_SIZE * 4;
    const std::span<const uint8_t> pixels = EmbeddedResources().find(WINDOW_ICON_ID);
    if (!window || pixels.size() != static_cast<size_t>(PITCH) * WINDOW_ICON_SIZE) return;
    // SDL only reads the pixels while it copies them to the window.
    SDL_Surface* icon =
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(pixels.data()), WINDOW_ICON_SIZE,
                                           WINDOW_ICON_SIZE, 32, PITCH, SDL_PIXELFORMAT_RGBA32);
    if (!icon) return;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

} // namespace tundrix
