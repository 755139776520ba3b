// The game's score form: its fields in their order, their limits, and the one record both sides read
// and write.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tundrix::protocol {

// The longest user name (an e-mail address) and password, in characters of the game's single-byte code
// page (Windows-1252), so in bytes too.
inline constexpr size_t USER_NAME_MAX_CHARS = 64;
inline constexpr size_t PASSWORD_MAX_CHARS = 16;
// The longest any other field may unscramble to: fa, a score and a user name.
inline constexpr size_t FIELD_MAX_BYTES = 11 + USER_NAME_MAX_CHARS;
// The largest form body the channel takes (the game's are a few hundred bytes), and the most of an
// answer the game reads.
inline constexpr size_t SCORE_FORM_MAX_BYTES = 16384;
inline constexpr size_t ANSWER_MAX_BYTES = 16383;

// The fields in the order the game sends them. f2 travels in plain digits, every other one scrambled;
// fa repeats f4 and f1, fb is f9 plus f4.
inline constexpr char USER_FIELD[] = "f1";
inline constexpr char PASSWORD_FIELD[] = "f3";
inline constexpr char SCORE_FIELD[] = "f4";
inline constexpr char BEST_TIME_FIELD[] = "f5";
inline constexpr std::array<const char*, 12> SCORE_FIELDS = {
    USER_FIELD, "f2", PASSWORD_FIELD, SCORE_FIELD, BEST_TIME_FIELD, "f5b", "f6", "f7",
    "f8",       "f9", "fa",           "fb"};

struct ScoreForm {
    std::string userName; // Windows-1252 bytes, at most USER_NAME_MAX_CHARS
    int32_t gameId = 0;
    std::string password;      // Windows-1252 bytes, at most PASSWORD_MAX_CHARS
    int32_t score = 0;         // negative when the game found its counters altered
    int32_t bestScoreTime = 0; // ms from the game's start to its best score
    int32_t totalPlayTime = 0; // ms, every run including this one
    int32_t speedCount = 0;
    std::string processor;
    uint32_t buildCrc = 0; // the CRC-32 and length of the game's program file
    uint32_t buildLength = 0;
};

// The body the game posts: SCORE_FIELDS in order, with fa and fb worked out from the rest. Text fields
// end at a NUL.
std::string encodeScoreForm(const ScoreForm& form);

// Reads a body. Nothing, with the reason in why, for what the game never sends: another field, order or
// repetition, a value that does not unscramble, one longer than its limit, a NUL in a text, a score that
// is not a number. Otherwise the form, and in problems what does not add up although the form names a
// member and a score (not GAME_ID, fa or fb not matching, a number field that is not one).
std::optional<ScoreForm> decodeScoreForm(std::string_view body, std::string& why,
                                         std::vector<std::string>& problems);

} // namespace tundrix::protocol
