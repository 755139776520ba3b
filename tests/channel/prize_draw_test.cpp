// The prize draw: the best win outright, or a fair lot among the best (and those level with them) that
// the same seed casts the same way again.
#include "channel/crypto.h"
#include "channel/prize_draw.h"

#include <gtest/gtest.h>

#include <map>

namespace tundrix::channel {
namespace {

std::vector<Contender> board(std::initializer_list<int64_t> results) {
    std::vector<Contender> out;
    for (const int64_t r : results) {
        const int64_t id = static_cast<int64_t>(out.size() + 1);
        out.push_back({id, std::to_string(id), r});
    }
    return out;
}

std::vector<int64_t> ids(const std::vector<DrawWinner>& winners) {
    std::vector<int64_t> out;
    for (const DrawWinner& w : winners)
        out.push_back(w.memberId);
    return out;
}

TEST(PrizeDraw, TheBestWinOrTheLotFallsAmongThemAndThoseLevelWithTheLast) {
    ASSERT_TRUE(initCrypto());
    // clang-format off
    // pool: who can win
    const struct { std::vector<Contender> standings; int winners, among; std::vector<int64_t> pool; } cases[] = {
        {board({900, 800, 700, 600}), 2, 0, {1, 2}},                    // the best, in order
        {board({900}), 3, 0, {1}},                                      // fewer than the prizes
        {board({900, 800, 700, 600}), 1, 3, {1, 2, 3}},                 // by lot among the three best
        {board({900, 800, 700, 700, 700, 600}), 2, 3, {1, 2, 3, 4, 5}}, // level with the third
        {board({}), 2, 3, {}},
    };
    // clang-format on
    for (const auto& c : cases) {
        std::map<int64_t, int> wins;
        for (int seed = 0; seed < 300; ++seed) {
            const auto drawn = drawWinners(c.standings, c.winners, c.among, std::to_string(seed));
            ASSERT_EQ(ids(drawn), ids(drawWinners(c.standings, c.winners, c.among, std::to_string(seed))));
            ASSERT_EQ(drawn.size(), std::min<size_t>(c.winners, c.pool.size()));
            for (size_t i = 0; i < drawn.size(); ++i) {
                EXPECT_EQ(drawn[i].place, static_cast<int>(i + 1));
                ++wins[drawn[i].memberId];
            }
            if (c.among == 0) {
                EXPECT_EQ(ids(drawn), c.pool);
            }
        }
        std::vector<int64_t> winners;
        for (const auto& [id, n] : wins)
            winners.push_back(id);
        EXPECT_EQ(winners, c.pool);
        // A fair lot: over 300 fixed seeds each of the pool wins near its share (the seeds are fixed, so
        // this never fails by chance; a biased shuffle would be far outside).
        if (c.among > 0 && !c.pool.empty()) {
            const double share = 300.0 * c.winners / static_cast<double>(c.pool.size());
            for (const auto& [id, n] : wins)
                EXPECT_NEAR(n, share, share * 0.25) << "member " << id;
        }
    }
    // Another seed, another order: the seed is what decides.
    const auto standings = board({5, 5, 5, 5, 5, 5, 5, 5});
    EXPECT_NE(ids(drawWinners(standings, 8, 8, "a")), ids(drawWinners(standings, 8, 8, "b")));
}

} // namespace
} // namespace tundrix::channel
