// A recorded game: everything the game world read from outside it, in the order it read it.
#pragma once
#include "core/game_rules.h"
#include "input/keyboard_input.h"

#include <cstdint>
#include <vector>

namespace tundrix {

// What happened to the world, one step at a time. Each step carries the clock readings and the key
// answers the world took while it ran.
enum class ReplayStep : uint8_t {
    Create = 1,     // the world was built (it seeds its random sequence from the first reading)
    Update = 2,     // one frame of the game flow
    Draw = 3,       // the frame was drawn (drawing changes nothing the rules read)
    HoldClock = 4,  // the player could not play for `argument` ms: the period clock leaves it out
    ClearScore = 5, // the shell set the score to 0 after registering it
};

struct ReplayEntry {
    ReplayStep step = ReplayStep::Update;
    uint32_t argument = 0; // HoldClock: the milliseconds
    uint32_t readings = 0; // clock readings taken during the step
    uint32_t keys = 0;     // key answers taken during the step
};

// The build that made the game, as the score form names it.
struct ReplayBuild {
    int32_t gameId = 0;
    uint32_t crc = 0;    // CRC-32 of the program file
    uint32_t length = 0; // its length in bytes
    bool operator==(const ReplayBuild&) const = default;
};

struct Replay {
    ReplayBuild build;
    // The way in the game was played; it is played again the same way.
    PlayMode mode = PlayMode::Original;
    // The keyboard's state and the title's blink count as the world found them when it was built.
    KeyboardState keyboard;
    int32_t titleBlink = 0;
    std::vector<ReplayEntry> entries;
    std::vector<uint32_t> readings; // every clock reading, in order
    std::vector<bool> keys;         // every key answer, in order

    uint32_t updates() const;
};

} // namespace tundrix
