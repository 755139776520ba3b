// The channel's page addresses and the query escaping for the links the register dialog opens.
#include "shell/web_pages.h"

#include "net/channel_address.h"
#include "shell/play_time.h"

#include <cstdlib>

namespace tundrix {

std::string channelPage(std::string_view path) {
    const ChannelAddress channel = configuredChannel(std::getenv(CHANNEL_VARIABLE), userSettingsFolder());
    return channelPageUrl(channel, path);
}

std::string urlQueryValue(std::string_view text) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                c == '-' || c == '_' || c == '.' || c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += HEX[c >> 4];
            out += HEX[c & 15];
        }
    }
    return out;
}

} // namespace tundrix
