// The menu bar's entries and their command numbers, in the order they are shown (no SDL here).
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tundrix {

// The game's menu commands.
enum MenuCommand : int {
    CMD_NEW_GAME = 40001,
    CMD_RULES = 40002,
    CMD_QUIT = 40003,
    CMD_COMPETITION_RULES = 40004,
    CMD_ABOUT = 40005,
    CMD_REGISTER = 40006,
    CMD_CHALLENGE = 40007,
    CMD_BRAND_SITE = 40008,
    CMD_CHANNEL_SITE = 40009,
    CMD_HOW_TO_PLAY = 40011,
    CMD_ABOUT_ENGLISH = 40012,
    CMD_BEST_GAMES = 40020,
    CMD_PLAY_LAST_GAME = 40021,
    CMD_OPEN_REPLAY = 40022,
    CMD_SAVE_LAST_GAME = 40023,
    CMD_NOTHING = 65535,
};

// The window's own commands, offered below the game's in "Spel" and "In English".
enum WindowCommand : int {
    CMD_ZOOM_1 = 41001,
    CMD_ZOOM_2 = 41002,
    CMD_ZOOM_3 = 41003,
    CMD_PAUSE = 41010,
    CMD_FULL_SCREEN = 41011,
    CMD_VOLUME = 41020, // one step quieter, from the quietest back to full volume
    CMD_MUTE = 41021,
    CMD_EASIER = 41030,      // the easier way in, from the next game on
    CMD_FOCUS_PAUSE = 41031, // pause when the window loses the focus
};
constexpr int MIN_ZOOM = 1;
constexpr int MAX_ZOOM = 3;
inline int zoomOfCommand(int command) {
    return command >= CMD_ZOOM_1 && command <= CMD_ZOOM_3 ? command - CMD_ZOOM_1 + MIN_ZOOM : 0;
}

inline bool isWindowCommand(int command) {
    return zoomOfCommand(command) != 0 || command == CMD_PAUSE || command == CMD_FULL_SCREEN ||
           command == CMD_VOLUME || command == CMD_MUTE || command == CMD_EASIER ||
           command == CMD_FOCUS_PAUSE || command == CMD_BEST_GAMES;
}

struct MenuEntry {
    std::string label; // UTF-8; an entry without label and command is a separator line. The volume item
                       // is shown with the volume in use after its label.
    int command = 0;
    bool separator() const { return label.empty() && command == 0; }
};

// A top-level entry: a popup with items, or (no items) a spacer that keeps its place and does nothing.
struct MenuPopup {
    std::string label;
    std::vector<MenuEntry> items;
    bool spacer() const { return items.empty(); }
};

// Which menus a build has views for: the Windows build has none yet for the best games' table, the
// easier way in and the pause on focus loss, so it leaves those items and the "More" menu out.
enum class MenuSet { Full, WithoutPlayerSettings };

// The English menu's "Visit" item names channelHost, the host whose home page it opens.
std::vector<MenuPopup> menuBar(std::string_view channelHost, MenuSet set = MenuSet::Full);

} // namespace tundrix
