// The palette bitmap 139: its layout rules and the two line colours painted straight into the rink.
#include "graphics/bmp_reader.h"
#include "graphics/sprite_sheet.h"
#include "resources/embedded_resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace tundrix {
namespace {

double luminance(Rgb c) {
    return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
}

double distance(Rgb a, Rgb b) {
    const double dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return std::sqrt(dr * dr + dg * dg + db * db);
}

double saturation(Rgb c) {
    const int hi = std::max({c.r, c.g, c.b}), lo = std::min({c.r, c.g, c.b});
    return hi == 0 ? 0.0 : static_cast<double>(hi - lo) / hi;
}

uint8_t commonestInsideIce(const Image& image) {
    std::map<uint8_t, int> counts;
    for (int y = 53; y <= 269; ++y)
        for (int x = 34; x <= 403; ++x)
            ++counts[image.pixel(x, y)];
    return std::max_element(counts.begin(), counts.end(),
                            [](const auto& a, const auto& b) { return a.second < b.second; })
        ->first;
}

TEST(Palette, BitmapCarriesTheGamePaletteByTheRules) {
    EmbeddedResources store;
    BmpInfo bmp;
    ASSERT_TRUE(readBmp(store.find(139), bmp));
    EXPECT_EQ(bmp.width, 15);
    EXPECT_EQ(bmp.height, 25);
    EXPECT_EQ(bmp.bitsPerPixel, 8);
    ASSERT_EQ(bmp.colours.size(), 256u);
    const auto& p = bmp.colours;
    EXPECT_EQ(p[0], (Rgb{255, 255, 255}));
    EXPECT_EQ(p[235], (Rgb{0, 0, 0}));
    EXPECT_EQ(p[236], (Rgb{255, 0, 255}));
    for (int i = 237; i < 256; ++i)
        EXPECT_EQ(p[i], (Rgb{0, 0, 0})) << i;
    for (int i = 1; i < 235; ++i)
        EXPECT_NE(p[i], (Rgb{255, 0, 255})) << i;

    // Roughly light to dark: each third of the art colours is darker on average than the one before.
    double thirds[3] = {};
    for (int i = 1; i <= 234; ++i)
        thirds[(i - 1) / 78] += luminance(p[i]) / 78;
    EXPECT_GT(thirds[0], thirds[1] + 20);
    EXPECT_GT(thirds[1], thirds[2] + 20);
}

TEST(Palette, LineColoursAreStrongAndReadOnTheIceAndOnClaimedIce) {
    EmbeddedResources store;
    BmpInfo bmp;
    ASSERT_TRUE(readBmp(store.find(139), bmp));
    ASSERT_EQ(bmp.colours.size(), 256u);
    SpriteSheet backgrounds;
    ASSERT_TRUE(backgrounds.load(store, 256));
    const Rgb raid = bmp.colours[146], claimedLine = bmp.colours[107];
    const Rgb ice = bmp.colours[commonestInsideIce(*backgrounds.frame(0))];
    const Rgb claimedIce = bmp.colours[commonestInsideIce(*backgrounds.frame(1))];

    EXPECT_GT(saturation(raid), 0.7);
    EXPECT_GT(saturation(claimedLine), 0.7);
    EXPECT_GT(distance(raid, claimedLine), 150);
    for (Rgb ground : {ice, claimedIce}) {
        EXPECT_GT(distance(raid, ground), 150);
        EXPECT_GT(distance(claimedLine, ground), 120);
    }
    // The claimed look is grayed and darker than the plain ice.
    EXPECT_LT(saturation(claimedIce), 0.25);
    EXPECT_LT(luminance(claimedIce), luminance(ice) - 40);
}

} // namespace
} // namespace tundrix
