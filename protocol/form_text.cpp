// Scrambling, numbers and the fixed field order of the game's forms.
#include "protocol/form_text.h"

namespace tundrix::protocol {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<int64_t> parseDecimal(std::string_view text, int64_t least, int64_t most) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 10 || (text.size() > 1 && text.front() == '0')) return std::nullopt;
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

std::string scrambleField(std::string_view text) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    std::string out;
    out.reserve(text.size() * 2);
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte =
            static_cast<uint8_t>(static_cast<uint8_t>(text[i]) ^ FIELD_KEY[i % FIELD_KEY.size()]);
        out += HEX[byte >> 4];
        out += HEX[byte & 0x0F];
    }
    return out;
}

std::optional<std::string> unscrambleField(std::string_view hex) {
    if (hex.size() % 2 != 0) return std::nullopt;
    std::string out;
    out.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = hexDigit(hex[i]);
        const int low = hexDigit(hex[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        const size_t index = out.size();
        out += static_cast<char>((high << 4 | low) ^ FIELD_KEY[index % FIELD_KEY.size()]);
    }
    return out;
}

std::optional<std::string> readScrambledText(std::string_view value, std::string_view name, size_t most,
                                             std::string& why) {
    std::optional<std::string> plain = unscrambleField(value);
    if (!plain) {
        why = "field " + std::string(name) + " is not scrambled text";
    } else if (plain->size() > most) {
        why = "field " + std::string(name) + " too long";
    } else if (plain->find('\0') != std::string::npos) {
        why = "field " + std::string(name) + " holds a NUL";
    } else {
        return plain;
    }
    return std::nullopt;
}

std::optional<int32_t> parseInt32(std::string_view text) {
    if (text == "-0") return std::nullopt;
    const auto v = parseDecimal(text, INT32_MIN, INT32_MAX);
    return v ? std::optional<int32_t>(static_cast<int32_t>(*v)) : std::nullopt;
}

std::optional<uint32_t> parseUint32(std::string_view text) {
    if (!text.empty() && text.front() == '-') return std::nullopt;
    const auto v = parseDecimal(text, 0, UINT32_MAX);
    return v ? std::optional<uint32_t>(static_cast<uint32_t>(*v)) : std::nullopt;
}

std::optional<std::vector<std::string_view>>
fieldsInOrder(std::string_view body, std::span<const char* const> names, std::string& why) {
    std::vector<std::string_view> values;
    values.reserve(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            if (body.empty() || body.front() != '&') {
                why = std::string("field ") + names[i] + " missing";
                return std::nullopt;
            }
            body.remove_prefix(1);
        }
        const std::string_view name = names[i];
        if (body.substr(0, name.size()) != name || body.substr(name.size(), 1) != "=") {
            why = std::string("field ") + names[i] + " missing or out of order";
            return std::nullopt;
        }
        body.remove_prefix(name.size() + 1);
        const size_t amp = body.find('&');
        values.push_back(body.substr(0, amp));
        body = amp == std::string_view::npos ? std::string_view() : body.substr(amp);
    }
    if (!body.empty()) {
        why = "fields after the last one";
        return std::nullopt;
    }
    return values;
}

} // namespace tundrix::protocol
