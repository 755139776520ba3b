// Reading back a scrambled form field: the inverse of the field encoding, for the channel's server.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace tundrix {

// The bytes behind an encoded field: pairs of hex digits (either case), each XOR FIELD_KEY[i mod 8].
// Nothing for an odd length or a character that is not a hex digit. An empty field gives "".
std::optional<std::string> decodeField(std::string_view hex);

} // namespace tundrix
