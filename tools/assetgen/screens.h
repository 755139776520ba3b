// The full-screen backgrounds of the title and the match intro, the title's side panel and its caption.
#pragma once
#include "tools/assetgen/art.h"

namespace tundrix::assetgen {

std::unique_ptr<Image> makeIntroBackground(ArtContext& art);
std::unique_ptr<Image> makeTitleBackground(ArtContext& art);
std::unique_ptr<Image> makeSidePanel(ArtContext& art);
// The choose-your-player caption, 151 by 18.
std::unique_ptr<Image> makeCaption(ArtContext& art);

} // namespace tundrix::assetgen
