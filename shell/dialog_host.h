// The dialogs the loop opens, each returning when its dialog has closed (no SDL here).
#pragma once
#include <string>

namespace tundrix {

class ReplayViewer;

class DialogHost {
  public:
    virtual ~DialogHost() = default;
    virtual void askToSubmit() = 0;
    virtual void registerScore() = 0;
    virtual void showInformation(int textIndex) = 0;
    virtual void askToPlayAgain() = 0;

    // Replays, for a window that shows them (one that does not is never asked to).
    virtual bool showsReplays() const { return false; }
    // Whether the game in progress may end so that a replay can be shown; false when put away.
    virtual bool confirmEndGame() { return false; }
    // Shows the viewer's replay until it ends or the player stops it.
    virtual void playBack(ReplayViewer&) {}
    // The path of a replay file the player typed, pasted or dropped; empty when the dialog was put away.
    virtual std::string askForReplayFile() { return {}; }
    // A message in both languages with an OK button.
    virtual void tell(const std::string& caption, const std::string& text) {
        (void)caption;
        (void)text;
    }
};

} // namespace tundrix
