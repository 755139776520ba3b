// Sends the game that made a registered score to the channel, which plays it again to verify the score.
#pragma once
#include "net/score_submission.h"
#include "net/submission_record.h"
#include "platform/http_client.h"

#include <cstdint>
#include <span>
#include <string>

namespace tundrix {

// The form that takes a registered score's game, and how long the game waits for its verdict: a
// channel that cannot play it back in time still has the score.
inline constexpr char REPLAY_PATH[] = "/r0003/replay";
inline constexpr long REPLAY_CONNECT_TIMEOUT_MS = 10000;
inline constexpr long REPLAY_TOTAL_TIMEOUT_MS = 30000;
// No answer came that names a verdict (not reached, a broken answer, a channel without the form).
inline constexpr int REPLAY_NO_VERDICT = -1;

// The form body: the login and the score as the score form sent them, and the recording.
std::string buildReplayBody(const SubmissionRecord& sent, std::span<const uint8_t> replay);

// Posts the recording of the game that made sent's score (as registered) and returns the channel's
// verdict number, or REPLAY_NO_VERDICT.
int postReplay(const SubmissionRecord& sent, std::span<const uint8_t> replay, HttpClient& http,
               const SubmitOptions& options);

} // namespace tundrix
