// Bytes as URL- and form-safe text: base64 with "-" and "_" and no padding (RFC 4648, section 5).
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tundrix::protocol {

std::string base64UrlEncode(std::span<const uint8_t> bytes);
// The bytes behind the text; nothing for a character outside the alphabet, padding, a length no encoding
// has (4n + 1), or unused low bits that are not zero (so every byte string has exactly one text).
std::optional<std::vector<uint8_t>> base64UrlDecode(std::string_view text);

} // namespace tundrix::protocol
