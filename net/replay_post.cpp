// The replay form: the score form's login and score fields, and the recording in base64url.
#include "net/replay_post.h"

#include "net/answer_parser.h"
#include "net/field_encoding.h"

#include <cstring>

namespace tundrix {
namespace {

// RFC 4648's URL-safe alphabet without padding: nothing in it needs escaping in a form.
std::string base64Url(std::span<const uint8_t> bytes) {
    static constexpr char DIGITS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string out;
    out.reserve((bytes.size() * 4 + 2) / 3);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t v = (uint32_t{bytes[i]} << 16) | (uint32_t{bytes[i + 1]} << 8) | bytes[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6)
            out += DIGITS[(v >> shift) & 63];
    }
    const size_t rest = bytes.size() - i;
    if (rest > 0) {
        uint32_t v = uint32_t{bytes[i]} << 16;
        if (rest == 2) v |= uint32_t{bytes[i + 1]} << 8;
        out += DIGITS[(v >> 18) & 63];
        out += DIGITS[(v >> 12) & 63];
        if (rest == 2) out += DIGITS[(v >> 6) & 63];
    }
    return out;
}

std::string_view fieldText(const char* field, size_t size) {
    return {field, strnlen(field, size)};
}

} // namespace

std::string buildReplayBody(const SubmissionRecord& sent, std::span<const uint8_t> replay) {
    std::string body;
    body += "f1=" + encodeField(fieldText(sent.userName, sizeof sent.userName));
    body += "&f2=" + std::to_string(sent.gameId);
    body += "&f3=" + encodeField(fieldText(sent.password, sizeof sent.password));
    body += "&f4=" + encodeField(std::to_string(sent.score));
    body += "&f5=" + encodeField(std::to_string(sent.bestScoreTime));
    body += "&replay=" + base64Url(replay);
    return body;
}

int postReplay(const SubmissionRecord& sent, std::span<const uint8_t> replay, HttpClient& http,
               const SubmitOptions& options) {
    std::string missing;
    if (replay.empty() || !http.ensureLoaded(missing)) return REPLAY_NO_VERDICT;
    HttpPostRequest request;
    request.https = options.https;
    request.host = options.host;
    request.port = options.port;
    request.path = REPLAY_PATH;
    request.userAgent = SUBMIT_USER_AGENT;
    request.headerLine = SUBMIT_CONTENT_TYPE;
    request.body = buildReplayBody(sent, replay);
    request.maxAnswerBytes = SUBMIT_MAX_ANSWER;
    request.connectTimeoutMs = REPLAY_CONNECT_TIMEOUT_MS;
    request.totalTimeoutMs = REPLAY_TOTAL_TIMEOUT_MS;
    const HttpPostResult result = http.post(request);
    if (result.outcome != HttpOutcome::Answered || result.status < 200 || result.status > 299)
        return REPLAY_NO_VERDICT;
    const ParsedAnswer answer = parseAnswer(result.answer);
    return answer.hasResult ? answer.resultCode : REPLAY_NO_VERDICT;
}

} // namespace tundrix
