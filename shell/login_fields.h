// The register dialog's two fields: their lengths in characters and the characters they take (no SDL here).
#pragma once
#include "net/latin1_text.h"
#include "net/submission_record.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tundrix {

constexpr size_t USER_NAME_MAX = SubmissionRecord::USER_NAME_MAX_CHARS;
constexpr size_t PASSWORD_MAX = SubmissionRecord::PASSWORD_MAX_CHARS;

// Keeps at most maxChars characters (UTF-8 code points) of text.
std::string clampChars(std::string_view text, size_t maxChars);

// What a field holds after typing or pasting: characters outside the code page (and malformed bytes)
// dropped, then at most maxChars characters.
std::string fieldText(std::string_view utf8, size_t maxChars);

} // namespace tundrix
