// The shell's side of a run: the frame driver, the best score of the run, the dialog requests in their
// order, the menu commands and the register outcome (no SDL here).
#pragma once
#include "core/frame_driver.h"
#include "core/guarded_counter.h"
#include "platform/clock.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tundrix {

// Menu command ids.
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
    CMD_NOTHING = 65535,
};

// What the window has to do after a menu command.
struct CommandEffect {
    bool quit = false;
    std::string url; // a page to open in the browser, or empty
};

// What the shell hands to the score poster and what comes back.
struct ScoreSubmission {
    std::string userName;
    std::string password;
    int32_t score = 0;
    int32_t bestScoreTime = 0;
    uint32_t totalPlayTime = 0;
    bool tampered = false;
    // Filled by the poster: the server's result code and version notice.
    int resultCode = -1;
    int versionNotice = 1;
};
using SubmitScore = std::function<void(ScoreSubmission&)>;

// What the register dialog does after a submission.
struct RegisterOutcome {
    enum class Button { Retry, Sending };
    std::vector<std::string> pages; // opened in this order
    bool showRegOk = false;         // the "Reg OK" message box, before closing
    bool close = false;
    Button button = Button::Sending;
};
RegisterOutcome registerOutcome(int resultCode, int versionNotice, const std::string& userName);

// Keeps at most maxChars characters (UTF-8 code points) of text.
std::string clampChars(const std::string& text, size_t maxChars);
constexpr size_t USER_NAME_MAX = 64;
constexpr size_t PASSWORD_MAX = 16;

// The dialogs the loop opens; each returns when its dialog has closed.
class DialogHost {
  public:
    virtual ~DialogHost() = default;
    virtual void askToSubmit() = 0;
    virtual void registerScore() = 0;
    virtual void showInformation(int textIndex) = 0;
    virtual void askToPlayAgain() = 0;
};

class GameSession {
  public:
    // The score counter of the world in play (the driver only knows the world's frame interface).
    using ScoreOf = std::function<GuardedCounter*(World&)>;

    // Builds the driver and with it the first world. runStart is the clock when the program started.
    GameSession(Clock& clock, uint32_t runStart, uint32_t storedPlayTime, FrameDriver::WorldFactory makeWorld,
                ScoreOf scoreOf);

    FrameDriver* driver() const { return driver_.get(); }
    bool quitRequested() const { return quitRequested_; }
    uint32_t runStart() const { return runStart_; }
    uint32_t storedPlayTime() const { return storedPlayTime_; }

    // One loop pass, in this order: offer a new best score, open the requested dialogs, step one frame
    // (which tracks the best score), and raise a restart while F1 is down.
    void offerBestScore();
    void openRequestedDialogs(DialogHost& dialogs);
    void stepFrame();
    void checkRestartKey(bool f1Down);

    CommandEffect runCommand(int command);

    // The dialogs' answers.
    void answerSubmitQuestion(bool yes);
    void closeInformation();
    void cancelRegister();
    void answerPlayAgain(bool yes);
    // Keeps the typed login (clamped to its length); false when either part is empty.
    bool rememberLogin(const std::string& userName, const std::string& password);
    // Posts the best score with the remembered login; the best score and the world's score are 0
    // afterwards, whatever the outcome.
    RegisterOutcome submitBestScore(const SubmitScore& submit);

    const std::string& userName() const { return userName_; }
    const std::string& password() const { return password_; }

    // The play time to store: earlier runs plus this one.
    uint32_t totalPlayTime() const;
    // The quit routine's game side: the total to store; the driver and its world are gone afterwards.
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

    Clock& clock_;
    uint32_t runStart_;
    uint32_t storedPlayTime_;
    ScoreOf scoreOf_;
    std::unique_ptr<FrameDriver> driver_;
    std::string userName_;
    std::string password_;
    bool playAgainOffered_ = false;
    bool quitRequested_ = false;
};

} // namespace tundrix
