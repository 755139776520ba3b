// The score form's handling, from the raw body to the answer line(s): limits, the member and the
// password (on the password workers when it is not remembered), the checks, then the group commit.
#include "channel/score_desk.h"

#include "channel/accounts.h"
#include "channel/crypto.h"
#include "channel/plausibility.h"
#include "net/latin1_text.h"
#include "protocol/paths.h"
#include "protocol/replay_post.h"
#include "protocol/score_answer.h"
#include "protocol/score_form.h"
#include "replay/replay_codec.h"
#include "replay/replay_movie.h"

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

bool sameBuild(const Release& r, uint32_t crc, uint32_t length) {
    return r.crc == crc && r.length == length;
}

// Made by a build the operator released, once any release is known.
bool fromRelease(const std::vector<Release>& releases, uint32_t crc, uint32_t length) {
    return releases.empty() || std::any_of(releases.begin(), releases.end(),
                                           [&](const Release& r) { return sameBuild(r, crc, length); });
}

// The newest known version when the sent build is another one; 0 when no releases are known.
int64_t newerVersion(const std::vector<Release>& releases, const protocol::ScoreForm& form) {
    return releases.empty() || sameBuild(releases.front(), form.buildCrc, form.buildLength)
               ? 0
               : releases.front().version;
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
      failuresPerAddress_(options_.limits.scoreFailuresPerAddress), writer_(store), checker_(resources_, {}) {
}

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
    if (const std::optional<int> wait =
            limited ? failuresWait(post->name, post->address, steadyNow) : std::nullopt) {
        post->answer(refusal(429, TOO_MANY, "too many wrong passwords", *wait));
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
        a.unknownUser = post->email;
        post->answer(std::move(a));
        return;
    }
    post->member = std::move(*member.row);
    if (!checkPassword(post->email, post->form.password, post->member.passwordHash, now,
                       [this, post](bool verified) { checked(post, verified); }))
        post->answer(refusal(503, TRY_AGAIN, "too busy to check the password", 1));
}

bool ScoreDesk::checkPassword(const std::string& email, const std::string& password, const std::string& hash,
                              int64_t now, std::function<void(bool)> then) {
    if (credentials_.known(email, password, hash, now)) {
        then(true);
        return true;
    }
    auto verify = [hash, password, then] { then(verifyPassword(hash, password)); };
    if (!passwords_) {
        verify();
        return true;
    }
    return passwords_->submit(verify);
}

std::optional<int> ScoreDesk::failuresWait(const std::string& name, const std::string& address,
                                           int64_t steadyNow) {
    if (failuresPerName_.allows(name, steadyNow) && failuresPerAddress_.allows(address, steadyNow))
        return std::nullopt;
    return std::max(failuresPerName_.waitSeconds(name, steadyNow),
                    failuresPerAddress_.waitSeconds(address, steadyNow));
}

void ScoreDesk::noteFailure(const std::string& name, const std::string& address, int64_t steadyNow) {
    if (!options_.limits.enabled) return;
    failuresPerName_.take(name, steadyNow);
    failuresPerAddress_.take(address, steadyNow);
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
        noteFailure(post->name, post->address, post->steadyNow);
        DeskAnswer a;
        a.text = protocol::answerText(protocol::ScoreAnswer::WrongPassword, newer);
        a.logNote = "wrong password for member " + std::to_string(member.id);
        post->answer(std::move(a));
        return;
    }
    credentials_.remember(post->email, form.password, member.passwordHash, post->now);

    std::vector<std::string> problems = post->problems;
    if (form.score < 0) problems.insert(problems.begin(), "the game reported altered counters");
    // Kept, and answered as any score kept aside: the game is told nothing it would act on.
    if (member.banned) problems.insert(problems.begin(), "the member is banned");
    PostedScore posted;
    posted.score = form.score;
    posted.bestScoreTime = form.bestScoreTime;
    if (member.lastPostAt > 0) posted.sinceLastPost = post->now - member.lastPostAt;
    posted.releasedBuild = fromRelease(*releases, form.buildCrc, form.buildLength);
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

// One replay post on its way through the desk.
struct ScoreDesk::ReplayPosting {
    protocol::ReplayPost post;
    std::string address;
    std::string name; // the canonical user name with the address, as the score form's limits key it
    std::string email;
    Member member;
    int64_t now = 0;
    double steadyNow = 0;
    std::function<void(DeskAnswer)> answer;
};

namespace {

DeskAnswer replayAnswer(protocol::ReplayAnswer a, std::string note) {
    DeskAnswer out;
    out.text = protocol::replayAnswerText(a);
    out.logNote = std::move(note);
    return out;
}

protocol::ReplayAnswer answerFor(const ReplayCheck& check) {
    switch (check.result) {
    case ReplayCheck::Result::Verified:
        return protocol::ReplayAnswer::Verified;
    case ReplayCheck::Result::Unreadable:
        return protocol::ReplayAnswer::Unreadable;
    case ReplayCheck::Result::Mismatch:
        break;
    }
    return protocol::ReplayAnswer::DoesNotReach;
}

} // namespace

void ScoreDesk::takeReplay(std::string body, std::string address, int64_t now,
                           std::function<void(DeskAnswer)> answer) {
    const bool limited = options_.limits.enabled;
    const double steadyNow = steadySeconds();
    if (limited && !perAddress_.take(address, steadyNow)) {
        answer(refusal(429, TOO_MANY, "replay: too many posts from one address",
                       perAddress_.waitSeconds(address, steadyNow)));
        return;
    }
    std::string why;
    std::optional<protocol::ReplayPost> decoded = protocol::decodeReplayPost(body, why);
    if (!decoded) {
        answer(replayAnswer(protocol::ReplayAnswer::Malformed, "replay malformed: " + why));
        return;
    }
    auto post = std::make_shared<ReplayPosting>();
    post->email = canonicalUserName(windows1252ToUtf8(decoded->userName));
    post->name = post->email + " " + address;
    post->post = std::move(*decoded);
    post->address = std::move(address);
    post->now = now;
    post->steadyNow = steadyNow;
    post->answer = std::move(answer);
    if (const std::optional<int> wait =
            limited ? failuresWait(post->name, post->address, steadyNow) : std::nullopt) {
        post->answer(refusal(429, TOO_MANY, "replay: too many wrong passwords", *wait));
        return;
    }
    const Lookup<Member> member = store_.memberByEmail(post->email);
    if (member.failed) {
        post->answer(refusal(503, TRY_AGAIN, "replay: the members cannot be read"));
        return;
    }
    if (!member.row) {
        if (limited) failuresPerAddress_.take(post->address, steadyNow);
        post->answer(replayAnswer(protocol::ReplayAnswer::WrongUser, "replay: unknown user"));
        return;
    }
    post->member = std::move(*member.row);
    // The score form just before it has usually left the login remembered.
    if (!checkPassword(post->email, post->post.password, post->member.passwordHash, now,
                       [this, post](bool verified) { replayChecked(post, verified); }))
        post->answer(refusal(503, TRY_AGAIN, "replay: too busy to check the password", 1));
}

void ScoreDesk::replayChecked(std::shared_ptr<ReplayPosting> post, bool verified) {
    const Member& member = post->member;
    const std::string who = "replay from member " + std::to_string(member.id);
    if (!verified) {
        noteFailure(post->name, post->address, post->steadyNow);
        post->answer(replayAnswer(protocol::ReplayAnswer::WrongUser, who + ": wrong password"));
        return;
    }
    credentials_.remember(post->email, post->post.password, member.passwordHash, post->now);
    const Lookup<ReplayTarget> target =
        store_.replayTarget(member.id, post->post.score, post->post.bestScoreTime);
    if (target.failed) {
        post->answer(refusal(503, TRY_AGAIN, who + ": the scores cannot be read"));
        return;
    }
    if (!target.row) {
        post->answer(replayAnswer(protocol::ReplayAnswer::NoSuchScore,
                                  who + ": no registered score " + std::to_string(post->post.score)));
        return;
    }
    const ReplayTarget& t = *target.row;
    const std::string note = who + " for score " + std::to_string(t.scoreId);
    if (t.result) {
        // Sent again (a retry after a lost answer): the first one's verdict stands.
        const int kept = *t.result;
        post->answer(replayAnswer(kept >= 0 && kept <= protocol::REPLAY_ANSWER_LAST
                                      ? static_cast<protocol::ReplayAnswer>(kept)
                                      : protocol::ReplayAnswer::Queued,
                                  note + " sent again"));
        return;
    }
    // Made by a build the operator released, once any release is known.
    const std::optional<std::vector<Release>> releases = store_.releases();
    if (!releases) {
        post->answer(refusal(503, TRY_AGAIN, note + ": the releases cannot be read"));
        return;
    }
    const bool released = fromRelease(*releases, t.buildCrc, t.buildLength);
    const int queued = static_cast<int>(protocol::ReplayAnswer::Queued);
    if (!store_.keepReplay(t.scoreId, post->post.replay, queued, post->now)) {
        post->answer(refusal(503, TRY_AGAIN, note + ": not stored"));
        return;
    }
    if (!released) {
        const int notReached = static_cast<int>(protocol::ReplayAnswer::DoesNotReach);
        store_.fileReplayCheck(t.scoreId, notReached, "made by a build the channel does not know", "",
                               post->now);
        post->answer(replayAnswer(protocol::ReplayAnswer::DoesNotReach, note + ": unknown build"));
        return;
    }
    ReplayClaim claim;
    claim.scoreId = t.scoreId;
    claim.score = post->post.score;
    claim.bestScoreTime = post->post.bestScoreTime;
    claim.build = ReplayBuild{protocol::GAME_ID, t.buildCrc, t.buildLength};
    const bool checking = check(
        claim, post->post.replay, post->now,
        [post, note](protocol::ReplayAnswer answer, const ReplayCheck& c) {
            post->answer(replayAnswer(answer, note + (answer == protocol::ReplayAnswer::Verified ? " verified"
                                                      : c.reason.empty() ? " not verified"
                                                                         : ": " + c.reason)));
        });
    if (!checking)
        post->answer(
            replayAnswer(protocol::ReplayAnswer::Queued,
                         note + ": queued, " + std::to_string(checker_.queued()) + " games before it"));
}

bool ScoreDesk::check(ReplayClaim claim, std::vector<uint8_t> file, int64_t now, Verdict then) {
    const int64_t scoreId = claim.scoreId;
    {
        std::lock_guard lock(checkingMutex_);
        if (!checking_.insert(scoreId).second) return false;
    }
    const auto ticket =
        checker_.submit(std::move(file), claim, [this, scoreId, now, then](const ReplayCheck& c) {
            // Filed before the member hears it (the same game behind another score is filed as not reaching
            // this one); a verdict that cannot be filed leaves the recording queued, to be played again.
            const std::optional<int> filed =
                store_.fileReplayCheck(scoreId, static_cast<int>(answerFor(c)), c.reason, c.fingerprint, now);
            {
                std::lock_guard lock(checkingMutex_);
                checking_.erase(scoreId);
            }
            if (then)
                then(filed ? static_cast<protocol::ReplayAnswer>(*filed) : protocol::ReplayAnswer::Queued, c);
            if (filed) checkWaiting(now);
        });
    if (ticket) return true;
    std::lock_guard lock(checkingMutex_);
    checking_.erase(scoreId);
    return false;
}

void ScoreDesk::checkWaiting(int64_t now) {
    // Only when the queue is short, so a post coming in finds room; a few at a time, since each holds its
    // recording in memory while it waits.
    constexpr size_t ROOM = 4;
    if (checker_.queued() > ROOM) return;
    for (WaitingReplay& w : store_.waitingReplays(static_cast<int>(ROOM * 2))) {
        ReplayClaim claim{
            w.scoreId, w.score, w.bestScoreTime, {protocol::GAME_ID, w.buildCrc, w.buildLength}};
        {
            std::lock_guard lock(checkingMutex_);
            if (checking_.count(w.scoreId)) continue;
        }
        if (checker_.queued() >= ROOM || !check(claim, std::move(w.file), now, {})) break;
    }
}

void ScoreDesk::run(int64_t scoreId, std::function<void(Run)> answer) {
    if (std::optional<std::vector<uint8_t>> kept = store_.movie(scoreId)) {
        answer(Run{200, std::move(*kept)});
        return;
    }
    std::optional<std::vector<uint8_t>> file = store_.verifiedReplay(scoreId);
    if (!file) {
        answer(Run{});
        return;
    }
    Store& store = store_;
    const ResourceStore& resources = resources_;
    auto draw = [scoreId, file = std::move(*file), answer, &store, &resources] {
        std::string why;
        const std::optional<Replay> replay = decodeReplay(file, why);
        Movie movie = replay ? renderMovie(*replay, resources) : Movie{};
        if (movie.gif.empty()) {
            answer(Run{});
            return;
        }
        store.keepMovie(scoreId, movie.gif);
        answer(Run{200, std::move(movie.gif)});
    };
    if (!checker_.submitWork(std::move(draw))) answer(Run{503, {}});
}

DeskAnswer ScoreDesk::takeReplayNow(std::string body, std::string address, int64_t now) {
    std::promise<DeskAnswer> promise;
    std::future<DeskAnswer> future = promise.get_future();
    takeReplay(std::move(body), std::move(address), now,
               [&promise](DeskAnswer a) { promise.set_value(std::move(a)); });
    return future.get();
}

DeskAnswer ScoreDesk::takeNow(std::string body, std::string address, int64_t now) {
    std::promise<DeskAnswer> promise;
    std::future<DeskAnswer> future = promise.get_future();
    take(std::move(body), std::move(address), now,
         [&promise](DeskAnswer a) { promise.set_value(std::move(a)); });
    return future.get();
}

} // namespace tundrix::channel
