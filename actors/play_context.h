// What the figures on the ice need from the game world, handed to them by reference.
#pragma once
#include "core/angle_tables.h"
#include "core/game_rules.h"
#include "core/guarded_counter.h"
#include "core/object_list.h"
#include "core/random.h"
#include "core/sound_effect.h"
#include "input/keyboard_input.h"
#include "rink/rink.h"

namespace tundrix {

class Player;
class Opponent;

// The world builds one of these before the player and keeps it alive (and in place) for as long as
// any actor exists. The world must also have attached its rink pictures to the rink
// (Rink::attachPictures: rinkDisplay, rinkPicture = frame 0 of set 256, claimedPicture = frame 1),
// since marking, erasing and claiming paint into rinkDisplay.
//
// The two pointers at the end are kept up to date by the figures themselves: the Player enters
// itself on construction, a kind-0 Opponent (the referee) on construction, and each leaves again
// on destruction. What the game flow reads back lives on those objects: player->caught (a raid was
// cut this frame: take a chance and call resetToRaidStart), player->safe, player->mascot.
struct PlayContext {
    Rink& rink;
    ObjectList& actors; // the referee and the opponents of the period
    Random& random;     // the game's one random sequence (figures draw from it when built)
    const AngleTables& angles;
    KeyboardInput& keyboard; // polled by the player at the start of its update
    GuardedCounter& score;
    GuardedCounter& claimedCells;
    SoundEffect& bigCaptureSound; // WAVE 311: a capture of more than 20367 cells
    SoundEffect& opponentSound;   // WAVE 312: an opponent cuts the raid or is penalised
    SoundEffect& refereeCutSound; // WAVE 315: the referee cuts the raid

    // How fast the referee and the opponents built from now on skate, in pixels a frame.
    float opponentSpeed = ORIGINAL_RULES.opponentSpeed;

    Player* player = nullptr;
    Opponent* referee = nullptr;
};

} // namespace tundrix
