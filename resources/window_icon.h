// The program's own icon for its window, embedded with the art: one square of RGBA pixels (no SDL here).
#pragma once

namespace tundrix {

// Resource id of the window icon: WINDOW_ICON_SIZE rows of WINDOW_ICON_SIZE pixels, top row first, each
// four bytes R, G, B, A (not premultiplied).
constexpr int WINDOW_ICON_ID = 101;
constexpr int WINDOW_ICON_SIZE = 64;

} // namespace tundrix
