// Parses and formats the channel's address, and picks it from the environment or the settings file.
#include "net/channel_address.h"

namespace tundrix {
namespace {

constexpr size_t MAX_HOST = 253;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (lower(text[i]) != prefix[i]) return false;
    }
    return true;
}

// Letters, digits, dots and hyphens, in labels that neither start nor end with a hyphen or a dot.
bool validHostName(std::string_view host) {
    if (host.empty() || host.size() > MAX_HOST || host.front() == '.' || host.back() == '.') return false;
    char previous = '.';
    for (char c : host) {
        const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alnum && c != '-' && c != '.') return false;
        if (c == '.' && (previous == '.' || previous == '-')) return false;
        if (c == '-' && previous == '.') return false;
        previous = c;
    }
    return previous != '-';
}

bool validIpv6(std::string_view host) {
    if (host.size() < 2 || host.size() > 45) return false;
    for (char c : host) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex && c != ':' && c != '.') return false;
    }
    return host.find(':') != std::string_view::npos;
}

std::optional<uint16_t> parsePort(std::string_view digits) {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    uint32_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    if (value == 0 || value > 65535) return std::nullopt;
    return static_cast<uint16_t>(value);
}

} // namespace

std::optional<ChannelAddress> parseChannelAddress(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);

    ChannelAddress address;
    if (startsWithNoCase(text, "https://")) {
        address.https = true;
        text.remove_prefix(8);
    } else if (startsWithNoCase(text, "http://")) {
        text.remove_prefix(7);
    }
    if (!text.empty() && text.back() == '/') text.remove_suffix(1);
    address.port = address.https ? 443 : 80;

    std::string_view host = text;
    std::string_view port;
    bool hasPort = false;
    if (!text.empty() && text.front() == '[') {
        const size_t close = text.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') return std::nullopt;
            port = rest.substr(1);
            hasPort = true;
        }
        if (!validIpv6(host)) return std::nullopt;
    } else {
        const size_t colon = text.find(':');
        if (colon != std::string_view::npos) {
            host = text.substr(0, colon);
            port = text.substr(colon + 1);
            hasPort = true;
        }
        if (!validHostName(host)) return std::nullopt;
    }
    if (hasPort) {
        const std::optional<uint16_t> number = parsePort(port);
        if (!number) return std::nullopt;
        address.port = *number;
    }
    address.host = std::string(host);
    return address;
}

std::string channelBaseUrl(const ChannelAddress& channel) {
    std::string url = channel.https ? "https://" : "http://";
    const bool ipv6 = channel.host.find(':') != std::string::npos;
    if (ipv6) url += '[';
    url += channel.host;
    if (ipv6) url += ']';
    if (channel.port != (channel.https ? 443 : 80)) {
        url += ':';
        url += std::to_string(channel.port);
    }
    return url;
}

std::string channelPageUrl(const ChannelAddress& channel, std::string_view path) {
    return channelBaseUrl(channel) + std::string(path);
}

ChannelAddress configuredChannel(const char* variable, const std::optional<std::string>& fileText) {
    if (variable != nullptr) {
        if (std::optional<ChannelAddress> fromVariable = parseChannelAddress(variable)) return *fromVariable;
    }
    if (fileText) {
        if (std::optional<ChannelAddress> fromFile = parseChannelAddress(*fileText)) return *fromFile;
    }
    return ChannelAddress{};
}

} // namespace tundrix
