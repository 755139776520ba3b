// The replay post: after the score form is answered, the game sends the replay file of the game that
// made that score, for the channel to play again and verify.
#pragma once
#include "protocol/paths.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tundrix::protocol {

// The fields in order: the member's user name and password, the score and best-score time the replay
// claims (scrambled as in the score form), and the replay file's bytes in base64url.
inline constexpr char REPLAY_FIELD[] = "replay";
// The largest body the channel takes, and the largest replay file that fits in it with the other fields.
inline constexpr size_t REPLAY_POST_MAX_BYTES = 512 * 1024;
inline constexpr size_t REPLAY_FILE_MAX_BYTES = (REPLAY_POST_MAX_BYTES - 1024) / 4 * 3;

struct ReplayPost {
    std::string userName; // Windows-1252 bytes, as in the score form
    std::string password;
    int32_t score = 0;
    int32_t bestScoreTime = 0;   // ms
    std::vector<uint8_t> replay; // the replay file
};

// The answer, one number on a line as the score form's.
enum class ReplayAnswer : int32_t {
    Verified = 0,     // the replay reaches the score: it is verified
    Queued = 1,       // taken, verified later
    WrongUser = 2,    // no such member, or the wrong password
    Malformed = 3,    // not a replay post the game makes
    NoSuchScore = 4,  // the member has no registered score with that score and time
    DoesNotReach = 5, // played again, the replay does not end in that score and time
    Unreadable = 6,   // the replay file cannot be read
};
inline constexpr int32_t REPLAY_ANSWER_LAST = static_cast<int32_t>(ReplayAnswer::Unreadable);

// The body the game posts; nothing when the replay file is empty or over REPLAY_FILE_MAX_BYTES.
std::optional<std::string> encodeReplayPost(const ReplayPost& post);
// Reads a body; nothing, with the reason in why, for anything the game would not send (answer Malformed).
std::optional<ReplayPost> decodeReplayPost(std::string_view body, std::string& why);

std::string replayAnswerText(ReplayAnswer answer);
// The answer in the bytes the channel sent, read as the score form's answer is; nothing for a number
// outside the list or no number at all.
std::optional<ReplayAnswer> readReplayAnswer(std::string_view bytes);

} // namespace tundrix::protocol
