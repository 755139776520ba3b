// Writes the answer text and reads it back the way the game does.
#include "protocol/score_answer.h"

namespace tundrix::protocol {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '\t';
}

// An optional sign and decimal digits at the start of text, clamped to the int32 range.
int32_t leadingNumber(std::string_view text, bool& found) {
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    int64_t value = 0;
    found = false;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        found = true;
        if (value <= INT32_MAX) value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    if (value < INT32_MIN) value = INT32_MIN;
    return found ? static_cast<int32_t>(value) : 0;
}

} // namespace

ParsedAnswer parseAnswer(std::string_view bytes) {
    const size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
    while (!bytes.empty() && isBlank(bytes.front()))
        bytes.remove_prefix(1);
    while (!bytes.empty() && isBlank(bytes.back()))
        bytes.remove_suffix(1);

    ParsedAnswer answer;
    answer.resultCode = leadingNumber(bytes, answer.hasResult);
    const size_t lf = bytes.find('\n');
    if (lf != std::string_view::npos) {
        std::string_view rest = bytes.substr(lf + 1);
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
            rest.remove_prefix(1);
        bool found = false;
        answer.versionNotice = leadingNumber(rest, found);
    }
    answer.message = std::string(bytes.substr(0, ANSWER_MESSAGE_MAX_CHARS));
    return answer;
}

std::string answerText(ScoreAnswer code, int64_t newerVersion) {
    std::string text = std::to_string(static_cast<int32_t>(code)) + "\r\n";
    if (newerVersion > 1) text += std::to_string(newerVersion) + "\r\n";
    return text;
}

} // namespace tundrix::protocol
