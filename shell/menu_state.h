// What the menu shows of the moment: commands the game allows, items' marks and texts (no drawing here).
#pragma once
#include "core/game_rules.h"
#include "shell/game_session.h"
#include "shell/menu.h"
#include "sound/volume_level.h"

#include <string>

namespace tundrix {

// Whether the game's state lets command be chosen now: registering waits for a finished game with a
// score to send, the last game is played back or saved once there is one. The window's own limits (a
// zoom too large for the screen) are the views' to add.
bool gameAllows(const GameSession& session, int command);

// The window's settings as the menu marks them.
struct MenuMarks {
    int zoom = 0;
    bool fullScreen = false;
    bool paused = false;
    bool muted = false;
    PlayMode playMode = PlayMode::Original;
    bool pauseOnFocusLoss = false;
};
// Whether command's item carries a mark (the zoom in use, full screen on, paused, ...).
bool commandMarked(const MenuMarks& marks, int command);

// The text an item shows: its label, with the volume in use after the volume item's.
std::string itemText(const MenuEntry& item, VolumeLevel volume);

} // namespace tundrix
