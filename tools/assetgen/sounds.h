// The game's sound effects, synthesised: 8-bit unsigned mono samples at 8000 per second.
#pragma once
#include <cstdint>
#include <vector>

namespace tundrix::assetgen {

struct SoundAsset {
    int id;
    std::vector<uint8_t> samples;
};

// 305 and 317 the title figures' skate-in swishes, 308 the title tune, 309 and 310 the two play loops
// (bass and drums; a sustained chord in the same key), 311 the big-capture fanfare, 312 the opponent's
// bump, 313 the time-warning beeps (looping), 314 the period horn, 315 the referee's whistle; and the
// feedback layer's 320 small-capture chime, 321 raid cut and 322 won-period fanfare.
std::vector<SoundAsset> makeSounds();

} // namespace tundrix::assetgen
