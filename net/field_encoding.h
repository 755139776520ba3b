// The scrambling of the form's field values: each byte XOR a fixed key, written as hex digits.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tundrix {

inline constexpr std::array<uint8_t, 8> FIELD_KEY = {0xC3, 0x5E, 0x02, 0xB7, 0x49, 0xE1, 0x6A, 0x90};

// Each byte of text (up to its first NUL) XOR FIELD_KEY[i mod 8], as two uppercase hex digits.
std::string encodeField(std::string_view text);

} // namespace tundrix
