// The loop's game-side rules: best-score tracking, the submission offer, dialog order, menu commands and
// the register outcome table (no SDL here).
#include "shell/game_session.h"

#include "shell/web_pages.h"

namespace tundrix {

std::string urlQueryValue(std::string_view text) {
    static const char HEX[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                c == '-' || c == '_' || c == '.' || c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += HEX[c >> 4];
            out += HEX[c & 15];
        }
    }
    return out;
}

std::string clampChars(const std::string& text, size_t maxChars) {
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        // A character starts at every byte that is not a UTF-8 continuation byte.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (chars == maxChars) return text.substr(0, i);
            ++chars;
        }
    }
    return text;
}

RegisterOutcome registerOutcome(int resultCode, int versionNotice, const std::string& userName) {
    RegisterOutcome out;
    if (versionNotice > 1) {
        out.pages.push_back(channelPage("/version.asp?gameid=" + std::to_string(versionNotice)));
        out.close = true;
    }
    switch (resultCode) {
    case -1:
        out.button = RegisterOutcome::Button::Retry;
        out.pages.push_back(channelPage("/dll/"));
        break;
    case 2:
        out.button = RegisterOutcome::Button::Retry;
        out.pages.push_back(channelPage("/registrera/"));
        break;
    case 3:
        // The typed name goes into a query, so it is escaped: an '&' or a space would break the link.
        out.button = RegisterOutcome::Button::Retry;
        out.pages.push_back(channelPage("/getpass.asp?mail=" + urlQueryValue(userName)));
        break;
    case 0:
    case 1:
        out.showRegOk = true;
        out.close = true;
        break;
    default:
        // Any other answer (no verdict, a transport failure): the score was not registered, so the
        // button offers another try instead of claiming to be still sending.
        out.button = RegisterOutcome::Button::Retry;
        break;
    }
    return out;
}

GameSession::GameSession(Clock& clock, uint32_t runStart, uint32_t storedPlayTime,
                         FrameDriver::WorldFactory makeWorld, ScoreOf scoreOf)
    : clock_(clock), runStart_(runStart), storedPlayTime_(storedPlayTime), scoreOf_(std::move(scoreOf)) {
    driver_ = std::make_unique<FrameDriver>(clock_, std::move(makeWorld));
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

void GameSession::openRequestedDialogs(DialogHost& dialogs) {
    // A dialog may end the run (the window closed under it): nothing more is opened then.
    if (!driver_ || quitRequested_) return;
    if (driver_->registerQuestionRequested) {
        dialogs.askToSubmit();
        if (!driver_ || quitRequested_) return;
        driver_->registerQuestionRequested = false;
    }
    if (driver_->registerDialogRequested) {
        dialogs.registerScore();
        if (!driver_ || quitRequested_) return;
        driver_->registerDialogRequested = false;
    }
    if (driver_->infoDialogRequested) {
        dialogs.showInformation(infoTextIndex);
        if (!driver_ || quitRequested_) return;
        driver_->infoDialogRequested = false;
    }
    // A finished game waits on its last picture for a restart: offer one, once per game over, after the
    // score questions are out of the way.
    if (driver_->gameOverReached && !playAgainOffered_) {
        playAgainOffered_ = true;
        dialogs.askToPlayAgain();
    }
}

void GameSession::stepFrame() {
    if (!driver_ || quitRequested_) return;
    driver_->step();
    if (GuardedCounter* score = worldScore()) {
        if (score->get() > bestScore.get()) {
            bestScore.set(score->get());
            bestScoreTime = static_cast<int32_t>(clock_.nowMs() - driver_->baseTime());
            bestScoreTampered = tamperFlag;
        }
    }
}

void GameSession::checkRestartKey(bool f1Down) {
    if (driver_ && f1Down) driver_->restartRequested = true;
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
        effect.url = channelPage("/useradm/challenge/");
        break;
    case CMD_CHANNEL_SITE:
        effect.url = channelPage("/");
        break;
    case CMD_BRAND_SITE:
        effect.url = brandPage("/");
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

RegisterOutcome GameSession::submitBestScore(const SubmitScore& submit) {
    ScoreSubmission record;
    record.userName = userName_;
    record.password = password_;
    record.score = bestScore.get();
    record.bestScoreTime = bestScoreTime;
    record.totalPlayTime = totalPlayTime();
    record.tampered = bestScoreTampered || tamperFlag;
    if (submit) submit(record);

    // Whatever the answer, this score has had its chance: a later offer needs a better game.
    bestScore.set(0);
    if (GuardedCounter* score = worldScore()) score->set(0);
    return registerOutcome(record.resultCode, record.versionNotice, userName_);
}

uint32_t GameSession::totalPlayTime() const {
    return storedPlayTime_ + (clock_.nowMs() - runStart_);
}

uint32_t GameSession::quit() {
    const uint32_t total = totalPlayTime();
    quitRequested_ = true;
    // The loop is single-threaded, so no step can be running here; the driver says so itself if it ever is.
    if (driver_ && !driver_->busy()) driver_.reset();
    return total;
}

} // namespace tundrix
