// The title figures' overlays drawn the game's way (centred on the figure plus the offset, truncated)
// at the resting places: eyes land on the eyes, hair joins the portrait, and the title reads.
#include "graphics/sprite_sheet.h"
#include "resources/embedded_resources.h"

#include <gtest/gtest.h>

namespace tundrix {
namespace {

struct Placed {
    int x, y;
};

Placed placed(const Image& frame, float x, float y, int offsetX, int offsetY) {
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
                if (portrait.pixel(px, py) == overlay.pixel(x, y)) ++c.samePixel;
            } else {
                ++c.visibleBeside;
            }
        }
    }
    return c;
}

void expectEyesLandOnFace(const Image& portrait, const Image& eyes, float x, float y, int ox, int oy) {
    const Coverage c = cover(portrait, placed(portrait, x, y, 0, 0), eyes, placed(eyes, x, y, ox, oy));
    ASSERT_GT(c.overlay, 100);
    // Every pixel of the closed eyes lies on the face...
    EXPECT_EQ(c.onPortrait, c.overlay);
    // ...its rim matches the skin beneath, so it blends in, and the eyes themselves change.
    EXPECT_GT(c.samePixel, c.overlay / 3);
    EXPECT_LT(c.samePixel, c.overlay * 9 / 10);
}

TEST(TitleOverlays, ClosedEyesAndWinkLandOnTheirPortraits) {
    EmbeddedResources store;
    SpriteSheet vessa, brum;
    ASSERT_TRUE(vessa.load(store, 263));
    ASSERT_TRUE(brum.load(store, 264));
    expectEyesLandOnFace(*vessa.frame(0), *vessa.frame(1), 243.5f, 192.0f, -19, -37);
    expectEyesLandOnFace(*vessa.frame(0), *vessa.frame(2), 243.5f, 192.0f, -4, -37);
    expectEyesLandOnFace(*brum.frame(0), *brum.frame(1), 98.0f, 175.0f, 11, -48);
}

TEST(TitleOverlays, HairJoinsThePortraitAndShowsBesideIt) {
    EmbeddedResources store;
    SpriteSheet vessa, brum;
    ASSERT_TRUE(vessa.load(store, 263));
    ASSERT_TRUE(brum.load(store, 264));
    const struct {
        const Image& portrait;
        const Image& hair;
        float x, y;
        int ox, oy;
    } cases[] = {{*vessa.frame(0), *vessa.frame(3), 243.5f, 192.0f, 96, 12},
                 {*brum.frame(0), *brum.frame(2), 98.0f, 175.0f, -41, -27}};
    for (const auto& k : cases) {
        const Coverage c = cover(k.portrait, placed(k.portrait, k.x, k.y, 0, 0), k.hair,
                                 placed(k.hair, k.x, k.y, k.ox, k.oy));
        ASSERT_GT(c.overlay, 1000);
        // Part of the hair tucks under the portrait (it is drawn behind it), most of it shows, so the
        // selected figure's blinking hair is plain to see.
        EXPECT_GT(c.onPortrait, 50);
        EXPECT_GT(c.visibleBeside, c.overlay / 2);
    }
}

TEST(TitleOverlays, CaptionAndSidePanelAreSolidPlatesOnTheTitle) {
    EmbeddedResources store;
    SpriteSheet backgrounds, brum;
    ASSERT_TRUE(backgrounds.load(store, 256));
    ASSERT_TRUE(brum.load(store, 264));
    const Image& caption = *brum.frame(4);
    int solid = 0;
    for (int y = 0; y < caption.height(); ++y)
        for (int x = 0; x < caption.width(); ++x)
            solid += opaque(caption, x, y);
    // Only the rounded corners let the title show through.
    EXPECT_GT(solid, caption.pixelCount() * 95 / 100);
    EXPECT_FALSE(backgrounds.frame(4)->hasTransparency());
    // Both figures at rest stay clear of the side panel's strip right of x 390.
    SpriteSheet vessa;
    ASSERT_TRUE(vessa.load(store, 263));
    const Placed v = placed(*vessa.frame(0), 243.5f, 192.0f, 0, 0);
    EXPECT_LE(v.x + vessa.frame(0)->width(), 383);
}

} // namespace
} // namespace tundrix
