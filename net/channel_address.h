// Where the game finds the channel's server: the address a player or operator writes, read and checked.
#pragma once
#include "net/channel.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tundrix {

// The environment variable that names the channel; it wins over the settings file.
inline constexpr char CHANNEL_VARIABLE[] = "TUNDRIX_CHANNEL";
// The file in the game's settings folder that names the channel.
inline constexpr char CHANNEL_FILE[] = "channel";

struct ChannelAddress {
    bool https = false;
    std::string host = CHANNEL_HOST; // a DNS name, an IPv4 address, or an IPv6 address without brackets
    uint16_t port = CHANNEL_PORT;
    bool operator==(const ChannelAddress&) const = default;
};

// Reads "host", "host:port", "http://host[:port]" or "https://host[:port]", with at most a trailing "/"
// and white space around it; the port defaults to 80 or 443. An IPv6 address is written in brackets.
// Nothing for anything else: a path, a query, user names, an empty host, a port outside 1..65535.
std::optional<ChannelAddress> parseChannelAddress(std::string_view text);

// "http://host" or "https://host:8443": the scheme, the host and the port unless it is the scheme's own.
std::string channelBaseUrl(const ChannelAddress& channel);
// The URL of a page on the channel's server; path starts with "/".
std::string channelPageUrl(const ChannelAddress& channel, std::string_view path);

// The most of the `channel` file that is read: an address is far shorter.
inline constexpr size_t CHANNEL_FILE_MAX_BYTES = 1024;

// The channel the game uses: the environment variable's value when it is a valid address, else the
// `channel` settings file's text (as the settings reader gave it) when it holds one, else the channel's
// own host. variable may be null; fileText is nothing when there is no such file.
ChannelAddress configuredChannel(const char* variable, const std::optional<std::string>& fileText);

} // namespace tundrix
