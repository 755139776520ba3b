// The title mascots: entrance, sounds, blinks and winks, and the selection blink of the hair.
#include "actors/title_figure.h"

#include "play_rig.h"

#include <gtest/gtest.h>

namespace tundrix {
namespace {

using test::fillSheet;
using test::RecordingSound;

// A seed whose first two draws are a multiple of 100 and then (not) a multiple of 10.
uint32_t seedFor(bool wink) {
    for (uint32_t s = 1;; ++s) {
        Random r;
        r.seed(s);
        if (r.next() % 100 != 0) continue;
        if ((r.next() % 10 == 0) == wink) return s;
    }
}

// Portrait 238 by 217 (colour 1), eyes closed (2), wink (3), hair wider than the portrait (4).
void rightSheet(SpriteSheet& sheet) {
    fillSheet(sheet, 1, 238, 217, 1);
    fillSheet(sheet, 1, 10, 6, 2);
    fillSheet(sheet, 1, 10, 6, 3);
    fillSheet(sheet, 1, 300, 20, 4);
}

TEST(TitleFigure, RightFigureSkatesInFromTheRightAndStartsTheTune) {
    SpriteSheet sheet;
    rightSheet(sheet);
    Random random;
    RecordingSound sound, tune;
    RightTitleFigure f(sheet, random, sound, tune);
    EXPECT_EQ(sound.pan, 10000);
    EXPECT_EQ(f.age, 0);
    float lastX = 0;
    for (int i = 0; i < 60; ++i) {
        const int age = f.age;
        f.update();
        f.check();
        if (age < 33) {
            EXPECT_FLOAT_EQ(f.x(), 586) << age;
            EXPECT_EQ(sound.plays, 0);
        }
        if (age == 33) {
            EXPECT_FLOAT_EQ(f.x(), 586 - 63.5f);
            EXPECT_EQ(sound.plays, 1);
            EXPECT_EQ(tune.starts, 1);
        }
        if (age == 34) {
            EXPECT_FLOAT_EQ(lastX - f.x(), 57);
        }
        lastX = f.x();
    }
    EXPECT_FLOAT_EQ(f.x(), 243.5f);
    EXPECT_FLOAT_EQ(f.y(), 192);
    EXPECT_FLOAT_EQ(f.speed, 0);
    EXPECT_EQ(f.age, 60);
    EXPECT_EQ(sound.plays, 1);
    EXPECT_EQ(tune.starts, 1);
}

TEST(TitleFigure, LeftFigureSkatesInFromTheLeft) {
    SpriteSheet sheet;
    fillSheet(sheet, 3, 20, 20, 1);
    Random random;
    RecordingSound sound;
    LeftTitleFigure f(sheet, random, sound);
    EXPECT_EQ(sound.pan, -10000);
    for (int i = 0; i < 20; ++i) {
        f.update();
        f.check();
    }
    EXPECT_FLOAT_EQ(f.x(), -232);
    EXPECT_EQ(sound.plays, 0);
    f.update(); // age 20: first step of 55
    EXPECT_FLOAT_EQ(f.x(), -177);
    f.check();
    EXPECT_EQ(sound.plays, 1);
    for (int i = 0; i < 30; ++i) {
        f.update();
        f.check();
    }
    EXPECT_FLOAT_EQ(f.x(), 98);
    EXPECT_FLOAT_EQ(f.y(), 175);
    EXPECT_EQ(sound.plays, 1);
}

TEST(TitleFigure, RightFigureWinksForSixDrawnFramesAndBlinksForTwo) {
    for (bool wink : {true, false}) {
        SpriteSheet sheet;
        rightSheet(sheet);
        Random random;
        RecordingSound sound, tune;
        RightTitleFigure f(sheet, random, sound, tune);
        Image target(440, 300);
        f.setTarget(&target);
        f.setPosition(243.5f, 192);
        f.age = 100;
        random.seed(seedFor(wink));
        int shown = 0;
        for (int frame = 0; frame < 8; ++frame) {
            f.check();
            target.fillRect(0, 0, 440, 300, 0);
            f.drawFigure(false);
            // Eyes at offset (-19, -37), the wink at (-4, -37), both centred there.
            const uint8_t eyes = target.pixel(243 - 19, 192 - 37), winkEye = target.pixel(243 - 4, 192 - 37);
            if (wink && winkEye == 3) ++shown;
            if (!wink && eyes == 2) ++shown;
            if (frame < (wink ? 6 : 2)) {
                EXPECT_TRUE(f.blinkHold > 0) << frame;
            }
        }
        EXPECT_EQ(shown, wink ? 6 : 2);
        EXPECT_EQ(f.blinkKind, wink ? 1 : 0);
    }
}

TEST(TitleFigure, SelectedFigureLeavesOutItsHairOnThreeOfElevenFrames) {
    SpriteSheet sheet;
    rightSheet(sheet);
    Random random;
    RecordingSound sound, tune;
    RightTitleFigure f(sheet, random, sound, tune);
    Image target(440, 300);
    f.setTarget(&target);
    f.setPosition(200, 150);
    // The hair sticks out right of the portrait: x 200 + 96 + 100 is hair only.
    auto hairShown = [&](bool selected) {
        target.fillRect(0, 0, 440, 300, 0);
        f.drawFigure(selected);
        return target.pixel(396, 162) == 4;
    };
    int hidden = 0;
    for (int i = 0; i < 22; ++i)
        hidden += !hairShown(true);
    EXPECT_EQ(hidden, 6);
    // Deselecting resets the blink at once: the hair is drawn steadily.
    for (int i = 0; i < 9; ++i)
        hairShown(true);
    EXPECT_EQ(f.selectBlink, 9);
    for (int i = 0; i < 11; ++i)
        EXPECT_TRUE(hairShown(false));
    EXPECT_EQ(f.selectBlink, 0);
    // The portrait lies over the hair.
    EXPECT_EQ(target.pixel(296, 162), 1);
}

TEST(TitleFigure, LeftFigureBlinksAndDrawsItsPartsAtTheirOffsets) {
    SpriteSheet sheet;
    fillSheet(sheet, 1, 196, 251, 1);
    fillSheet(sheet, 1, 8, 4, 2);
    fillSheet(sheet, 1, 40, 200, 3);
    Random random;
    RecordingSound sound;
    LeftTitleFigure f(sheet, random, sound);
    Image target(440, 300);
    f.setTarget(&target);
    f.setPosition(98, 175);
    f.age = 100;
    random.seed(seedFor(false));
    f.check();
    EXPECT_EQ(f.blinkHold, 2);
    f.drawFigure(true);
    EXPECT_EQ(target.pixel(98 + 11, 175 - 48), 2);
    // The hair, centred at (57, 148), shows one row above the portrait's top (row 49).
    EXPECT_EQ(target.pixel(57, 48), 3);
    EXPECT_EQ(target.pixel(57, 49), 1);
    EXPECT_EQ(target.pixel(98, 175), 1);
    EXPECT_FLOAT_EQ(f.x(), 98); // the offsets are undone
    f.check();
    f.check();
    target.fillRect(0, 0, 440, 300, 0);
    f.drawFigure(true);
    EXPECT_EQ(target.pixel(98 + 11, 175 - 48), 1);
}

} // namespace
} // namespace tundrix
