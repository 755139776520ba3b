// Builds the scrambled score form, posts it and files the server's verdict in the record.
#include "net/score_submission.h"

#include "net/answer_parser.h"
#include "net/field_encoding.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace tundrix {
namespace {

int32_t wrappingNegate(int32_t v) {
    return static_cast<int32_t>(0u - static_cast<uint32_t>(v));
}

int32_t wrappingSum(uint32_t a, int32_t b) {
    return static_cast<int32_t>(a + static_cast<uint32_t>(b));
}

std::string_view fieldText(const char* field, size_t size) {
    return {field, strnlen(field, size)};
}

void recordFailure(SubmissionRecord& record, int32_t code, const std::string& text) {
    record.resultCode = code;
    record.setMessage(text, SubmissionRecord::ERROR_MESSAGE_MAX_CHARS);
}

} // namespace

SubmitOptions submitOptionsFor(const ChannelAddress& channel) {
    SubmitOptions options;
    options.https = channel.https;
    options.host = channel.host;
    options.port = channel.port;
    return options;
}

std::string buildSubmissionBody(const SubmissionRecord& record, const SubmissionMeasurements& measured) {
    const std::string_view user = fieldText(record.userName, sizeof record.userName);
    const std::string_view password = fieldText(record.password, sizeof record.password);
    const std::string score = std::to_string(record.score);

    std::string body;
    body += "f1=" + encodeField(user);
    body += "&f2=" + std::to_string(record.gameId);
    body += "&f3=" + encodeField(password);
    body += "&f4=" + encodeField(score);
    body += "&f5=" + encodeField(std::to_string(record.bestScoreTime));
    body += "&f5b=" + encodeField(std::to_string(record.totalPlayTime));
    body += "&f6=" + encodeField(std::to_string(measured.speedCount));
    body += "&f7=" + encodeField(measured.processor);
    body += "&f8=" + encodeField(std::to_string(measured.executable.crc));
    body += "&f9=" + encodeField(std::to_string(measured.executable.length));
    body += "&fa=" + encodeField(score + std::string(user));
    body += "&fb=" + encodeField(std::to_string(wrappingSum(measured.executable.length, record.score)));
    return body;
}

int submitScore(SubmissionRecord& record, HttpClient& http, CalendarClock& calendar,
                const SubmitOptions& options) {
    std::string missing;
    record.retryAfter = 0;
    if (!http.ensureLoaded(missing)) {
        record.exchange = HttpOutcome::LibraryMissing;
        recordFailure(record, -1, missing);
        return -1;
    }

    SubmissionRecord sent = record;
    if (sent.tampered) sent.score = wrappingNegate(sent.score);
    SubmissionMeasurements measured;
    measured.speedCount = processorSpeedCount(calendar);
    measured.processor = processorDescription(options.processorType);
    measured.executable = measureFile(options.executablePath);

    HttpPostRequest request;
    request.https = options.https;
    request.host = options.host;
    request.port = options.port;
    request.path = SUBMIT_PATH;
    request.userAgent = SUBMIT_USER_AGENT;
    request.headerLine = SUBMIT_CONTENT_TYPE;
    request.body = buildSubmissionBody(sent, measured);
    request.maxAnswerBytes = SUBMIT_MAX_ANSWER;
    request.connectTimeoutMs = options.connectTimeoutMs;
    request.totalTimeoutMs = options.totalTimeoutMs;

    const HttpPostResult result = http.post(request);
    record.exchange = result.outcome;
    switch (result.outcome) {
    case HttpOutcome::LibraryMissing:
        recordFailure(record, -1, result.errorText);
        return -1;
    case HttpOutcome::NotConnected:
        recordFailure(record, TRANSPORT_ERROR_BASE + result.errorNumber, result.errorText);
        return -1;
    case HttpOutcome::Failed:
    case HttpOutcome::TooSlow:
        record.score = sent.score;
        recordFailure(record, TRANSPORT_ERROR_BASE + result.errorNumber, result.errorText);
        return -2;
    case HttpOutcome::Answered:
        break;
    }

    record.score = sent.score;
    if (result.status < 200 || result.status > 299) {
        record.retryAfter = static_cast<int32_t>(std::clamp<long>(result.retryAfterSeconds, 0, INT32_MAX));
        const bool plausible = result.status >= 100 && result.status <= 999;
        recordFailure(record, plausible ? result.status : ANSWER_WITHOUT_RESULT,
                      "Servern svarade med HTTP-status " + std::to_string(result.status));
        return -2;
    }
    const ParsedAnswer answer = parseAnswer(result.answer);
    record.resultCode = answer.hasResult ? answer.resultCode : ANSWER_WITHOUT_RESULT;
    record.versionNotice = answer.versionNotice;
    record.setMessage(answer.hasResult || !answer.message.empty() ? answer.message
                                                                  : "Tomt svar fr\xE5n servern",
                      SubmissionRecord::ANSWER_MESSAGE_MAX_CHARS);
    return record.resultCode == 0 ? 0 : -2;
}

} // namespace tundrix
