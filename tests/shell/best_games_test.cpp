// The best games' table: its lines read back as written, bad lines passed over, places in the table, and
// games entered by two copies at once both kept.
#include "shell/best_games.h"
#include "temp_dir.h"

#include <gtest/gtest.h>
#include <thread>

namespace tundrix {
namespace {

namespace fs = std::filesystem;

BestGame game(int32_t score, const char* date = "2026-12-08") {
    return {score, 2, date, 1, PlayMode::Original};
}

TEST(BestGames, LinesReadBackAsWrittenAndBadLinesArePassedOver) {
    const std::vector<BestGame> table = {
        {900, 4, "2026-12-08", 1, PlayMode::Easier}, game(120), game(120, "2026-12-09")};
    EXPECT_EQ(
        formatBestGames(table),
        "900 4 2026-12-08 brum easier\n120 2 2026-12-08 brum original\n120 2 2026-12-09 brum original\n");
    EXPECT_EQ(parseBestGames(formatBestGames(table)), table);

    const char* bad[] = {
        "0 1 2026-12-08 vessa original",          // no points
        "-5 1 2026-12-08 vessa original",         // a sign
        "5x 1 2026-12-08 vessa original",         // a letter
        "1000000000 1 2026-12-08 vessa original", // beyond the most
        "5 0 2026-12-08 vessa original",          // period 0
        "5 1 2026-13-08 vessa original",          // month 13
        "5 1 26-12-08 vessa original",            // a short year
        "5 1 1969-12-31 vessa original",          // before the clock's epoch
        "5 1 2026-12-08 kalle original",          // no such mascot
        "5 1 2026-12-08 vessa hard",              // no such mode
        "5 1 2026-12-08 vessa original extra",    // a word too many
        "5 1 2026-12-08 vessa",                   // a word short
        "",
    };
    std::string text = "\r\n";
    for (const char* line : bad)
        text += std::string(line) + "\n";
    text += "  77 3 1970-01-31 vessa original \r";
    EXPECT_EQ(parseBestGames(text), (std::vector<BestGame>{{77, 3, "1970-01-31", 0, PlayMode::Original}}));

    std::string twelve;
    for (int i = 1; i <= 12; ++i)
        twelve += std::to_string(i) + " 1 2026-12-08 vessa original\n";
    const auto best = parseBestGames(twelve);
    ASSERT_EQ(best.size(), BEST_GAMES_KEPT) << "the ten best, best first";
    EXPECT_EQ(best.front().score, 12);
    EXPECT_EQ(best.back().score, 3);
}

TEST(BestGames, AGameEntersBelowTheEqualAndAboveTheLesserOnlyIfItBeatsTheTenth) {
    std::vector<BestGame> table;
    EXPECT_EQ(placeInTable(table, game(0)), std::nullopt) << "no points, no place";
    EXPECT_EQ(placeInTable(table, game(1)), 0u);
    table = {game(50), game(40), game(40), game(10)};
    EXPECT_EQ(placeInTable(table, game(40)), 3u);
    EXPECT_EQ(placeInTable(table, game(45)), 1u);
    EXPECT_EQ(placeInTable(table, game(5)), 4u);
    table.assign(BEST_GAMES_KEPT, game(30));
    EXPECT_EQ(placeInTable(table, game(30)), std::nullopt) << "as good as the tenth is not enough";
    EXPECT_EQ(placeInTable(table, game(31)), 0u);
}

TEST(BestGames, KeptAcrossRunsAndTwoCopiesEndingAGameAtOnceBothGetIn) {
    test::TempDir folder;
    const Settings settings(folder.path);
    EXPECT_TRUE(readBestGames(settings).empty());
    std::vector<BestGame> after;
    EXPECT_EQ(recordBestGame(settings, game(100), after), 0u);
    EXPECT_EQ(recordBestGame(settings, game(0), after), std::nullopt);
    ASSERT_EQ(after.size(), 1u) << "the table as it is";

    // Two copies of the game, each entering games as fast as it can.
    const auto enter = [&](int32_t from) {
        std::vector<BestGame> t;
        for (int32_t s = from; s < from + 8; s += 2)
            recordBestGame(settings, game(s), t);
    };
    std::thread a(enter, 200), b(enter, 201);
    a.join();
    b.join();
    const std::vector<BestGame> table = readBestGames(settings);
    ASSERT_EQ(table.size(), 9u) << formatBestGames(table);
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(table[i].score, 207 - static_cast<int32_t>(i));
    EXPECT_EQ(table[8].score, 100);
    // Nothing but the file and its lock is left in the folder.
    for (const auto& entry : fs::directory_iterator(folder.path)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "best" || name == "best.lock") << name;
    }
}

TEST(BestGames, TheDayIsTheLocalCalendarsDay) {
#ifdef _WIN32
    _putenv_s("TZ", "UTC");
    _tzset();
#else
    setenv("TZ", "UTC", 1);
    tzset();
#endif
    EXPECT_EQ(localDate(0), "1970-01-01");
    EXPECT_EQ(localDate(1796688000), "2026-12-08");
}

} // namespace
} // namespace tundrix
