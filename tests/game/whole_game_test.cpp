// Whole games played through the frame driver with a fake clock and scripted keys: title, intro,
// play, captures, penalties, won and lost periods, game over and a restart.
#include "core/screen_layout.h"
#include "game_harness.h"

#include <gtest/gtest.h>

namespace tundrix {
namespace {

using test::GameHarness;

bool playing(GameHarness& g, const Sound& s) {
    return g.audio.isPlaying(s.buffer);
}

// True if the picture shows the image with its top left at (x, y), as far as it lies on the picture,
// transparent pixels aside (and at least one of its pixels shows).
bool shows(GameHarness& g, const Image& image, int x, int y) {
    int compared = 0;
    for (int fy = 0; fy < image.height(); ++fy)
        for (int fx = 0; fx < image.width(); ++fx) {
            const uint8_t v = image.pixel(fx, fy);
            if (v == TRANSPARENT_INDEX || x + fx >= g.video.width || y + fy >= g.video.height) continue;
            if (g.video.index(x + fx, y + fy) != v) return false;
            ++compared;
        }
    return compared > 0;
}

// True if the HUD shows the number's digits right-aligned at endX, at least minDigits of them.
bool hudShows(GameHarness& g, SpriteSheet& digits, int endX, int number, size_t minDigits = 1) {
    std::string text = std::to_string(number);
    if (text.size() < minDigits) text.insert(0, minDigits - text.size(), '0');
    const int step = digits.frame(0)->width() + layout::DIGIT_SPACING;
    int x = endX - static_cast<int>(text.size()) * step;
    for (char c : text) {
        if (!shows(g, *digits.frame(c - '0'), x, layout::HUD_Y)) return false;
        x += step;
    }
    return true;
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
    EXPECT_EQ(g.driver.world()->scoreCounter(), &w.score());
    EXPECT_EQ(w.actors().count(), 2);
    ASSERT_NE(w.referee(), nullptr);
    EXPECT_EQ(w.actors().tail()->item, w.referee());
    EXPECT_EQ(g.audio.opens, 1);
    EXPECT_EQ(g.audio.buffers.size(), 10u);

    // The first drawn frame: title background, both figures still off screen, no caption yet.
    SpriteSheet brum;
    ASSERT_TRUE(brum.load(g.resources, SET_LEFT_FIGURE));
    const Image& caption = *brum.frame(4);
    g.step(2);
    ASSERT_GE(g.video.presents, 1);
    EXPECT_FALSE(shows(g, caption, layout::CAPTION_X, layout::CAPTION_Y));
    g.shoot("title-entering");
    g.step(70);
    g.shoot("title-at-rest");
    EXPECT_TRUE(playing(g, w.sounds().titleTuneSound));

    // Once the start keys work, the caption shows on 5 of every 8 drawn frames; the selected figure
    // (Vessa, the right one) blinks its hair, the other does not.
    int shown = 0, longestGap = 0, gap = 0, rightBlinks = 0, leftBlinks = 0;
    for (int frame = 0; frame < 24; ++frame) {
        g.step();
        const bool on = shows(g, caption, layout::CAPTION_X, layout::CAPTION_Y);
        shown += on;
        gap = on ? 0 : gap + 1;
        longestGap = std::max(longestGap, gap);
        rightBlinks += w.rightFigure().selectBlink > 0;
        leftBlinks += w.leftFigure().selectBlink > 0;
    }
    EXPECT_EQ(shown, 15);
    EXPECT_EQ(longestGap, 3);
    EXPECT_GT(rightBlinks, 0);
    EXPECT_EQ(leftBlinks, 0);
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
    const int presents = g.video.presents;
    g.step();
    EXPECT_FALSE(g.world().inMatchIntro());
    // The frame that leaves the intro is drawn as play, and its clock already shows 19:59.
    EXPECT_EQ(g.video.presents, presents + 1);
    EXPECT_EQ(g.world().clockMinutes().get(), 19);
    EXPECT_EQ(g.world().clockSeconds().get(), 59);
    EXPECT_TRUE(playing(g, g.world().sounds().playLoopSound1));
    EXPECT_TRUE(playing(g, g.world().sounds().playLoopSound2));
    // A clock second is 50 ms: a second of play later (25 frames) the clock shows 19:40, and 43 frames
    // after that 19:05, the seconds with their leading zero.
    g.step(25);
    EXPECT_EQ(g.world().clockMinutes().get(), 19);
    EXPECT_EQ(g.world().clockSeconds().get(), 40);
    g.step(43);
    EXPECT_EQ(g.world().clockSeconds().get(), 5);
    SpriteSheet digits;
    ASSERT_TRUE(digits.load(g.resources, SET_DIGITS));
    EXPECT_TRUE(hudShows(g, digits, layout::SECONDS_END, 5, 2));
}

TEST(WholeGame, TheIntroTakesAKeyOnlyAfterTenFramesAndAFigureMeetingTheRaidCostsAChance) {
    GameHarness g;
    g.keys.press(Key::Space);
    ASSERT_TRUE(g.stepUntil([&] { return !g.world().onTitle(); }, 200));
    g.keys.release(Key::Space);
    g.step();
    for (int frame = 2; frame < 10; ++frame) {
        if (frame % 2) g.keys.tap(Key::Space); // a new press every other frame
        g.step();
        ASSERT_TRUE(g.world().inMatchIntro()) << frame;
    }
    g.step();
    g.keys.tap(Key::Space);
    g.step();
    ASSERT_FALSE(g.world().inMatchIntro());

    GameWorld& w = g.world();
    g.step();
    g.keys.press(Key::Right);
    g.keys.press(Key::Space);
    g.step(3);
    ASSERT_FALSE(w.player().safe);
    w.referee()->setPosition(w.player().x() + 2, w.player().y() + 4);
    g.step();
    EXPECT_EQ(w.chances().get(), 2);
    EXPECT_TRUE(w.player().safe);
    EXPECT_EQ(w.player().x(), static_cast<float>(EDGE_LEFT));
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
    // The first frame of play: the player on the left edge facing right, 19:59, nothing claimed, score 0,
    // the first match's flag.
    EXPECT_EQ(w.player().heading(), HEADING_RIGHT);
    EXPECT_EQ(w.player().x(), static_cast<float>(EDGE_LEFT));
    EXPECT_EQ(w.clockMinutes().get(), 19);
    EXPECT_EQ(w.clockSeconds().get(), 59);
    EXPECT_EQ(w.percentage(), 0);
    SpriteSheet digits, flags;
    ASSERT_TRUE(digits.load(g.resources, SET_DIGITS));
    ASSERT_TRUE(flags.load(g.resources, SET_FLAGS));
    EXPECT_TRUE(hudShows(g, digits, layout::MINUTES_END, 19));
    EXPECT_TRUE(hudShows(g, digits, layout::SECONDS_END, 59, 2));
    EXPECT_TRUE(hudShows(g, digits, layout::PERCENT_END, 0));
    EXPECT_TRUE(hudShows(g, digits, layout::SCORE_END, 0));
    EXPECT_TRUE(shows(g, *digits.frame(11), layout::SEPARATOR_X, layout::HUD_Y));
    EXPECT_TRUE(shows(g, *digits.frame(12), layout::PERCENT_SIGN_X, layout::HUD_Y));
    EXPECT_TRUE(shows(g, *flags.frame(0), layout::FLAG_X, layout::FLAG_Y));
    g.shoot("play-first-frame");

    SpriteSheet faces;
    ASSERT_TRUE(faces.load(g.resources, SET_CHANCE_ICONS));
    for (int icon = 0; icon < 3; ++icon)
        EXPECT_TRUE(shows(g, *faces.frame(0), layout::CHANCES_X + icon * 32, layout::CHANCES_Y)) << icon;
    EXPECT_FALSE(shows(g, *faces.frame(0), layout::CHANCES_X + 3 * 32, layout::CHANCES_Y)); // no fourth
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
    const int32_t scored = AreaCapture::captureScore(cells) + PENALTY_POINTS;
    EXPECT_EQ(w.score().get(), scored);
    g.shoot("play-after-capture");

    // The claimed corner is painted from the grayed picture.
    SpriteSheet backgrounds;
    ASSERT_TRUE(backgrounds.load(g.resources, SET_BACKGROUNDS));
    EXPECT_EQ(g.video.index(45, 60), backgrounds.frame(1)->pixel(45, 60));
    EXPECT_EQ(g.video.index(300, 100), backgrounds.frame(0)->pixel(300, 100));
    // The HUD shows the score and the percentage.
    SpriteSheet digits;
    ASSERT_TRUE(digits.load(g.resources, SET_DIGITS));
    EXPECT_TRUE(hudShows(g, digits, layout::SCORE_END, w.score().get()));
    EXPECT_TRUE(hudShows(g, digits, layout::PERCENT_END, w.percentage()));

    // The penalty is counted once.
    g.step(10);
    EXPECT_EQ(w.score().get(), scored);
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

// Each way in, from its first period: the chances it starts with, how long a period lasts, what running
// out of time costs, what winning takes and gives, how fast the figures skate.
TEST(WholeGame, EachPlayModeKeepsItsOwnNumbersAndTheOriginalItsOld) {
    const struct {
        PlayMode mode;
        int chances, timeUpMs, afterTimeUp, winningCells, afterWin; // time-up: once the clock shows 0:00
        float speed;
    } cases[] = {
        {PlayMode::Original, 3, 59950, 2, 64481, 1, 5.0f},
        {PlayMode::Easier, 6, 119900, 6, 60451, 6, 2.5f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        GameHarness g;
        g.services.mode = c.mode;
        g.driver.restartRequested = true;
        g.step();
        ASSERT_EQ(g.world().mode(), c.mode);
        startPlay(g);
        GameWorld& w = g.world();
        EXPECT_EQ(w.chances().get(), c.chances);
        EXPECT_EQ(w.referee()->speed(), c.speed);
        clearTheLeftSide(g);
        const uint32_t started = g.clock.nowMs();
        ASSERT_TRUE(g.stepUntil([&] { return w.timeUp(); }, c.timeUpMs / 40 + 10));
        EXPECT_NEAR(static_cast<int>(g.clock.nowMs() - started), c.timeUpMs, 40);
        EXPECT_EQ(w.chances().get(), c.afterTimeUp);
        ASSERT_TRUE(g.stepUntil([&] { return w.periodNumber().get() == 2; }, 40));

        // A chance lost to a cut, then the period won: the Easier mode gives it back.
        w.chances().add(-1);
        w.claimedCells().set(c.winningCells - 1);
        g.step();
        EXPECT_FALSE(w.periodWon());
        w.claimedCells().set(c.winningCells);
        g.step();
        EXPECT_TRUE(w.periodWon());
        ASSERT_TRUE(g.stepUntil([&] { return w.periodNumber().get() == 3; }, 60));
        EXPECT_EQ(w.chances().get(), c.afterWin);
    }
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
    SpriteSheet flags;
    ASSERT_TRUE(flags.load(g.resources, SET_FLAGS));
    EXPECT_TRUE(shows(g, *flags.frame(1), layout::FLAG_X, layout::FLAG_Y));

    // From the sixth match on, the fifth team stays: period 16 has 16 of its players and the referee.
    w.periodNumber().set(16);
    w.setUpPeriod();
    EXPECT_TRUE(w.inMatchIntro());
    EXPECT_EQ(w.actors().count(), 17);
    w.actors().rewind();
    EXPECT_EQ(static_cast<Opponent*>(w.actors().next())->kind(), LAST_TEAM);
    EXPECT_EQ(w.matchIndex(), 5);
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
    // The banner comes in from the right edge, 20 pixels a frame; its sound plays on the frame of 25.
    Image banner;
    ASSERT_TRUE(banner.loadRle(g.resources, SET_GAME_OVER_BANNER));
    ASSERT_TRUE(g.stepUntil([&] { return w.countdown() == 36; }, 40));
    EXPECT_TRUE(shows(g, banner, 415, layout::BANNER_Y));
    ASSERT_TRUE(g.stepUntil([&] { return w.countdown() == 30; }, 40));
    EXPECT_EQ(w.bannerX(), 295);
    g.shoot("game-over-sliding");
    g.audio.advance(10000); // the time-up's sound has long ended
    ASSERT_TRUE(g.stepUntil([&] { return w.countdown() == 26; }, 10));
    EXPECT_FALSE(playing(g, w.sounds().periodEndSound));
    g.step();
    EXPECT_TRUE(playing(g, w.sounds().periodEndSound));
    ASSERT_TRUE(g.stepUntil([&] { return w.countdown() == 20; }, 20));
    EXPECT_EQ(w.bannerX(), 95);
    EXPECT_TRUE(shows(g, banner, layout::BANNER_REST_X, layout::BANNER_Y));
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
