// Sends the game that made a registered score to the channel, which plays it again to verify the score.
#pragma once
#include "net/score_submission.h"
#include "net/submission_record.h"
#include "platform/http_client.h"

#include <cstdint>
#include <span>

namespace tundrix {

// How long the game waits for the verdict: a channel that cannot play the game back in time still has
// the score.
inline constexpr long REPLAY_CONNECT_TIMEOUT_MS = 10000;
inline constexpr long REPLAY_TOTAL_TIMEOUT_MS = 30000;
// No answer came that names a verdict (not reached, a broken answer, a channel without the form).
inline constexpr int REPLAY_NO_VERDICT = -1;

// Posts the recording of the game that made sent's score (as the score form sent it: login, score and
// best-score time) and returns the channel's verdict number, or REPLAY_NO_VERDICT.
int postReplay(const SubmissionRecord& sent, std::span<const uint8_t> replay, HttpClient& http,
               const SubmitOptions& options);

} // namespace tundrix
