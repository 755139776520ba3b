// Writes and reads the replay post and its answer.
#include "protocol/replay_post.h"

#include "protocol/base64url.h"
#include "protocol/form_text.h"
#include "protocol/score_answer.h"
#include "protocol/score_form.h"

#include <array>

namespace tundrix::protocol {
namespace {

constexpr std::array<const char*, 5> REPLAY_FIELDS = {USER_FIELD, PASSWORD_FIELD, SCORE_FIELD,
                                                      BEST_TIME_FIELD, REPLAY_FIELD};

} // namespace

std::optional<std::string> encodeReplayPost(const ReplayPost& post) {
    if (post.replay.empty() || post.replay.size() > REPLAY_FILE_MAX_BYTES) return std::nullopt;
    const std::string values[REPLAY_FIELDS.size()] = {
        scrambleField(post.userName.substr(0, USER_NAME_MAX_CHARS)),
        scrambleField(post.password.substr(0, PASSWORD_MAX_CHARS)),
        scrambleField(std::to_string(post.score)),
        scrambleField(std::to_string(post.bestScoreTime)),
        base64UrlEncode(post.replay),
    };
    std::string body;
    for (size_t i = 0; i < REPLAY_FIELDS.size(); ++i) {
        if (i > 0) body += '&';
        body += REPLAY_FIELDS[i];
        body += '=';
        body += values[i];
    }
    return body;
}

std::optional<ReplayPost> decodeReplayPost(std::string_view body, std::string& why) {
    if (body.size() > REPLAY_POST_MAX_BYTES) {
        why = "post too large";
        return std::nullopt;
    }
    const auto raw = fieldsInOrder(body, REPLAY_FIELDS, why);
    if (!raw) return std::nullopt;
    ReplayPost post;
    auto user = readScrambledText((*raw)[0], USER_FIELD, USER_NAME_MAX_CHARS, why);
    auto password =
        user ? readScrambledText((*raw)[1], PASSWORD_FIELD, PASSWORD_MAX_CHARS, why) : std::nullopt;
    auto score = password ? readScrambledText((*raw)[2], SCORE_FIELD, FIELD_MAX_BYTES, why) : std::nullopt;
    auto time = score ? readScrambledText((*raw)[3], BEST_TIME_FIELD, FIELD_MAX_BYTES, why) : std::nullopt;
    if (!time) return std::nullopt;
    const std::optional<int32_t> scoreValue = parseInt32(*score);
    const std::optional<int32_t> timeValue = parseInt32(*time);
    if (!scoreValue || !timeValue) {
        why = "the score or its time is not a number";
        return std::nullopt;
    }
    std::optional<std::vector<uint8_t>> replay = base64UrlDecode((*raw)[4]);
    if (!replay || replay->empty() || replay->size() > REPLAY_FILE_MAX_BYTES) {
        why = "the replay is not base64url of a file within the limit";
        return std::nullopt;
    }
    post.userName = std::move(*user);
    post.password = std::move(*password);
    post.score = *scoreValue;
    post.bestScoreTime = *timeValue;
    post.replay = std::move(*replay);
    return post;
}

std::string replayAnswerText(ReplayAnswer answer) {
    return std::to_string(static_cast<int32_t>(answer)) + "\r\n";
}

std::optional<ReplayAnswer> readReplayAnswer(std::string_view bytes) {
    const ParsedAnswer parsed = parseAnswer(bytes);
    if (!parsed.hasResult || parsed.resultCode < 0 || parsed.resultCode > REPLAY_ANSWER_LAST)
        return std::nullopt;
    return static_cast<ReplayAnswer>(parsed.resultCode);
}

} // namespace tundrix::protocol
