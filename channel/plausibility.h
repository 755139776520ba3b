// What the game's rules allow: the most a game can score in the time it reports, and the other signs
// that a posted score cannot have come from a real game of a released build.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tundrix::channel {

// The highest score any game can have reached gameMs milliseconds after it started (the time the game
// sends with its best score), under the rules of play: however lucky the player, every period ends in
// a won period's pause at the earliest, claims all the ice at most once, and penalises each of its
// opponents at most once.
int64_t mostScoreWithin(int64_t gameMs);

// A game ends before its score is posted, and a new one starts only after: one member's game cannot
// have lasted longer than the time since their previous post, give or take this much.
inline constexpr int64_t POSTING_SLACK_SECONDS = 5;

struct PostedScore {
    int32_t score = 0;
    int32_t bestScoreTime = 0;            // ms, as the game sent it
    std::optional<int64_t> sinceLastPost; // seconds since the member's previous kept post; none at first
    bool releasedBuild = true;            // false only when releases are known and this build is none
};

// Why the score cannot be ranked: empty when it is possible under the rules. A negative score is the
// game's own sign of altered counters and is judged elsewhere.
std::vector<std::string> implausibilities(const PostedScore& post);

} // namespace tundrix::channel
