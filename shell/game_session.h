// The shell's side of a run: the frame driver, the best score of the run, the dialog requests in their
// order, the menu commands, time the game stood still, the play time, and the one loop pass main() runs.
#pragma once
#include "core/frame_driver.h"
#include "core/guarded_counter.h"
#include "platform/clock.h"
#include "replay/game_recorder.h"
#include "shell/dialog_host.h"
#include "shell/play_time_tally.h"
#include "shell/register_outcome.h"
#include "shell/web_pages.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace tundrix {

class ReplayViewer;

// What the window has to do after a menu command.
struct CommandEffect {
    bool quit = false;
    std::string url; // a page to open in the browser, or empty
};

class GameSession {
  public:
    // The score counter of the world in play (the driver only knows the world's frame interface).
    using ScoreOf = std::function<GuardedCounter*(World&)>;
    // The recording of the world in play, or null (nothing is recorded).
    using ReplayOf = std::function<std::shared_ptr<const ReplayLog>()>;
    // The viewer that shows a recorded game in the window, on the program's own picture and sound.
    using ViewerOf = std::function<std::unique_ptr<ReplayViewer>(Replay)>;

    // Builds the driver and with it the first world. playTime counts this run; pages are on the channel
    // the program posts to. replayOf names the recording of the game in play, so the game that made the
    // best score goes along with it.
    GameSession(Clock& clock, PlayTimeTally& playTime, FrameDriver::WorldFactory makeWorld, ScoreOf scoreOf,
                WebPages pages = WebPages{}, ReplayOf replayOf = {});

    FrameDriver* driver() const { return driver_.get(); }
    bool quitRequested() const { return quitRequested_; }

    // The parts of a loop pass (see loopPass): offer a new best score, open the requested dialogs, step one
    // frame (which tracks the best score), and raise a restart while F1 is down.
    void offerBestScore();
    void openRequestedDialogs(DialogHost& dialogs);
    void stepFrame();
    void checkRestartKey(bool f1Down);
    // The game stands still while held (paused, a menu open); when that ends, the period clock resumes
    // where it stood and the schedule starts again from now.
    void hold(bool held);

    CommandEffect runCommand(int command);

    // The dialogs' answers.
    void answerSubmitQuestion(bool yes);
    void closeInformation();
    void cancelRegister();
    void answerPlayAgain(bool yes);
    // Keeps the typed login (clamped to its length); false when either part is empty.
    bool rememberLogin(const std::string& userName, const std::string& password);
    // The submission of the best score with the remembered login, and the recording of the game that made
    // it as it stands now.
    ScoreSubmission makeSubmission() const;
    // What the register dialog does with a finished post. Only a registered score (the channel answered
    // 0 or 1) is spent: then the best score and the world's score are 0, so the next submission sends 0
    // and a later offer needs a better game. Any failure, like a cancelled dialog, keeps the score for
    // another try.
    RegisterOutcome answerSubmission(const ScoreSubmission& done);
    const WebPages& pages() const { return pages_; }

    // Replays. The recording of the last game played in this run: the one in play once it has left the
    // title, else the one before it; null before any.
    std::shared_ptr<const ReplayLog> lastGame() const { return lastGame_; }
    // A replay file to show with the next dialogs (one dropped onto the window), as replayPathOf reads it.
    void openReplayFile(std::string path);
    // Shows replays through this (none are shown without it), and saves the last game into that folder.
    ViewerOf makeViewer;
    std::filesystem::path replayFolder;

    const std::string& userName() const { return userName_; }
    const std::string& password() const { return password_; }

    // The play time of all runs, this one included.
    uint32_t totalPlayTime() const { return playTime_.total(); }
    // Adds this run's time to the stored total once a minute (every loop pass and dialog frame asks).
    void keepPlayTime() { playTime_.addIfDue(); }
    // The quit routine's game side: adds the rest of this run's time to the stored total and returns the
    // total; the driver and its world are gone afterwards.
    uint32_t quit();
    void requestQuit() { quitRequested_ = true; }

    GuardedCounter bestScore;
    int32_t bestScoreTime = 0;
    bool bestScoreTampered = false;
    int32_t lastOfferedScore = 0;
    int infoTextIndex = 0;

  private:
    GuardedCounter* worldScore() const;
    void showInformation(int index);
    void leaveOutOfClock(uint32_t ms);
    // The replay asked for from the menu or by a drop; true when one was shown (a fresh game is then in
    // play).
    bool runReplayRequest(DialogHost& dialogs);
    bool showReplay(DialogHost& dialogs, Replay replay);

    Clock& clock_;
    PlayTimeTally& playTime_;
    ScoreOf scoreOf_;
    WebPages pages_;
    ReplayOf replayOf_;
    FrameDriver::WorldFactory makeWorld_;
    std::shared_ptr<const ReplayLog> bestReplay_; // the game that made bestScore
    std::shared_ptr<const ReplayLog> lastGame_;
    enum class ReplayRequest { None, PlayLast, SaveLast, Open, File } replayRequest_ = ReplayRequest::None;
    std::string replayFile_;
    std::unique_ptr<FrameDriver> driver_;
    std::string userName_;
    std::string password_;
    bool playAgainOffered_ = false;
    bool quitRequested_ = false;
    bool held_ = false;
    uint32_t heldSince_ = 0;
};

// The window side of a loop pass.
class ShellWindow : public DialogHost {
  public:
    // True while the game stands still: the player paused it or a menu is open.
    virtual bool holding() const = 0;
    // Shows the last picture with the menu bar over it; the command chosen there (or by a key), or 0.
    virtual int paintMenus() = 0;
    virtual bool restartKeyDown() = 0;
    // Zoom, full screen, pause, volume and mute: the window's own commands.
    virtual void runWindowCommand(int command) = 0;
    virtual void openUrl(const std::string& url) = 0;
    // Whether to quit now that the player chose to: a window may ask first in the middle of a game.
    virtual bool confirmQuit() { return true; }
    // Handles the events that are waiting; when wait is set, first waits up to a frame's time for one
    // (nothing else paces the loop while the game stands still). False once the window was closed.
    virtual bool handleEvents(bool wait) = 0;
    // The path of a file dropped onto the window since the last call, or empty.
    virtual std::string takeDroppedFile() { return {}; }
};

// One pass of the program's loop; false when the program is to end.
bool loopPass(GameSession& session, ShellWindow& window);

} // namespace tundrix
