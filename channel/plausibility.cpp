// The score ceiling worked out from the rules' own numbers, and the checks of a posted score.
#include "channel/plausibility.h"

#include "core/frame_driver.h"
#include "core/game_rules.h"
#include "rink/rink.h"

#include <algorithm>

namespace tundrix::channel {
namespace {

// A raid starts only on a frame Space goes down and closes on a later sub-step of the player's move:
// at most two captures close in one frame, each worth at least its one point.
constexpr int64_t CAPTURES_PER_FRAME = 2;

// The most the captures of one period score beyond their one point each: the scores' squares add up to
// no more than the square of their sum, and a period has no more than all its ice to claim.
constexpr int64_t PERIOD_CAPTURE_CEILING = captureScore(ICE_CELLS) - 1;

std::string seconds(int64_t ms) {
    return std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100) + " s";
}

} // namespace

int64_t mostScoreWithin(int64_t gameMs) {
    if (gameMs < 0) return 0;
    // Frames run on the game's 40 ms schedule from its start; the title takes its first ones.
    const int64_t frames = gameMs / FRAME_MS + 1;
    const int64_t playing = std::max<int64_t>(0, frames - TITLE_READY_AGE);
    if (playing == 0) return 0;
    // Period p holds p opponents; the next period starts after a won one's pause at the soonest.
    const int64_t periods = 1 + playing / (PERIOD_WON_PAUSE + 1);
    return periods * PERIOD_CAPTURE_CEILING + PENALTY_POINTS * periods * (periods + 1) / 2 +
           CAPTURES_PER_FRAME * playing;
}

std::vector<std::string> implausibilities(const PostedScore& post) {
    std::vector<std::string> why;
    if (post.bestScoreTime < 0) {
        why.push_back("a negative game time");
    } else if (post.score > 0 && post.score > mostScoreWithin(post.bestScoreTime)) {
        why.push_back("score " + std::to_string(post.score) + " beyond the " +
                      std::to_string(mostScoreWithin(post.bestScoreTime)) + " the rules allow in " +
                      seconds(post.bestScoreTime) + " of play");
    }
    if (post.sinceLastPost && post.bestScoreTime >= 0 &&
        post.bestScoreTime / 1000 > std::max<int64_t>(0, *post.sinceLastPost) + POSTING_SLACK_SECONDS) {
        why.push_back("a game of " + seconds(post.bestScoreTime) + " but the member's previous post came " +
                      std::to_string(*post.sinceLastPost) + " s ago");
    }
    if (!post.releasedBuild) why.push_back("a build the operator has not released");
    return why;
}

} // namespace tundrix::channel
