// A recorded game as an animated GIF every browser plays: the game's own pictures, 440 by 300 in its
// palette, 25 frames a second, without loss.
#pragma once
#include "platform/resource_store.h"
#include "replay/replay.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tundrix {

struct MovieLimits {
    uint32_t maxFrames = 10 * 60 * 25; // ten minutes; a longer game shows its first ten
    size_t maxBytes = 64u << 20;       // the picture stops growing there
};

struct Movie {
    std::vector<uint8_t> gif; // empty when the replay could not be played
    uint32_t frames = 0;      // pictures shown, one per frame of the game
    bool cut = false;         // the game went on past the limits
    std::string problem;
};

// Plays the replay and draws every frame it updates, as the game would on a machine never late.
Movie renderMovie(const Replay& replay, const ResourceStore& resources, const MovieLimits& limits = {});

} // namespace tundrix
