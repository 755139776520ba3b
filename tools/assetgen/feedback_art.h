// The feedback layer's art: numerals, the bottom panel, the period card and banner, the penalty box and
// the capture's flash.
#pragma once
#include "tools/assetgen/art.h"

namespace tundrix::assetgen {

// Image set 270: gold numerals with a dark outline, "+" and "%".
Frames makeNumerals(ArtContext& art);
// Image set 271: the same numerals at the period card's size.
Frames makeBigNumerals(ArtContext& art);
// Image set 272: pixel digits for the bottom panel.
Frames makeSmallDigits(ArtContext& art);
// Image set 273: the pictures in the order of feedback::Picture.
Frames makeFeedbackPictures(ArtContext& art);
// Image set 274: the capture's flash, growing.
Frames makeBurst(ArtContext& art);

} // namespace tundrix::assetgen
