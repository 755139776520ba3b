// The random sequence and the angle tables.
#include "core/angle_tables.h"
#include "core/random.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tundrix {

TEST(Random, StartsFromOneFollowsTheLinearCongruenceAndSeedingRestartsIt) {
    Random r;
    // 1 * 214013 + 2531011 = 2745024 -> >> 16 = 41; then 1210316419 -> >> 16 & 0x7fff = 18467.
    EXPECT_EQ(r.next(), 41);
    EXPECT_EQ(r.next(), 18467);
    EXPECT_EQ(r.next(), 6334);
    r.seed(0);
    // 0 * 214013 + 2531011 = 2531011 -> >> 16 = 38
    EXPECT_EQ(r.next(), 38);
    r.seed(1);
    EXPECT_EQ(r.next(), 41);
}

TEST(AngleTables, HoldHalfDegreeStepsWithTheGamesPi) {
    AngleTables t;
    EXPECT_DOUBLE_EQ(t.sinEntry(0), 0.0);
    EXPECT_DOUBLE_EQ(t.cosEntry(0), 1.0);
    // Entry 180 is 90 degrees with pi taken as 3.141592: not exactly 1 and 0.
    EXPECT_NEAR(t.sinEntry(180), 1.0, 1e-12);
    EXPECT_NEAR(t.cosEntry(180), std::cos(180 * 0.008726644444444445L), 1e-15);
    EXPECT_GT(t.cosEntry(180), 0.0);
    EXPECT_DOUBLE_EQ(t.sinDeg(30.9), t.sinEntry(60));
    EXPECT_DOUBLE_EQ(t.cosDeg(359.999), t.cosEntry(718));
}

TEST(AngleTables, AnglesThatRoundToTheFullCircleWrapInsteadOfReadingPast) {
    EXPECT_EQ(AngleTables::index(360.0), 0);
    EXPECT_EQ(AngleTables::index(static_cast<float>(359.99999)), 0);
    EXPECT_EQ(AngleTables::index(725.5), 10);
    EXPECT_EQ(AngleTables::index(-1.0), 718);
    EXPECT_EQ(AngleTables::index(std::nan("")), 0);
    for (double a = -1000.0; a < 1000.0; a += 0.37) {
        int i = AngleTables::index(a);
        EXPECT_GE(i, 0);
        EXPECT_LT(i, AngleTables::ENTRIES);
        EXPECT_EQ(i % 2, 0);
    }
}

} // namespace tundrix
