// The best games' table: reading and writing its lines, finding a game's place, and the locked update.
#include "shell/best_games.h"

#include <algorithm>
#include <ctime>

namespace tundrix {

namespace {

constexpr const char* MASCOT_WORDS[] = {"vessa", "brum"};
constexpr const char* MODE_WORDS[] = {"original", "easier"};
constexpr int32_t MOST_POINTS = 999999999;
constexpr int32_t MOST_PERIODS = 99999;

// A whole number of at most digits digits from 0 to most, or nothing.
std::optional<int32_t> number(std::string_view word, size_t digits, int32_t most) {
    if (word.empty() || word.size() > digits) return std::nullopt;
    int64_t v = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v > most) return std::nullopt;
    return static_cast<int32_t>(v);
}

bool isDate(std::string_view w) {
    if (w.size() != 10 || w[4] != '-' || w[7] != '-') return false;
    const auto year = number(w.substr(0, 4), 4, 9999);
    const auto month = number(w.substr(5, 2), 2, 12);
    const auto day = number(w.substr(8, 2), 2, 31);
    return year && month && day && *year >= 1970 && *month >= 1 && *day >= 1;
}

template <size_t N> std::optional<size_t> wordIndex(std::string_view w, const char* const (&words)[N]) {
    for (size_t i = 0; i < N; ++i)
        if (w == words[i]) return i;
    return std::nullopt;
}

std::optional<BestGame> parseLine(std::string_view line) {
    std::vector<std::string_view> words;
    while (!line.empty() && words.size() <= 5) {
        const size_t start = line.find_first_not_of(" \t\r");
        if (start == std::string_view::npos) break;
        line.remove_prefix(start);
        const size_t end = std::min(line.find_first_of(" \t\r"), line.size());
        words.push_back(line.substr(0, end));
        line.remove_prefix(end);
    }
    if (words.size() != 5) return std::nullopt;
    const auto score = number(words[0], 9, MOST_POINTS);
    const auto periods = number(words[1], 5, MOST_PERIODS);
    const auto mascot = wordIndex(words[3], MASCOT_WORDS);
    const auto mode = wordIndex(words[4], MODE_WORDS);
    if (!score || *score <= 0 || !periods || *periods < 1 || !isDate(words[2]) || !mascot || !mode)
        return std::nullopt;
    return BestGame{*score, *periods, std::string(words[2]), static_cast<uint8_t>(*mascot),
                    static_cast<PlayMode>(*mode)};
}

} // namespace

std::vector<BestGame> parseBestGames(std::string_view text) {
    std::vector<BestGame> table;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        if (auto game = parseLine(text.substr(0, end))) table.push_back(std::move(*game));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    std::stable_sort(table.begin(), table.end(),
                     [](const BestGame& a, const BestGame& b) { return a.score > b.score; });
    if (table.size() > BEST_GAMES_KEPT) table.resize(BEST_GAMES_KEPT);
    return table;
}

std::string formatBestGames(const std::vector<BestGame>& table) {
    std::string out;
    for (const BestGame& g : table) {
        out += std::to_string(g.score) + ' ' + std::to_string(g.periods) + ' ' + g.date + ' ';
        out += MASCOT_WORDS[g.mascot == 1 ? 1 : 0];
        out += ' ';
        out += MODE_WORDS[g.mode == PlayMode::Easier ? 1 : 0];
        out += '\n';
    }
    return out;
}

std::optional<size_t> placeInTable(const std::vector<BestGame>& table, const BestGame& game) {
    if (game.score <= 0) return std::nullopt;
    const auto at =
        std::find_if(table.begin(), table.end(), [&](const BestGame& g) { return g.score < game.score; });
    const auto place = static_cast<size_t>(at - table.begin());
    if (place >= BEST_GAMES_KEPT) return std::nullopt;
    return place;
}

std::vector<BestGame> readBestGames(const Settings& settings) {
    const auto text = settings.readBestGames(BEST_GAMES_MAX_BYTES);
    return text ? parseBestGames(*text) : std::vector<BestGame>{};
}

std::optional<size_t> recordBestGame(const Settings& settings, const BestGame& game,
                                     std::vector<BestGame>& table) {
    std::optional<size_t> place;
    // The table is read under the lock only: a read beside another copy's write could make that write fail
    // where a file being read cannot be replaced.
    const bool written = settings.changeBestGames(BEST_GAMES_MAX_BYTES, [&](std::string_view now) {
        std::vector<BestGame> next = parseBestGames(now);
        table = next;
        place = placeInTable(next, game);
        if (!place) return std::optional<std::string>();
        next.insert(next.begin() + static_cast<std::ptrdiff_t>(*place), game);
        if (next.size() > BEST_GAMES_KEPT) next.resize(BEST_GAMES_KEPT);
        table = next;
        return std::optional<std::string>(formatBestGames(next));
    });
    if (!written) return std::nullopt;
    return place;
}

std::string localDate(int64_t secondsSince1970) {
    const std::time_t t = static_cast<std::time_t>(secondsSince1970);
    std::tm day{};
    // The C library's thread-safe local time: POSIX's, or the Microsoft runtime's with its arguments turned.
#ifdef _WIN32
    const bool known = localtime_s(&day, &t) == 0;
#else
    const bool known = localtime_r(&t, &day) != nullptr;
#endif
    if (!known) return "1970-01-01";
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &day);
    return text;
}

} // namespace tundrix
