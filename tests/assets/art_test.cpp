// The embedded art: each image set's frames, cut-out sprites, the rink and claimed
// look, the palette bitmap 139 with the two line colours painted straight into the rink, and the title
// figures' overlays drawn the game's way (centred on the figure plus the offset, truncated), and the
// window icon.
#include "core/feedback_layout.h"
#include "core/resource_ids.h"
#include "core/screen_layout.h"
#include "graphics/bmp_reader.h"
#include "graphics/sprite_sheet.h"
#include "resources/embedded_resources.h"
#include "resources/window_icon.h"
#include "rink/rink.h"

#include <gtest/gtest.h>
#include <tuple>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace tundrix {
namespace {

using Size = std::pair<int, int>;

struct SetEntry {
    int id;
    std::vector<Size> frames;
    std::set<int> cutOut; // frames with transparent surroundings (figures, heads, overlays, the puck)
};

std::vector<SetEntry> tableOfSets() {
    std::vector<Size> r262(4, {20, 20});
    r262.insert(r262.end(), 20, {32, 32});
    // clang-format off
    return {
        {256, {{440, 300}, {440, 300}, {440, 300}, {440, 300}, {57, 218}}, {1}}, {257, {{32, 32}, {32, 32}}, {0, 1}},
        {260, std::vector<Size>(13, {15, 25}), {}}, {261, std::vector<Size>(4, {32, 32}), {0}}, {262, r262, {0, 4}},
        {263, {{238, 217}, {59, 21}, {29, 21}, {103, 193}}, {0, 1, 3}},
        {264, {{196, 251}, {56, 19}, {91, 146}, {97, 55}, {151, 18}}, {0, 1, 2, 3}},
        {265, std::vector<Size>(5, {148, 118}), {}}, {266, std::vector<Size>(5, {32, 16}), {}},
    };
    // clang-format on
}

bool insideIce(int x, int y) {
    return x > EDGE_LEFT && x < EDGE_RIGHT && y > EDGE_TOP && y < EDGE_BOTTOM;
}

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
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            counts[image.pixel(x, y)] += insideIce(x, y);
    return std::max_element(counts.begin(), counts.end(),
                            [](const auto& a, const auto& b) { return a.second < b.second; })
        ->first;
}

struct Placed {
    int x, y;
};

Placed placed(const Image& frame, float x, float y, int offsetX = 0, int offsetY = 0) {
    return {static_cast<int>(x + static_cast<float>(offsetX) - static_cast<float>(frame.width()) * 0.5f),
            static_cast<int>(y + static_cast<float>(offsetY) - static_cast<float>(frame.height()) * 0.5f)};
}

bool opaque(const Image& image, int x, int y) {
    return x >= 0 && y >= 0 && x < image.width() && y < image.height() &&
           image.pixel(x, y) != TRANSPARENT_INDEX;
}

struct Coverage {
    int overlay = 0;       // opaque overlay pixels
    int onPortrait = 0;    // of those, over an opaque portrait pixel
    int samePixel = 0;     // of those, equal to the portrait's pixel there
    int visibleBeside = 0; // over a transparent portrait pixel (or beyond it)
};

Coverage cover(const Image& portrait, Placed p, const Image& overlay, Placed o) {
    Coverage c;
    for (int y = 0; y < overlay.height(); ++y) {
        for (int x = 0; x < overlay.width(); ++x) {
            if (!opaque(overlay, x, y)) continue;
            ++c.overlay;
            const int px = o.x + x - p.x, py = o.y + y - p.y;
            if (opaque(portrait, px, py)) {
                ++c.onPortrait;
                c.samePixel += portrait.pixel(px, py) == overlay.pixel(x, y);
            } else {
                ++c.visibleBeside;
            }
        }
    }
    return c;
}

class Art : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(backgrounds.load(store, 256));
        ASSERT_TRUE(vessa.load(store, 263));
        ASSERT_TRUE(brum.load(store, 264));
        ASSERT_TRUE(readBmp(store.find(139), palette));
        ASSERT_EQ(palette.colours.size(), 256u);
    }
    EmbeddedResources store;
    SpriteSheet backgrounds, vessa, brum;
    BmpInfo palette;
    const Image& rink() const { return *backgrounds.frame(0); }
    const Image& claimed() const { return *backgrounds.frame(1); }
};

TEST_F(Art, EverySetDecodesToTheTableAndUsesOnlyArtColours) {
    for (const SetEntry& entry : tableOfSets()) {
        SCOPED_TRACE(entry.id);
        SpriteSheet sheet;
        ASSERT_TRUE(sheet.load(store, entry.id));
        ASSERT_EQ(sheet.count(), static_cast<int>(entry.frames.size()));
        for (int i = 0; i < sheet.count(); ++i) {
            const Image& f = *sheet.frame(i);
            EXPECT_EQ(Size(f.width(), f.height()), entry.frames[i]) << "frame " << i;
            if (entry.cutOut.count(i)) {
                EXPECT_EQ((std::tuple{f.hasTransparency(), f.pixel(0, 0) == TRANSPARENT_INDEX}),
                          (std::tuple{true, true}))
                    << "frame " << i;
            } else if (entry.id == 256) {
                EXPECT_FALSE(f.hasTransparency()) << "background " << i;
            }
            // The line colours appear only where the game paints lines; nothing uses the black tail.
            const std::set<int> used(f.pixels(), f.pixels() + f.pixelCount());
            for (int v : used)
                EXPECT_TRUE(v != 107 && v != 146 && v < 237) << "frame " << i << " uses " << v;
        }
    }

    SpriteSheet pictures; // the feedback layer's art holds every picture it names
    EXPECT_TRUE(pictures.load(store, feedback::SET_PICTURES) && pictures.count() == feedback::PICTURES);
    Image banner;
    ASSERT_TRUE(banner.loadRle(store, 246));
    EXPECT_EQ(std::tuple(banner.width(), banner.height(), banner.hasTransparency(), banner.pixel(0, 0)),
              std::tuple(268, 42, true, TRANSPARENT_INDEX));
}

TEST_F(Art, TheBoardsLieExactlyOnTheEdgeAndTheClaimedLookIsTransparentExactlyOutsideTheIce) {
    // The edge colour is on the rink's edge rectangle and nowhere on the ice or just outside it, so the
    // edge reads as the rink's border everywhere.
    const uint8_t edge = rink().pixel(EDGE_LEFT, EDGE_TOP);
    for (int y = 0; y < RINK_HEIGHT; ++y) {
        for (int x = 0; x < RINK_WIDTH; ++x) {
            ASSERT_EQ(claimed().pixel(x, y) == TRANSPARENT_INDEX, !insideIce(x, y)) << x << "," << y;
            const bool onEdge = ((x == EDGE_LEFT || x == EDGE_RIGHT) && y >= EDGE_TOP && y <= EDGE_BOTTOM) ||
                                ((y == EDGE_TOP || y == EDGE_BOTTOM) && x >= EDGE_LEFT && x <= EDGE_RIGHT);
            if (x >= EDGE_LEFT - 1 && x <= EDGE_RIGHT + 1 && y >= EDGE_TOP - 1 && y <= EDGE_BOTTOM + 1) {
                ASSERT_EQ(rink().pixel(x, y) == edge, onEdge) << x << "," << y;
            }
        }
    }
}

TEST_F(Art, PaletteBitmapCarriesTheGamePaletteByTheRulesWithLineColoursThatReadOnIceAndClaimedIce) {
    const auto& p = palette.colours;
    EXPECT_EQ(std::tuple(palette.bitsPerPixel, p[0], p[235], p[236]),
              std::tuple(8, Rgb{255, 255, 255}, Rgb{0, 0, 0}, Rgb{255, 0, 255}));
    for (int i = 237; i < 256; ++i)
        EXPECT_EQ(p[i], (Rgb{0, 0, 0})) << i;
    for (int i = 1; i < 235; ++i)
        EXPECT_NE(p[i], (Rgb{255, 0, 255})) << i;

    // The line colours are strong and read on the ice and on claimed ice.
    const Rgb raid = palette.colours[146], claimedLine = palette.colours[107];
    const Rgb ice = palette.colours[commonestInsideIce(rink())];
    const Rgb claimedIce = palette.colours[commonestInsideIce(claimed())];
    EXPECT_GT(std::min(saturation(raid), saturation(claimedLine)), 0.7);
    EXPECT_GT(distance(raid, claimedLine), 150);
    for (Rgb ground : {ice, claimedIce}) {
        EXPECT_GT(distance(raid, ground), 150);
        EXPECT_GT(distance(claimedLine, ground), 120);
    }
    // The claimed look is grayed and darker than the plain ice.
    EXPECT_LT(saturation(claimedIce), 0.25);
    EXPECT_LT(luminance(claimedIce), luminance(ice) - 40);
}

TEST_F(Art, EyesLandOnTheFaceHairJoinsThePortraitAndTheCaptionIsASolidPlate) {
    // clang-format off
    const struct { const char* name; const SpriteSheet& figure; int overlay; float x, y; int ox, oy;
                   bool eyes; } cases[] = {
        {"Vessa closed eyes", vessa, 1, 243.5f, 192.0f, layout::VESSA_EYES.x, layout::VESSA_EYES.y, true},
        {"Vessa wink", vessa, 2, 243.5f, 192.0f, layout::VESSA_WINK.x, layout::VESSA_WINK.y, true},
        {"Brum closed eyes", brum, 1, 98.0f, 175.0f, layout::BRUM_EYES.x, layout::BRUM_EYES.y, true},
        {"Vessa hair", vessa, 3, 243.5f, 192.0f, layout::VESSA_HAIR.x, layout::VESSA_HAIR.y, false},
        {"Brum hair", brum, 2, 98.0f, 175.0f, layout::BRUM_HAIR.x, layout::BRUM_HAIR.y, false}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        const Image& portrait = *k.figure.frame(0);
        const Image& overlay = *k.figure.frame(k.overlay);
        const Coverage c =
            cover(portrait, placed(portrait, k.x, k.y), overlay, placed(overlay, k.x, k.y, k.ox, k.oy));
        if (k.eyes) {
            // Every pixel of the closed eyes lies on the face; the rim matches the skin beneath, so it
            // blends in, and the eyes themselves change.
            ASSERT_GT(c.overlay, 100);
            EXPECT_EQ(c.onPortrait, c.overlay);
            EXPECT_GT(c.samePixel, c.overlay / 3);
            EXPECT_LT(c.samePixel, c.overlay * 9 / 10);
        } else {
            // Part of the hair tucks under the portrait (it is drawn behind it), most of it shows, so
            // the selected figure's blinking hair is plain to see.
            ASSERT_GT(c.overlay, 1000);
            EXPECT_GT(c.onPortrait, 50);
            EXPECT_GT(c.visibleBeside, c.overlay / 2);
        }
    }

    // The caption is a solid plate, and Vessa stays clear of the side panel.
    const Image& caption = *brum.frame(4);
    int solid = 0;
    for (int y = 0; y < caption.height(); ++y)
        for (int x = 0; x < caption.width(); ++x)
            solid += opaque(caption, x, y);
    // Only the rounded corners let the title show through.
    EXPECT_GT(solid, caption.pixelCount() * 95 / 100);
    // At rest the figure stays clear of the side panel's strip.
    EXPECT_LE(placed(*vessa.frame(0), 243.5f, 192.0f).x + vessa.frame(0)->width(), layout::PANEL_X);
}

TEST_F(Art, WindowIconIsVessasChanceHeadInFullColourOnAClearBackground) {
    const std::span<const uint8_t> icon = store.find(WINDOW_ICON_ID);
    constexpr int N = WINDOW_ICON_SIZE;
    ASSERT_EQ(icon.size(), static_cast<size_t>(N) * N * 4);
    const auto rgba = [&](int x, int y) { return icon.subspan((static_cast<size_t>(y) * N + x) * 4, 4); };
    // A round badge: clear corners, an opaque middle.
    for (int c : {0, N - 1})
        EXPECT_EQ(rgba(c, 0)[3] + rgba(c, N - 1)[3], 0) << c;
    EXPECT_EQ(rgba(N / 2, N / 2)[3], 255);
    // The same face as the chance icon: inside their rings their mean colours agree, R, G, B in that
    // order (a swapped byte order turns her golden hair and skin blue).
    SpriteSheet heads;
    ASSERT_TRUE(heads.load(store, SET_CHANCE_ICONS));
    const Image& head = *heads.frame(CHANCE_ICON_VESSA);
    // The mean colour inside 0.7 of a round picture's radius, its channels in the given order.
    const auto mean = [](int size, const auto& colourAt, std::array<int, 3> order) {
        double sum[3] = {};
        int n = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const double r = size / 2.0, dx = x + 0.5 - r, dy = y + 0.5 - r;
                if (dx * dx + dy * dy >= 0.49 * r * r) continue;
                const Rgb c = colourAt(x, y);
                sum[0] += c.r, sum[1] += c.g, sum[2] += c.b, ++n;
            }
        return Rgb{uint8_t(sum[order[0]] / n), uint8_t(sum[order[1]] / n), uint8_t(sum[order[2]] / n)};
    };
    // clang-format on
    const auto headColour = [&](int x, int y) { return palette.colours[head.pixel(x, y)]; };
    const auto iconColour = [&](int x, int y) { return Rgb{rgba(x, y)[0], rgba(x, y)[1], rgba(x, y)[2]}; };
    const Rgb headMean = mean(head.width(), headColour, {0, 1, 2});
    const double same = distance(headMean, mean(N, iconColour, {0, 1, 2}));
    const double swapped = distance(headMean, mean(N, iconColour, {2, 1, 0}));
    EXPECT_EQ(rgba(N / 2 - 5, N / 2 + 5)[3], 255);
    EXPECT_LT(same, 40.0);
    EXPECT_GT(swapped, 3 * same);
}

} // namespace
} // namespace tundrix
