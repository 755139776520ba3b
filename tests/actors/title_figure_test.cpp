// The title mascots: entrance, sounds, blinks and winks, and the selection blink of the hair.
#include "actors/title_figure.h"

#include "play_rig.h"

#include <gtest/gtest.h>

#include <vector>

namespace tundrix {
namespace {

using test::fillSheet;

// A seed whose first two draws are a multiple of 100 and then (not) a multiple of 10.
uint32_t seedFor(bool wink) {
    for (uint32_t s = 1;; ++s) {
        Random r;
        r.seed(s);
        if (r.next() % 100 == 0 && (r.next() % 10 == 0) == wink) return s;
    }
}

// Right figure: portrait 238 by 217 (colour 1), eyes closed (2), wink (3), hair wider than the portrait
// (4). Left figure: portrait 196 by 251 (1), eyes closed (2), hair (3).
SpriteSheet& rightSheet(SpriteSheet& sheet) {
    fillSheet(sheet, 1, 238, 217, 1);
    fillSheet(sheet, 2, 10, 6, 2);
    return fillSheet(sheet, 1, 300, 20, 4);
}
SpriteSheet& leftSheet(SpriteSheet& sheet) {
    fillSheet(sheet, 1, 196, 251, 1);
    fillSheet(sheet, 1, 8, 4, 2);
    return fillSheet(sheet, 1, 40, 200, 3);
}

struct TitleRig {
    TitleRig() { right.setTarget(&target), left.setTarget(&target); }
    void clear() { target.fillRect(0, 0, 440, 300, 0); }

    SpriteSheet sheets[2];
    Random random;
    test::RecordingSound rightSound, tune, leftSound;
    Image target{440, 300};
    RightTitleFigure right{rightSheet(sheets[0]), random, rightSound, tune};
    LeftTitleFigure left{leftSheet(sheets[1]), random, leftSound};
};

TEST(TitleFigure, BothFiguresSkateInAndSoundOnceOnTheirOwnSide) {
    TitleRig rig;
    // Each check that finds no blink running draws exactly one number from the shared sequence
    // (a started blink or wink draws a second).
    Random reference;
    int draws = 0;
    EXPECT_EQ(rig.rightSound.pan, 10000);
    EXPECT_EQ(rig.leftSound.pan, -10000);
    std::vector<float> right, left;
    for (int age = 0; age < 60; ++age) {
        const bool rightIdle = rig.right.blinkHold == 0, leftIdle = rig.left.blinkHold == 0;
        rig.right.update(), rig.right.check(), rig.left.update();
        left.push_back(rig.left.x());
        rig.left.check();
        right.push_back(rig.right.x());
        draws += rightIdle ? 1 + (rig.right.blinkHold > 0) : 0;
        draws += leftIdle ? 1 : 0;
        // The right figure sounds and starts the title tune at age 33, the left one at 20.
        EXPECT_EQ(rig.rightSound.plays, age < 33 ? 0 : 1) << age;
        EXPECT_EQ(rig.tune.starts, age < 33 ? 0 : 1) << age;
        EXPECT_EQ(rig.leftSound.plays, age < 20 ? 0 : 1) << age;
    }
    // Still until then, first steps of 63.5 and 57 from the right and of 55 from the left, then in place.
    EXPECT_EQ(std::vector<float>(right.begin(), right.begin() + 33), std::vector<float>(33, 586));
    EXPECT_FLOAT_EQ(right[33], 586 - 63.5f);
    EXPECT_FLOAT_EQ(right[33] - right[34], 57);
    EXPECT_EQ(std::vector<float>(left.begin(), left.begin() + 20), std::vector<float>(20, -232));
    EXPECT_FLOAT_EQ(left[20], -177);
    EXPECT_EQ(test::XY(rig.right.x(), rig.right.y()), test::XY(243.5f, 192));
    EXPECT_EQ(test::XY(rig.left.x(), rig.left.y()), test::XY(98, 175));
    EXPECT_FLOAT_EQ(rig.right.speed, 0);
    EXPECT_EQ(rig.right.age, 60);
    for (int i = 0; i < draws; ++i)
        reference.next();
    EXPECT_EQ(rig.random.state(), reference.state());
}

TEST(TitleFigure, RightFigureWinksForSixDrawnFramesAndBlinksForTwo) {
    for (bool wink : {true, false}) {
        TitleRig rig;
        RightTitleFigure& f = rig.right;
        f.setPosition(243.5f, 192);
        f.age = 100;
        rig.random.seed(seedFor(wink));
        int shown = 0;
        for (int frame = 0; frame < 8; ++frame) {
            f.check();
            rig.clear();
            f.drawFigure(false);
            // Eyes and wink are centred at their offsets from the figure.
            const layout::Offset at = wink ? layout::VESSA_WINK : layout::VESSA_EYES;
            shown += rig.target.pixel(243 + at.x, 192 + at.y) == (wink ? 3 : 2);
            EXPECT_GT(frame < (wink ? 6 : 2) ? f.blinkHold : 1, 0) << frame;
        }
        EXPECT_EQ(shown, wink ? 6 : 2);
        EXPECT_EQ(f.blinkKind, wink ? 1 : 0);
    }
}

TEST(TitleFigure, SelectedFigureLeavesOutItsHairOnThreeOfElevenFrames) {
    TitleRig rig;
    rig.right.setPosition(200, 150);
    // The hair sticks out right of the portrait: x 200 + 96 + 100 is hair only.
    auto hairShown = [&](bool selected) {
        rig.clear();
        rig.right.drawFigure(selected);
        return rig.target.pixel(396, 162) == 4;
    };
    int hidden = 0;
    for (int i = 0; i < 22; ++i)
        hidden += !hairShown(true);
    EXPECT_EQ(hidden, 6);
    // Deselecting resets the blink at once: the hair is drawn steadily.
    for (int i = 0; i < 9; ++i)
        hairShown(true);
    for (int i = 0; i < 11; ++i)
        EXPECT_TRUE(hairShown(false)) << i;
    EXPECT_EQ(rig.target.pixel(296, 162), 1); // the portrait lies over the hair
}

TEST(TitleFigure, LeftFigureBlinksAndDrawsItsPartsAtTheirOffsets) {
    TitleRig rig;
    LeftTitleFigure& f = rig.left;
    f.setPosition(98, 175);
    f.age = 100;
    rig.random.seed(seedFor(false));
    f.check();
    EXPECT_EQ(f.blinkHold, 2);
    f.drawFigure(true);
    EXPECT_EQ(rig.target.pixel(98 + 11, 175 - 48), 2);
    // The hair, centred at (57, 148), shows one row above the portrait's top (row 49).
    EXPECT_EQ(rig.target.pixel(57, 48), 3);
    EXPECT_EQ(rig.target.pixel(57, 49), 1);
    EXPECT_EQ(rig.target.pixel(98, 175), 1);
    EXPECT_FLOAT_EQ(f.x(), 98); // the offsets are undone
    f.check();
    f.check();
    rig.clear();
    f.drawFigure(true);
    EXPECT_EQ(rig.target.pixel(98 + 11, 175 - 48), 1);
}

} // namespace
} // namespace tundrix
