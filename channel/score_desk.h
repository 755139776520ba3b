// Takes a posted score form and gives the answer the game's register dialog acts on.
#pragma once
#include "channel/credential_cache.h"
#include "channel/limits.h"
#include "channel/replay_check.h"
#include "channel/score_writer.h"
#include "channel/store.h"
#include "channel/work_pool.h"
#include "protocol/replay_post.h"
#include "resources/embedded_resources.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace tundrix::channel {

struct DeskAnswer {
    int status = 200;        // HTTP status
    int retryAfter = 0;      // seconds, for a Retry-After header (0: none)
    std::string text;        // the plain-text body
    std::string logNote;     // what happened, for the server's log line (never a password)
    std::string unknownUser; // the address told it is no member's, in UTF-8 (empty for other answers)
};

struct DeskOptions {
    RateLimits limits;
    int64_t credentialLifetime = 600; // seconds a verified user name and password skip argon2id (0: never)
};

// Decodes and checks the form, finds the member, checks the password, keeps the score and answers.
//
// A score the game marked as altered, one whose fields do not add up, one beyond what the rules allow
// in the game time sent or longer than the time since the member's last post, or one from a build the
// operator never released (once any release is known) is kept flagged, with the reasons: it never
// reaches a leaderboard, and the answer does not tell the sender (1). A form that names no member or no
// score at all gets 400, which the game shows as a failed attempt. The answer carries the version notice
// whenever releases are known and the sent build is not the newest one. The member's previous post sent
// again unchanged (a retry after a lost answer) is answered 1 and not counted twice.
//
// An address over its allowance of posts, or of wrong passwords, gets 429 and no number; so does a user
// name with too many wrong passwords from that address (a right password never counts against anyone).
// A store that cannot keep the score or cannot be read (a full disk, damage) and a server too busy to
// check passwords answer 503. The game offers to try again after any of these.
class ScoreDesk {
  public:
    // passwords: where argon2id checks run (nullptr: on the caller's thread).
    ScoreDesk(Store& store, DeskOptions options, WorkPool* passwords);
    ScoreDesk(const ScoreDesk&) = delete;
    ScoreDesk& operator=(const ScoreDesk&) = delete;

    // Answers a post, now or later, on any thread; the answer is given once the score is on the disk.
    void take(std::string body, std::string address, int64_t now, std::function<void(DeskAnswer)> answer);
    // The same, waiting for the answer.
    DeskAnswer takeNow(std::string body, std::string address, int64_t now);

    // Takes a replay post: the member's login, the score and best-score time it claims, and the game's
    // recording, which must back the member's latest registered score with that score and time and be
    // the first sent for it (the same one sent again gets the first one's answer). The game is played
    // again on the checker's thread and the answer is its verdict; the same limits as the score form's.
    // When the checker's queue is full the recording is kept and answered "queued": it is played once
    // there is room, and its verdict is filed then.
    void takeReplay(std::string body, std::string address, int64_t now,
                    std::function<void(DeskAnswer)> answer);
    DeskAnswer takeReplayNow(std::string body, std::string address, int64_t now);

    // A verified score's run as an animated picture: drawn from its recording on the checker's thread the
    // first time it is asked for, and kept. The answer: 200 with the picture, 404 for no verified score,
    // 503 when the checker's queue is full.
    struct Run {
        int status = 404;
        std::vector<uint8_t> gif;
    };
    void run(int64_t scoreId, std::function<void(Run)> answer);

    // Hands the checker the recordings kept as queued that it does not hold yet, oldest first, as long as
    // it has room: those that found it full, and those a stop left behind. Runs again after every check.
    void checkWaiting(int64_t now);

  private:
    struct Post;
    struct ReplayPosting;
    void checked(std::shared_ptr<Post> post, bool verified);
    // Wrong passwords, counted per user name at an address and per address: how long to wait before the
    // next try, or nothing while neither count is full.
    std::optional<int> failuresWait(const std::string& name, const std::string& address, int64_t steadyNow);
    void noteFailure(const std::string& name, const std::string& address, int64_t steadyNow);
    // Whether the password is the member's: at once when this login was remembered, otherwise on the
    // password workers (or here without them); then runs where the check ran. False when the workers are
    // too busy to take it.
    bool checkPassword(const std::string& email, const std::string& password, const std::string& hash,
                       int64_t now, std::function<void(bool)> then);
    void replayChecked(std::shared_ptr<ReplayPosting> post, bool verified);
    using Verdict = std::function<void(protocol::ReplayAnswer, const ReplayCheck&)>;
    // Queues a recording kept as queued for its check, which is filed before then runs; false when the
    // checker is full or holds it already.
    bool check(ReplayClaim claim, std::vector<uint8_t> file, int64_t now, Verdict then);

    Store& store_;
    DeskOptions options_;
    WorkPool* passwords_;
    CredentialCache credentials_;
    RateLimiter perAddress_, failuresPerName_, failuresPerAddress_;
    ScoreWriter writer_;
    EmbeddedResources resources_;
    std::mutex checkingMutex_;
    std::set<int64_t> checking_; // scores whose recordings the checker holds
    ReplayChecker checker_;
};

} // namespace tundrix::channel
