// The numbers the rules of play are made of, each written once.
#pragma once
#include <cstdint>

namespace tundrix {

// Three periods make a match; every match brings the next opposing team, the fifth staying.
constexpr int32_t PERIODS_PER_MATCH = 3;
constexpr int32_t LAST_TEAM = 5;

// The claimed cells that make one percent on the HUD: the single-precision value nearest to 1/806,
// multiplied in double precision, so an exact multiple of 806 shows one percent less.
constexpr float PERCENT_SCALE = 1.0f / 806.0f;
constexpr int32_t WINNING_PERCENT = 80;

inline int32_t claimedPercent(int32_t claimedCells) {
    return static_cast<int32_t>(static_cast<double>(claimedCells) * static_cast<double>(PERCENT_SCALE));
}

// The title's start keys work, and its prompt shows, once the right figure is older than this (frames).
constexpr int32_t TITLE_READY_AGE = 50;

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
