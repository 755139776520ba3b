// The one submission record the register dialog fills and the score submission reports into.
#pragma once
#include "platform/http_client.h"
#include "protocol/paths.h"
#include "protocol/score_answer.h"
#include "protocol/score_form.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tundrix {

// Text fields hold single-byte Windows-1252 text, always NUL-terminated within their array. Write them
// through the setters, which convert from the UI's UTF-8 and never overflow whatever the input.
struct SubmissionRecord {
    static constexpr size_t USER_NAME_SIZE = 132;
    static constexpr size_t USER_NAME_MAX_CHARS = protocol::USER_NAME_MAX_CHARS;
    static constexpr size_t PASSWORD_SIZE = 20;
    static constexpr size_t PASSWORD_MAX_CHARS = protocol::PASSWORD_MAX_CHARS;
    static constexpr size_t MESSAGE_SIZE = 260;
    static constexpr size_t ANSWER_MESSAGE_MAX_CHARS = protocol::ANSWER_MESSAGE_MAX_CHARS;
    static constexpr size_t ERROR_MESSAGE_MAX_CHARS = 127;

    char userName[USER_NAME_SIZE] = {}; // an e-mail address, at most USER_NAME_MAX_CHARS characters
    int32_t gameId = protocol::GAME_ID;
    char password[PASSWORD_SIZE] = {}; // at most PASSWORD_MAX_CHARS characters
    int32_t score = 0;                 // negated in place when a tampered score is sent
    int32_t bestScoreTime = 0;         // ms
    int32_t totalPlayTime = 0;         // ms, all runs including this one
    bool tampered = false;
    int32_t resultCode = 0;          // see score_submission.h for what the numbers mean
    char message[MESSAGE_SIZE] = {}; // the answer or the error text, kept for diagnosis
    int32_t versionNotice = 1;       // a number above 1 asks the player to fetch a newer version
    // How far the last attempt's exchange got (an answer, a break, a time-out), so a failure can say why,
    // and the wait in seconds an answer's Retry-After asked for (0 for none).
    HttpOutcome exchange = HttpOutcome::Failed;
    int32_t retryAfter = 0;

    // Store what the user typed (UTF-8), converted and cut to the field's limit.
    void setUserName(std::string_view utf8);
    void setPassword(std::string_view utf8);
    // The stored user name back in UTF-8, for showing it again in the dialog.
    std::string userNameUtf8() const;
    // Stores raw single-byte text, cut to maxChars and to the field.
    void setMessage(std::string_view text, size_t maxChars);
};

// Copies at most min(maxChars, size - 1) bytes of text into dest and NUL-terminates it; the copy ends
// early at a NUL in text.
void copyBounded(char* dest, size_t size, std::string_view text, size_t maxChars);

} // namespace tundrix
