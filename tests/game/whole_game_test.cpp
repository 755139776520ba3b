// Whole games played through the frame driver with a fake clock and scripted keys: the rules' numbers of
// the title, the intro, the clock, won and lost periods, the teams, game over and a restart; the HUD's digit
// and icon rows; and one scripted game whose every picture and sound is compared with the approved run.
#include "core/frame_driver.h"
#include "core/game_rules.h"
#include "game/game_world.h"
#include "game/number_display.h"
#include "platform/headless/fake_audio.h"
#include "platform/headless/fake_clock.h"
#include "platform/headless/recording_video.h"
#include "platform/headless/scripted_keys.h"
#include "resources/embedded_resources.h"
#include "resources/memory_store.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace tundrix {
namespace {

// A whole game driven like the real program: the frame driver, a fake clock, scripted keys, the
// embedded art and sounds, and outputs that record what was shown and played.
class GameHarness {
  public:
    // The game's own art and sounds, or those of another store.
    explicit GameHarness(const ResourceStore* store = nullptr)
        : keyboard(keys), services{clock, keyboard, store ? *store : resources, audio, video},
          driver(clock, [this](const AngleTables& a) {
              ++worldsBuilt;
              auto built = std::make_unique<GameWorld>(services, a);
              world_ = built.get();
              return built;
          }) {}

    // The world the driver runs now: the last one built.
    GameWorld& world() { return *world_; }
    bool playing(const Sound& s) { return audio.isPlaying(s.buffer); }

    // Steps the driver; every frame presented and what the sound device does after each step go into
    // the running digests.
    void step(int n = 1) {
        for (int i = 0; i < n; ++i) {
            const int before = video.presents;
            driver.step();
            if (video.presents > before) fold(pictures, video.frame.data(), video.frame.size());
            const int heard[] = {static_cast<int>(audio.started.size()), audio.playingCount(),
                                 audio.simplePlays};
            fold(sounds, heard, sizeof heard);
        }
    }
    // Time passes without steps, as in a dialog; the driver picks up from there without a burst of frames.
    void stall(uint32_t ms) { clock.advance(ms), driver.resync(); }
    // Steps holding exactly the given keys.
    void hold(std::initializer_list<Key> held, int n) {
        keys.releaseAll();
        for (Key k : held)
            keys.press(k);
        step(n);
    }
    // Steps until pred holds; false if it did not within limit steps.
    bool stepUntil(const std::function<bool()>& pred, int limit) {
        for (int i = 0; i < limit && !pred(); ++i)
            step();
        return pred();
    }
    // From the title into play of period 1: Space to start, the intro's ten frames, Space again.
    void startPlay() {
        keys.press(Key::Space);
        stepUntil([&] { return !world().onTitle(); }, 200);
        keys.release(Key::Space);
        step(12);
        keys.tap(Key::Space);
        stepUntil([&] { return !world().inMatchIntro(); }, 5);
        step(); // a frame with Space up, so the next press is a new one
    }
    // Saves the last presented picture under the test's shot folder.
    void shoot(const std::string& name) {
        std::filesystem::create_directories(TUNDRIX_SHOT_DIR);
        video.writePng(std::string(TUNDRIX_SHOT_DIR) + "/" + name + ".png");
    }

    headless::FakeClock clock{100000};
    headless::ScriptedKeys keys;
    KeyboardInput keyboard;
    EmbeddedResources resources;
    headless::FakeAudio audio;
    headless::RecordingVideo video;
    GameServices services;
    int worldsBuilt = 0;
    // FNV-1a over every presented picture, and over the sound device's state after every step.
    static constexpr uint64_t FNV_START = 14695981039346656037u;
    uint64_t pictures = FNV_START, sounds = FNV_START;

  private:
    static void fold(uint64_t& d, const void* bytes, size_t n) {
        for (size_t i = 0; i < n; ++i)
            d = (d ^ static_cast<const uint8_t*>(bytes)[i]) * 1099511628211u;
    }
    GameWorld* world_ = nullptr;

  public:
    FrameDriver driver;
};

Opponent* firstFigure(GameWorld& w) {
    w.actors().rewind();
    return static_cast<Opponent*>(w.actors().next());
}

TEST(WholeGame, ANewGameTakesItsStartKeysFromThe51stUpdateAndEveryThirdWonPeriodOpensWithTheNextTeam) {
    GameHarness g;
    GameWorld& w = g.world();
    EXPECT_TRUE(w.onTitle());
    EXPECT_EQ(g.driver.world()->scoreCounter(), &w.score());
    // The first period is set up under the title: the referee last in the list, behind one opponent.
    ListItem* last = nullptr;
    w.actors().forEach([&](ListItem* item) { last = item; });
    EXPECT_EQ(w.actors().count(), 2);
    EXPECT_EQ(w.referee(), last);

    g.keys.press(Key::Enter); // held from the very start
    int updates = 0;
    while (w.onTitle() && updates < 100)
        g.step(), ++updates;
    EXPECT_EQ(updates, 51);
    EXPECT_TRUE(w.inMatchIntro());
    EXPECT_FALSE(g.playing(w.sounds().titleTuneSound));
    // Still held, the intro waits for a new press, and for its ten frames first.
    g.step(20);
    EXPECT_TRUE(w.inMatchIntro());
    g.keys.release(Key::Enter);
    g.step();
    g.keys.press(Key::Space);
    const int presents = g.video.presents;
    g.step();
    EXPECT_FALSE(w.inMatchIntro());
    // The frame that leaves the intro is drawn as play, its clock already at 19:59; a clock second is 50 ms
    // and a clock minute 3 s.
    EXPECT_EQ(g.video.presents, presents + 1);
    for (auto [frames, minutes, seconds] : {std::tuple{0, 19, 59}, {25, 19, 40}, {43, 19, 5}, {8, 18, 59}}) {
        g.step(frames);
        EXPECT_EQ(w.clockMinutes().get(), minutes) << frames;
        EXPECT_EQ(w.clockSeconds().get(), seconds) << frames;
    }
    EXPECT_TRUE(g.playing(w.sounds().playLoopSound2));

    // 80 % wins the period, and every third period opens with the next team's card.
    w.claimedCells().set(64481); // 80 %: one cell less is the Original row of the play modes' test
    g.step();
    EXPECT_TRUE(w.periodWon());
    EXPECT_TRUE(g.playing(w.sounds().periodEndSound));
    EXPECT_EQ(w.countdown(), 50);
    g.step(49);
    EXPECT_EQ(w.periodNumber().get(), 1);
    g.step();
    // The next period plays at once, with one opponent more and the ice clean.
    EXPECT_EQ(std::tuple(w.periodNumber().get(), w.inMatchIntro(), w.periodWon(), w.countdown(),
                         w.actors().count(), w.claimedCells().get(), w.chances().get(),
                         w.rink().cellAt(100, 100), g.playing(w.sounds().playLoopSound1)),
              std::tuple(2, false, false, 0, 3, 0, STARTING_CHANCES, CellIce, true));
    for (int period = 2; period < 4; ++period) {
        w.claimedCells().set(64481);
        ASSERT_TRUE(g.stepUntil([&] { return w.periodNumber().get() == period + 1; }, 80));
    }
    EXPECT_EQ(std::tuple(w.inMatchIntro(), w.matchIndex(), w.actors().count(), firstFigure(w)->kind()),
              std::tuple(true, 1, 5, 2));
    // From the sixth match on, the fifth team stays: period 16 has 16 of its players and the referee.
    w.periodNumber().set(16);
    w.setUpPeriod();
    EXPECT_EQ(std::tuple(w.inMatchIntro(), w.matchIndex(), w.actors().count(), firstFigure(w)->kind()),
              std::tuple(true, 5, 17, LAST_TEAM));
}

// Without its art, all but the palette, the game still runs, on a blank rink.
TEST(WholeGame, WithoutItsArtTheGamePlaysOnABlankRink) {
    const std::span<const uint8_t> palette = EmbeddedResources().find(PALETTE_BITMAP_ID);
    MemoryResourceStore paletteOnly;
    paletteOnly.put(PALETTE_BITMAP_ID, {palette.begin(), palette.end()});
    GameHarness g(&paletteOnly);
    g.startPlay();
    g.hold({Key::Right, Key::Space}, 10);
    EXPECT_EQ(std::tuple(g.world().onTitle(), g.world().inMatchIntro(), g.video.index(200, 100)),
              std::tuple(false, false, uint8_t{0}));
}

TEST(WholeGame, TheIntroTakesAKeyFromItsTenthFrameAndTheClockRunsTwoMillisecondsBehindThePeriodsStart) {
    GameHarness g;
    g.keys.press(Key::Enter);
    ASSERT_TRUE(g.stepUntil([&] { return !g.world().onTitle(); }, 100));
    g.keys.release(Key::Enter);
    g.step(8);
    // Enter on the intro's ninth frame is not taken, Space on its tenth is (two keys: a tap on each of two
    // frames in a row is one key held).
    for (Key key : {Key::Enter, Key::Space}) {
        g.keys.tap(key);
        g.step();
        EXPECT_EQ(g.world().inMatchIntro(), key == Key::Enter);
    }
    // Clock time is that since the start less the time held: at 80 ms, 29 held, 49 ms show 19:59; at 120 ms,
    // 68 held, 50 ms show 19:58.
    g.step();
    for (auto [held, seconds] : {std::pair{29u, 59}, {39u, 58}}) {
        g.world().holdClock(held);
        g.step();
        EXPECT_EQ(g.world().clockSeconds().get(), seconds) << held;
    }
}

TEST(WholeGame, TheClockWarnsTimeUpCostsAChanceOnceEvenSeenPastZeroAndTheLastChanceEndsTheGameUntilARestart) {
    GameHarness g;
    g.startPlay();
    GameWorld& w = g.world();
    ASSERT_TRUE(g.stepUntil([&] { return w.timeWarningOn(); }, 1500));
    EXPECT_EQ(std::pair(w.clockMinutes().get(), w.clockSeconds().get()), std::pair(3, 59));
    EXPECT_TRUE(g.playing(w.sounds().timeWarningSound));
    // Time the player could not play is left out: the clock resumes where it stood.
    g.stall(75000);
    w.holdClock(75000);
    g.step();
    EXPECT_EQ(w.clockMinutes().get(), 3);
    EXPECT_NEAR(w.clockSeconds().get(), 58, 1);
    // A stall: the clock is first seen past zero, and the period ends once, as a time-up.
    g.stall(20000);
    g.step();
    EXPECT_EQ(std::tuple(w.timeUp(), w.clockMinutes().get(), w.clockSeconds().get(), w.countdown(),
                         g.playing(w.sounds().periodEndSound)),
              std::tuple(true, 0, 0, 30, true));
    g.step(30);
    EXPECT_EQ(std::tuple(w.chances().get(), w.periodNumber().get(), w.timeUp(), w.timeWarningOn(),
                         g.playing(w.sounds().timeWarningSound), g.playing(w.sounds().playLoopSound1)),
              std::tuple(STARTING_CHANCES - 1, 2, false, false, false, true));

    // The other chances lost the same way: the last runs the game-over sequence.
    for (int lost = 2; lost <= STARTING_CHANCES; ++lost) {
        g.stall(61000);
        g.step();
        EXPECT_EQ(w.chances().get(), STARTING_CHANCES - lost);
        if (lost < STARTING_CHANCES) {
            ASSERT_TRUE(g.stepUntil([&] { return !w.timeUp(); }, 40));
        }
    }
    EXPECT_TRUE(w.gameOver());
    EXPECT_EQ(w.periodNumber().get(), 3); // the last lost period is not counted on
    EXPECT_EQ(w.countdown(), 60);
    // The banner slides in (the approved game shows it) and the horn sounds 25 frames from the end;
    // the music plays on to the last two frames.
    const auto horns = [&] { return g.audio.buffer(w.sounds().periodEndSound.buffer)->starts; };
    g.audio.advance(1000); // the time-up's horn has ended by then
    const int before = horns();
    ASSERT_TRUE(g.stepUntil([&] { return horns() > before; }, 60));
    EXPECT_EQ(w.countdown(), 25);
    ASSERT_TRUE(g.stepUntil([&] { return w.countdown() == 2; }, 60));
    EXPECT_EQ(horns(), before + 1);
    EXPECT_TRUE(g.playing(w.sounds().playLoopSound1));
    EXPECT_FALSE(g.driver.gameOverReached);
    g.step();
    EXPECT_FALSE(g.playing(w.sounds().playLoopSound1));
    EXPECT_FALSE(g.driver.gameOverReached);
    g.step();
    EXPECT_TRUE(g.driver.gameOverReached);

    // F1 or the menu: a fresh world at the title, the old one's device and sounds gone.
    g.driver.restartRequested = true;
    g.step();
    EXPECT_EQ(std::tuple(g.worldsBuilt, g.driver.gameOverReached, g.world().onTitle(), g.world().gameOver(),
                         g.world().chances().get(), g.audio.opens, g.audio.closes, g.audio.buffers.size()),
              std::tuple(2, false, true, false, STARTING_CHANCES, 2, 1, 10u));
    EXPECT_EQ(g_screen, &g.world().screen());
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
        g.startPlay();
        GameWorld& w = g.world();
        EXPECT_EQ(w.chances().get(), c.chances);
        EXPECT_EQ(w.referee()->speed(), c.speed);
        const uint32_t started = g.clock.nowMs();
        ASSERT_TRUE(g.stepUntil([&] { return w.timeUp(); }, c.timeUpMs / 40 + 10));
        EXPECT_NEAR(static_cast<int>(g.clock.nowMs() - started), c.timeUpMs, 40);
        EXPECT_EQ(w.chances().get(), c.afterTimeUp);
        ASSERT_TRUE(g.stepUntil([&] { return w.periodNumber().get() == 2; }, 40));

        // A chance lost to a cut, then the period won as time runs short: the Easier mode gives the chance
        // back, and the win stops the warning.
        ASSERT_TRUE(g.stepUntil([&] { return w.timeWarningOn(); }, c.timeUpMs / 40));
        w.chances().add(-1);
        w.claimedCells().set(c.winningCells - 1);
        g.step();
        EXPECT_FALSE(w.periodWon());
        w.claimedCells().set(c.winningCells);
        g.step();
        EXPECT_EQ(std::tuple(w.periodWon(), w.timeWarningOn(), g.playing(w.sounds().timeWarningSound)),
                  std::tuple(true, false, false));
        ASSERT_TRUE(g.stepUntil([&] { return w.periodNumber().get() == 3; }, 60));
        EXPECT_EQ(w.chances().get(), c.afterWin);
    }
}

// Digits 15 by 25, glyph n filled with colour 10 + n and a transparent top-left corner; an icon of colour
// 200; the screen of colour 1.
struct Hud : ::testing::Test {
    Hud() {
        for (int n = 0; n < 10; ++n) {
            auto glyph = std::make_unique<Image>(15, 25);
            glyph->fillRect(0, 0, 15, 25, static_cast<uint8_t>(10 + n));
            glyph->setPixel(0, 0, TRANSPARENT_INDEX);
            glyph->scanTransparency();
            digits.add(std::move(glyph));
        }
        icon.fillRect(0, 0, 32, 32, 200);
        screen.fillRect(0, 0, 440, 300, 1);
    }
    // Row 45 read left to right, a character for each run of a glyph's or the icon's colour ("i"), and
    // the first and last columns drawn.
    std::string row(int& first, int& last) const {
        std::string s;
        first = last = -1;
        for (int x = 0; x < 440; ++x) {
            const uint8_t v = screen.pixel(x, 45);
            if (v == 1) continue;
            first = first < 0 ? x : first, last = x;
            if (screen.pixel(x - 1, 45) != v) s += v == 200 ? 'i' : static_cast<char>('0' + v - 10);
        }
        return s;
    }

    SpriteSheet digits;
    Image icon{32, 32};
    Image screen{440, 300};
};

TEST_F(Hud, RowsStandAtTheirAnchorPadToTheirMinimumScaleClampTheirIconsAndNeedATarget) {
    const struct {
        bool icons;
        NumberDisplay::Alignment alignment;
        int x, value, minDigits;
        float scale;
        std::string shown;
        int first, last;
    } cases[] = {
        {false, NumberDisplay::EndAt, 430, 584, 0, 0, "584", 370, 424},
        {false, NumberDisplay::EndAt, 111, 5, 2, 0, "05", 71, 105},
        {false, NumberDisplay::EndAt, 111, -1, 2, 0, "00", 71, 105},
        {false, NumberDisplay::EndAt, 111, 123, 2, 0, "123", 51, 105}, // wider than its least
        {false, NumberDisplay::EndAt, 169, 806, 0, PERCENT_SCALE, "0", 149, 163},
        {false, NumberDisplay::EndAt, 169, 64481, 0, PERCENT_SCALE, "80", 129, 163},
        {false, NumberDisplay::EndAt, 169, 80601, 0, PERCENT_SCALE, "100", 109, 163},
        {false, NumberDisplay::StartAt, 10, 1234567, 0, 0, "1234567", 10, 144},
        {true, NumberDisplay::StartAt, 210, 3, 0, 0, "iii", 210, 311},
        {true, NumberDisplay::StartAt, 210, 9, 0, 0, "iiiiii", 210, 416},
        {true, NumberDisplay::StartAt, 210, 0, 0, 0, "", -1, -1},
        {true, NumberDisplay::StartAt, 210, -2, 0, 0, "", -1, -1},
        {true, NumberDisplay::EndAt, 210, 2, 0, 0, "ii", 140, 206},
    };
    int first, last;
    for (const auto& c : cases) {
        screen.fillRect(0, 0, 440, 300, 1);
        NumberDisplay d = c.icons ? NumberDisplay(&icon, 6, &screen) : NumberDisplay(&digits, &screen);
        if (!c.icons) d.spacing = 5; // icons keep their own three pixels
        d.alignment = c.alignment;
        d.minDigits = c.minDigits;
        d.scale = c.scale;
        d.setPosition(c.x, 40);
        d.set(c.value);
        d.draw();
        EXPECT_EQ(row(first, last), c.shown) << c.value;
        EXPECT_EQ(first, c.first) << c.value;
        EXPECT_EQ(last, c.last) << c.value;
        if (first < 0) continue;
        EXPECT_EQ(screen.pixel(first, 39), 1) << "drawn from its y down";
        EXPECT_NE(screen.pixel(first, 40 + 24), 1) << c.value;
        EXPECT_EQ(screen.pixel(first, 40), c.icons ? 200 : 1) << "a glyph's transparent corner shows through";
    }
    // Without a target, an icon or glyphs nothing is drawn.
    screen.fillRect(0, 0, 440, 300, 1);
    SpriteSheet none;
    NumberDisplay noTarget(&digits, nullptr), noIcon(nullptr, 6, &screen), noGlyphs(&none, &screen);
    for (NumberDisplay* d : {&noTarget, &noIcon, &noGlyphs})
        d->set(5), d->draw();
    EXPECT_EQ(row(first, last), "");
}

// One scripted game from the title to game over, every picture and the sound device's state compared
// with the run that was looked at and approved: a change to how the game looks or sounds shows here.
TEST(ApprovedGame, EveryPictureAndEverySoundOfTheScriptedGameIsTheApprovedOne) {
    GameHarness g;
    GameWorld& w = g.world();
    // Frames holding the keys with every figure kept on the far right, the first one at (x, y) if given.
    const auto away = [&](std::initializer_list<Key> keys, int frames, float x = 0, float y = 0) {
        for (int i = 0; i < frames; ++i) {
            float at = 70;
            w.actors().forEach([&](ListItem* item) {
                static_cast<Opponent*>(item)->setPosition(380, at);
                at += 40;
            });
            if (x > 0) firstFigure(w)->setPosition(x, y);
            g.hold(keys, 1);
        }
    };

    g.step(3);
    g.shoot("title-entering");
    g.step(60);
    g.keys.tap(Key::Right); // Brum chosen
    g.step(20);
    g.shoot("title-brum");
    g.hold({Key::Enter}, 1);
    ASSERT_TRUE(w.inMatchIntro());
    g.hold({}, 12);
    g.shoot("intro");
    g.hold({Key::Space}, 1);
    ASSERT_FALSE(w.inMatchIntro());
    g.hold({}, 1);

    // A capture of the bottom-left corner with an opponent trapped in it, then a raid the referee cuts.
    away({Key::Right, Key::Space}, 22);
    away({Key::Down}, 40, 60, 230);
    ASSERT_TRUE(w.player().safe);
    ASSERT_GT(w.claimedCells().get(), 0);
    away({}, 3);
    g.shoot("capture");
    away({Key::Right}, 10);
    away({Key::Up, Key::Space}, 3);
    ASSERT_FALSE(w.player().safe);
    w.referee()->setPosition(w.player().x() + 3, w.player().y() + 3);
    g.hold({Key::Up}, 2);
    ASSERT_EQ(w.chances().get(), STARTING_CHANCES - 1);
    g.shoot("cut");
    g.hold({}, 100);
    g.shoot("play-on");

    // Won, and the next period at once; then a time-up; then two more won periods and the second match.
    w.claimedCells().set(64481);
    g.step(2);
    g.shoot("period-won");
    ASSERT_TRUE(g.stepUntil([&] { return w.periodNumber().get() == 2; }, 60));
    g.step(20);
    g.shoot("period-2");
    g.stall(61000);
    g.step(5);
    ASSERT_TRUE(w.timeUp());
    g.shoot("time-up");
    ASSERT_TRUE(g.stepUntil([&] { return w.periodNumber().get() == 3; }, 60));
    w.claimedCells().set(64481);
    ASSERT_TRUE(g.stepUntil([&] { return w.periodNumber().get() == 4; }, 60));
    g.step(11);
    g.shoot("intro-match-2");
    g.hold({Key::Enter}, 1);
    ASSERT_FALSE(w.inMatchIntro());
    g.hold({}, 40);
    g.shoot("match-2");
    // The last chance lost: the banner slides in and rests.
    g.stall(61000);
    g.step(30);
    ASSERT_TRUE(w.gameOver());
    g.shoot("game-over-sliding");
    g.step(40);
    g.shoot("game-over");
    EXPECT_TRUE(g.driver.gameOverReached);

    // Looked at and approved: the pictures are in the test's shot folder. Every presented picture goes into
    // the one digest, so a change to any screen shows there.
    const uint64_t approvedPictures = 0x2bbe948e8d396393u, approvedSounds = 0x36e19246363b4f26u;
    EXPECT_EQ(g.pictures, approvedPictures);
    EXPECT_EQ(g.sounds, approvedSounds);
    if (HasFailure())
        std::printf("    pictures 0x%016llxu, sounds 0x%016llxu\n",
                    static_cast<unsigned long long>(g.pictures), static_cast<unsigned long long>(g.sounds));
}

} // namespace
} // namespace tundrix
