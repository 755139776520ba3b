// The play screen (set 256 frame 0) and the claimed look of its ice (frame 1).
#pragma once
#include "tools/assetgen/art.h"

namespace tundrix::assetgen {

struct PlayScreen {
    std::unique_ptr<Image> background;
    std::unique_ptr<Image> claimed;
};

PlayScreen makePlayScreen(ArtContext& art);

// The grayed, darker colour in which claimed ice shows a colour of the plain ice.
uint32_t claimedColour(uint32_t rgb);

} // namespace tundrix::assetgen
