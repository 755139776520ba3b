// Where the game channel lives: the one place that names its web server.
#pragma once
#include <cstdint>

namespace tundrix {

// The channel's web server: scores are posted here and its web pages are opened from the menu.
inline constexpr char CHANNEL_HOST[] = "www.lumora.se";
inline constexpr uint16_t CHANNEL_PORT = 80;

} // namespace tundrix
