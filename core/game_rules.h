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

// The ways into the game a player can choose. Original is the game as it always was, and the only one
// the channel's competitions count; a recording that names no mode is an Original game.
enum class PlayMode : uint8_t { Original = 0, Easier = 1 };
constexpr int PLAY_MODES = 2;

// Everything a play mode changes, in one place; the world takes it when it is built.
struct ModeRules {
    int32_t startChances;
    // One clock second in milliseconds: a 20-minute period lasts 60 of them.
    int32_t clockSecondMs;
    bool timeUpCostsChance;
    int32_t chancesForWonPeriod;
    int32_t maxChances;  // a won period gives none beyond this
    float opponentSpeed; // pixels a frame; the referee too
    int32_t winningPercent;
};

inline constexpr ModeRules ORIGINAL_RULES{STARTING_CHANCES, CLOCK_SECOND_MS, true, 0, STARTING_CHANCES, 5.0f,
                                          WINNING_PERCENT};
// Tuned with the new player of bots/ (bench_modes): six chances and one back for each won period, periods
// of two minutes that cost nothing when the time runs out, slower figures, and 75 % to win.
inline constexpr ModeRules EASIER_RULES{6, 100, false, 1, 6, 2.5f, 75};

inline const ModeRules& rulesFor(PlayMode mode) {
    return mode == PlayMode::Easier ? EASIER_RULES : ORIGINAL_RULES;
}

} // namespace tundrix
