// Showing a replay in the window, held by the pause and the menu, ended by Escape, a command or a drop.
#include "shell/imgui/shell_ui.h"
#include "shell/replay_viewer.h"

#include <utility>

namespace tundrix {

void ShellUi::playBack(ReplayViewer& viewer) {
    // A replay starts playing, not paused.
    if (paused_) runWindowCommand(CMD_PAUSE);
    replaying_ = true;
    replayEscaped_ = false;
    nav_.close();
    host_.wake();
    while (viewer.playing()) {
        session_.keepPlayTime();
        const uint32_t wait = paused_ || nav_.isOpen() ? DIALOG_FRAME_MS : viewer.msToNextFrame();
        if (host_.handleEvents(wait) == WindowEvent::CloseRequested) {
            session_.requestQuit();
            break;
        }
        // The menu and the pause hold the replay where it stands.
        if (!paused_ && !nav_.isOpen()) viewer.advance();
        const int command = paintMenus();
        if (isWindowCommand(command)) {
            runWindowCommand(command);
        } else if (command != 0) {
            // Any other command ends the replay and then runs as it would in the game.
            afterReplay_ = command;
            break;
        }
        if (replayEscaped_) break;
        // A file dropped meanwhile is shown next.
        if (std::string file = host_.takeDroppedFile(); !file.empty()) {
            dropped_ = std::move(file);
            break;
        }
    }
    viewer.stop();
    replaying_ = false;
    if (paused_) runWindowCommand(CMD_PAUSE);
    // Keys pressed while the replay was shown are not the next game's.
    host_.forgetTappedKeys();
    host_.wake();
}

std::string ShellUi::takeDroppedFile() {
    if (!dropped_.empty()) return std::exchange(dropped_, {});
    return host_.takeDroppedFile();
}

} // namespace tundrix
