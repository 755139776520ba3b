// The web pages the menu and the register dialog send the player to, defined in this one place (no SDL here).
#pragma once
#include "net/channel_address.h"

#include <string>
#include <string_view>

namespace tundrix {

// The sponsoring brand's web site.
inline constexpr char BRAND_HOST[] = "www.tundrix.se";

// Pages on the channel's server: the channel the program worked out once at start (the one TUNDRIX_CHANNEL
// or the settings folder's `channel` file names, else the channel's own host), the server the score
// submission posts to.
class WebPages {
  public:
    explicit WebPages(ChannelAddress channel = {}) : channel_(std::move(channel)) {}
    // URL of a path (protocol::SIGNUP_PATH) on the channel's server.
    std::string channelPage(std::string_view path) const { return channelPageUrl(channel_, path); }
    // The host name the channel's pages are on, as the menu names it.
    const std::string& channelHost() const { return channel_.host; }

  private:
    ChannelAddress channel_;
};

inline std::string brandPage(std::string_view path) {
    return "http://" + std::string(BRAND_HOST) + std::string(path);
}

} // namespace tundrix
