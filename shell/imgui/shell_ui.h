// The window side of the loop: the menu bar, pause, zoom, full screen and volume, and the modal dialogs drawn
// with Dear ImGui over the game picture (no SDL here).
#pragma once
#include "platform/keys.h"
#include "platform/sdl/imgui_host.h"
#include "shell/best_games.h"
#include "shell/game_session.h"
#include "shell/imgui/dialog_sizes.h"
#include "shell/menu_navigation.h"
#include "shell/submission_attempt.h"
#include "shell/top_ten_fetch.h"
#include "sound/volume_level.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tundrix {

class ShellUi : public ShellWindow {
  public:
    // remember stores the zoom and full screen whenever the player changes them.
    using Remember = std::function<void(int zoom, bool fullScreen)>;
    ShellUi(ImGuiHost& host, KeySource& keys, GameSession& session, SubmitScore submit, Remember remember);

    bool holding() const override;
    int paintMenus() override;
    bool restartKeyDown() override;
    void runWindowCommand(int command) override;
    void openUrl(const std::string& url) override;
    bool confirmQuit() override;
    bool handleEvents(bool wait) override;

    void askToSubmit() override;
    void registerScore() override;
    void showInformation(int textIndex) override;
    void askToPlayAgain() override;
    void messageBox(const std::string& caption, const std::string& text);

    bool showsReplays() const override { return true; }
    bool confirmEndGame() override;
    void playBack(ReplayViewer& viewer) override;
    std::string askForReplayFile() override;
    void tell(const std::string& caption, const std::string& text) override { messageBox(caption, text); }
    std::string takeDroppedFile() override;

    bool paused() const { return paused_; }
    // The player's volume and mute, shown in the menus; set at start, changed by the menus and M.
    VolumeLevel volume() const { return volume_; }
    void setVolume(VolumeLevel level) { volume_ = level; }
    // Told whenever the player changes the volume or mute.
    std::function<void(VolumeLevel)> volumeChanged;
    // Told whenever the game is paused or resumed (the sound goes quiet meanwhile).
    std::function<void(bool paused)> pausedChanged;
    // The game in play, as the shell needs to know it: whether one is under way (quitting asks first),
    // and, once it is over, the game as the best games' table keeps it.
    std::function<bool()> midGame;
    std::function<BestGame()> finishedGame;
    // The best games' table as it stands, and entering a finished game into it (its place, or nothing).
    std::function<std::vector<BestGame>()> bestGames;
    std::function<std::optional<size_t>(const BestGame&, std::vector<BestGame>& table)> enterGame;
    // The channel's top ten, when a channel is set; null otherwise.
    TopTenFetch* topTen = nullptr;
    // The way in and the pause when the window loses the focus: set at start, changed by the menus.
    PlayMode playMode = PlayMode::Original;
    std::function<void(PlayMode)> playModeChanged;
    bool pauseOnFocusLoss = false;
    std::function<void(bool)> pauseOnFocusLossChanged;
    // Score posts still running on their own threads (given up or not).
    int postsInFlight() const { return postsInFlight_->load(); }

  private:
    // How long a dialog or a held replay waits for an event before it looks again.
    static constexpr uint32_t DIALOG_FRAME_MS = 40;
    enum class Close { Stay, Done, CloseBox, WindowClosed };
    // One modal dialog with its own loop: waits for an event or DIALOG_FRAME_MS and, after an event or a
    // change, draws the last game picture, a disabled menu bar and the dialog, until body asks to close.
    // afterFrame runs once the frame is shown (for work that opens another dialog). Returns how the dialog
    // ended.
    Close runModal(const std::string& title, DialogSize size, bool closeBox,
                   const std::function<Close()>& body, const std::function<Close()>& afterFrame = {});
    // Ja / Nej; the answer, or nothing when the close box or Escape put the question away.
    std::optional<bool> yesNo(const std::string& caption, const std::string& text);
    bool keyPressed(ShellKey key) const;
    // The best games and, when a channel is set, the channel's top ten; newPlace marks a game just entered.
    void showBestGames(std::optional<size_t> newPlace, const std::vector<BestGame>& table);
    // Over a finished game: how to start again; true when Enter does (Space is seen before the layout).
    bool drawRestartHint();
    bool commandEnabled(int command) const;
    bool commandMarked(int command) const;

    ImGuiHost& host_;
    KeySource& keys_;
    GameSession& session_;
    SubmitScore submit_;
    Remember remember_;
    MenuNavigator nav_;
    bool paused_ = false;
    bool spaceWasDown_ = false;
    bool replaying_ = false;     // a recorded game is being shown
    bool replayEscaped_ = false; // ... and Escape asked to stop it
    int afterReplay_ = 0;        // a menu command that stopped a replay, run by the loop next
    std::string dropped_;        // a file dropped onto the window while a replay was shown
    VolumeLevel volume_;
    std::shared_ptr<std::atomic<int>> postsInFlight_ = std::make_shared<std::atomic<int>>(0);
};

} // namespace tundrix
