// The score panel's dot-matrix glyphs and the game-over banner.
#pragma once
#include "tools/assetgen/art.h"

namespace tundrix::assetgen {

constexpr uint32_t DOT_WINDOW = 0x0A0806;

// One 15 by 25 dot-matrix cell with its top-left at (x, y): glyph 0..9 the digits, 10 every dot lit,
// 11 the clock colon, 12 the percent sign; -1 draws the cell with every dot unlit.
void drawDotCell(cairo_t* cr, int x, int y, int glyph);

// Image set 260: the thirteen glyphs.
Frames makeDigits(ArtContext& art);
// Image set 246: "GAME OVER" on transparent ground.
std::unique_ptr<Image> makeGameOverBanner(ArtContext& art);

} // namespace tundrix::assetgen
