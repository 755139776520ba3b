// The frame schedule: what each step sleeps, updates and draws, restarts and the game-over request.
#include "core/frame_driver.h"
#include "fake_world.h"
#include "platform/headless/fake_clock.h"

#include <gtest/gtest.h>

#include <vector>

namespace tundrix {
namespace {

using test::FakeWorld;

struct Driven : ::testing::Test {
    explicit Driven(uint32_t start = 5000) : clock(start) {}
    headless::FakeClock clock;
    std::vector<FakeWorld*> worlds;
    int destroyed = 0;
    bool canBuild = true;
    FrameDriver driver{clock, [this](const AngleTables&) -> std::unique_ptr<World> {
                           if (!canBuild) return nullptr;
                           worlds.push_back(new FakeWorld(&destroyed));
                           return std::unique_ptr<World>(worlds.back());
                       }};
    FakeWorld& world() { return *worlds.back(); }
    // Runs steps and tells which of them drew ("d") and which did not (".").
    std::string steps(int n) {
        std::string drawn;
        for (int i = 0; i < n; ++i) {
            const int before = world().draws;
            driver.step();
            drawn += world().draws > before ? 'd' : '.';
        }
        return drawn;
    }
};

TEST_F(Driven, FramesAreDueEvery40MsFromTheStartAndOnlyFramesOnTimeAreDrawn) {
    // The first step is due at once and not drawn; the next call comes 5 ms later and sleeps to its time.
    EXPECT_EQ(steps(1), ".");
    EXPECT_TRUE(clock.sleeps.empty());
    clock.advance(5);
    EXPECT_EQ(steps(9), "ddddddddd");
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{35, 40, 40, 40, 40, 40, 40, 40, 40}));
    EXPECT_EQ(world().updates, 10);

    // A second's stall is caught up by steps that update without sleeping or drawing, then drawing resumes
    // on the same grid (frame n due at the start + 40 n).
    clock.advance(1000);
    EXPECT_EQ(steps(27), std::string(25, '.') + "dd");
    EXPECT_EQ(clock.sleeps.size(), 11u);
    EXPECT_EQ(clock.nowMs(), 5000u + 36 * 40);
    EXPECT_EQ(driver.baseTime(), 5000u);

    // A step that finds its frame exactly due neither sleeps nor draws.
    clock.advance(40);
    EXPECT_EQ(steps(1), ".");
    EXPECT_EQ(clock.sleeps.size(), 11u);
}

TEST_F(Driven, AfterAResyncTheNextStepIsUndrawnAndNoBurstOfFramesFollows) {
    steps(3);
    clock.advance(10000); // a long modal dialog
    driver.resync();
    EXPECT_EQ(steps(3), ".dd");
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{40, 40, 40, 40}));
}

TEST_F(Driven, ARestartBuildsAFreshWorldOnAScheduleOfItsOwnAndClearsTheRequests) {
    steps(4);
    driver.gameOverReached = true;
    driver.restartRequested = true;
    clock.advance(3);
    driver.step();
    const uint32_t restartedAt = clock.nowMs(); // after the step's wait for its time
    ASSERT_EQ(worlds.size(), 2u);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(world().updates, 1);
    EXPECT_EQ(world().draws, 0);
    EXPECT_FALSE(driver.restartRequested);
    EXPECT_FALSE(driver.gameOverReached);
    EXPECT_EQ(driver.baseTime(), restartedAt);
    EXPECT_EQ(steps(1), "d");
    EXPECT_EQ(clock.nowMs(), restartedAt + 40);
}

TEST_F(Driven, GameOverIsReachedOnTheStepItsCountdownEndsAndStaysUntilARestart) {
    world().count = 0; // a countdown at 0 without game over does not count
    steps(1);
    EXPECT_FALSE(driver.gameOverReached);
    world().over = true;
    world().count = 2;
    world().onUpdate = [](FakeWorld& w) { w.count -= w.count > 0; };
    steps(1);
    EXPECT_FALSE(driver.gameOverReached);
    steps(1);
    EXPECT_TRUE(driver.gameOverReached);
    world().over = false;
    steps(1);
    EXPECT_TRUE(driver.gameOverReached);
}

TEST_F(Driven, AStepCalledFromInsideAStepIsIgnored) {
    world().onUpdate = [this](FakeWorld&) { driver.step(); };
    steps(2);
    EXPECT_EQ(world().updates, 2);
    EXPECT_FALSE(driver.busy());
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{40}));
}

TEST_F(Driven, AWorldThatCannotBeBuiltLeavesTheDriverIdleUntilARestartBuildsOne) {
    canBuild = false;
    driver.restartRequested = true;
    driver.step();
    EXPECT_EQ(driver.world(), nullptr);
    canBuild = true;
    driver.restartRequested = true;
    driver.step();
    ASSERT_EQ(worlds.size(), 2u);
    EXPECT_EQ(driver.world(), worlds.back());
    EXPECT_EQ(world().updates, 1);
}

struct DrivenAcrossTheWrap : Driven {
    DrivenAcrossTheWrap() : Driven(0xFFFFFFF0u) {}
};

TEST_F(DrivenAcrossTheWrap, TheScheduleSurvivesTheClockWrappingAround) {
    EXPECT_EQ(steps(6), ".ddddd");
    EXPECT_EQ(clock.sleeps, std::vector<uint32_t>(5, 40));
}

} // namespace
} // namespace tundrix
