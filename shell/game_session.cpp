// The loop's game-side rules: best-score tracking, the submission offer, dialog order, menu commands, the
// time the game stood still, and the loop pass itself.
#include "shell/game_session.h"

#include "protocol/paths.h"
#include "replay/replay_codec.h"
#include "shell/login_fields.h"
#include "shell/menu.h"
#include "shell/replay_files.h"
#include "shell/replay_viewer.h"

#include <utility>

namespace tundrix {

GameSession::GameSession(Clock& clock, PlayTimeTally& playTime, FrameDriver::WorldFactory makeWorld,
                         ScoreOf scoreOf, WebPages pages, ReplayOf replayOf)
    : clock_(clock), playTime_(playTime), scoreOf_(std::move(scoreOf)), pages_(std::move(pages)),
      replayOf_(std::move(replayOf)), makeWorld_(std::move(makeWorld)) {
    driver_ = std::make_unique<FrameDriver>(clock_, makeWorld_);
    bestScore.set(0);
}

GuardedCounter* GameSession::worldScore() const {
    if (!driver_ || !driver_->world() || !scoreOf_) return nullptr;
    return scoreOf_(*driver_->world());
}

void GameSession::offerBestScore() {
    if (!driver_) return;
    if (!driver_->gameOverReached) {
        playAgainOffered_ = false;
        return;
    }
    if (bestScore.get() > lastOfferedScore) {
        lastOfferedScore = bestScore.get();
        bestScoreTime = static_cast<int32_t>(clock_.nowMs() - driver_->baseTime());
        bestScoreTampered = tamperFlag;
        driver_->registerQuestionRequested = true;
    }
}

void GameSession::leaveOutOfClock(uint32_t ms) {
    if (driver_ && driver_->world()) driver_->world()->holdClock(ms);
}

void GameSession::openRequestedDialogs(DialogHost& dialogs) {
    // A dialog may end the run (the window closed under it): nothing more is opened then.
    if (!driver_ || quitRequested_) return;
    const uint32_t opened = clock_.nowMs();
    bool any = false;
    if (driver_->registerQuestionRequested) {
        any = true;
        dialogs.askToSubmit();
        if (!driver_ || quitRequested_) return;
        driver_->registerQuestionRequested = false;
    }
    if (driver_->registerDialogRequested) {
        any = true;
        dialogs.registerScore();
        if (!driver_ || quitRequested_) return;
        driver_->registerDialogRequested = false;
    }
    if (driver_->infoDialogRequested) {
        any = true;
        dialogs.showInformation(infoTextIndex);
        if (!driver_ || quitRequested_) return;
        driver_->infoDialogRequested = false;
    }
    // A finished game waits on its last picture for a restart: offer one, once per game over, after the
    // score questions are out of the way.
    if (driver_->gameOverReached && !playAgainOffered_) {
        playAgainOffered_ = true;
        any = true;
        dialogs.askToPlayAgain();
        if (!driver_ || quitRequested_) return;
    }
    if (replayRequest_ != ReplayRequest::None) {
        any = true;
        // After a replay a fresh game stands at its title: none of this time belongs to it.
        if (runReplayRequest(dialogs)) return;
    }
    // Reading the rules in the middle of a period costs no clock time. While the game is held anyway
    // (a dialog chosen from an open menu), the end of the hold leaves it all out at once.
    if (any && !held_) leaveOutOfClock(clock_.nowMs() - opened);
}

void GameSession::stepFrame() {
    if (!driver_ || quitRequested_) return;
    driver_->step();
    if (World* world = driver_->world(); world && !world->onTitle() && replayOf_)
        if (auto log = replayOf_()) lastGame_ = std::move(log);
    if (GuardedCounter* score = worldScore()) {
        if (score->get() > bestScore.get()) {
            bestScore.set(score->get());
            bestScoreTime = static_cast<int32_t>(clock_.nowMs() - driver_->baseTime());
            bestScoreTampered = tamperFlag;
            bestReplay_ = replayOf_ ? replayOf_() : nullptr;
        }
    }
}

void GameSession::checkRestartKey(bool f1Down) {
    if (driver_ && f1Down) driver_->restartRequested = true;
}

void GameSession::hold(bool held) {
    if (held == held_) return;
    held_ = held;
    if (held) {
        heldSince_ = clock_.nowMs();
        return;
    }
    leaveOutOfClock(clock_.nowMs() - heldSince_);
    // No burst of unseen update-only frames after the game stood still.
    if (driver_) driver_->resync();
}

void GameSession::showInformation(int index) {
    if (!driver_) return;
    infoTextIndex = index;
    driver_->infoDialogRequested = true;
}

CommandEffect GameSession::runCommand(int command) {
    CommandEffect effect;
    switch (command) {
    case CMD_NEW_GAME:
        if (driver_) driver_->restartRequested = true;
        break;
    case CMD_RULES:
        showInformation(0);
        break;
    case CMD_QUIT:
        effect.quit = true;
        break;
    case CMD_COMPETITION_RULES:
        showInformation(1);
        break;
    case CMD_ABOUT:
        showInformation(2);
        break;
    case CMD_HOW_TO_PLAY:
        showInformation(4);
        break;
    case CMD_ABOUT_ENGLISH:
        showInformation(3);
        break;
    case CMD_REGISTER:
        if (driver_ && driver_->gameOverReached) driver_->registerDialogRequested = true;
        break;
    case CMD_CHALLENGE:
        effect.url = pages_.channelPage(protocol::CHALLENGE_PATH);
        break;
    case CMD_CHANNEL_SITE:
        effect.url = pages_.channelPage(protocol::HOME_PATH);
        break;
    case CMD_BRAND_SITE:
        effect.url = brandPage("/");
        break;
    case CMD_PLAY_LAST_GAME:
        replayRequest_ = ReplayRequest::PlayLast;
        break;
    case CMD_SAVE_LAST_GAME:
        replayRequest_ = ReplayRequest::SaveLast;
        break;
    case CMD_OPEN_REPLAY:
        replayRequest_ = ReplayRequest::Open;
        break;
    default:
        break;
    }
    return effect;
}

void GameSession::answerSubmitQuestion(bool yes) {
    if (yes && driver_) driver_->registerDialogRequested = true;
}

void GameSession::closeInformation() {
    if (driver_) driver_->resync();
}

void GameSession::cancelRegister() {
    if (driver_) driver_->resync();
}

void GameSession::answerPlayAgain(bool yes) {
    if (!driver_) return;
    if (yes) {
        driver_->restartRequested = true;
        driver_->gameOverReached = false;
        driver_->resync();
    } else {
        quitRequested_ = true;
    }
}

bool GameSession::rememberLogin(const std::string& userName, const std::string& password) {
    userName_ = clampChars(userName, USER_NAME_MAX);
    password_ = clampChars(password, PASSWORD_MAX);
    return !userName_.empty() && !password_.empty();
}

ScoreSubmission GameSession::makeSubmission() const {
    ScoreSubmission record;
    record.userName = userName_;
    record.password = password_;
    record.score = bestScore.get();
    record.bestScoreTime = bestScoreTime;
    record.totalPlayTime = totalPlayTime();
    record.tampered = bestScoreTampered || tamperFlag;
    if (bestReplay_) record.replay = encodeReplay(bestReplay_->replay());
    return record;
}

RegisterOutcome GameSession::answerSubmission(const ScoreSubmission& done) {
    const RegisterOutcome outcome = registerOutcome(done, pages_);
    if (outcome.showRegOk) {
        // Registered: this score has had its chance.
        bestScore.set(0);
        if (driver_ && driver_->world()) driver_->world()->clearScore();
    }
    return outcome;
}

void GameSession::openReplayFile(std::string path) {
    replayRequest_ = ReplayRequest::File;
    replayFile_ = std::move(path);
}

bool GameSession::runReplayRequest(DialogHost& dialogs) {
    const ReplayRequest request = std::exchange(replayRequest_, ReplayRequest::None);
    std::string path = std::exchange(replayFile_, {});
    if (!dialogs.showsReplays()) return false;
    switch (request) {
    case ReplayRequest::None:
        return false;
    case ReplayRequest::SaveLast:
        if (lastGame_) {
            std::string message;
            saveLastGame(replayFolder, lastGame_->replay(), message);
            dialogs.tell(REPLAY_CAPTION, message);
        }
        return false;
    case ReplayRequest::PlayLast:
        return lastGame_ && showReplay(dialogs, lastGame_->replay());
    case ReplayRequest::Open:
        path = dialogs.askForReplayFile();
        if (path.empty() || quitRequested_) return false;
        break;
    case ReplayRequest::File:
        break;
    }
    std::string why;
    std::optional<Replay> replay = readReplayFile(replayPathOf(path), why);
    if (!replay) {
        dialogs.tell(REPLAY_CAPTION, why);
        return false;
    }
    return showReplay(dialogs, std::move(*replay));
}

bool GameSession::showReplay(DialogHost& dialogs, Replay replay) {
    if (!makeViewer || !driver_) return false;
    // A game still being played ends only when the player agrees.
    const World* world = driver_->world();
    if (world && !world->onTitle() && !driver_->gameOverReached && !dialogs.confirmEndGame()) return false;
    if (quitRequested_) return false;
    // The game in play goes before the replay's world is built: both would draw on the one screen the game
    // keeps, and set the one tamper flag. The player's flag is kept aside meanwhile.
    const bool tampered = tamperFlag;
    driver_.reset();
    std::string problem;
    {
        const std::unique_ptr<ReplayViewer> viewer = makeViewer(std::move(replay));
        dialogs.playBack(*viewer);
        problem = viewer->problem();
    }
    if (!problem.empty() && !quitRequested_) dialogs.tell(REPLAY_CAPTION, replayProblemText(problem));
    // Then a fresh game at its title (unless the window closed meanwhile); watching a replay never changes
    // what the next score post says.
    if (!quitRequested_) driver_ = std::make_unique<FrameDriver>(clock_, makeWorld_);
    tamperFlag = tampered;
    heldSince_ = clock_.nowMs();
    return true;
}

uint32_t GameSession::quit() {
    playTime_.addNow();
    quitRequested_ = true;
    // The loop is single-threaded, so no step can be running here; the driver says so itself if it ever is.
    if (driver_ && !driver_->busy()) driver_.reset();
    return totalPlayTime();
}

bool loopPass(GameSession& session, ShellWindow& window) {
    session.keepPlayTime();
    session.offerBestScore();
    session.openRequestedDialogs(window);
    if (session.quitRequested()) return false;

    const bool held = window.holding();
    session.hold(held);
    if (!held) session.stepFrame();
    const int command = window.paintMenus();
    session.checkRestartKey(window.restartKeyDown());

    // Commands run after the menu's frame is finished: they may open dialogs or end the program.
    if (isWindowCommand(command)) {
        window.runWindowCommand(command);
    } else if (command != 0) {
        const CommandEffect effect = session.runCommand(command);
        if (!effect.url.empty()) window.openUrl(effect.url);
        if (effect.quit && window.confirmQuit()) return false;
    }
    // A replay file dropped onto the window is shown with the next dialogs.
    if (std::string dropped = window.takeDroppedFile(); !dropped.empty())
        session.openReplayFile(std::move(dropped));
    if (!window.handleEvents(window.holding())) return false;
    return !session.quitRequested();
}

} // namespace tundrix
