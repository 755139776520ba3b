// The menu bar's entries and their commands, in the order they are shown (no SDL here).
#pragma once
#include <string>
#include <vector>

namespace tundrix {

struct MenuEntry {
    std::string label; // UTF-8
    int command = 0;
};

// A top-level entry: a popup with items, or (no items) a plain entry that runs its own command.
struct MenuPopup {
    std::string label;
    std::vector<MenuEntry> items;
    int command = 0;
};

std::vector<MenuPopup> menuBar();

// Zoom choices, offered in the "Spel" and "In English" menus; commands of their own beside the game's.
constexpr int CMD_ZOOM_1 = 41001;
constexpr int CMD_ZOOM_2 = 41002;
constexpr int CMD_ZOOM_3 = 41003;
inline int zoomOfCommand(int command) {
    return command >= CMD_ZOOM_1 && command <= CMD_ZOOM_3 ? command - CMD_ZOOM_1 + 1 : 0;
}

} // namespace tundrix
