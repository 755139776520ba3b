// What the register dialog hands to the score poster and what comes back (no SDL here).
#pragma once
#include "platform/http_client.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tundrix {

// What the shell hands to the score poster and what comes back.
struct ScoreSubmission {
    std::string userName;
    std::string password;
    int32_t score = 0;
    int32_t bestScoreTime = 0;
    uint32_t totalPlayTime = 0;
    bool tampered = false;
    // Filled by the poster: the server's result code and version notice, how far the exchange got, and
    // the wait a "too many attempts" answer asked for (0 when it named none).
    int resultCode = -1;
    int versionNotice = 1;
    HttpOutcome exchange = HttpOutcome::Failed;
    int retryAfterSeconds = 0;
    // The recording of the game that made the score, sent once the score is registered so the channel can
    // play it again; the channel's verdict on it, or -1 when none came (not sent, or no answer).
    std::vector<uint8_t> replay;
    int replayAnswer = -1;
};
// Posts one submission; may block for seconds, and runs off the window's thread, so it must not touch
// anything but its argument.
using SubmitScore = std::function<void(ScoreSubmission&)>;

} // namespace tundrix
