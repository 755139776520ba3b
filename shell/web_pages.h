// The web hosts the menu and the register dialog send the player to, defined in this one place (no SDL here).
#pragma once
#include "net/channel.h"

#include <string>
#include <string_view>

namespace tundrix {

// The channel's host (CHANNEL_HOST) is named by the score submission, which posts to the same server.
// The sponsoring brand's web site.
inline constexpr char BRAND_HOST[] = "www.tundrix.se";

// URL of a path ("/registrera/") on the channel's server: the one TUNDRIX_CHANNEL or the settings
// folder's `channel` file names, else the channel's own host.
std::string channelPage(std::string_view path);
inline std::string brandPage(std::string_view path) {
    return "http://" + std::string(BRAND_HOST) + std::string(path);
}

// Escapes text for a URL query value: everything but unreserved characters becomes %XX.
std::string urlQueryValue(std::string_view text);

} // namespace tundrix
