// The two mascots: the title portraits with their eye and hair overlays, the puck, and their heads in a
// round badge (the chance icons and the program's icons).
#pragma once
#include "tools/assetgen/art.h"

namespace tundrix::assetgen {

// Set 263 frames 0..3: portrait, both eyes closed, wink, hair.
Frames makeVessa(ArtContext& art);
// Set 264 frames 0..2: portrait, eyes closed, hair (the puck and caption are added by the caller).
Frames makeBrum(ArtContext& art);
// Set 264 frame 3: a puck, 97 by 55.
std::unique_ptr<Image> makePuck(ArtContext& art);
enum class Mascot { Brum, Vessa };
// How a head badge is framed: the chance icons use the defaults; the program's icons draw the face closer
// and add a dark rim so that it stands out on light and dark desktops alike.
struct BadgeLook {
    double closeness = 1.0; // scale of the face relative to the chance icon's
    double faceDrop = 0.0;  // moves the face down, in 32nds of the badge
    double ringWidth = 1.6; // the gold ring, in 32nds of the badge
    double rimWidth = 0.0;  // dark edges around the ring, in 32nds of the badge (0: none)
};
// A mascot's face in a round badge of the team colours, filling the size by size square at the origin.
void drawHeadBadge(cairo_t* cr, const ArtContext& art, Mascot who, double size, const BadgeLook& look);
// Set 257: the heads, 0 Brum, 1 Vessa, 32 by 32.
Frames makeHeads(ArtContext& art);

} // namespace tundrix::assetgen
