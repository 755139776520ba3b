// The rink seen from above: arena, boards and the marked ice.
#pragma once
#include "tools/assetgen/art.h"

namespace tundrix::assetgen {

// The dark arena with its crowd, over the whole canvas.
void drawArena(cairo_t* cr, int width, int height);
// The boards around the edge rectangle, their kick plate exactly on the edge line.
void drawBoards(cairo_t* cr);
// The ice and its markings: centre red line, blue lines, goal lines, face-off circles and spots, creases
// and nets.
void drawIce(cairo_t* cr);

} // namespace tundrix::assetgen
