// The player's ten best games, kept across runs in the settings folder: the table, its file and its rules
// (no SDL here).
#pragma once
#include "core/game_rules.h"
#include "shell/play_time.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tundrix {

inline constexpr size_t BEST_GAMES_KEPT = 10;
inline constexpr size_t BEST_GAMES_MAX_BYTES = 4096;

struct BestGame {
    int32_t score = 0;
    int32_t periods = 0; // the period the game ended in
    std::string date;    // the day it ended, YYYY-MM-DD
    uint8_t mascot = 0;  // 0 Vessa, 1 Brum
    PlayMode mode = PlayMode::Original;
    bool operator==(const BestGame&) const = default;
};

// One game a line: "score periods date mascot mode", as in "1234 3 2026-12-08 vessa original". Lines that
// do not read are passed over; the table comes back best first (equal scores in the order they were
// written), at most BEST_GAMES_KEPT. Pure: any bytes at all give a table.
std::vector<BestGame> parseBestGames(std::string_view text);
std::string formatBestGames(const std::vector<BestGame>& table);

// Where the game enters the table (0 is the top), or nothing: a game of no points, or one no better than
// the tenth, stays out. A later game of equal score goes below the earlier one.
std::optional<size_t> placeInTable(const std::vector<BestGame>& table, const BestGame& game);

// The table as the file holds it now.
std::vector<BestGame> readBestGames(const Settings& settings);
// Enters the game into the table on disk (under the lock, as it stands now) and gives its place, or nothing
// when it stays out or nothing could be written; table gets the table as it is afterwards.
std::optional<size_t> recordBestGame(const Settings& settings, const BestGame& game,
                                     std::vector<BestGame>& table);

// "YYYY-MM-DD" of the local day at seconds since 1970.
std::string localDate(int64_t secondsSince1970);

} // namespace tundrix
