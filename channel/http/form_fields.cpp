// Splitting and percent-decoding of urlencoded fields.
#include "channel/http/form_fields.h"

namespace tundrix::channel {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string percentDecode(std::string_view text, bool plusIsSpace) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 2 < text.size()) {
            const int high = hexValue(text[i + 1]);
            const int low = hexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += (plusIsSpace && c == '+') ? ' ' : c;
    }
    return out;
}

Fields parseFormFields(std::string_view text) {
    Fields out;
    while (!text.empty() && out.size() < MAX_FIELDS) {
        const size_t amp = text.find('&');
        const std::string_view pair = text.substr(0, amp);
        text = amp == std::string_view::npos ? std::string_view() : text.substr(amp + 1);
        if (pair.empty()) continue;
        const size_t eq = pair.find('=');
        out.emplace_back(percentDecode(pair.substr(0, eq), true),
                         eq == std::string_view::npos ? std::string()
                                                      : percentDecode(pair.substr(eq + 1), true));
    }
    return out;
}

} // namespace tundrix::channel

namespace tundrix::channel {

void readTarget(HttpRequest& request, std::string_view target) {
    const size_t question = target.find('?');
    request.path = percentDecode(target.substr(0, question), false);
    request.query =
        question == std::string_view::npos ? std::string() : std::string(target.substr(question + 1));
    request.fields = parseFormFields(request.query);
    const std::string type = request.header("Content-Type");
    if (type.rfind("application/x-www-form-urlencoded", 0) == 0) {
        for (auto& field : parseFormFields(request.body)) {
            if (request.fields.size() >= 2 * MAX_FIELDS) break;
            request.fields.push_back(std::move(field));
        }
    }
}

} // namespace tundrix::channel
