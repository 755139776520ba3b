// The channel's answer to the score form: a number on the first line, on the second the newest version
// when the game should fetch it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tundrix::protocol {

enum class ScoreAnswer : int32_t {
    PersonalBest = 0,  // registered, the member's best so far
    Registered = 1,    // registered (or kept aside unranked; the answer does not say)
    UnknownUser = 2,   // the game opens the sign-up page
    WrongPassword = 3, // the game opens the password page
};

// The most of the answer the game keeps as its message.
inline constexpr size_t ANSWER_MESSAGE_MAX_CHARS = 255;

// The text the channel sends: the number, and the newest version's on its own line when it is above 1.
std::string answerText(ScoreAnswer code, int64_t newerVersion = 0);

struct ParsedAnswer {
    bool hasResult = false;    // the trimmed answer starts with a number
    int32_t resultCode = 0;    // that number (0 without one), clamped to 32 bits
    int32_t versionNotice = 0; // the number right after the first LF, 0 without an LF
    std::string message;       // the first ANSWER_MESSAGE_MAX_CHARS bytes of the trimmed answer
};

// The answer as the game reads it: the bytes received, up to the first NUL; white space (space, CR, LF,
// tab) around it is ignored. Pure: any bytes at all give a result.
ParsedAnswer parseAnswer(std::string_view bytes);

} // namespace tundrix::protocol
