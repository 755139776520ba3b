// Feeds arbitrary bytes to the best games' file reader: never a crash, a table of at most ten good games,
// best first, that is written and read back the same.
#include "shell/best_games.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto table = tundrix::parseBestGames(std::string_view(reinterpret_cast<const char*>(data), size));
    if (table.size() > tundrix::BEST_GAMES_KEPT) std::abort();
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i].score <= 0 || table[i].periods < 1 || table[i].date.size() != 10) std::abort();
        if (i > 0 && table[i - 1].score < table[i].score) std::abort();
    }
    if (tundrix::parseBestGames(tundrix::formatBestGames(table)) != table) std::abort();
    return 0;
}
