// The random sequence, the angle tables the figures steer by, and the guarded counters that notice a
// value changed behind their back.
#include "core/angle_tables.h"
#include "core/guarded_counter.h"
#include "core/random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tundrix {
namespace {

TEST(Random, EachSeedStartsTheClassicSequenceOfFifteenBitNumbers) {
    const struct {
        uint32_t seed;
        std::vector<int> first;
    } cases[] = {{1, {41, 18467, 6334}},
                 {0, {38, 7719, 21238}},
                 {0xFFFFFFFFu, {35, 29739, 3374}},
                 {100000, {31684, 25190, 25328}}};
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
    const struct {
        double degrees, sin, cos;
    } cases[] = {{0, 0, 1},
                 {90, 0.9999999999999466, 3.2679489653813835e-07},
                 {180, 6.535897930762419e-07, -0.9999999999997864},
                 {270, -0.9999999999995194, -9.803846891701863e-07},
                 {30.9, 0.49999990566243635, 0.8660254582502496},
                 {359.999, -0.017453709787263315, 0.999847672405483},
                 {360, 0, 1},
                 {static_cast<float>(359.99999), 0, 1},
                 {725.5, std::sin(5 * 3.141592 / 180), std::cos(5 * 3.141592 / 180)},
                 {-1, -0.017453709787263315, 0.999847672405483},
                 {-450, -0.9999999999995194, -9.803846891701863e-07},
                 {std::nan(""), 0, 1},
                 {INFINITY, 0, 1}};
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
