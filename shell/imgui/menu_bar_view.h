// Draws the menu bar and its open menu with ImGui from a MenuNavigator and feeds the pointer back to it
// (no SDL here).
#pragma once
#include "shell/menu_navigation.h"

#include <functional>
#include <string>

namespace tundrix {

// Whether an item carries a mark (the zoom in use, full screen on, paused).
using MenuMark = std::function<bool(int command)>;
// The text an item shows: its label, with what is in use where the item has more to say (the volume).
using MenuLabel = std::function<std::string(const MenuEntry& item)>;

// Draws the bar in the current ImGui frame; with enabled false it is greyed and takes no clicks. Returns
// the command the pointer chose, or 0.
int drawMenuBar(MenuNavigator& nav, bool enabled, const MenuMark& marked, const MenuLabel& shown = {});

} // namespace tundrix
