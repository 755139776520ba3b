// The pieces both forms are made of: scrambled field values, strict decimal numbers, and a body of
// name=value pairs in a fixed order.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tundrix::protocol {

inline constexpr std::array<uint8_t, 8> FIELD_KEY = {0xC3, 0x5E, 0x02, 0xB7, 0x49, 0xE1, 0x6A, 0x90};

// Each byte of text (up to its first NUL) XOR FIELD_KEY[i mod 8], as two uppercase hex digits.
std::string scrambleField(std::string_view text);
// The bytes behind a scrambled field: pairs of hex digits (either case), each XOR FIELD_KEY[i mod 8].
// Nothing for an odd length or a character that is not a hex digit. An empty field gives "".
std::optional<std::string> unscrambleField(std::string_view hex);

// A scrambled text field of the named form field as the game sends it: unscrambled, at most most bytes,
// no NUL (the game's texts end there). Nothing otherwise, and why says what.
std::optional<std::string> readScrambledText(std::string_view value, std::string_view name, size_t most,
                                             std::string& why);

// A signed or unsigned 32-bit decimal number, nothing else (no blanks, no "+", no leading zeros but "0").
std::optional<int32_t> parseInt32(std::string_view text);
std::optional<uint32_t> parseUint32(std::string_view text);

// The values of a body that holds exactly the named fields, in that order, each once ("a=1&b=2"): the
// game never sends another field, another order, or one twice. Nothing otherwise, and why says what.
std::optional<std::vector<std::string_view>>
fieldsInOrder(std::string_view body, std::span<const char* const> names, std::string& why);

} // namespace tundrix::protocol
