// The score form's handling, from the raw body to the answer line(s).
#include "channel/score_desk.h"

#include "channel/crypto.h"
#include "channel/score_form.h"
#include "net/latin1_text.h"

namespace tundrix::channel {
namespace {

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts)
        out += (out.empty() ? "" : "; ") + p;
    return out;
}

// The newest known version when the sent build is another one; 0 when no releases are known.
int64_t newerVersionFor(Store& store, uint32_t crc, uint32_t length) {
    const std::vector<Release> releases = store.releases();
    if (releases.empty()) return 0;
    const Release& newest = releases.front();
    return newest.crc == crc && newest.length == length ? 0 : newest.version;
}

} // namespace

std::string answerText(int code, int64_t newerVersion) {
    std::string text = std::to_string(code) + "\r\n";
    if (newerVersion > 1) text += std::to_string(newerVersion) + "\r\n";
    return text;
}

DeskAnswer takeScore(Store& store, std::string_view body, std::string_view address, int64_t now,
                     const DeskHelpers& helpers) {
    DeskAnswer answer;
    std::string why;
    const std::optional<ScoreForm> form = decodeScoreForm(body, why);
    if (!form) {
        answer.status = 400;
        answer.text = "Felaktigt formul\xC3\xA4r / Malformed form: " + why + "\r\n";
        answer.logNote = "malformed: " + why;
        return answer;
    }
    std::string userKey = form->userName;
    for (char& c : userKey)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (helpers.perMember && !helpers.perMember->take(userKey, helpers.steadyNow)) {
        answer.status = 429;
        answer.retryAfter = helpers.perMember->waitSeconds(userKey, helpers.steadyNow);
        answer.text =
            "F\xC3\xB6r m\xC3\xA5nga f\xC3\xB6rs\xC3\xB6k, v\xC3\xA4nta en stund / Too many attempts, "
            "try again shortly\r\n";
        answer.logNote = "too many posts for one user name";
        return answer;
    }
    const int64_t newer = newerVersionFor(store, form->buildCrc, form->buildLength);
    // The game sends the user name in its single-byte code page; members are kept in UTF-8.
    const std::string email = windows1252ToUtf8(form->userName);
    const std::optional<Member> member = store.memberByEmail(email);
    if (!member) {
        answer.text = answerText(ANSWER_UNKNOWN_USER, newer);
        answer.logNote = "unknown user";
        return answer;
    }
    const bool verified = (helpers.credentials &&
                           helpers.credentials->known(email, form->password, member->passwordHash, now)) ||
                          verifyPassword(member->passwordHash, form->password);
    if (!verified) {
        answer.text = answerText(ANSWER_WRONG_PASSWORD, newer);
        answer.logNote = "wrong password for member " + std::to_string(member->id);
        return answer;
    }

    if (helpers.credentials) helpers.credentials->remember(email, form->password, member->passwordHash, now);

    std::vector<std::string> problems = form->problems;
    if (form->score < 0) problems.insert(problems.begin(), "the game reported altered counters");
    ScoreEntry entry;
    entry.memberId = member->id;
    entry.score = form->score;
    entry.flagged = !problems.empty();
    entry.flagReason = joined(problems);
    entry.bestScoreTime = form->bestScoreTime;
    entry.totalPlayTime = form->totalPlayTime;
    entry.speedCount = form->speedCount;
    entry.processor = windows1252ToUtf8(form->processor);
    entry.buildCrc = form->buildCrc;
    entry.buildLength = form->buildLength;
    entry.address = std::string(address);
    const std::optional<Recorded> recorded = store.recordScore(entry, tokenDigest(body), now);
    if (!recorded) {
        // Not kept: an error the game shows as a failed attempt, so the player can try again.
        answer.status = 503;
        answer.text = "Tillf\xC3\xA4lligt fel / Temporary failure, try again\r\n";
        answer.logNote = "not stored";
        return answer;
    }
    const bool best = *recorded == Recorded::PersonalBest;
    answer.text = answerText(best ? ANSWER_PERSONAL_BEST : ANSWER_REGISTERED, newer);
    answer.logNote = "member " + std::to_string(member->id) + " score " + std::to_string(form->score) +
                     (*recorded == Recorded::Replayed ? " sent again, counted once"
                      : entry.flagged                 ? " flagged: " + entry.flagReason
                      : best                          ? " personal best"
                                                      : "");
    return answer;
}

} // namespace tundrix::channel
