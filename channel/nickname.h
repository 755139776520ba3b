// Nicknames as the leaderboards show them: one normal form (NFKC), no invisible or direction-turning
// characters, and a key under which names that look alike (Latin and Cyrillic letters, a zero for an O)
// meet, so that nobody can pass for someone else.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace tundrix::channel {

inline constexpr size_t NICKNAME_MIN_CHARS = 2;
inline constexpr size_t NICKNAME_MAX_CHARS = 24;

struct Nickname {
    std::string text; // the NFKC form, as kept and shown
    std::string key;  // equal for nicknames that look alike
};

// The nickname (surrounding blanks removed) in its kept form, or nothing and the problem, in Swedish and
// English: not UTF-8, too short or long, an "@" (it would look like an address), or a character that is
// invisible, turns the writing direction, or is no character at all.
std::optional<Nickname> checkNickname(std::string_view utf8, std::string& problem);

// The look-alike key of any text (a nickname kept before these rules included).
std::string nicknameKey(std::string_view utf8);

// Whether text is well-formed UTF-8.
bool validUtf8(std::string_view text);

} // namespace tundrix::channel
