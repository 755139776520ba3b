// The whole factors the game picture can be scaled by, and the largest that fits a room.
#pragma once

namespace tundrix {

// The windowed picture is shown 1, 2 or 3 times its size.
constexpr int ZOOM_MIN = 1, ZOOM_MAX = 3;

// The largest whole factor (at least 1) by which a picture of w x h fits into room of roomW x roomH.
constexpr int wholeFactor(int w, int h, int roomW, int roomH) {
    if (w <= 0 || h <= 0) return 1;
    const int byWidth = roomW / w, byHeight = roomH / h;
    const int factor = byWidth < byHeight ? byWidth : byHeight;
    return factor < 1 ? 1 : factor;
}

} // namespace tundrix
