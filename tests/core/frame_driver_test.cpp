// The frame schedule: what each step sleeps, updates and draws, restarts and the game-over request.
#include "core/frame_driver.h"
#include "platform/headless/fake_clock.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace tundrix {
namespace {

struct Counts {
    int built = 0;
    int destroyed = 0;
    int updates = 0;
    int draws = 0;
};

class CountingWorld : public World {
  public:
    explicit CountingWorld(Counts& c) : c_(c) { ++c_.built; }
    ~CountingWorld() override { ++c_.destroyed; }
    void update() override {
        ++c_.updates;
        if (onUpdate) onUpdate(*this);
    }
    void draw() override { ++c_.draws; }
    bool gameOver() const override { return over; }
    int countdown() const override { return count; }

    bool over = false;
    int count = 5;
    std::function<void(CountingWorld&)> onUpdate;

  private:
    Counts& c_;
};

class FrameDriverTest : public ::testing::Test {
  protected:
    headless::FakeClock clock{5000};
    Counts counts;
    CountingWorld* current = nullptr;
    FrameDriver driver{clock, [this](const AngleTables&) {
                           auto w = std::make_unique<CountingWorld>(counts);
                           current = w.get();
                           return w;
                       }};

    // Runs one step and reports whether it drew.
    bool stepDrew() {
        int before = counts.draws;
        driver.step();
        return counts.draws > before;
    }
};

TEST_F(FrameDriverTest, FirstStepUpdatesWithoutDrawingThenStepsFollowTheSchedule) {
    EXPECT_EQ(counts.built, 1);
    EXPECT_EQ(driver.baseTime(), 5000u);
    EXPECT_FALSE(driver.busy());

    EXPECT_FALSE(stepDrew());
    EXPECT_EQ(counts.updates, 1);
    EXPECT_TRUE(clock.sleeps.empty());

    // The next call comes 5 ms later: it sleeps until its due time (40 ms), then updates and draws.
    clock.advance(5);
    EXPECT_TRUE(stepDrew());
    ASSERT_EQ(clock.sleeps.size(), 1u);
    EXPECT_EQ(clock.sleeps[0], 35u);
    EXPECT_EQ(clock.nowMs(), 5040u);

    // Calls arriving immediately keep sleeping to the 40 ms grid and keep drawing.
    for (int i = 2; i < 10; ++i)
        EXPECT_TRUE(stepDrew());
    EXPECT_EQ(clock.nowMs(), 5000u + 9 * 40);
    EXPECT_EQ(counts.updates, 10);
}

TEST_F(FrameDriverTest, AStallIsCaughtUpWithUpdateOnlyStepsThenDrawingResumes) {
    for (int i = 0; i < 5; ++i)
        driver.step();
    clock.advance(1000);
    size_t sleepsBefore = clock.sleeps.size();
    int undrawn = 0;
    while (!stepDrew()) {
        ++undrawn;
        ASSERT_LT(undrawn, 100);
    }
    // About 25 frames fit in a second; none of the catch-up steps slept.
    EXPECT_GE(undrawn, 24);
    EXPECT_LE(undrawn, 26);
    EXPECT_EQ(clock.sleeps.size(), sleepsBefore + 1); // only the step that drew slept
    // The origin never moved: frame n is still due at baseTime + 40 n.
    EXPECT_EQ(driver.baseTime(), 5000u);
}

TEST_F(FrameDriverTest, AStepThatFindsItsFrameExactlyDueNeitherSleepsNorDraws) {
    driver.step();
    clock.set(5040);
    EXPECT_FALSE(stepDrew());
    EXPECT_TRUE(clock.sleeps.empty());
    EXPECT_EQ(counts.updates, 2);
}

TEST_F(FrameDriverTest, ResyncMakesTheNextStepUndrawnAndTheOneAfterNormal) {
    for (int i = 0; i < 3; ++i)
        driver.step();
    clock.advance(10000); // a long modal dialog
    driver.resync();
    EXPECT_FALSE(stepDrew());
    EXPECT_TRUE(stepDrew());
    EXPECT_EQ(counts.updates, 5); // no burst of catch-up frames
}

TEST_F(FrameDriverTest, RestartBuildsAFreshWorldAndItsFirstStepIsNotDrawn) {
    for (int i = 0; i < 4; ++i)
        driver.step();
    driver.gameOverReached = true;
    driver.restartRequested = true;
    clock.advance(3);
    EXPECT_FALSE(stepDrew());
    EXPECT_EQ(counts.built, 2);
    EXPECT_EQ(counts.destroyed, 1);
    EXPECT_FALSE(driver.restartRequested);
    EXPECT_FALSE(driver.gameOverReached);
    EXPECT_EQ(driver.frameCount(), 1u);
    EXPECT_EQ(driver.baseTime(), clock.nowMs());
    EXPECT_TRUE(stepDrew());
}

TEST_F(FrameDriverTest, GameOverIsReachedOnTheStepTheCountdownEndsAfterGameOver) {
    driver.step();
    current->count = 2;
    current->onUpdate = [](CountingWorld& w) {
        if (w.over && w.count > 0) --w.count;
    };
    driver.step();
    // Countdown reaching 0 without gameOver does not count.
    EXPECT_FALSE(driver.gameOverReached);
    current->over = true;
    driver.step(); // count 2 -> 1
    EXPECT_FALSE(driver.gameOverReached);
    driver.step(); // count 1 -> 0
    EXPECT_TRUE(driver.gameOverReached);
    // It stays set until a restart.
    driver.step();
    EXPECT_TRUE(driver.gameOverReached);
}

TEST_F(FrameDriverTest, AStepEnteredFromInsideAStepIsIgnored) {
    driver.step();
    current->onUpdate = [this](CountingWorld&) { driver.step(); };
    driver.step();
    EXPECT_EQ(driver.reentrantSteps(), 1);
    EXPECT_EQ(counts.updates, 2);
    EXPECT_EQ(driver.frameCount(), 2u);
    EXPECT_FALSE(driver.busy());
}

TEST(FrameDriverClock, TheScheduleSurvivesTheClockWrappingAround) {
    headless::FakeClock clock{0xFFFFFFF0u};
    Counts counts;
    FrameDriver driver(clock, [&](const AngleTables&) { return std::make_unique<CountingWorld>(counts); });
    for (int i = 0; i < 6; ++i)
        driver.step();
    EXPECT_EQ(counts.draws, 5);
    EXPECT_EQ(clock.nowMs(), 0xFFFFFFF0u + 5 * 40);
    EXPECT_EQ(clock.sleeps, std::vector<uint32_t>(5, 40));
}

TEST(FrameDriverWorld, AWorldThatCannotBeBuiltLeavesTheDriverIdleUntilARestartSucceeds) {
    headless::FakeClock clock;
    bool canBuild = false;
    Counts counts;
    FrameDriver driver(clock, [&](const AngleTables&) -> std::unique_ptr<World> {
        return canBuild ? std::make_unique<CountingWorld>(counts) : nullptr;
    });
    EXPECT_EQ(driver.world(), nullptr);
    driver.step();
    canBuild = true;
    driver.restartRequested = true;
    driver.step();
    EXPECT_NE(driver.world(), nullptr);
    EXPECT_EQ(counts.updates, 1);
}

} // namespace
} // namespace tundrix
