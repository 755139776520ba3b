// The register dialog's answer table: pages to open, the button's text, closing, and why an attempt failed.
#include "shell/register_outcome.h"

#include "net/score_submission.h"
#include "protocol/paths.h"
#include "protocol/replay_post.h"
#include "protocol/score_answer.h"

namespace tundrix {

namespace {
// The channel's answers as the record keeps them.
constexpr int32_t answered(protocol::ScoreAnswer a) {
    return static_cast<int32_t>(a);
}
constexpr int32_t PERSONAL_BEST = answered(protocol::ScoreAnswer::PersonalBest);
constexpr int32_t REGISTERED = answered(protocol::ScoreAnswer::Registered);
constexpr int32_t UNKNOWN_USER = answered(protocol::ScoreAnswer::UnknownUser);
constexpr int32_t WRONG_PASSWORD = answered(protocol::ScoreAnswer::WrongPassword);
constexpr int TOO_MANY_ATTEMPTS = 429; // HTTP status: the channel's limit on tries was reached
constexpr int CANNOT_STORE = 503;      // HTTP status: the channel is up but cannot keep the score now

// "För många försök", and when to try again: in seconds, in whole minutes from two minutes up (rounded
// up, so the player never tries too early), or "in a while" when the channel named no wait.
std::string tooManyAttempts(int retryAfterSeconds) {
    std::string sv = "en stund", en = "a while";
    if (retryAfterSeconds == 1) {
        sv = "1 sekund";
        en = "1 second";
    } else if (retryAfterSeconds > 1 && retryAfterSeconds < 120) {
        sv = std::to_string(retryAfterSeconds) + " sekunder";
        en = std::to_string(retryAfterSeconds) + " seconds";
    } else if (retryAfterSeconds >= 120) {
        const std::string minutes = std::to_string(retryAfterSeconds / 60 + (retryAfterSeconds % 60 != 0));
        sv = minutes + " minuter";
        en = minutes + " minutes";
    }
    return "För många försök: försök igen om " + sv + ". / Too many attempts: try again in " + en + ".";
}

std::string whyFailed(const ScoreSubmission& done) {
    switch (done.resultCode) {
    case -1:
        return "Det finns inget HTTP-bibliotek på datorn. / "
               "There is no HTTP library on this computer.";
    case UNKNOWN_USER:
        return "Okänd användare. / Unknown user.";
    case WRONG_PASSWORD:
        return "Fel lösenord. / Wrong password.";
    case TOO_MANY_ATTEMPTS:
        return tooManyAttempts(done.retryAfterSeconds);
    case CANNOT_STORE:
        return "Lumora kan inte spara poängen just nu: försök igen senare. / "
               "The channel cannot store the score just now: try again later.";
    default:
        break;
    }
    if (done.resultCode > TRANSPORT_ERROR_BASE && done.resultCode < ANSWER_WITHOUT_RESULT) {
        // The server was reached when the form went out: it broke off or kept the answer too long.
        if (done.exchange == HttpOutcome::TooSlow)
            return "Lumora svarade för långsamt. / The channel answered too slowly.";
        if (done.exchange == HttpOutcome::Failed)
            return "Förbindelsen med Lumora bröts innan svaret kom. / "
                   "The connection to the channel broke off before it answered.";
        return "Kunde inte nå Lumora. / The channel could not be reached.";
    }
    return "Svaret gick inte att förstå. / The answer could not be understood.";
}
} // namespace

RegisterOutcome registerOutcome(const ScoreSubmission& done, const WebPages& pages) {
    RegisterOutcome out;
    if (done.versionNotice > 1) {
        out.pages.push_back(pages.channelPage(protocol::versionPage(done.versionNotice)));
        out.close = true;
    }
    switch (done.resultCode) {
    case -1:
        out.pages.push_back(pages.channelPage(protocol::LIBRARY_HELP_PATH));
        break;
    case UNKNOWN_USER:
        out.pages.push_back(pages.channelPage(protocol::SIGNUP_PATH));
        break;
    case WRONG_PASSWORD:
        // The typed name goes into a query, escaped there: an '&' or a space would break the link.
        out.pages.push_back(pages.channelPage(protocol::passwordHelpPage(done.userName)));
        break;
    case PERSONAL_BEST:
    case REGISTERED:
        out.showRegOk = true;
        out.close = true;
        if (!done.replay.empty() && done.replayAnswer != static_cast<int>(protocol::ReplayAnswer::Verified) &&
            done.replayAnswer != static_cast<int>(protocol::ReplayAnswer::Queued))
            out.unverified = "Lumora kunde inte spela om matchen, så poängen är inte verifierad. / "
                             "The channel could not play the game again, so the score is not verified.";
        return out;
    default:
        // Any other answer (no verdict, a transport failure): the score was not registered, so the
        // button offers another try instead of claiming to be still sending.
        break;
    }
    out.button = RegisterOutcome::Button::Retry;
    out.why = whyFailed(done);
    return out;
}

} // namespace tundrix
