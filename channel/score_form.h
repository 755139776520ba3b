// The game's score form as the channel reads it: twelve scrambled fields, decoded and cross-checked.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tundrix::channel {

// The largest form body taken (the game's are a few hundred bytes).
inline constexpr size_t MAX_FORM_BYTES = 16384;
// The longest user name and password the game sends, in its single-byte code page.
inline constexpr size_t MAX_USER_NAME_BYTES = 64;
inline constexpr size_t MAX_PASSWORD_BYTES = 16;
// The longest any other field may unscramble to: fa, a score and a user name.
inline constexpr size_t MAX_FIELD_BYTES = 11 + MAX_USER_NAME_BYTES;

struct ScoreForm {
    std::string userName; // as the game sent it: Windows-1252 bytes
    std::string password; // Windows-1252 bytes
    int32_t score = 0;    // negative when the game found its counters altered
    int32_t bestScoreTime = 0;
    int32_t totalPlayTime = 0;
    int32_t speedCount = 0;
    std::string processor;
    uint32_t buildCrc = 0;
    uint32_t buildLength = 0;
    // What does not add up: a wrong game id, fa or fb not matching, a field that is not a number.
    std::vector<std::string> problems;
};

// Reads the body. Nothing when the form cannot identify a member and a score at all: a field missing or
// repeated, a field that does not unscramble or is longer than the game ever sends, or a score that is
// not a number (why says which).
std::optional<ScoreForm> decodeScoreForm(std::string_view body, std::string& why);

// A signed or unsigned 32-bit decimal number, nothing else (no blanks, no "+").
std::optional<int32_t> parseInt32(std::string_view text);
std::optional<uint32_t> parseUint32(std::string_view text);

} // namespace tundrix::channel
