// Whose request it is: the address the connection came from, or, behind a reverse proxy the operator
// named, the client address that proxy passes on. Nobody else's say-so counts.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tundrix::channel {

// A numeric IPv4 or IPv6 address in its usual written form, or nothing if text is none.
std::optional<std::string> normalAddress(std::string_view text);

// The client's address: the peer's, unless the peer is one of the trusted proxies; then X-Real-IP, or
// failing that the last address of X-Forwarded-For (the one the proxy itself added), when well formed.
std::string clientAddress(const std::string& peer, std::string_view realIp, std::string_view forwardedFor,
                          const std::vector<std::string>& trustedProxies);

} // namespace tundrix::channel
