// A 64-bit digest of everything the rules of a game world read: two worlds with the same digest play on
// alike. Replays compare it frame by frame.
#pragma once
#include "game/game_world.h"

#include <cstdint>

namespace tundrix {

uint64_t worldDigest(GameWorld& world);

} // namespace tundrix
