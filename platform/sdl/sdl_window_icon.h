// Gives the SDL window the game's own icon.
#pragma once
#include <cstdint>
#include <span>

struct SDL_Window;

namespace tundrix {

// Sets size x size RGBA pixels (top row first) as the window's icon; leaves the system's default when
// they are missing or of another size.
void showGameIcon(SDL_Window* window, std::span<const uint8_t> rgba, int size);

} // namespace tundrix
