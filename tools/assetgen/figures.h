// The two mascots: the title portraits with their eye and hair overlays, the puck, and the small heads.
#pragma once
#include "tools/assetgen/art.h"

namespace tundrix::assetgen {

// Set 263 frames 0..3: portrait, both eyes closed, wink, hair.
Frames makeVessa(ArtContext& art);
// Set 264 frames 0..2: portrait, eyes closed, hair (the puck and caption are added by the caller).
Frames makeBrum(ArtContext& art);
// Set 264 frame 3: a puck, 97 by 55.
std::unique_ptr<Image> makePuck(ArtContext& art);
// Set 257: the heads, 0 Brum, 1 Vessa, 32 by 32.
Frames makeHeads(ArtContext& art);

} // namespace tundrix::assetgen
