// The figures on the ice at their real size: the referee's stripes and whistle in every heading, and the
// five teams' kits told apart from one another.
#include "graphics/bmp_reader.h"
#include "graphics/sprite_sheet.h"
#include "resources/embedded_resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace tundrix {
namespace {

constexpr int FIGURES = 262;
constexpr int TEAMS = 5;

class Figures : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(sheet.load(store, FIGURES));
        ASSERT_EQ(sheet.count(), 4 + 4 * TEAMS);
        ASSERT_TRUE(readBmp(store.find(139), palette));
        ASSERT_EQ(palette.colours.size(), 256u);
    }
    double lightness(const Image& f, int x, int y) const {
        const Rgb c = palette.colours[f.pixel(x, y)];
        return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
    }
    bool art(const Image& f, int x, int y) const { return f.pixel(x, y) != TRANSPARENT_INDEX; }

    EmbeddedResources store;
    SpriteSheet sheet;
    BmpInfo palette;
};

TEST_F(Figures, TheRefereesStripesAndWhistleReadInEveryHeading) {
    for (int heading = 0; heading < 4; ++heading) {
        SCOPED_TRACE(heading);
        const Image& f = *sheet.frame(heading);
        // Somewhere straight across his shirt, crisp black and white take turns: at least two black
        // stripes between white, with no grey between them.
        int mostTurns = 0;
        for (int across = 0; across < 2; ++across) {
            for (int line = 0; line < 20; ++line) {
                int turns = 0, last = 0; // -1 dark, +1 light
                for (int i = 0; i < 20; ++i) {
                    const int x = across ? i : line, y = across ? line : i;
                    if (!art(f, x, y)) continue;
                    const double l = lightness(f, x, y);
                    const int now = l < 50 ? -1 : l > 200 ? 1 : 0;
                    if (now != 0 && last != 0 && now != last) ++turns;
                    if (now != 0) last = now;
                }
                mostTurns = std::max(mostTurns, turns);
            }
        }
        EXPECT_GE(mostTurns, 6);
        // The whistle: something light held out ahead of him, where his shirt never reaches.
        int whistle = 0;
        for (int i = 0; i < 20; ++i) {
            for (int depth = 16; depth < 20; ++depth) {
                // The facing's front edge: right, bottom, left, top.
                const int x = heading == 0 ? depth : heading == 2 ? 19 - depth : i;
                const int y = heading == 1 ? depth : heading == 3 ? 19 - depth : i;
                whistle += art(f, x, y) && lightness(f, x, y) > 200;
            }
        }
        EXPECT_GE(whistle, 2);
    }
}

TEST_F(Figures, EveryTeamsKitLooksUnlikeEveryOtherAtAGlance) {
    // A glance takes in blocks, not pixels: each figure seen as 4 by 4 blocks of 8 by 8 pixels, each
    // block the average colour of the figure in it (blocks it barely covers left out). Two kits look
    // alike when their blocks' colours lie close.
    constexpr int BLOCKS = 4, SIDE = 8;
    using Look = std::array<std::array<double, 4>, BLOCKS * BLOCKS>; // r, g, b, covered
    const auto lookOf = [&](const Image& f) {
        Look look{};
        for (int y = 0; y < BLOCKS * SIDE; ++y) {
            for (int x = 0; x < BLOCKS * SIDE; ++x) {
                if (!art(f, x, y)) continue;
                const Rgb c = palette.colours[f.pixel(x, y)];
                auto& block = look[(y / SIDE) * BLOCKS + x / SIDE];
                block[0] += c.r, block[1] += c.g, block[2] += c.b, block[3] += 1;
            }
        }
        return look;
    };
    const auto apart = [](const Look& a, const Look& b) {
        double sum = 0;
        int n = 0;
        for (size_t k = 0; k < a.size(); ++k) {
            if (a[k][3] < SIDE * SIDE / 3 || b[k][3] < SIDE * SIDE / 3) continue;
            double d2 = 0;
            for (int c = 0; c < 3; ++c)
                d2 += std::pow(a[k][c] / a[k][3] - b[k][c] / b[k][3], 2);
            sum += d2, ++n;
        }
        return std::sqrt(sum / std::max(n, 1));
    };
    for (int heading = 0; heading < 4; ++heading) {
        for (int a = 0; a < TEAMS; ++a) {
            for (int b = a + 1; b < TEAMS; ++b) {
                EXPECT_GT(apart(lookOf(*sheet.frame(4 + 4 * a + heading)),
                                lookOf(*sheet.frame(4 + 4 * b + heading))),
                          35)
                    << "teams " << a << " and " << b << ", heading " << heading;
            }
        }
    }
}

} // namespace
} // namespace tundrix
