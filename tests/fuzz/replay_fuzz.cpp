// Feeds arbitrary bytes to the replay reader, and plays what it accepts through the game's own world.
#include "replay/replay_codec.h"
#include "replay/replay_player.h"
#include "resources/embedded_resources.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const tundrix::EmbeddedResources resources;
    tundrix::ReplayLimits limits;
    limits.maxUpdates = 300; // a short game is enough to reach every step kind
    limits.maxEntries = 1000;
    std::string why;
    const auto replay = tundrix::decodeReplay(std::span<const uint8_t>(data, size), why, limits);
    if (!replay) {
        if (why.empty()) std::abort();
        return 0;
    }
    if (replay->updates() > limits.maxUpdates) std::abort();
    const tundrix::ReplayVerdict verdict = tundrix::verifyReplay(*replay, resources);
    if (!verdict.consistent && verdict.problem.empty()) std::abort();
    return 0;
}
