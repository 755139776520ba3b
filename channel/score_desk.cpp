// The score form's handling, from the raw body to the answer line(s): limits, the member and the
// password (on the password workers when it is not remembered), the checks, then the group commit.
#include "channel/score_desk.h"

#include "channel/accounts.h"
#include "channel/crypto.h"
#include "channel/plausibility.h"
#include "net/latin1_text.h"
#include "protocol/score_answer.h"
#include "protocol/score_form.h"

#include <algorithm>
#include <future>

namespace tundrix::channel {
namespace {

constexpr char TOO_MANY[] = "För många försök, vänta en stund / Too many attempts, try again shortly\r\n";
constexpr char TRY_AGAIN[] = "Tillfälligt fel / Temporary failure, try again\r\n";

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts)
        out += (out.empty() ? "" : "; ") + p;
    return out;
}

bool sameBuild(const Release& r, const protocol::ScoreForm& form) {
    return r.crc == form.buildCrc && r.length == form.buildLength;
}

// The newest known version when the sent build is another one; 0 when no releases are known.
int64_t newerVersion(const std::vector<Release>& releases, const protocol::ScoreForm& form) {
    return releases.empty() || sameBuild(releases.front(), form) ? 0 : releases.front().version;
}

DeskAnswer refusal(int status, const char* text, std::string note, int retryAfter = 0) {
    DeskAnswer a;
    a.status = status;
    a.text = text;
    a.logNote = std::move(note);
    a.retryAfter = retryAfter;
    return a;
}

} // namespace

// One post on its way through the desk.
struct ScoreDesk::Post {
    protocol::ScoreForm form;
    std::vector<std::string> problems; // what does not add up in the form
    std::string body;
    std::string address;
    std::string name; // the canonical user name
    std::string email;
    Member member;
    int64_t now = 0;
    double steadyNow = 0;
    std::function<void(DeskAnswer)> answer;
};

ScoreDesk::ScoreDesk(Store& store, DeskOptions options, WorkPool* passwords)
    : store_(store), options_(std::move(options)), passwords_(passwords),
      credentials_(options_.credentialLifetime), perAddress_(options_.limits.scorePerAddress),
      failuresPerName_(options_.limits.scoreFailuresPerName),
      failuresPerAddress_(options_.limits.scoreFailuresPerAddress), writer_(store) {}

void ScoreDesk::take(std::string body, std::string address, int64_t now,
                     std::function<void(DeskAnswer)> answer) {
    const bool limited = options_.limits.enabled;
    const double steadyNow = steadySeconds();
    if (limited && !perAddress_.take(address, steadyNow)) {
        answer(refusal(429, TOO_MANY, "too many posts from one address",
                       perAddress_.waitSeconds(address, steadyNow)));
        return;
    }
    std::string why;
    std::vector<std::string> problems;
    std::optional<protocol::ScoreForm> form = protocol::decodeScoreForm(body, why, problems);
    if (!form) {
        DeskAnswer a = refusal(400, "", "malformed: " + why);
        a.text = "Felaktigt formulär / Malformed form: " + why + "\r\n";
        answer(std::move(a));
        return;
    }
    auto post = std::make_shared<Post>();
    // The game sends the user name in its single-byte code page; members are kept in UTF-8.
    post->email = canonicalUserName(windows1252ToUtf8(form->userName));
    post->name = post->email + " " + address;
    post->form = std::move(*form);
    post->problems = std::move(problems);
    post->body = std::move(body);
    post->address = std::move(address);
    post->now = now;
    post->steadyNow = steadyNow;
    post->answer = std::move(answer);
    if (limited && (!failuresPerName_.allows(post->name, steadyNow) ||
                    !failuresPerAddress_.allows(post->address, steadyNow))) {
        const int wait = std::max(failuresPerName_.waitSeconds(post->name, steadyNow),
                                  failuresPerAddress_.waitSeconds(post->address, steadyNow));
        post->answer(refusal(429, TOO_MANY, "too many wrong passwords", wait));
        return;
    }
    const Lookup<Member> member = store_.memberByEmail(post->email);
    if (member.failed) {
        post->answer(refusal(503, TRY_AGAIN, "the members cannot be read"));
        return;
    }
    if (!member.row) {
        if (limited) failuresPerAddress_.take(post->address, steadyNow);
        const std::optional<std::vector<Release>> releases = store_.releases();
        DeskAnswer a;
        a.text = protocol::answerText(protocol::ScoreAnswer::UnknownUser,
                                      releases ? newerVersion(*releases, post->form) : 0);
        a.logNote = "unknown user";
        post->answer(std::move(a));
        return;
    }
    post->member = std::move(*member.row);
    if (credentials_.known(post->email, post->form.password, post->member.passwordHash, now)) {
        checked(post, true);
        return;
    }
    auto verify = [this, post] {
        checked(post, verifyPassword(post->member.passwordHash, post->form.password));
    };
    if (!passwords_) {
        verify();
    } else if (!passwords_->submit(verify)) {
        post->answer(refusal(503, TRY_AGAIN, "too busy to check the password", 1));
    }
}

void ScoreDesk::checked(std::shared_ptr<Post> post, bool verified) {
    const std::optional<std::vector<Release>> releases = store_.releases();
    if (!releases) {
        post->answer(refusal(503, TRY_AGAIN, "the releases cannot be read"));
        return;
    }
    const protocol::ScoreForm& form = post->form;
    const int64_t newer = newerVersion(*releases, form);
    const Member& member = post->member;
    if (!verified) {
        if (options_.limits.enabled) {
            failuresPerName_.take(post->name, post->steadyNow);
            failuresPerAddress_.take(post->address, post->steadyNow);
        }
        DeskAnswer a;
        a.text = protocol::answerText(protocol::ScoreAnswer::WrongPassword, newer);
        a.logNote = "wrong password for member " + std::to_string(member.id);
        post->answer(std::move(a));
        return;
    }
    credentials_.remember(post->email, form.password, member.passwordHash, post->now);

    std::vector<std::string> problems = post->problems;
    if (form.score < 0) problems.insert(problems.begin(), "the game reported altered counters");
    PostedScore posted;
    posted.score = form.score;
    posted.bestScoreTime = form.bestScoreTime;
    if (member.lastPostAt > 0) posted.sinceLastPost = post->now - member.lastPostAt;
    posted.releasedBuild =
        releases->empty() || std::any_of(releases->begin(), releases->end(),
                                         [&form](const Release& r) { return sameBuild(r, form); });
    for (std::string& p : implausibilities(posted))
        problems.push_back(std::move(p));

    PendingScore pending;
    ScoreEntry& entry = pending.entry;
    entry.memberId = member.id;
    entry.score = form.score;
    entry.flagged = !problems.empty();
    entry.flagReason = joined(problems);
    entry.bestScoreTime = form.bestScoreTime;
    entry.totalPlayTime = form.totalPlayTime;
    entry.speedCount = form.speedCount;
    entry.processor = windows1252ToUtf8(form.processor);
    entry.buildCrc = form.buildCrc;
    entry.buildLength = form.buildLength;
    entry.address = post->address;
    pending.post = tokenDigest(post->body);
    std::string note = "member " + std::to_string(member.id) + " score " + std::to_string(form.score);
    const bool flagged = entry.flagged;
    std::string reason = entry.flagReason;
    const bool queued = writer_.submit(
        std::move(pending), post->now,
        [post, newer, note, flagged, reason](std::optional<Recorded> recorded) {
            if (!recorded) {
                // Not kept: the game shows a failed attempt and may try again.
                post->answer(refusal(503, TRY_AGAIN, "not stored"));
                return;
            }
            const bool best = *recorded == Recorded::PersonalBest;
            DeskAnswer a;
            a.text = protocol::answerText(
                best ? protocol::ScoreAnswer::PersonalBest : protocol::ScoreAnswer::Registered, newer);
            a.logNote = note + (*recorded == Recorded::Replayed ? " sent again, counted once"
                                : flagged                       ? " flagged: " + reason
                                : best                          ? " personal best"
                                                                : "");
            post->answer(std::move(a));
        });
    if (!queued) post->answer(refusal(503, TRY_AGAIN, "too many scores waiting to be stored", 1));
}

DeskAnswer ScoreDesk::takeNow(std::string body, std::string address, int64_t now) {
    std::promise<DeskAnswer> promise;
    std::future<DeskAnswer> future = promise.get_future();
    take(std::move(body), std::move(address), now,
         [&promise](DeskAnswer a) { promise.set_value(std::move(a)); });
    return future.get();
}

} // namespace tundrix::channel
