// The figures on the ice seen from above: the player's skater, the referee and the five teams.
#pragma once
#include "tools/assetgen/art.h"

namespace tundrix::assetgen {

// Set 261: the player, the stick pointing right, down, left and up.
Frames makePlayerSkater(ArtContext& art);
// Set 262: the referee (four 20 by 20 headings), then four 32 by 32 headings for each team in the
// order Norway, USA, Finland, Russia, Canada.
Frames makeRefereeAndTeams(ArtContext& art);

} // namespace tundrix::assetgen
