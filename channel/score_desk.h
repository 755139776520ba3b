// Takes a posted score form and gives the answer the game's register dialog acts on.
#pragma once
#include "channel/credential_cache.h"
#include "channel/rate_limit.h"
#include "channel/store.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tundrix::channel {

// The numbers the game understands, first on the answer's first line.
inline constexpr int ANSWER_PERSONAL_BEST = 0;  // registered, the member's best so far
inline constexpr int ANSWER_REGISTERED = 1;     // registered (or kept aside, see below)
inline constexpr int ANSWER_UNKNOWN_USER = 2;   // the game opens the sign-up page
inline constexpr int ANSWER_WRONG_PASSWORD = 3; // the game opens the password page

struct DeskAnswer {
    int status = 200;    // HTTP status
    int retryAfter = 0;  // seconds, for a Retry-After header (0: none)
    std::string text;    // the plain-text body
    std::string logNote; // what happened, for the server's log line (never a password)
};

// What the desk may lean on beyond the store; all optional.
struct DeskHelpers {
    CredentialCache* credentials = nullptr; // skips the argon2id check of a pair verified just now
    RateLimiter* perMember = nullptr;       // posts per user name, wrong passwords included
    double steadyNow = 0;                   // the limiter's clock
};

// The answer text: the number, and on a second line the newest version when the game should update.
std::string answerText(int code, int64_t newerVersion = 0);

// Decodes and checks the form, finds the member, checks the password, keeps the score and answers.
// A score the game marked as altered, or one whose fields do not add up, is kept flagged: it never
// reaches a leaderboard, and the answer does not tell the sender (1). A form that names no member or
// no score at all gets 400, which the game shows as a failed attempt. The answer carries the version
// notice whenever releases are known and the sent build is not the newest one. The member's previous post
// sent again unchanged (a retry after a lost answer) is answered 1 and not counted twice. A user name
// over its allowance, or a store that cannot keep the score (a full disk), is answered with an HTTP
// error and no number, which the game offers to try again.
DeskAnswer takeScore(Store& store, std::string_view body, std::string_view address, int64_t now,
                     const DeskHelpers& helpers = {});

} // namespace tundrix::channel
