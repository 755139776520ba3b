// Guarded counters and the HUD's digit and icon rows.
#include "core/game_rules.h"
#include "game/number_display.h"

#include <gtest/gtest.h>

#include <utility>

namespace tundrix {
namespace {

TEST(GuardedCounter, ReadsBackWhatWasStoredAndAValueChangedBehindItsBackRaisesTheFlag) {
    tamperFlag = false;
    GuardedCounter score, other;
    EXPECT_EQ(score.get(), 0);
    score.set(-17);
    score.add(20);
    EXPECT_EQ(score.get(), 3);
    score.add(INT32_MAX); // wraps like the machine word, never undefined
    EXPECT_EQ(score.get(), static_cast<int32_t>(3u + static_cast<uint32_t>(INT32_MAX)));
    EXPECT_FALSE(tamperFlag);

    score.set(120);
    score.storage() = 99999;       // what a memory editor would do
    EXPECT_EQ(score.get(), 99999); // the value read is used unchanged
    EXPECT_TRUE(tamperFlag);
    tamperFlag = false;
    other.set(120);
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

// Right-aligned rows end at their anchor less the gap; minimum digits pad, a scale truncates.
TEST_F(DisplayTest, RightAlignedRowsEndAtTheirAnchorPadAndScale) {
    NumberDisplay score(&digits, &screen), seconds(&digits, &screen), claimed(&digits, &screen);
    for (NumberDisplay* d : {&score, &seconds, &claimed})
        d->alignment = NumberDisplay::EndAt, d->spacing = 5;
    score.setPosition(430, 12);
    score.set(584);
    score.draw();
    EXPECT_EQ(row(12), "584");
    EXPECT_EQ(firstX(12), 430 - 60);
    EXPECT_EQ(lastX(12), 430 - 5 - 1);
    EXPECT_EQ(screen.pixel(370, 12), 1); // the transparent corner kept the background

    seconds.setPosition(111, 50);
    seconds.minDigits = 2;
    for (auto [value, shown] : {std::pair{5, "05"}, {59, "59"}, {-1, "00"}}) {
        screen.fillRect(0, 0, 440, 300, 1);
        seconds.set(value);
        seconds.draw();
        EXPECT_EQ(row(50), shown) << value;
    }

    claimed.setPosition(169, 100);
    claimed.scale = PERCENT_SCALE;
    for (auto [cells, shown] : {std::pair{806, "0"}, {807, "1"}, {64481, "80"}, {80601, "100"}}) {
        screen.fillRect(0, 0, 440, 300, 1);
        claimed.set(cells);
        claimed.draw();
        EXPECT_EQ(row(100), shown) << cells;
    }
}

TEST_F(DisplayTest, CentredAndLeftAlignedRowsAndIconsBetweenZeroAndTheMaximum) {
    NumberDisplay n(&digits, &screen), odd(&digits, &screen);
    n.setPosition(200, 100);
    n.alignment = NumberDisplay::Centred;
    n.set(12345);
    n.draw();
    EXPECT_EQ(row(100), "12345");
    EXPECT_EQ(firstX(100), 200 - 75 / 2);
    odd.setPosition(10, 200);
    odd.alignment = 7; // unknown alignments start at x
    odd.set(7);
    odd.draw();
    EXPECT_EQ(firstX(200), 10);

    NumberDisplay chances(&icon, 6, &screen);
    chances.setPosition(210, 8);
    const auto icons = [&] {
        int count = 0;
        for (int x = 0; x < 440; ++x)
            count += screen.pixel(x, 20) == 200 && screen.pixel(x - 1, 20) != 200;
        return count;
    };
    for (auto [value, shown] : {std::pair{3, 3}, {0, 0}, {9, 6}, {-2, 0}}) {
        screen.fillRect(0, 0, 440, 300, 1);
        chances.set(value);
        chances.draw();
        EXPECT_EQ(icons(), shown) << value;
    }
    chances.set(2);
    chances.draw();
    EXPECT_EQ(screen.pixel(210 + 35, 8), 200); // width 32 + spacing 3
    EXPECT_EQ(screen.pixel(242, 8), 1);

    // Without a target or glyphs nothing is drawn.
    screen.fillRect(0, 0, 440, 300, 1);
    NumberDisplay noTarget(&digits, nullptr);
    noTarget.set(5);
    noTarget.draw();
    SpriteSheet empty;
    NumberDisplay noGlyphs(&empty, &screen);
    noGlyphs.set(5);
    noGlyphs.draw();
    EXPECT_EQ(firstX(12), -1);
}

} // namespace
} // namespace tundrix
