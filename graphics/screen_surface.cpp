// The screen surface and the process-wide pointer to it.
#include "graphics/screen_surface.h"

namespace tundrix {

ScreenSurface* g_screen = nullptr;

ScreenSurface::ScreenSurface(int32_t width, int32_t height) : Image(width, height) {}

} // namespace tundrix
