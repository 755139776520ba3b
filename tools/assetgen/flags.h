// The five national flags, on the match cards and as small panel flags.
#pragma once
#include "tools/assetgen/art.h"

namespace tundrix::assetgen {

enum class Team { Norway, Usa, Finland, Russia, Canada };
constexpr Team TEAMS[] = {Team::Norway, Team::Usa, Team::Finland, Team::Russia, Team::Canada};
const char* teamCode(Team team);

// The flag filling the rectangle.
void drawFlag(cairo_t* cr, Team team, double x, double y, double w, double h);

// Set 265: the five match cards, 148 by 118.
Frames makeMatchCards(ArtContext& art);
// Set 266: the five small flags, 32 by 16.
Frames makeSmallFlags(ArtContext& art);

} // namespace tundrix::assetgen
