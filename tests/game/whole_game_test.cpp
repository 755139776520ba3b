// Whole games played through the frame driver with a fake clock and scripted keys: title, intro,
// play, captures, penalties, won and lost periods, game over and a restart.
#include "game_harness.h"

#include <gtest/gtest.h>

namespace tundrix {
namespace {

using test::GameHarness;

bool playing(GameHarness& g, const Sound& s) {
    return g.audio.isPlaying(s.buffer);
}

// From a new game's title into play of period 1, choosing the mascot on the way.
void startPlay(GameHarness& g, bool chooseBrum = false) {
    if (chooseBrum) {
        g.step(5);
        g.keys.tap(Key::Right);
        g.step();
    }
    g.keys.press(Key::Space);
    ASSERT_TRUE(g.stepUntil([&] { return !g.world().onTitle(); }, 200));
    g.keys.release(Key::Space);
    g.step(12);
    g.keys.tap(Key::Space);
    ASSERT_TRUE(g.stepUntil([&] { return !g.world().inMatchIntro(); }, 5));
    g.step(); // a frame with Space up, so the next press is a new one
}

// Moves every figure of the period to the far right of the ice, away from the player's raids.
void clearTheLeftSide(GameHarness& g) {
    ObjectList& list = g.world().actors();
    list.rewind();
    float y = 80;
    while (ListItem* item = list.next()) {
        static_cast<Opponent*>(item)->setPosition(380, y);
        y += 25;
    }
}

TEST(WholeGame, ANewGameShowsTheTitleWithItsFirstPeriodAlreadySetUp) {
    GameHarness g;
    GameWorld& w = g.world();
    EXPECT_TRUE(w.onTitle());
    EXPECT_EQ(w.player().mascot, 0);
    EXPECT_EQ(w.chances().get(), 3);
    EXPECT_EQ(w.score().get(), 0);
    EXPECT_EQ(w.actors().count(), 2);
    ASSERT_NE(w.referee(), nullptr);
    EXPECT_EQ(w.actors().tail()->item, w.referee());
    EXPECT_EQ(g.audio.opens, 1);
    EXPECT_EQ(g.audio.buffers.size(), 10u);

    // The first drawn frame: title background, both figures still off screen, no caption yet.
    g.step(2);
    ASSERT_GE(g.video.presents, 1);
    g.shoot("title-entering");
    g.step(70);
    g.shoot("title-at-rest");
    EXPECT_TRUE(playing(g, w.sounds().titleTuneSound));
}

TEST(WholeGame, StartKeysWorkFromThe51stUpdateAndTheChosenFaceShowsAsChances) {
    GameHarness g;
    g.keys.press(Key::Enter); // held from the very start
    int updates = 0;
    while (g.world().onTitle()) {
        g.step();
        ++updates;
        ASSERT_LT(updates, 100);
    }
    EXPECT_EQ(updates, 51);
    EXPECT_TRUE(g.world().inMatchIntro());
    EXPECT_FALSE(playing(g, g.world().sounds().titleTuneSound));

    // Still held: the intro waits for a new press, and for its 10 frames first.
    g.step(20);
    EXPECT_TRUE(g.world().inMatchIntro());
    g.keys.release(Key::Enter);
    g.step();
    g.keys.press(Key::Space);
    g.step();
    EXPECT_FALSE(g.world().inMatchIntro());
    EXPECT_TRUE(playing(g, g.world().sounds().playLoopSound1));
    EXPECT_TRUE(playing(g, g.world().sounds().playLoopSound2));
}

TEST(WholeGame, TogglingTheMascotPicksTheFacesOfTheChanceIcons) {
    GameHarness g;
    g.step(3);
    for (int i = 0; i < 3; ++i) {
        g.keys.tap(i % 2 ? Key::Left : Key::Right);
        g.step();
        EXPECT_EQ(g.world().player().mascot, (i + 1) % 2);
    }
    EXPECT_EQ(g.world().player().mascot, 1); // Brum
    g.shoot("title-brum-selected");
    startPlay(g);
    GameWorld& w = g.world();
    // The first frame of play: 19:59, nothing claimed.
    EXPECT_EQ(w.clockMinutes().get(), 19);
    EXPECT_EQ(w.clockSeconds().get(), 59);
    EXPECT_EQ(w.percentage(), 0);
    g.shoot("play-first-frame");

    SpriteSheet faces;
    ASSERT_TRUE(faces.load(g.resources, SET_CHANCE_ICONS));
    const Image* brum = faces.frame(0);
    int compared = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            uint8_t v = brum->pixel(x, y);
            if (v == TRANSPARENT_INDEX) continue;
            for (int icon = 0; icon < 3; ++icon)
                ASSERT_EQ(g.video.index(210 + icon * 32 + x, 8 + y), v);
            ++compared;
        }
    EXPECT_GT(compared, 200);
    // Nothing of a fourth icon.
    EXPECT_NE(g.video.index(210 + 3 * 32 + 16, 24), brum->pixel(16, 16));
}

TEST(WholeGame, ARaidClosedAgainstTheEdgeClaimsTheSideWithoutTheRefereeAndPenalisesWhoIsTrapped) {
    GameHarness g;
    startPlay(g);
    GameWorld& w = g.world();
    clearTheLeftSide(g);
    EXPECT_EQ(w.player().x(), 33.0f);
    EXPECT_EQ(w.player().y(), 161.0f);

    // Out from the left edge to the right, then up to the top edge.
    g.keys.press(Key::Space);
    g.keys.press(Key::Right);
    g.step(10);
    EXPECT_FALSE(w.player().safe);
    EXPECT_EQ(w.rink().cellAt(40, 161), CellRaidLine);
    g.keys.release(Key::Right);
    g.keys.press(Key::Up);
    Opponent* trapped = nullptr;
    ASSERT_TRUE(g.stepUntil(
        [&] {
            clearTheLeftSide(g);
            if (w.player().y() <= 58 && trapped == nullptr) {
                // One opponent skates into the corner about to be claimed.
                w.actors().rewind();
                trapped = static_cast<Opponent*>(w.actors().next());
                trapped->setPosition(45, 100);
            } else if (trapped != nullptr) {
                trapped->setPosition(45, 100);
            }
            return w.player().safe;
        },
        60));
    g.keys.releaseAll();
    g.step();

    const int32_t cells = w.claimedCells().get();
    EXPECT_GT(cells, 2500);
    EXPECT_LT(cells, 4500);
    EXPECT_EQ(w.rink().cellAt(45, 60), CellClaimed);
    EXPECT_EQ(w.rink().cellAt(300, 200), CellIce);
    ASSERT_NE(trapped, nullptr);
    EXPECT_TRUE(trapped->marked);
    const int32_t q = cells / 812;
    EXPECT_EQ(w.score().get(), q * q / 5 + 1 + 25);
    g.shoot("play-after-capture");

    // The claimed corner is painted from the grayed picture.
    SpriteSheet backgrounds;
    ASSERT_TRUE(backgrounds.load(g.resources, SET_BACKGROUNDS));
    EXPECT_EQ(g.video.index(45, 60), backgrounds.frame(1)->pixel(45, 60));
    EXPECT_EQ(g.video.index(300, 100), backgrounds.frame(0)->pixel(300, 100));

    // The penalty is counted once.
    g.step(10);
    EXPECT_EQ(w.score().get(), q * q / 5 + 1 + 25);
}

TEST(WholeGame, EightyPercentStartsWith64481CellsAndTheNextPeriodPlaysAtOnce) {
    GameHarness g;
    startPlay(g);
    GameWorld& w = g.world();
    w.claimedCells().set(64480);
    g.step();
    EXPECT_FALSE(w.periodWon());
    w.claimedCells().set(64481);
    g.step();
    EXPECT_TRUE(w.periodWon());
    EXPECT_EQ(w.countdown(), 50);
    g.shoot("period-won");
    ASSERT_TRUE(g.stepUntil([&] { return w.periodNumber().get() == 2; }, 60));
    EXPECT_FALSE(w.inMatchIntro());
    EXPECT_EQ(w.actors().count(), 3);
    EXPECT_EQ(w.claimedCells().get(), 0);
    EXPECT_EQ(w.chances().get(), 3);
    EXPECT_TRUE(playing(g, w.sounds().playLoopSound1));
    EXPECT_EQ(w.rink().cellAt(100, 100), CellIce);
}

TEST(WholeGame, TheClockWarnsTwelveSecondsBeforeTheEndAndTimeUpCostsAChance) {
    GameHarness g;
    startPlay(g);
    GameWorld& w = g.world();
    clearTheLeftSide(g);
    ASSERT_TRUE(g.stepUntil([&] { return w.timeWarningOn(); }, 1500));
    EXPECT_EQ(w.clockMinutes().get(), 3);
    EXPECT_TRUE(playing(g, w.sounds().timeWarningSound));
    ASSERT_TRUE(g.stepUntil([&] { return w.timeUp(); }, 400));
    EXPECT_EQ(w.chances().get(), 2);
    EXPECT_EQ(w.countdown(), 30);
    g.step(30);
    EXPECT_EQ(w.periodNumber().get(), 2);
    EXPECT_FALSE(w.timeUp());
    EXPECT_FALSE(playing(g, w.sounds().timeWarningSound));
    EXPECT_TRUE(playing(g, w.sounds().playLoopSound1));
}

TEST(WholeGame, HeldTimeIsLeftOutButAClockFirstSeenPastZeroEndsThePeriodExactlyOnceAsATimeUp) {
    GameHarness g;
    startPlay(g);
    GameWorld& w = g.world();
    g.step(3);
    const int32_t minutes = w.clockMinutes().get(), seconds = w.clockSeconds().get();
    g.clock.advance(75000); // paused, or a menu open: the clock resumes where it stood
    w.holdClock(75000);
    g.driver.resync();
    g.step();
    EXPECT_FALSE(w.timeUp());
    EXPECT_EQ(w.clockMinutes().get(), minutes);
    EXPECT_NEAR(w.clockSeconds().get(), seconds, 1);

    g.clock.advance(75000); // a stall
    g.driver.resync();
    g.step();
    EXPECT_TRUE(w.timeUp());
    EXPECT_EQ(w.chances().get(), 2);
    EXPECT_EQ(w.clockMinutes().get(), 0);
    EXPECT_EQ(w.clockSeconds().get(), 0);
    int chancesSeen = w.chances().get();
    for (int i = 0; i < 40; ++i) {
        g.step();
        chancesSeen = std::min(chancesSeen, w.chances().get());
    }
    EXPECT_EQ(chancesSeen, 2);
    EXPECT_EQ(w.periodNumber().get(), 2);
    EXPECT_FALSE(w.timeUp());
}

TEST(WholeGame, EveryThirdPeriodOpensWithTheNextTeamsCard) {
    GameHarness g;
    startPlay(g);
    GameWorld& w = g.world();
    for (int period = 1; period < 4; ++period) {
        w.claimedCells().set(64481);
        ASSERT_TRUE(g.stepUntil([&] { return w.periodNumber().get() == period + 1; }, 80));
    }
    EXPECT_TRUE(w.inMatchIntro());
    EXPECT_EQ(w.actors().count(), 5);
    w.actors().rewind();
    EXPECT_EQ(static_cast<Opponent*>(w.actors().next())->kind(), 2);
    g.shoot("intro-match-2");
    g.step(12);
    g.keys.tap(Key::Enter);
    g.step();
    EXPECT_FALSE(w.inMatchIntro());
}

TEST(WholeGame, LosingTheLastChanceRunsTheGameOverSequenceThenARestartGivesANewTitle) {
    GameHarness g;
    startPlay(g);
    GameWorld& w = g.world();
    for (int lost = 1; lost <= 3; ++lost) {
        g.clock.advance(61000);
        g.driver.resync(); // as after a dialog: no burst of catch-up frames
        g.step();
        EXPECT_EQ(w.chances().get(), 3 - lost);
        if (lost < 3) {
            ASSERT_TRUE(g.stepUntil([&] { return !w.timeUp(); }, 40));
        }
    }
    EXPECT_TRUE(w.gameOver());
    EXPECT_EQ(w.periodNumber().get(), 3); // the last lost period is not counted on
    EXPECT_EQ(w.countdown(), 60);
    ASSERT_TRUE(g.stepUntil([&] { return w.countdown() == 30; }, 40));
    EXPECT_EQ(w.bannerX(), 295);
    g.shoot("game-over-sliding");
    ASSERT_TRUE(g.stepUntil([&] { return w.countdown() == 20; }, 20));
    EXPECT_EQ(w.bannerX(), 95);
    EXPECT_FALSE(g.driver.gameOverReached);
    ASSERT_TRUE(g.stepUntil([&] { return w.countdown() == 1; }, 30));
    EXPECT_FALSE(g.driver.gameOverReached);
    EXPECT_FALSE(playing(g, w.sounds().playLoopSound1));
    g.step();
    EXPECT_TRUE(g.driver.gameOverReached);
    g.shoot("game-over");

    // F1 or the menu: a fresh world at the title, the old one's device and sounds gone.
    g.driver.restartRequested = true;
    g.step();
    EXPECT_EQ(g.worldsBuilt, 2);
    EXPECT_FALSE(g.driver.gameOverReached);
    EXPECT_TRUE(g.world().onTitle());
    EXPECT_EQ(g.world().chances().get(), 3);
    g.driver.restartRequested = true;
    g.step();
    EXPECT_EQ(g.audio.opens, 3);
    EXPECT_EQ(g.audio.closes, 2);
    EXPECT_EQ(g.audio.buffers.size(), 10u);
    EXPECT_EQ(g_screen, &g.world().screen());
}

} // namespace
} // namespace tundrix

namespace tundrix {
namespace {

// Long random play: whatever the keys do, the player stays on its lines and every figure on the ice.
TEST(WholeGame, RandomKeysOverManyPeriodsKeepEveryFigureWhereTheRulesAllow) {
    test::GameHarness g;
    startPlay(g);
    Random rng;
    rng.seed(4242);
    const Key keys[] = {Key::Right, Key::Down, Key::Left, Key::Up};
    int periodsSeen = 1;
    for (int frame = 0; frame < 12000; ++frame) {
        GameWorld& w = g.world();
        if (w.gameOver()) {
            g.driver.restartRequested = true;
            g.step();
            startPlay(g);
            continue;
        }
        if (frame % 9 == 0) {
            g.keys.releaseAll();
            g.keys.press(keys[rng.next() % 4]);
            if (rng.next() % 3 != 0) g.keys.press(Key::Space);
            if (rng.next() % 40 == 0) g.keys.tap(Key::Enter); // leaves intros
        }
        if (rng.next() % 120 == 0) w.claimedCells().add(30000); // hurry periods along
        g.step();
        if (w.onTitle() || w.inMatchIntro()) continue;
        const uint8_t under =
            w.rink().cellAt(static_cast<int>(w.player().x()), static_cast<int>(w.player().y()));
        ASSERT_TRUE(under == CellEdge || under == CellClaimedLine || under == CellRaidLine)
            << "frame " << frame << " player on " << int(under) << " at " << w.player().x() << ","
            << w.player().y();
        w.actors().rewind();
        while (ListItem* item = w.actors().next()) {
            auto* o = static_cast<Opponent*>(item);
            if (o->marked) continue;
            ASSERT_GE(o->x(), 33.0f) << "frame " << frame;
            ASSERT_LE(o->x(), 404.0f) << "frame " << frame;
            ASSERT_GE(o->y(), 52.0f) << "frame " << frame;
            ASSERT_LE(o->y(), 270.0f) << "frame " << frame;
        }
        periodsSeen = std::max(periodsSeen, w.periodNumber().get());
    }
    EXPECT_GT(periodsSeen, 3);
}

} // namespace
} // namespace tundrix
