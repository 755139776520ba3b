// The replay file: a small header, then the steps, clock readings and keys as varints, compressed.
#pragma once
#include "replay/replay.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tundrix {

// What a replay may hold before the reader refuses it; a game longer than this cannot be verified.
struct ReplayLimits {
    size_t maxFileBytes = 4u << 20;         // the compressed file
    size_t maxBodyBytes = 32u << 20;        // the body once inflated
    uint32_t maxUpdates = 2 * 60 * 60 * 25; // two hours of play at 25 frames a second
    uint32_t maxEntries = 6 * 60 * 60 * 25; // updates, draws and holds together
    uint32_t maxReadingsPerStep = 64;
    uint32_t maxKeysPerStep = 64;
};

// The file's first bytes. An Original game is written as it always was; a game of another mode starts
// with the second mark and names its mode in one byte after the build, so a reader that knows only the
// first refuses it rather than plays it the Original way.
inline constexpr char REPLAY_MAGIC[4] = {'T', 'X', 'R', '1'};
inline constexpr char REPLAY_MAGIC_WITH_MODE[4] = {'T', 'X', 'R', '2'};

std::vector<uint8_t> encodeReplay(const Replay& replay);

// The replay in bytes, or nothing with the reason in why: a damaged, truncated or over-long file, a
// clock that runs backwards, steps that do not add up, a mode this game does not know.
std::optional<Replay> decodeReplay(std::span<const uint8_t> bytes, std::string& why,
                                   const ReplayLimits& limits = {});

} // namespace tundrix
