// Bounded, converting access to the submission record's text fields.
#include "net/submission_record.h"

#include "net/latin1_text.h"

#include <algorithm>
#include <cstring>

namespace tundrix {

void copyBounded(char* dest, size_t size, std::string_view text, size_t maxChars) {
    if (size == 0) return;
    size_t n = std::min({text.size(), maxChars, size - 1});
    const size_t nul = text.substr(0, n).find('\0');
    if (nul != std::string_view::npos) n = nul;
    std::memcpy(dest, text.data(), n);
    std::memset(dest + n, 0, size - n);
}

void SubmissionRecord::setUserName(std::string_view utf8) {
    copyBounded(userName, sizeof userName, utf8ToWindows1252(utf8, USER_NAME_MAX_CHARS), USER_NAME_MAX_CHARS);
}

void SubmissionRecord::setPassword(std::string_view utf8) {
    copyBounded(password, sizeof password, utf8ToWindows1252(utf8, PASSWORD_MAX_CHARS), PASSWORD_MAX_CHARS);
}

std::string SubmissionRecord::userNameUtf8() const {
    return windows1252ToUtf8(std::string_view(userName, strnlen(userName, sizeof userName)));
}

void SubmissionRecord::setMessage(std::string_view text, size_t maxChars) {
    copyBounded(message, sizeof message, text, maxChars);
}

} // namespace tundrix
