// A scripted player that plays the way someone new to the game does, looking at the rink as it stands.
#pragma once
#include "bots/headless_game.h"

#include <cstdint>

namespace tundrix {

// Plays one whole game from the title to game over: from wherever it stands it raids straight into the
// free ice, turns aside, and heads back for the line it came from, with raids of varied size (set by
// seed) and a few steps along the line between them, waiting a while when a figure skates near. Stops
// after maxFrames at the latest.
void playLikeANewPlayer(HeadlessGame& game, uint32_t seed = 0, int maxFrames = 60000);

} // namespace tundrix
