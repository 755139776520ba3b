// The game flow, run once a frame: title, match intro, play, the pauses and the game-over sequence.
#include "game/game_world.h"

#include <algorithm>

namespace tundrix {

namespace {
constexpr int TIME_UP_PAUSE = 30;
constexpr int GAME_OVER_SEQUENCE = 60;
} // namespace

void GameWorld::update() {
    if (countdown_ > 0) --countdown_;
    const int c = countdown_;

    if (gameOver_ && c <= 1) {
        stopTimeWarning();
        sounds_->playLoopSound1.stop();
        sounds_->playLoopSound2.stop();
    }
    if (gameOver_) return;

    if (onTitle_) {
        updateTitle();
        return;
    }
    if (inMatchIntro_) {
        updateMatchIntro();
        return;
    }
    updatePlay(c);
}

void GameWorld::updateTitle() {
    KeyboardInput& kb = services_.keyboard;
    kb.poll();
    rightFigure_->update();
    leftFigure_->update();
    rightFigure_->check();
    leftFigure_->check();

    if (rightFigure_->age > TITLE_READY_AGE && (kb.spaceHeld || kb.enterHeld)) {
        sounds_->titleTuneSound.stop();
        setUpPeriod();
        onTitle_ = false;
        // The faces on the chance icons are the chosen mascot's.
        chanceIconSheet_.select(player_->mascot == MASCOT_BRUM ? CHANCE_ICON_BRUM : CHANCE_ICON_VESSA);
        if (chanceIconSheet_.current() != nullptr) chances_->setIcon(chanceIconSheet_.current());
        kb.clearPresses();
    }
    if (kb.pressedX != 0) {
        player_->mascot = player_->mascot == MASCOT_VESSA ? MASCOT_BRUM : MASCOT_VESSA;
        kb.clearPresses();
    }
    kb.lastHeading = HEADING_RIGHT;
    player_->setFrame(HEADING_RIGHT);
}

void GameWorld::updateMatchIntro() {
    KeyboardInput& kb = services_.keyboard;
    kb.poll();
    if (countdown_ == 0 && (kb.enterPressed || kb.spacePressed)) {
        inMatchIntro_ = false;
        periodStart_.set(static_cast<int32_t>(services_.clock.nowMs()));
        // The first drawn frame of play already shows the period's full time.
        showClock();
        sounds_->playLoopSound1.start();
        sounds_->playLoopSound2.start();
    }
}

void GameWorld::updatePlay(int c) {
    if (c == 0) {
        if (playFrame(*player_, actors_)) chances_->add(-1);
        runClock();
        if (timeUp_ && countdown_ == 0) {
            endPeriod();
        } else if (periodWon_) {
            endPeriod();
        }
    }

    if (chances_->get() <= 0) {
        gameOver_ = true;
        countdown_ = GAME_OVER_SEQUENCE;
    }
    if (percentage() >= rules_.winningPercent && !periodWon_) {
        periodWon_ = true;
        countdown_ = PERIOD_WON_PAUSE;
        stopTimeWarning();
        sounds_->periodEndSound.play();
    }
}

void GameWorld::showClock() {
    const int32_t e =
        static_cast<int32_t>(services_.clock.nowMs() - static_cast<uint32_t>(periodStart_.get()) -
                             static_cast<uint32_t>(CLOCK_LAG_MS));
    const int32_t second = rules_.clockSecondMs;
    clockSeconds_->set(SECONDS_PER_MINUTE - 1 - (e / second) % SECONDS_PER_MINUTE);
    clockMinutes_->set(PERIOD_MINUTES - 1 - e / (second * SECONDS_PER_MINUTE));
}

void GameWorld::runClock() {
    showClock();

    if (clockMinutes_->get() <= WARNING_MINUTES && !timeWarningOn_) {
        timeWarningOn_ = true;
        sounds_->timeWarningSound.start();
    }

    // The clock stands at 0:00 for only 50 ms; a frame that first looks after that (a stall, a dialog
    // opened during play) finds it past zero. Either way the period ends once, as a time-up.
    const bool atZero = clockMinutes_->get() == 0 && clockSeconds_->get() == 0;
    const bool pastZero = clockMinutes_->get() < 0;
    if ((atZero || pastZero) && !timeUp_ && !periodWon_) {
        clockMinutes_->set(0);
        clockSeconds_->set(0);
        if (rules_.timeUpCostsChance) chances_->add(-1);
        sounds_->periodEndSound.play();
        countdown_ = TIME_UP_PAUSE;
        timeUp_ = true;
    }
}

void GameWorld::holdClock(uint32_t ms) {
    // The clock resumes where it stood: play began that much later.
    periodStart_.set(static_cast<int32_t>(static_cast<uint32_t>(periodStart_.get()) + ms));
}

void GameWorld::endPeriod() {
    if (periodWon_ && rules_.chancesForWonPeriod > 0)
        chances_->set(std::min(chances_->get() + rules_.chancesForWonPeriod, rules_.maxChances));
    stopTimeWarning();
    sounds_->playLoopSound1.stop();
    sounds_->playLoopSound2.stop();
    periodNumber_.add(1);
    setUpPeriod();
}

void GameWorld::stopTimeWarning() {
    if (!timeWarningOn_) return;
    sounds_->timeWarningSound.stop();
    timeWarningOn_ = false;
}

} // namespace tundrix
