// Preparing a period: clean rink, the referee and one more opponent than the period before.
#include "game/game_world.h"

namespace tundrix {

namespace {
// The match intro takes no key for its first frames.
constexpr int MATCH_INTRO_WAIT = 10;
} // namespace

void GameWorld::setUpPeriod() {
    timeUp_ = false;
    const int32_t period = periodNumber_.get();
    actors_.clear();
    ctx_->referee = nullptr;

    rinkDisplay_.blit(*rinkPicture_, 0, 0);
    rink_.reset();
    periodStart_.set(static_cast<int32_t>(services_.clock.nowMs()));
    claimedCells_->set(0);
    countdown_ = 0;
    player_->resetToRaidStart();

    services_.keyboard.poll();
    services_.keyboard.clearPresses();

    actors_.insertAt(new Opponent(*ctx_, opponentSheet_, KIND_REFEREE), 0);
    int32_t kind = (period - 1) / PERIODS_PER_MATCH + FIRST_TEAM;
    if (kind > LAST_TEAM) kind = LAST_TEAM;
    for (int32_t i = 0; i < period; ++i)
        actors_.insertAt(new Opponent(*ctx_, opponentSheet_, kind), 0);

    if (period % PERIODS_PER_MATCH == 1) {
        inMatchIntro_ = true;
        countdown_ = MATCH_INTRO_WAIT;
    } else {
        sounds_->playLoopSound1.start();
        sounds_->playLoopSound2.start();
    }
    periodWon_ = false;
    timeWarningOn_ = false;
}

} // namespace tundrix
