// The pause sign over the picture while the game is paused, drawn with GDI: "PAUS · PAUSED" in gold on a
// navy panel with a gold frame.
#pragma once
#include <windows.h>

namespace tundrix {

// Draws the sign in the middle of the picture (x, y, width, height in client pixels); factor scales it
// with the picture.
void drawPauseSign(HDC dc, int x, int y, int width, int height, int factor);

} // namespace tundrix
