// Guarded counters: they keep their value and notice it being changed behind their back.
#include "core/guarded_counter.h"

#include <gtest/gtest.h>

namespace tundrix {
namespace {

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
