// The program's icons: a mascot's face in its badge, as PNG files for the desktop and as the window's
// embedded RGBA pixels.
#pragma once
#include "tools/assetgen/art.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tundrix::assetgen {

// Writes the icon as a size by size PNG file; false if it cannot be written.
bool writeIconPng(const ArtContext& art, int size, const std::string& path);

// The window icon: WINDOW_ICON_SIZE squared pixels as R, G, B, A bytes, top row first.
std::vector<uint8_t> windowIconPixels(const ArtContext& art);

} // namespace tundrix::assetgen
