// Feeds arbitrary bytes to the reader of the channel server's answer and to the record's text fields.
#include "net/submission_record.h"
#include "protocol/score_answer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const tundrix::protocol::ParsedAnswer answer = tundrix::protocol::parseAnswer(bytes);
    if (answer.message.size() > 255) std::abort();
    if (!answer.hasResult && answer.resultCode != 0) std::abort();

    // The same bytes as typed text and as an answer kept in the record: always bounded and terminated.
    tundrix::SubmissionRecord record;
    record.setUserName(bytes);
    record.setPassword(bytes);
    record.setMessage(answer.message, tundrix::SubmissionRecord::ANSWER_MESSAGE_MAX_CHARS);
    if (strnlen(record.userName, sizeof record.userName) > 64) std::abort();
    if (strnlen(record.password, sizeof record.password) > 16) std::abort();
    if (strnlen(record.message, sizeof record.message) == sizeof record.message) std::abort();
    const std::string back = record.userNameUtf8();
    if (back.size() > 64 * 3) std::abort();
    return 0;
}
