// The window's own commands (zoom, full screen, pause, volume, settings) and the items' enabled and marks.
#include "shell/imgui/shell_ui.h"
#include "shell/imgui/ui_theme.h"
#include "shell/menu_state.h"

#include <utility>

namespace tundrix {

ShellUi::ShellUi(ImGuiHost& host, KeySource& keys, GameSession& session, SubmitScore submit,
                 Remember remember)
    : host_(host), keys_(keys), session_(session), submit_(std::move(submit)), remember_(std::move(remember)),
      nav_(menuBar(session.pages().channelHost()), [this](int command) { return commandEnabled(command); }) {
    applyGameTheme();
}

bool ShellUi::commandEnabled(int command) const {
    if (!gameAllows(session_, command)) return false;
    // A zoom whose window would not fit the screen cannot be chosen.
    const int zoom = zoomOfCommand(command);
    return zoom == 0 || zoom <= host_.maxZoom();
}

bool ShellUi::commandMarked(int command) const {
    return tundrix::commandMarked(
        MenuMarks{host_.zoom(), host_.fullScreen(), paused_, volume_.muted, playMode, pauseOnFocusLoss},
        command);
}

void ShellUi::runWindowCommand(int command) {
    if (command == CMD_BEST_GAMES) {
        showBestGames(std::nullopt, bestGames ? bestGames() : std::vector<BestGame>{});
        return;
    }
    if (command == CMD_EASIER) {
        playMode = playMode == PlayMode::Easier ? PlayMode::Original : PlayMode::Easier;
        if (playModeChanged) playModeChanged(playMode);
        return;
    }
    if (command == CMD_FOCUS_PAUSE) {
        pauseOnFocusLoss = !pauseOnFocusLoss;
        if (pauseOnFocusLossChanged) pauseOnFocusLossChanged(pauseOnFocusLoss);
        return;
    }
    if (command == CMD_VOLUME || command == CMD_MUTE) {
        // The volume item steps quieter and from the quietest back to full; mute leaves the step alone.
        volume_ = command == CMD_MUTE ? volume_.toggledMute() : volume_.cycledQuieter();
        if (volumeChanged) volumeChanged(volume_);
        return;
    }
    if (const int zoom = zoomOfCommand(command)) {
        host_.setZoom(zoom);
    } else if (command == CMD_FULL_SCREEN) {
        host_.setFullScreen(!host_.fullScreen());
    } else if (command == CMD_PAUSE) {
        paused_ = !paused_;
        host_.wake(); // the sign comes or goes
        // Keys tapped while the game stood still are not played afterwards.
        if (!paused_) host_.forgetTappedKeys();
        if (pausedChanged) pausedChanged(paused_);
        return;
    }
    if (remember_) remember_(host_.zoom(), host_.fullScreen());
}

void ShellUi::openUrl(const std::string& url) {
    host_.openUrl(url);
}

} // namespace tundrix
