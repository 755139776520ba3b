// One scripted game from the title to game over, every picture and the sound device's state compared
// with the run that was looked at and approved: a change to how the game looks or sounds shows here.
#include "game_harness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace tundrix {
namespace {

using test::GameHarness;

TEST(ApprovedGame, EveryPictureAndEverySoundOfTheScriptedGameIsTheApprovedOne) {
    GameHarness g;
    GameWorld& w = g.world();
    std::vector<std::pair<std::string, uint64_t>> screens;
    const auto screen = [&](const std::string& name) {
        screens.emplace_back(name, g.picture());
        g.shoot(name);
    };
    // Frames holding the keys with every figure kept on the far right, the first one at (x, y) if given.
    const auto away = [&](std::initializer_list<Key> keys, int frames, float x = 0, float y = 0) {
        for (int i = 0; i < frames; ++i) {
            float at = 70;
            w.actors().forEach([&](ListItem* item) {
                static_cast<Opponent*>(item)->setPosition(380, at);
                at += 40;
            });
            w.actors().rewind();
            if (x > 0) static_cast<Opponent*>(w.actors().next())->setPosition(x, y);
            g.hold(keys, 1);
        }
    };

    g.step(3);
    screen("title-entering");
    g.step(60);
    g.keys.tap(Key::Right); // Brum chosen
    g.step(20);
    screen("title-brum");
    g.hold({Key::Enter}, 1);
    ASSERT_TRUE(w.inMatchIntro());
    g.hold({}, 12);
    screen("intro");
    g.hold({Key::Space}, 1);
    ASSERT_FALSE(w.inMatchIntro());
    g.hold({}, 1);

    // A capture of the bottom-left corner with an opponent trapped in it, then a raid the referee cuts.
    away({Key::Right, Key::Space}, 22);
    away({Key::Down}, 40, 60, 230);
    ASSERT_TRUE(w.player().safe);
    ASSERT_GT(w.claimedCells().get(), 0);
    away({}, 3);
    screen("capture");
    away({Key::Right}, 10);
    away({Key::Up, Key::Space}, 3);
    ASSERT_FALSE(w.player().safe);
    w.referee()->setPosition(w.player().x() + 3, w.player().y() + 3);
    g.hold({Key::Up}, 2);
    ASSERT_EQ(w.chances().get(), STARTING_CHANCES - 1);
    screen("cut");
    g.hold({}, 100);
    screen("play-on");

    // Won, and the next period at once; then a time-up; then two more won periods and the second match.
    w.claimedCells().set(64481);
    g.step(2);
    screen("period-won");
    ASSERT_TRUE(g.stepUntil([&] { return w.periodNumber().get() == 2; }, 60));
    g.step(20);
    screen("period-2");
    g.clock.advance(61000);
    g.driver.resync();
    g.step(5);
    ASSERT_TRUE(w.timeUp());
    screen("time-up");
    ASSERT_TRUE(g.stepUntil([&] { return w.periodNumber().get() == 3; }, 60));
    w.claimedCells().set(64481);
    ASSERT_TRUE(g.stepUntil([&] { return w.periodNumber().get() == 4; }, 60));
    g.step(11);
    screen("intro-match-2");
    g.hold({Key::Enter}, 1);
    ASSERT_FALSE(w.inMatchIntro());
    g.hold({}, 40);
    screen("match-2");
    // The last chance lost: the banner slides in and rests.
    g.clock.advance(61000);
    g.driver.resync();
    g.step(30);
    ASSERT_TRUE(w.gameOver());
    screen("game-over-sliding");
    g.step(40);
    screen("game-over");
    EXPECT_TRUE(g.driver.gameOverReached);

    // Looked at and approved: the pictures are in the test's shot folder.
    const std::vector<std::pair<std::string, uint64_t>> approved = {
        {"title-entering", 0x48f17830c29f98bcu},
        {"title-brum", 0xda71473330d84d2au},
        {"intro", 0x90c9f4710f9b7054u},
        {"capture", 0x6186d640008076f0u},
        {"cut", 0x40eb47152adaa405u},
        {"play-on", 0x9b6b364c4173708au},
        {"period-won", 0xaacf075cf017fe7bu},
        {"period-2", 0x4f968af04360e132u},
        {"time-up", 0xce8c71bd4b3fcd27u},
        {"intro-match-2", 0xc26e35a83cbabf92u},
        {"match-2", 0x2f46ff042177bb6eu},
        {"game-over-sliding", 0xf62346ec5a983c11u},
        {"game-over", 0x21eebf32cf2f20e1u},
    };
    const uint64_t approvedPictures = 0x2bbe948e8d396393u, approvedSounds = 0x36e19246363b4f26u;
    EXPECT_EQ(screens, approved);
    EXPECT_EQ(g.pictures, approvedPictures);
    EXPECT_EQ(g.sounds, approvedSounds);
    if (HasFailure()) {
        for (const auto& [name, digest] : screens)
            std::printf("        {\"%s\", 0x%016llxu},\n", name.c_str(),
                        static_cast<unsigned long long>(digest));
        std::printf("    pictures 0x%016llxu, sounds 0x%016llxu\n",
                    static_cast<unsigned long long>(g.pictures), static_cast<unsigned long long>(g.sounds));
    }
}

} // namespace
} // namespace tundrix
