// What the rules allow a score to be, against the scores real games reach: whole games of the real game
// through its frame driver (a fake clock, scripted keys), scored as the shell records a best score.
#include "channel/plausibility.h"
#include "core/frame_driver.h"

#include "../game/game_harness.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace tundrix::channel {
namespace {

using test::GameHarness;

// A best score as the shell keeps it: the score and its game time, now less the driver's base time.
struct Best {
    int32_t score = 0;
    int32_t ms = 0;
};

class RealGame {
  public:
    // After each frame, as the shell does.
    void step() {
        g.step();
        if (g.world().score().get() > best.score)
            best = {g.world().score().get(), static_cast<int32_t>(g.clock.nowMs() - g.driver.baseTime())};
        bests.push_back(best);
    }
    // Through the title and any match intro: a frame with every key up, then Space going down.
    void toPlay() {
        for (int i = 0; i < 200 && (g.world().onTitle() || g.world().inMatchIntro()); ++i) {
            g.keys.releaseAll();
            step();
            g.keys.tap(Key::Space);
            step();
        }
    }
    bool over() { return g.world().gameOver() || g.world().chances().get() <= 0; }

    GameHarness g;
    Best best;
    std::vector<Best> bests;
};

void expectWithinTheRules(const std::vector<Best>& bests, const char* game) {
    for (const Best& b : bests) {
        ASSERT_LE(b.score, mostScoreWithin(b.ms)) << game << " at " << b.ms << " ms";
        ASSERT_TRUE(implausibilities({b.score, b.ms, std::nullopt, true}).empty()) << game;
    }
}

TEST(Plausibility, TheCeilingFollowsTheGameTimeAndTheForgedPostsMissIt) {
    // Nothing while the title is up; more with every frame of play, and much more with every period.
    EXPECT_EQ(mostScoreWithin(-1), 0);
    EXPECT_EQ(mostScoreWithin(0), 0);
    EXPECT_EQ(mostScoreWithin(int64_t{TITLE_READY_AGE - 1} * FRAME_MS), 0);
    for (int64_t ms = 0; ms < 600'000; ms += 997)
        ASSERT_LE(mostScoreWithin(ms), mostScoreWithin(ms + FRAME_MS)) << ms;
    EXPECT_GT(mostScoreWithin(60'000), mostScoreWithin(30'000) * 2);

    const struct {
        PostedScore post;
        const char* reason; // the start of the first reason; "" for a score that may be ranked
    } posts[] = {
        {{INT32_MAX, 1, std::nullopt, true}, "score 2147483647 beyond the 0"},
        {{500, 3'600'000, 0, true}, "a game of 3600.0 s but the member's previous post came 0 s ago"},
        {{500, 3'600'000, 3'600, true}, ""},
        {{500, 10'000, 5, true}, ""}, // ten seconds of play, posted five seconds after the last post
        {{500, 11'000, 5, true}, "a game of 11.0 s"},
        {{10, -1, std::nullopt, true}, "a negative game time"},
        {{10, 60'000, std::nullopt, false}, "a build the operator has not released"},
        {{-900, 60'000, std::nullopt, true}, ""}, // the game's own tamper sign is judged elsewhere
    };
    for (const auto& p : posts) {
        const std::vector<std::string> why = implausibilities(p.post);
        if (*p.reason == '\0') {
            EXPECT_TRUE(why.empty()) << p.post.score << ": " << (why.empty() ? "" : why.front());
        } else {
            ASSERT_FALSE(why.empty()) << p.reason;
            EXPECT_EQ(why.front().rfind(p.reason, 0), 0u) << why.front();
        }
    }
}

TEST(Plausibility, EveryScoreOfGamesPlayedWithRandomKeysIsWithinTheRules) {
    const Key arrows[4] = {Key::Right, Key::Down, Key::Left, Key::Up};
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        RealGame game;
        game.toPlay();
        uint32_t random = seed * 2654435761u;
        for (int frame = 0; !game.over() && frame < 20'000; ++frame) {
            if (game.g.world().inMatchIntro()) game.toPlay();
            if (frame % 12 == 0) {
                random = random * 1664525u + 1013904223u;
                game.g.keys.releaseAll();
                game.g.keys.press(arrows[(random >> 8) % 4]);
                if ((random >> 16) % 2) game.g.keys.press(Key::Space);
            }
            game.step();
        }
        EXPECT_GT(game.best.score, 0) << seed;
        expectWithinTheRules(game.bests, "random keys");
    }
}

// Luck and skill at their best: every figure stays where a raid down near the right edge cuts off only
// the referee's strip and catches every opponent, and the player goes straight there each period.
TEST(Plausibility, TheFastestScoringARealGameCanDoIsWithinTheRules) {
    RealGame game;
    constexpr float CUT_X = 360;
    int periods = 0;
    auto place = [&] {
        ObjectList& list = game.g.world().actors();
        list.rewind();
        float y = 70;
        while (ListItem* item = list.next()) {
            auto* figure = static_cast<Opponent*>(item);
            if (figure->kind() == 0) {
                figure->setPosition(395, 200);
            } else {
                figure->setPosition(120 + (y - 70) / 2, y);
                y += 9;
            }
        }
    };
    auto until = [&](const std::function<bool()>& done, int limit) {
        for (int i = 0; i < limit && !done(); ++i) {
            place();
            game.step();
        }
        return done();
    };
    while (periods < 6) {
        game.toPlay();
        GameWorld& w = game.g.world();
        const int32_t period = w.periodNumber().get();
        // Up the left edge, right along the top to the cut, then a raid straight down to the bottom edge.
        game.g.keys.press(Key::Up);
        ASSERT_TRUE(until([&] { return w.player().y() <= EDGE_TOP; }, 100));
        game.g.keys.releaseAll();
        game.g.keys.press(Key::Right);
        ASSERT_TRUE(until([&] { return w.player().x() >= CUT_X; }, 200));
        game.g.keys.releaseAll();
        game.g.keys.press(Key::Down);
        game.g.keys.press(Key::Space);
        ASSERT_TRUE(until([&] { return w.periodWon(); }, 200)) << "period " << period;
        game.g.keys.releaseAll();
        ASSERT_TRUE(until([&] { return w.periodNumber().get() > period; }, 100));
        ++periods;
    }
    expectWithinTheRules(game.bests, "the fastest game");
    // And the ceiling is not out of all proportion to what the luckiest game can do.
    EXPECT_GT(int64_t{game.best.score} * 10, mostScoreWithin(game.best.ms));
    std::printf("after %d periods in %.1f s: %d points; the rules' ceiling for that time: %lld\n", periods,
                game.best.ms / 1000.0, game.best.score,
                static_cast<long long>(mostScoreWithin(game.best.ms)));
}

} // namespace
} // namespace tundrix::channel
