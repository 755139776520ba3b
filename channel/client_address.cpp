// Reading the proxy's client address headers, only from a trusted proxy.
#include "channel/client_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>

namespace tundrix::channel {
namespace {

std::string_view blanksOff(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::optional<std::string> normalAddress(std::string_view text) {
    text = blanksOff(text);
    if (text.empty() || text.size() >= INET6_ADDRSTRLEN) return std::nullopt;
    const std::string copy(text);
    char out[INET6_ADDRSTRLEN];
    in6_addr v6{};
    in_addr v4{};
    if (inet_pton(AF_INET, copy.c_str(), &v4) == 1)
        return std::string(inet_ntop(AF_INET, &v4, out, sizeof out));
    if (inet_pton(AF_INET6, copy.c_str(), &v6) == 1) {
        if (IN6_IS_ADDR_V4MAPPED(&v6))
            return std::string(inet_ntop(AF_INET, &v6.s6_addr[12], out, sizeof out));
        return std::string(inet_ntop(AF_INET6, &v6, out, sizeof out));
    }
    return std::nullopt;
}

std::string clientAddress(const std::string& peer, std::string_view realIp, std::string_view forwardedFor,
                          const std::vector<std::string>& trustedProxies) {
    if (std::find(trustedProxies.begin(), trustedProxies.end(), peer) == trustedProxies.end()) return peer;
    if (const auto real = normalAddress(realIp)) return *real;
    const size_t comma = forwardedFor.rfind(',');
    if (const auto last =
            normalAddress(comma == std::string_view::npos ? forwardedFor : forwardedFor.substr(comma + 1)))
        return *last;
    return peer;
}

} // namespace tundrix::channel
