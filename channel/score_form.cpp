// Splits the score form into its fields, unscrambles them with the game's own key and checks them.
#include "channel/score_form.h"

#include "net/channel.h"
#include "net/field_decoding.h"

#include <array>
#include <map>

namespace tundrix::channel {
namespace {

constexpr std::array<const char*, 12> FIELDS = {"f1", "f2", "f3", "f4", "f5", "f5b",
                                                "f6", "f7", "f8", "f9", "fa", "fb"};

std::optional<int64_t> parseDecimal(std::string_view text, int64_t least, int64_t most) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 10) return std::nullopt;
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (negative) value = -value;
    if (value < least || value > most) return std::nullopt;
    return value;
}

} // namespace

std::optional<int32_t> parseInt32(std::string_view text) {
    const auto v = parseDecimal(text, INT32_MIN, INT32_MAX);
    return v ? std::optional<int32_t>(static_cast<int32_t>(*v)) : std::nullopt;
}

std::optional<uint32_t> parseUint32(std::string_view text) {
    if (!text.empty() && text.front() == '-') return std::nullopt;
    const auto v = parseDecimal(text, 0, UINT32_MAX);
    return v ? std::optional<uint32_t>(static_cast<uint32_t>(*v)) : std::nullopt;
}

std::optional<ScoreForm> decodeScoreForm(std::string_view body, std::string& why) {
    if (body.size() > MAX_FORM_BYTES) {
        why = "form too large";
        return std::nullopt;
    }
    std::map<std::string, std::string_view, std::less<>> raw;
    while (!body.empty()) {
        const size_t amp = body.find('&');
        const std::string_view pair = body.substr(0, amp);
        body = amp == std::string_view::npos ? std::string_view() : body.substr(amp + 1);
        const size_t eq = pair.find('=');
        const std::string_view name = pair.substr(0, eq);
        const std::string_view value =
            eq == std::string_view::npos ? std::string_view() : pair.substr(eq + 1);
        if (!raw.emplace(std::string(name), value).second) {
            why = "field " + std::string(name.substr(0, 16)) + " sent twice";
            return std::nullopt;
        }
    }
    // f2 travels in plain digits; every other field is scrambled.
    std::map<std::string, std::string, std::less<>> field;
    for (const char* name : FIELDS) {
        const auto it = raw.find(name);
        if (it == raw.end()) {
            why = std::string("field ") + name + " missing";
            return std::nullopt;
        }
        if (std::string_view(name) == "f2") {
            if (it->second.size() > MAX_FIELD_BYTES) {
                why = "field f2 too long";
                return std::nullopt;
            }
            field[name] = std::string(it->second);
            continue;
        }
        std::optional<std::string> decoded = decodeField(it->second);
        if (!decoded) {
            why = std::string("field ") + name + " is not scrambled text";
            return std::nullopt;
        }
        const size_t most = std::string_view(name) == "f1"   ? MAX_USER_NAME_BYTES
                            : std::string_view(name) == "f3" ? MAX_PASSWORD_BYTES
                                                             : MAX_FIELD_BYTES;
        if (decoded->size() > most) {
            why = std::string("field ") + name + " too long";
            return std::nullopt;
        }
        field[name] = std::move(*decoded);
    }

    ScoreForm form;
    form.userName = field["f1"];
    form.password = field["f3"];
    const std::optional<int32_t> score = parseInt32(field["f4"]);
    if (!score) {
        why = "the score is not a number";
        return std::nullopt;
    }
    form.score = *score;
    form.processor = field["f7"];

    auto number = [&](const char* name, int32_t& into) {
        if (const auto v = parseInt32(field[name])) {
            into = *v;
        } else {
            form.problems.push_back(std::string(name) + " is not a number");
        }
    };
    number("f5", form.bestScoreTime);
    number("f5b", form.totalPlayTime);
    number("f6", form.speedCount);
    const std::optional<uint32_t> crc = parseUint32(field["f8"]);
    const std::optional<uint32_t> length = parseUint32(field["f9"]);
    if (!crc) form.problems.push_back("f8 is not a number");
    if (!length) form.problems.push_back("f9 is not a number");
    form.buildCrc = crc.value_or(0);
    form.buildLength = length.value_or(0);

    if (field["f2"] != std::to_string(GAME_ID)) form.problems.push_back("f2 is not this game's id");
    if (field["fa"] != field["f4"] + form.userName) form.problems.push_back("fa does not match f4 and f1");
    // The game adds in 32 bits: the length plus the score, wrapping like its own sum.
    const std::optional<int32_t> sum = parseInt32(field["fb"]);
    const auto expected = static_cast<int32_t>(form.buildLength + static_cast<uint32_t>(form.score));
    if (!sum || !length || *sum != expected) form.problems.push_back("fb does not match f9 plus f4");
    return form;
}

} // namespace tundrix::channel
