// The fonts built into the program for the menus, the dialogs and the pause sign (no SDL here).
#pragma once
#include <cstdint>
#include <span>

namespace tundrix {

// DejaVu Sans: menus and dialogs.
std::span<const uint8_t> menuFontData();
// DejaVu Sans Bold: the lettering of the pause sign, as on the game's own screens.
std::span<const uint8_t> signFontData();

} // namespace tundrix
