// Writes the score form as the game sends it and reads it back as strictly as the channel must.
#include "protocol/score_form.h"

#include "protocol/form_text.h"
#include "protocol/paths.h"

namespace tundrix::protocol {
namespace {

std::string_view upToNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

int32_t wrappingSum(uint32_t a, int32_t b) {
    return static_cast<int32_t>(a + static_cast<uint32_t>(b));
}

} // namespace

std::string encodeScoreForm(const ScoreForm& form) {
    const std::string_view user = upToNul(form.userName);
    const std::string score = std::to_string(form.score);
    const std::string values[SCORE_FIELDS.size()] = {
        scrambleField(user),
        std::to_string(form.gameId),
        scrambleField(form.password),
        scrambleField(score),
        scrambleField(std::to_string(form.bestScoreTime)),
        scrambleField(std::to_string(form.totalPlayTime)),
        scrambleField(std::to_string(form.speedCount)),
        scrambleField(form.processor),
        scrambleField(std::to_string(form.buildCrc)),
        scrambleField(std::to_string(form.buildLength)),
        scrambleField(score + std::string(user)),
        scrambleField(std::to_string(wrappingSum(form.buildLength, form.score))),
    };
    std::string body;
    for (size_t i = 0; i < SCORE_FIELDS.size(); ++i) {
        if (i > 0) body += '&';
        body += SCORE_FIELDS[i];
        body += '=';
        body += values[i];
    }
    return body;
}

std::optional<ScoreForm> decodeScoreForm(std::string_view body, std::string& why,
                                         std::vector<std::string>& problems) {
    problems.clear();
    if (body.size() > SCORE_FORM_MAX_BYTES) {
        why = "form too large";
        return std::nullopt;
    }
    const auto raw = fieldsInOrder(body, SCORE_FIELDS, why);
    if (!raw) return std::nullopt;
    std::string text[SCORE_FIELDS.size()];
    for (size_t i = 0; i < SCORE_FIELDS.size(); ++i) {
        const std::string name = SCORE_FIELDS[i];
        if (name == "f2") {
            if ((*raw)[i].size() > FIELD_MAX_BYTES) {
                why = "field f2 too long";
                return std::nullopt;
            }
            text[i] = std::string((*raw)[i]);
            continue;
        }
        const size_t most = name == "f1"   ? USER_NAME_MAX_CHARS
                            : name == "f3" ? PASSWORD_MAX_CHARS
                                           : FIELD_MAX_BYTES;
        std::optional<std::string> plain = readScrambledText((*raw)[i], name, most, why);
        if (!plain) return std::nullopt;
        text[i] = std::move(*plain);
    }
    enum { F1, F2, F3, F4, F5, F5B, F6, F7, F8, F9, FA, FB };

    ScoreForm form;
    form.userName = text[F1];
    form.password = text[F3];
    const std::optional<int32_t> score = parseInt32(text[F4]);
    if (!score) {
        why = "the score is not a number";
        return std::nullopt;
    }
    form.score = *score;
    form.processor = text[F7];

    auto number = [&](int index, int32_t& into) {
        if (const auto v = parseInt32(text[index])) {
            into = *v;
        } else {
            problems.push_back(std::string(SCORE_FIELDS[index]) + " is not a number");
        }
    };
    number(F5, form.bestScoreTime);
    number(F5B, form.totalPlayTime);
    number(F6, form.speedCount);
    const std::optional<uint32_t> crc = parseUint32(text[F8]);
    const std::optional<uint32_t> length = parseUint32(text[F9]);
    if (!crc) problems.push_back("f8 is not a number");
    if (!length) problems.push_back("f9 is not a number");
    form.buildCrc = crc.value_or(0);
    form.buildLength = length.value_or(0);

    const std::optional<int32_t> gameId = parseInt32(text[F2]);
    form.gameId = gameId.value_or(0);
    if (!gameId || *gameId != GAME_ID) problems.push_back("f2 is not this game's id");
    if (text[FA] != text[F4] + form.userName) problems.push_back("fa does not match f4 and f1");
    // The game adds in 32 bits: the length plus the score, wrapping like its own sum.
    const std::optional<int32_t> sum = parseInt32(text[FB]);
    if (!sum || !length || *sum != wrappingSum(form.buildLength, form.score))
        problems.push_back("fb does not match f9 plus f4");
    return form;
}

} // namespace tundrix::protocol
