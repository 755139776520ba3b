// The keyboard poll: presses, newest-wins axes, the newest heading and taps shorter than a frame.
#include "input/keyboard_input.h"
#include "platform/headless/scripted_keys.h"

#include <gtest/gtest.h>

namespace tundrix {
namespace {

class KeyboardTest : public ::testing::Test {
  protected:
    headless::ScriptedKeys keys;
    KeyboardInput kb{keys};
};

TEST_F(KeyboardTest, OppositeArrowsGiveTheNewerOneAndHandBackOnRelease) {
    keys.press(Key::Right);
    kb.poll();
    EXPECT_EQ(kb.axisX, 1);
    EXPECT_EQ(kb.pressedX, 1);
    keys.press(Key::Left);
    kb.poll();
    EXPECT_EQ(kb.axisX, -1);
    EXPECT_EQ(kb.pressedX, -1);
    EXPECT_EQ(kb.lastHeading, 2);
    keys.release(Key::Left);
    kb.poll();
    EXPECT_EQ(kb.axisX, 1);
    EXPECT_EQ(kb.pressedX, 0);
    EXPECT_EQ(kb.lastHeading, 0);

    keys.releaseAll();
    kb.poll();
    keys.press(Key::Left);
    kb.poll();
    keys.press(Key::Right);
    kb.poll();
    EXPECT_EQ(kb.axisX, 1);
    keys.release(Key::Right);
    kb.poll();
    EXPECT_EQ(kb.axisX, -1);
}

TEST_F(KeyboardTest, CrossingArrowsGiveDiagonalsAndTheNewestStillHeldLeads) {
    keys.press(Key::Left);
    kb.poll();
    keys.press(Key::Up);
    kb.poll();
    EXPECT_EQ(kb.axisX, -1);
    EXPECT_EQ(kb.axisY, -1);
    keys.press(Key::Right);
    kb.poll();
    EXPECT_EQ(kb.lastHeading, 0);
    keys.release(Key::Right);
    kb.poll();
    EXPECT_EQ(kb.axisX, -1);
    EXPECT_EQ(kb.lastHeading, 3);
    EXPECT_EQ(kb.pressOrder()[0], 3);
    EXPECT_EQ(kb.pressOrder()[1], 2);
    EXPECT_EQ(kb.pressOrder()[2], -1);

    keys.releaseAll();
    kb.poll();
    EXPECT_EQ(kb.axisX, 0);
    EXPECT_EQ(kb.axisY, 0);
    EXPECT_EQ(kb.lastHeading, 3); // kept while no arrow is held
}

TEST_F(KeyboardTest, OppositePressesInOneSampleLeaveLeftAndUp) {
    keys.press(Key::Right);
    keys.press(Key::Left);
    keys.press(Key::Down);
    keys.press(Key::Up);
    kb.poll();
    EXPECT_EQ(kb.pressedX, -1);
    EXPECT_EQ(kb.pressedY, -1);
    EXPECT_EQ(kb.axisX, -1);
    EXPECT_EQ(kb.axisY, -1);
    EXPECT_EQ(kb.lastHeading, 3);
}

TEST_F(KeyboardTest, SpaceCountsAsPressedOnceAndClearPressesForgetsIt) {
    keys.press(Key::Space);
    kb.poll();
    EXPECT_EQ(kb.spacePressed, 1);
    EXPECT_EQ(kb.spaceHeld, 1);
    kb.clearPresses();
    EXPECT_EQ(kb.spacePressed, 0);
    for (int i = 0; i < 3; ++i) {
        kb.poll();
        EXPECT_EQ(kb.spacePressed, 0);
        EXPECT_EQ(kb.spaceHeld, 1);
    }
    keys.release(Key::Space);
    kb.poll();
    keys.press(Key::Space);
    kb.poll();
    EXPECT_EQ(kb.spacePressed, 1);

    keys.press(Key::Enter);
    kb.poll();
    EXPECT_EQ(kb.enterPressed, 1);
    kb.clearPresses();
    EXPECT_EQ(kb.enterPressed, 1); // not touched by clearPresses; the next poll recomputes it
    kb.poll();
    EXPECT_EQ(kb.enterPressed, 0);
}

TEST_F(KeyboardTest, ATapBetweenTwoPollsCountsForOnePoll) {
    keys.tap(Key::Space);
    keys.tap(Key::Down);
    kb.poll();
    EXPECT_EQ(kb.spacePressed, 1);
    EXPECT_EQ(kb.pressedY, 1);
    EXPECT_EQ(kb.axisY, 1);
    EXPECT_EQ(kb.lastHeading, 1);
    kb.poll();
    EXPECT_EQ(kb.spaceHeld, 0);
    EXPECT_EQ(kb.axisY, 0);
    EXPECT_EQ(kb.pressOrder()[0], -1);
}

TEST(KeyboardHeldAtStart, ArrowsHeldBeforeConstructionMoveOnlyRightAndDown) {
    headless::ScriptedKeys keys;
    keys.press(Key::Right);
    keys.press(Key::Up);
    KeyboardInput kb(keys);
    kb.poll();
    EXPECT_EQ(kb.pressedX, 0);
    EXPECT_EQ(kb.pressedY, 0);
    EXPECT_EQ(kb.axisX, 1);
    EXPECT_EQ(kb.axisY, 0);
    EXPECT_EQ(kb.lastHeading, -1);
    keys.press(Key::Left);
    keys.release(Key::Right);
    kb.poll();
    EXPECT_EQ(kb.axisX, -1);
}

} // namespace
} // namespace tundrix
