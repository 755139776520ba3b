// One frame of play: the player, then every figure, moves; then the player's and every figure's rules.
#pragma once
#include "actors/player.h"
#include "core/object_list.h"

namespace tundrix {

// Runs the frame on the player and the period's figures. Returns true when a figure cut the raid this
// frame: the player is already back where the raid began, and the caller takes a chance.
bool playFrame(Player& player, ObjectList& figures);

} // namespace tundrix
