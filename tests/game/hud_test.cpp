// The HUD's digit and icon rows: where they stand, what they show, and what they leave alone.
#include "core/game_rules.h"
#include "game/number_display.h"

#include <gtest/gtest.h>

#include <string>

namespace tundrix {
namespace {

// Digits 15 by 25, glyph n filled with colour 10 + n and a transparent top-left corner; an icon of colour
// 200; the screen of colour 1.
struct Hud : ::testing::Test {
    Hud() {
        for (int n = 0; n < 10; ++n) {
            auto glyph = std::make_unique<Image>(15, 25);
            glyph->fillRect(0, 0, 15, 25, static_cast<uint8_t>(10 + n));
            glyph->setPixel(0, 0, TRANSPARENT_INDEX);
            glyph->scanTransparency();
            digits.add(std::move(glyph));
        }
        icon.fillRect(0, 0, 32, 32, 200);
        screen.fillRect(0, 0, 440, 300, 1);
    }
    // Row 45 read left to right, a character for each run of a glyph's or the icon's colour ("i"), and
    // the first and last columns drawn.
    std::string row(int& first, int& last) const {
        std::string s;
        first = last = -1;
        for (int x = 0; x < 440; ++x) {
            const uint8_t v = screen.pixel(x, 45);
            if (v == 1) continue;
            first = first < 0 ? x : first, last = x;
            if (screen.pixel(x - 1, 45) != v) s += v == 200 ? 'i' : static_cast<char>('0' + v - 10);
        }
        return s;
    }

    SpriteSheet digits;
    Image icon{32, 32};
    Image screen{440, 300};
};

TEST_F(Hud, RowsStandAtTheirAnchorPadToTheirMinimumScaleAndClampTheirIcons) {
    const struct {
        bool icons;
        NumberDisplay::Alignment alignment;
        int x, value, minDigits;
        float scale;
        std::string shown;
        int first, last;
    } cases[] = {
        {false, NumberDisplay::EndAt, 430, 584, 0, 0, "584", 370, 424},
        {false, NumberDisplay::EndAt, 111, 5, 2, 0, "05", 71, 105},
        {false, NumberDisplay::EndAt, 111, -1, 2, 0, "00", 71, 105},
        {false, NumberDisplay::EndAt, 169, 806, 0, PERCENT_SCALE, "0", 149, 163},
        {false, NumberDisplay::EndAt, 169, 64481, 0, PERCENT_SCALE, "80", 129, 163},
        {false, NumberDisplay::EndAt, 169, 80601, 0, PERCENT_SCALE, "100", 109, 163},
        {false, NumberDisplay::StartAt, 10, 1234567, 0, 0, "1234567", 10, 144},
        {true, NumberDisplay::StartAt, 210, 3, 0, 0, "iii", 210, 311},
        {true, NumberDisplay::StartAt, 210, 9, 0, 0, "iiiiii", 210, 416},
        {true, NumberDisplay::StartAt, 210, 0, 0, 0, "", -1, -1},
        {true, NumberDisplay::StartAt, 210, -2, 0, 0, "", -1, -1},
        {true, NumberDisplay::EndAt, 210, 2, 0, 0, "ii", 140, 206},
    };
    for (const auto& c : cases) {
        screen.fillRect(0, 0, 440, 300, 1);
        NumberDisplay d = c.icons ? NumberDisplay(&icon, 6, &screen) : NumberDisplay(&digits, &screen);
        if (!c.icons) d.spacing = 5; // icons keep their own three pixels
        d.alignment = c.alignment;
        d.minDigits = c.minDigits;
        d.scale = c.scale;
        d.setPosition(c.x, 40);
        d.set(c.value);
        d.draw();
        int first, last;
        EXPECT_EQ(row(first, last), c.shown) << c.value;
        EXPECT_EQ(first, c.first) << c.value;
        EXPECT_EQ(last, c.last) << c.value;
        if (first < 0) continue;
        EXPECT_EQ(screen.pixel(first, 39), 1) << "drawn from its y down";
        EXPECT_NE(screen.pixel(first, 40 + 24), 1) << c.value;
        EXPECT_EQ(screen.pixel(first, 40), c.icons ? 200 : 1) << "a glyph's transparent corner shows through";
    }
}

TEST_F(Hud, WithoutATargetOrGlyphsNothingIsDrawn) {
    SpriteSheet none;
    NumberDisplay noTarget(&digits, nullptr), noIcon(nullptr, 6, &screen), noGlyphs(&none, &screen);
    for (NumberDisplay* d : {&noTarget, &noIcon, &noGlyphs})
        d->set(5), d->draw();
    int first, last;
    EXPECT_EQ(row(first, last), "");
}

} // namespace
} // namespace tundrix
