// The game's colours in the menus and dialogs, from its palette: the title's navy and gold, the rink's white.
#pragma once
#include <imgui.h>

namespace tundrix::ui_colour {

struct Rgb {
    int r, g, b;
};
constexpr Rgb NAVY{26, 33, 72};
constexpr Rgb DEEP_NAVY{10, 16, 48};
constexpr Rgb LIGHT_NAVY{62, 72, 124};
constexpr Rgb GOLD{255, 200, 32};
constexpr Rgb PALE_GOLD{255, 228, 140};
constexpr Rgb ICE{236, 242, 250};
constexpr Rgb WHITE{255, 255, 255};
constexpr Rgb GREY{140, 148, 176};

// As ImGui's style takes a colour.
inline ImVec4 vec(Rgb c, float alpha = 1.0f) {
    return ImVec4(static_cast<float>(c.r) / 255.0f, static_cast<float>(c.g) / 255.0f,
                  static_cast<float>(c.b) / 255.0f, alpha);
}
// As a draw list takes it.
inline ImU32 packed(Rgb c, int alpha = 255) {
    return IM_COL32(c.r, c.g, c.b, alpha);
}

} // namespace tundrix::ui_colour
