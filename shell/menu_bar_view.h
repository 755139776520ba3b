// Draws the menu bar and its open menu with ImGui from a MenuNavigator and feeds the pointer back to it
// (no SDL here).
#pragma once
#include "shell/menu_navigation.h"

#include <functional>

namespace tundrix {

// Whether an item carries a mark (the zoom in use, full screen on, paused).
using MenuMark = std::function<bool(int command)>;

// Draws the bar in the current ImGui frame; with enabled false it is greyed and takes no clicks. Returns
// the command the pointer chose, or 0.
int drawMenuBar(MenuNavigator& nav, bool enabled, const MenuMark& marked);

} // namespace tundrix
