// The replay post: the score form's login and score beside the recording, and the channel's verdict.
#include "net/replay_post.h"

#include "protocol/replay_post.h"

#include <cstring>

namespace tundrix {

int postReplay(const SubmissionRecord& sent, std::span<const uint8_t> replay, HttpClient& http,
               const SubmitOptions& options) {
    protocol::ReplayPost post;
    post.userName.assign(sent.userName, strnlen(sent.userName, sizeof sent.userName));
    post.password.assign(sent.password, strnlen(sent.password, sizeof sent.password));
    post.score = sent.score;
    post.bestScoreTime = sent.bestScoreTime;
    post.replay.assign(replay.begin(), replay.end());
    const std::optional<std::string> body = protocol::encodeReplayPost(post);
    std::string missing;
    if (!body || !http.ensureLoaded(missing)) return REPLAY_NO_VERDICT;

    HttpPostRequest request;
    request.https = options.https;
    request.host = options.host;
    request.port = options.port;
    request.path = protocol::REPLAY_PATH;
    request.userAgent = SUBMIT_USER_AGENT;
    request.headerLine = std::string("Content-Type: ") + protocol::FORM_CONTENT_TYPE;
    request.body = *body;
    request.maxAnswerBytes = protocol::ANSWER_MAX_BYTES;
    request.connectTimeoutMs = REPLAY_CONNECT_TIMEOUT_MS;
    request.totalTimeoutMs = REPLAY_TOTAL_TIMEOUT_MS;
    const HttpPostResult result = http.post(request);
    if (result.outcome != HttpOutcome::Answered || result.status < 200 || result.status > 299)
        return REPLAY_NO_VERDICT;
    const std::optional<protocol::ReplayAnswer> answer = protocol::readReplayAnswer(result.answer);
    return answer ? static_cast<int>(*answer) : REPLAY_NO_VERDICT;
}

} // namespace tundrix
