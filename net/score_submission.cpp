// Builds the scrambled score form, posts it and files the server's verdict in the record.
#include "net/score_submission.h"

#include "protocol/score_answer.h"
#include "protocol/score_form.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace tundrix {
namespace {

int32_t wrappingNegate(int32_t v) {
    return static_cast<int32_t>(0u - static_cast<uint32_t>(v));
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

protocol::ScoreForm scoreFormOf(const SubmissionRecord& record, const SubmissionMeasurements& measured) {
    protocol::ScoreForm form;
    form.userName = fieldText(record.userName, sizeof record.userName);
    form.gameId = record.gameId;
    form.password = fieldText(record.password, sizeof record.password);
    form.score = record.score;
    form.bestScoreTime = record.bestScoreTime;
    form.totalPlayTime = record.totalPlayTime;
    form.speedCount = measured.speedCount;
    form.processor = measured.processor;
    form.buildCrc = measured.executable.crc;
    form.buildLength = measured.executable.length;
    return form;
}

std::string buildSubmissionBody(const SubmissionRecord& record, const SubmissionMeasurements& measured) {
    return protocol::encodeScoreForm(scoreFormOf(record, measured));
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
    request.path = protocol::SUBMIT_PATH;
    request.userAgent = SUBMIT_USER_AGENT;
    request.headerLine = std::string("Content-Type: ") + protocol::FORM_CONTENT_TYPE;
    request.body = buildSubmissionBody(sent, measured);
    request.maxAnswerBytes = protocol::ANSWER_MAX_BYTES;
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
    const protocol::ParsedAnswer answer = protocol::parseAnswer(result.answer);
    record.resultCode = answer.hasResult ? answer.resultCode : ANSWER_WITHOUT_RESULT;
    record.versionNotice = answer.versionNotice;
    record.setMessage(answer.hasResult || !answer.message.empty() ? answer.message
                                                                  : "Tomt svar fr\xE5n servern",
                      SubmissionRecord::ANSWER_MESSAGE_MAX_CHARS);
    return record.resultCode == static_cast<int32_t>(protocol::ScoreAnswer::PersonalBest) ? 0 : -2;
}

} // namespace tundrix
