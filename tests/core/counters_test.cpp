// Guarded counters and the HUD's digit and icon rows.
#include "core/number_display.h"

#include <gtest/gtest.h>

#include <vector>

namespace tundrix {
namespace {

TEST(GuardedCounter, ReadsBackWhatWasStoredWithoutRaisingTheFlag) {
    tamperFlag = false;
    GuardedCounter c;
    EXPECT_EQ(c.get(), 0);
    c.set(-17);
    EXPECT_EQ(c.get(), -17);
    c.add(20);
    EXPECT_EQ(c.get(), 3);
    c.add(INT32_MAX); // wraps like the machine word, never undefined
    EXPECT_EQ(c.get(), static_cast<int32_t>(3u + static_cast<uint32_t>(INT32_MAX)));
    EXPECT_FALSE(tamperFlag);
}

TEST(GuardedCounter, AValueChangedBehindItsBackRaisesTheFlagOnTheNextRead) {
    tamperFlag = false;
    GuardedCounter score, other;
    score.set(120);
    other.set(120);
    score.storage() = 99999; // what a memory editor would do
    EXPECT_FALSE(tamperFlag);
    EXPECT_EQ(score.get(), 99999); // the value read is used unchanged
    EXPECT_TRUE(tamperFlag);

    tamperFlag = false;
    other.storage() = 121;
    other.add(1);
    EXPECT_TRUE(tamperFlag);

    // set() stores afresh and never raises the flag by itself.
    tamperFlag = false;
    score.set(5);
    EXPECT_EQ(score.get(), 5);
    EXPECT_FALSE(tamperFlag);
}

// A digit set of 13 glyphs, 15 x 25, glyph n filled with colour 10 + n and a transparent corner.
class DisplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int n = 0; n < 13; ++n) {
            auto glyph = std::make_unique<Image>(15, 25);
            glyph->fillRect(0, 0, 15, 25, static_cast<uint8_t>(10 + n));
            glyph->setPixel(0, 0, TRANSPARENT_INDEX);
            glyph->scanTransparency();
            digits.add(std::move(glyph));
        }
        icon.fillRect(0, 0, 32, 32, 200);
        icon.scanTransparency();
        screen.fillRect(0, 0, 440, 300, 1);
    }

    // The digits drawn along row y + 5, read left to right as a string; '.' for background.
    std::string row(int y) {
        std::string s;
        int x = 0;
        while (x < 440) {
            uint8_t v = screen.pixel(x, y + 5);
            if (v >= 10 && v <= 22) {
                s += static_cast<char>('0' + v - 10);
                x += 15;
            } else {
                ++x;
            }
        }
        return s;
    }
    int firstX(int y) {
        for (int x = 0; x < 440; ++x)
            if (screen.pixel(x, y + 5) != 1) return x;
        return -1;
    }
    int lastX(int y) {
        for (int x = 439; x >= 0; --x)
            if (screen.pixel(x, y + 5) != 1) return x;
        return -1;
    }

    SpriteSheet digits;
    Image icon{32, 32};
    Image screen{440, 300};
};

TEST_F(DisplayTest, RightAlignedNumbersEndAtTheirAnchorIncludingTheGap) {
    NumberDisplay score(&digits, &screen);
    score.setPosition(430, 12);
    score.alignment = NumberDisplay::EndAt;
    score.spacing = 5;
    score.set(584);
    score.draw();
    EXPECT_EQ(row(12), "584");
    EXPECT_EQ(firstX(12), 430 - 60);
    EXPECT_EQ(lastX(12), 430 - 5 - 1);
    EXPECT_EQ(screen.pixel(370, 12), 1); // the transparent corner kept the background
}

TEST_F(DisplayTest, TheClockPadsSecondsAndEndsMinutesAtX55) {
    NumberDisplay minutes(&digits, &screen), seconds(&digits, &screen);
    minutes.setPosition(61, 12);
    seconds.setPosition(111, 12);
    for (NumberDisplay* d : {&minutes, &seconds})
        d->alignment = NumberDisplay::EndAt, d->spacing = 5;
    seconds.minDigits = 2;
    minutes.set(9);
    seconds.set(5);
    minutes.draw();
    seconds.draw();
    EXPECT_EQ(row(12), "905");
    EXPECT_EQ(firstX(12), 41);
    EXPECT_EQ(screen.pixel(55, 17), 19);
    EXPECT_EQ(screen.pixel(56, 17), 1);
    EXPECT_EQ(screen.pixel(71, 17), 10);
    EXPECT_EQ(screen.pixel(105, 17), 15);

    screen.fillRect(0, 0, 440, 300, 1);
    seconds.set(59);
    minutes.set(-1); // the clock ran past zero
    minutes.draw();
    seconds.draw();
    EXPECT_EQ(row(12), "059");
}

TEST_F(DisplayTest, ThePercentageIsTheClaimedCountScaledAndTruncated) {
    NumberDisplay claimed(&digits, &screen);
    claimed.setPosition(169, 12);
    claimed.alignment = NumberDisplay::EndAt;
    claimed.spacing = 5;
    claimed.scale = 1.0f / 806.0f;
    const std::pair<int32_t, const char*> cases[] = {{0, "0"},      {806, "0"},    {807, "1"},
                                                     {64480, "79"}, {64481, "80"}, {80290, "99"},
                                                     {80600, "99"}, {80601, "100"}};
    for (auto [cells, shown] : cases) {
        screen.fillRect(0, 0, 440, 300, 1);
        claimed.set(cells);
        claimed.draw();
        EXPECT_EQ(row(12), shown) << cells;
    }
}

TEST_F(DisplayTest, CentredAndLeftAlignedRows) {
    NumberDisplay n(&digits, &screen);
    n.setPosition(200, 100);
    n.alignment = NumberDisplay::Centred;
    n.set(12345);
    n.draw();
    EXPECT_EQ(row(100), "12345");
    EXPECT_EQ(firstX(100), 200 - 75 / 2);

    NumberDisplay odd(&digits, &screen);
    odd.setPosition(10, 200);
    odd.alignment = 7; // unknown alignments start at x
    odd.set(7);
    odd.draw();
    EXPECT_EQ(firstX(200), 10);
}

TEST_F(DisplayTest, IconsAreLimitedToZeroAndTheMaximum) {
    NumberDisplay chances(&icon, 6, &screen);
    chances.setPosition(210, 8);
    auto icons = [&] {
        int n = 0;
        for (int x = 0; x < 440; ++x)
            if (screen.pixel(x, 20) == 200 && screen.pixel(x - 1, 20) != 200) ++n;
        return n;
    };
    chances.set(3);
    chances.draw();
    EXPECT_EQ(icons(), 3);
    EXPECT_EQ(screen.pixel(210, 8), 200);
    EXPECT_EQ(screen.pixel(210 + 35, 8), 200); // width 32 + spacing 3
    EXPECT_EQ(screen.pixel(242, 8), 1);

    screen.fillRect(0, 0, 440, 300, 1);
    chances.set(0);
    chances.draw();
    EXPECT_EQ(icons(), 0);

    chances.set(9);
    chances.draw();
    EXPECT_EQ(icons(), 6);
    chances.set(-2);
    screen.fillRect(0, 0, 440, 300, 1);
    chances.draw();
    EXPECT_EQ(icons(), 0);
}

TEST_F(DisplayTest, ADisplayWithoutTargetOrGlyphsDrawsNothing) {
    NumberDisplay noTarget(&digits, nullptr);
    noTarget.set(5);
    noTarget.draw();
    SpriteSheet empty;
    NumberDisplay noGlyphs(&empty, &screen);
    noGlyphs.set(5);
    noGlyphs.draw();
    EXPECT_EQ(firstX(0), -1);
    EXPECT_EQ(lastX(12), -1);
}

} // namespace
} // namespace tundrix
