// The core: the frame schedule (what each step sleeps, updates and draws, restarts and the game-over
// request), the object lists (positions, cursor walks, reference counts and the deferred purge), the random
// sequence, the angle tables the figures steer by, and the guarded counters that notice a value changed
// behind their back.
#include "core/angle_tables.h"
#include "core/frame_driver.h"
#include "core/guarded_counter.h"
#include "core/object_list.h"
#include "core/random.h"
#include "fake_world.h"
#include "platform/headless/fake_clock.h"

#include <gtest/gtest.h>
#include <tuple>

#include <cmath>
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

TEST_F(Driven, FramesAreDueEvery40MsFromTheStartOrTheLastResyncAndOnlyFramesOnTimeAreDrawn) {
    // The first step is due at once and not drawn; the next call comes 5 ms later and sleeps to its time.
    EXPECT_EQ((std::pair{steps(1), clock.sleeps.size()}), std::pair(std::string("."), size_t{0}));
    clock.advance(5);
    EXPECT_EQ(steps(9), "ddddddddd");
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{35, 40, 40, 40, 40, 40, 40, 40, 40}));
    EXPECT_EQ(world().updates, 10);

    // A second's stall is caught up by steps that update without sleeping or drawing, then drawing resumes
    // on the same grid (frame n due at the start + 40 n).
    clock.advance(1000);
    EXPECT_EQ(steps(27), std::string(25, '.') + "dd");
    EXPECT_EQ(std::tuple(clock.sleeps.size(), clock.nowMs(), driver.baseTime()),
              std::tuple(11u, 5000u + 36 * 40, 5000u));

    // A step that finds its frame exactly due neither sleeps nor draws.
    clock.advance(40);
    EXPECT_EQ((std::pair{steps(1), clock.sleeps.size()}), std::pair(std::string("."), size_t{11}));

    // After a resync (a long modal dialog) the next step is undrawn and no burst of frames follows.
    clock.advance(10000);
    driver.resync();
    EXPECT_EQ((std::pair{steps(3), clock.sleeps}),
              std::pair(std::string(".dd"),
                        std::vector<uint32_t>{35, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40}));
}

TEST_F(Driven, ARestartBuildsAFreshWorldOnAScheduleOfItsOwnAndClearsTheRequests) {
    steps(4);
    driver.gameOverReached = true;
    driver.restartRequested = true;
    clock.advance(3);
    driver.step();
    const uint32_t restartedAt = clock.nowMs(); // after the step's wait for its time
    ASSERT_EQ(worlds.size(), 2u);
    EXPECT_EQ(std::tuple(destroyed, world().updates, world().draws, driver.restartRequested,
                         driver.gameOverReached, driver.baseTime()),
              std::tuple(1, 1, 0, false, false, restartedAt));
    EXPECT_EQ((std::pair{steps(1), clock.nowMs()}), std::pair(std::string("d"), restartedAt + 40));
}

TEST_F(Driven, GameOverIsReachedOnTheStepItsCountdownEndsAndStaysUntilARestart) {
    std::string reached; // after each step
    const auto step = [&] { steps(1), reached += driver.gameOverReached ? 'y' : 'n'; };
    world().count = 0; // a countdown at 0 without game over does not count
    step();
    world().over = true, world().count = 2;
    world().onUpdate = [](FakeWorld& w) { w.count -= w.count > 0; };
    step(), step();
    world().over = false;
    step();
    EXPECT_EQ(reached, "nnyy");
}

TEST_F(Driven, AStepCalledFromInsideAStepIsIgnored) {
    world().onUpdate = [this](FakeWorld&) { driver.step(); };
    steps(2);
    EXPECT_EQ(std::tuple(world().updates, driver.busy()), std::tuple(2, false));
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
    EXPECT_EQ((std::tuple{driver.world() == worlds.back(), world().updates == 1}), (std::tuple{true, true}));
}

struct DrivenAcrossTheWrap : Driven {
    DrivenAcrossTheWrap() : Driven(0xFFFFFFF0u) {}
};

TEST_F(DrivenAcrossTheWrap, TheScheduleSurvivesTheClockWrappingAround) {
    EXPECT_EQ((std::pair{steps(6), clock.sleeps}),
              std::pair(std::string(".ddddd"), std::vector<uint32_t>(5, 40)));
}

struct Tracked : ListItem {
    Tracked(int id, std::vector<int>& deleted) : id(id), deleted(deleted) {}
    ~Tracked() override { deleted.push_back(id); }
    int id;
    std::vector<int>& deleted;
};

struct Lists : ::testing::Test {
    std::vector<int> deleted;
    Tracked* make(int id) { return new Tracked(id, deleted); }
    // The ids in list order, walked with next or with nextUnmarked; the walk leaves the cursor at the end.
    static std::vector<int> ids(ObjectList& list, bool unmarkedOnly = false) {
        std::vector<int> out;
        list.rewind();
        while (ListItem* item = unmarkedOnly ? list.nextUnmarked() : list.next())
            out.push_back(static_cast<Tracked*>(item)->id);
        return out;
    }
};

TEST_F(Lists, ItemsGoInAtAnyPositionFromFrontToBackAndNowhereElse) {
    ObjectList list;
    EXPECT_EQ(ids(list), std::vector<int>{});
    Tracked* first = make(1);
    EXPECT_NE(list.insertAt(first, 0), nullptr);
    list.insertAt(make(2), 0);            // the front
    list.insertAt(make(3), list.count()); // the back
    list.insertAt(make(4), 1);            // between
    list.insertAt(make(5), 3);
    EXPECT_EQ(ids(list), (std::vector<int>{2, 4, 1, 5, 3}));
    EXPECT_EQ(first->refCount, 1);
    Tracked* stray = make(9);
    for (int position : {-1, list.count() + 1})
        EXPECT_EQ(list.insertAt(stray, position), nullptr) << position;
    EXPECT_EQ(list.insertAt(nullptr, 0), nullptr);
    EXPECT_EQ(std::tuple(stray->refCount, list.count()), std::tuple(0, 5));
    delete stray;
    // The cursor stands on an item just put in.
    list.insertAt(make(6), 2);
    EXPECT_EQ(static_cast<Tracked*>(list.next())->id, 6);
    EXPECT_EQ(static_cast<Tracked*>(list.next())->id, 1);
}

TEST_F(Lists, RemoveAtUnlinksWithoutDeletingAndTheWalkGoesOnAfterIt) {
    ObjectList list;
    Tracked* items[] = {make(1), make(2), make(3), make(4)};
    for (Tracked* t : items)
        list.insertAt(t, list.count());
    for (int index : {-1, 4})
        EXPECT_EQ(list.removeAt(index), nullptr) << index;
    // Removing the last leaves the walk at its end.
    EXPECT_EQ((std::tuple{list.removeAt(1), list.next(), list.removeAt(2), list.next(), list.removeAt(0)}),
              (std::tuple{items[1], items[2], items[3], static_cast<ListItem*>(nullptr), items[0]}));
    EXPECT_EQ(ids(list), std::vector<int>{3});
    EXPECT_EQ((std::tuple{deleted.empty(), items[1]->refCount == 1}), (std::tuple{true, true}))
        << "left to the caller";
    for (int i : {0, 1, 3})
        delete items[i];
    list.insertAt(make(5), 0), list.insertAt(make(6), 2); // both ends still link up
    EXPECT_EQ(ids(list), (std::vector<int>{5, 3, 6}));
}

TEST_F(Lists, MarkedItemsAreSkippedByTheUnmarkedWalkAndPurgedInOnePass) {
    ObjectList list;
    for (int i = 1; i <= 6; ++i)
        list.insertAt(make(i), list.count());
    list.rewind();
    while (ListItem* item = list.next())
        item->marked = static_cast<Tracked*>(item)->id % 3 != 0 && static_cast<Tracked*>(item)->id != 5;
    EXPECT_EQ(ids(list, true), (std::vector<int>{3, 5, 6}));
    list.purge();
    EXPECT_EQ(deleted, (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(ids(list), (std::vector<int>{3, 5, 6}));
    list.markAll();
    EXPECT_EQ(ids(list, true), std::vector<int>{});
    list.purge();
    EXPECT_EQ((std::tuple{list.count() == 0, ids(list).empty()}), (std::tuple{true, true}));
    list.clear();
    EXPECT_EQ(deleted.size(), 6u);
}

TEST_F(Lists, AnItemInTwoListsLivesUntilTheLastListLetsGo) {
    Tracked* shared = make(7);
    {
        ObjectList first, second;
        first.insertAt(shared, 0);
        second.insertAt(make(8), 0);
        second.insertAt(shared, 1);
        EXPECT_EQ(shared->refCount, 2);
        first.clear();
        EXPECT_EQ((std::tuple{shared->refCount == 1, deleted.empty(), first.count() == 0}),
                  (std::tuple{true, true, true}));
        EXPECT_EQ(ids(second), (std::vector<int>{8, 7}));
    }
    EXPECT_EQ(deleted, (std::vector<int>{8, 7}));
}

TEST(Random, EachSeedStartsTheClassicSequenceOfFifteenBitNumbers) {
    // clang-format off
    const struct { uint32_t seed; std::vector<int> first; } cases[] = {
        {1, {41, 18467, 6334}}, {0, {38, 7719, 21238}}, {0xFFFFFFFFu, {35, 29739, 3374}},
        {100000, {31684, 25190, 25328}}};
    // clang-format on
    for (const auto& c : cases) {
        Random r;
        r.seed(c.seed);
        std::vector<int> drawn;
        for (size_t i = 0; i < c.first.size(); ++i)
            drawn.push_back(r.next());
        EXPECT_EQ(drawn, c.first) << c.seed;
    }
    Random unseeded;
    EXPECT_EQ(unseeded.next(), 41);
}

TEST(AngleTables, WholeDegreesWithTheGamesPiAndAnyAngleWrappedIntoOneTurn) {
    const AngleTables t;
    // The game takes pi as 3.141592, so a right angle's cosine is not quite 0.
    // clang-format off
    const struct { double degrees, sin, cos; } cases[] = {
        {0, 0, 1}, {90, 0.9999999999999466, 3.2679489653813835e-07},
        {180, 6.535897930762419e-07, -0.9999999999997864}, {270, -0.9999999999995194, -9.803846891701863e-07},
        {30.9, 0.49999990566243635, 0.8660254582502496}, {359.999, -0.017453709787263315, 0.999847672405483},
        {360, 0, 1}, {static_cast<float>(359.99999), 0, 1},
        {725.5, std::sin(5 * 3.141592 / 180), std::cos(5 * 3.141592 / 180)},
        {-1, -0.017453709787263315, 0.999847672405483}, {-450, -0.9999999999995194, -9.803846891701863e-07},
        {std::nan(""), 0, 1}, {INFINITY, 0, 1}};
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_NEAR(t.sinDeg(c.degrees), c.sin, 1e-12) << c.degrees;
        EXPECT_NEAR(t.cosDeg(c.degrees), c.cos, 1e-12) << c.degrees;
    }
    for (double a = 0; a < 1000.0; a += 0.25)
        EXPECT_EQ(t.cosDeg(a), t.cosDeg(a + 360)) << a;
}

TEST(GuardedCounter, ReadsBackWhatWasStoredAndAValueChangedBehindItsBackRaisesTheFlag) {
    tamperFlag = false;
    GuardedCounter score;
    EXPECT_EQ(score.get(), 0);
    score.set(-17);
    score.add(20);
    EXPECT_EQ(score.get(), 3);
    score.add(INT32_MAX); // wraps like the machine word, never undefined
    EXPECT_EQ(score.get(), INT32_MIN + 2);
    EXPECT_FALSE(tamperFlag);

    // What a memory editor would do: the value read is used unchanged, and the flag is raised by a read or
    // by an add.
    for (bool byAdd : {false, true}) {
        tamperFlag = false;
        GuardedCounter c;
        c.set(120);
        c.storage() = 121;
        EXPECT_FALSE(tamperFlag);
        if (byAdd)
            c.add(1);
        else
            EXPECT_EQ(c.get(), 121);
        EXPECT_TRUE(tamperFlag) << byAdd;
        // set stores afresh and never raises the flag by itself.
        tamperFlag = false;
        c.set(5);
        EXPECT_EQ(c.get(), 5);
        EXPECT_FALSE(tamperFlag);
    }
}

} // namespace
} // namespace tundrix
