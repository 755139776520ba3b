// Gives the SDL window the game's own icon, the one drawn with the art and embedded in the program.
#pragma once

struct SDL_Window;

namespace tundrix {

// Sets the embedded window icon on the window; leaves the system's default if the icon is missing.
void showGameIcon(SDL_Window* window);

} // namespace tundrix
