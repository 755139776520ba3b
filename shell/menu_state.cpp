// The menu's state of the moment, worked out from the game session and the window's settings.
#include "shell/menu_state.h"

namespace tundrix {

bool gameAllows(const GameSession& session, int command) {
    if (command == CMD_REGISTER)
        return session.driver() && session.driver()->gameOverReached && session.bestScore.get() > 0;
    if (command == CMD_PLAY_LAST_GAME || command == CMD_SAVE_LAST_GAME) return session.lastGame() != nullptr;
    return true;
}

bool commandMarked(const MenuMarks& marks, int command) {
    if (const int zoom = zoomOfCommand(command)) return zoom == marks.zoom;
    if (command == CMD_FULL_SCREEN) return marks.fullScreen;
    if (command == CMD_PAUSE) return marks.paused;
    if (command == CMD_MUTE) return marks.muted;
    if (command == CMD_EASIER) return marks.playMode == PlayMode::Easier;
    if (command == CMD_FOCUS_PAUSE) return marks.pauseOnFocusLoss;
    return false;
}

std::string itemText(const MenuEntry& item, VolumeLevel volume) {
    return item.command == CMD_VOLUME ? item.label + " " + VolumeLevel::stepLabel(volume.step) : item.label;
}

} // namespace tundrix
