// The numbers the rules of play are made of, each written once.
#pragma once
#include <cstdint>

namespace tundrix {

// A game starts with three chances; losing the last ends it.
constexpr int32_t STARTING_CHANCES = 3;

// Three periods make a match; every match brings the next opposing team, the fifth staying. The teams
// are the opponents' kinds FIRST_TEAM to LAST_TEAM (kind 0 is the referee).
constexpr int32_t PERIODS_PER_MATCH = 3;
constexpr int32_t FIRST_TEAM = 1, LAST_TEAM = 5;

// The claimed cells that make one percent on the HUD: the single-precision value nearest to 1/806,
// multiplied in double precision, so an exact multiple of 806 shows one percent less.
constexpr float PERCENT_SCALE = 1.0f / 806.0f;
constexpr int32_t WINNING_PERCENT = 80;

inline int32_t claimedPercent(int32_t claimedCells) {
    return static_cast<int32_t>(static_cast<double>(claimedCells) * static_cast<double>(PERCENT_SCALE));
}

// The title's start keys work, and its prompt shows, once the right figure is older than this (frames).
constexpr int32_t TITLE_READY_AGE = 50;

// The period clock: a period of PERIOD_MINUTES clock minutes, each clock second CLOCK_SECOND_MS of play
// (a 20-minute period lasts a minute). The clock runs CLOCK_LAG_MS behind the period's start. The time
// warning sounds from WARNING_MINUTES left.
constexpr int32_t PERIOD_MINUTES = 20, SECONDS_PER_MINUTE = 60, CLOCK_SECOND_MS = 50, CLOCK_LAG_MS = 2;
constexpr int32_t WARNING_MINUTES = 3;

// A figure penalised inside claimed area.
constexpr int32_t PENALTY_POINTS = 25;
// A capture of v cells scores trunc(trunc(v / CAPTURE_SCORE_CELLS)^2 / CAPTURE_SCORE_DIVISOR) + 1.
constexpr int32_t CAPTURE_SCORE_CELLS = 812;
constexpr int32_t CAPTURE_SCORE_DIVISOR = 5;

constexpr int32_t captureScore(int32_t v) {
    const int32_t q = v / CAPTURE_SCORE_CELLS;
    return q * q / CAPTURE_SCORE_DIVISOR + 1;
}

// Frames between winning a period and the next period's start.
constexpr int32_t PERIOD_WON_PAUSE = 50;

} // namespace tundrix
