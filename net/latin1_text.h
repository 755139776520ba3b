// Conversion between the UI's UTF-8 and the single-byte Windows-1252 text the channel's server expects.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace tundrix {

// Converts UTF-8 to Windows-1252 (a superset of Latin-1), at most maxChars characters (= bytes).
// Characters the code page lacks and malformed UTF-8 become '?'; control characters are dropped.
std::string utf8ToWindows1252(std::string_view utf8, size_t maxChars);

// Whether the code page has the character and it is no control character: what a login field can hold.
bool inWindows1252(char32_t codePoint);

// Converts Windows-1252 bytes to UTF-8; the five bytes the code page leaves undefined become '?'.
std::string windows1252ToUtf8(std::string_view text);

} // namespace tundrix
