// Header and field look-ups of the channel's request and response.
#include "channel/http/http_types.h"

namespace tundrix::channel {

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string HttpRequest::header(std::string_view name) const {
    for (const auto& [key, value] : headers)
        if (sameName(key, name)) return value;
    return "";
}

std::string HttpRequest::field(std::string_view name) const {
    for (const auto& [key, value] : fields)
        if (key == name) return value;
    return "";
}

bool HttpRequest::hasField(std::string_view name) const {
    for (const auto& item : fields)
        if (item.first == name) return true;
    return false;
}

void HttpResponse::setContent(std::string content, std::string_view contentType) {
    body = std::move(content);
    setHeader("Content-Type", std::string(contentType));
}

void HttpResponse::setHeader(std::string_view name, std::string value) {
    for (auto& [key, old] : headers) {
        if (sameName(key, name)) {
            old = std::move(value);
            return;
        }
    }
    headers.emplace_back(std::string(name), std::move(value));
}

std::string HttpResponse::header(std::string_view name) const {
    for (const auto& [key, value] : headers)
        if (sameName(key, name)) return value;
    return "";
}

} // namespace tundrix::channel
