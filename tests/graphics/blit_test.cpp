// Blitting with clipping and transparency, and the pixel operations the rink relies on.
#include "graphics/image.h"
#include "graphics/screen_surface.h"
#include "platform/headless/recording_video.h"
#include "resources/memory_store.h"

#include <gtest/gtest.h>

namespace tundrix {
namespace {

// A w x h source whose pixel (c, r) is 1 + c + 10 r (never 236 unless asked).
std::unique_ptr<Image> numbered(int w, int h) {
    auto img = std::make_unique<Image>(w, h);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            img->setPixel(c, r, static_cast<uint8_t>(1 + c + 10 * r));
    img->scanTransparency();
    return img;
}

int countNot(const Image& img, uint8_t background) {
    int n = 0;
    for (int i = 0; i < img.pixelCount(); ++i)
        n += img.pixelAtIndex(i) != background;
    return n;
}

TEST(Blit, SourcesJustOutsideTheTargetDrawNothingAndOnePixelInDrawsOneColumnOrRow) {
    auto src = numbered(4, 3);
    Image target(20, 10);
    struct Case {
        int x, y, drawn;
    } cases[] = {{-4, 0, 0}, {20, 0, 0}, {0, -3, 0}, {0, 10, 0},
                 {-3, 0, 3}, {19, 0, 3}, {0, -2, 4}, {0, 9, 4}};
    for (const Case& k : cases) {
        target.fillRect(0, 0, 20, 10, 0);
        target.blit(*src, k.x, k.y);
        EXPECT_EQ(countNot(target, 0), k.drawn) << k.x << "," << k.y;
    }
    target.fillRect(0, 0, 20, 10, 0);
    target.blit(*src, -3, 0);
    EXPECT_EQ(target.pixel(0, 0), src->pixel(3, 0)); // its last column
    target.fillRect(0, 0, 20, 10, 0);
    target.blit(*src, 19, 0);
    EXPECT_EQ(target.pixel(19, 2), src->pixel(0, 2)); // its first column
}

TEST(Blit, ASourceLargerThanTheTargetFillsItFromTheOverlap) {
    auto src = numbered(30, 20);
    Image target(10, 5);
    target.blit(*src, -7, -4);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(target.pixel(x, y), src->pixel(x + 7, y + 4));
}

TEST(Blit, TransparentPixelsAreSkippedOnlyWhenTheImageKnowsItHasThemAndTheScanMissesNone) {
    auto src = numbered(3, 3);
    src->setPixel(1, 1, TRANSPARENT_INDEX);
    Image target(5, 5);
    target.fillRect(0, 0, 5, 5, 77);
    target.blit(*src, 1, 1); // flag not rescanned yet: 236 is copied like any colour
    EXPECT_EQ(target.pixel(2, 2), TRANSPARENT_INDEX);
    src->scanTransparency();
    EXPECT_TRUE(src->hasTransparency());
    target.fillRect(0, 0, 5, 5, 77);
    target.blit(*src, 1, 1);
    EXPECT_EQ(target.pixel(2, 2), 77);
    EXPECT_EQ(target.pixel(1, 1), src->pixel(0, 0));

    // The scan sees a transparent pixel even when it is the very last one.
    Image img(7, 5);
    img.fillRect(0, 0, 7, 5, 3);
    img.scanTransparency();
    EXPECT_FALSE(img.hasTransparency());
    img.setPixelAtIndex(34, TRANSPARENT_INDEX);
    img.scanTransparency();
    EXPECT_TRUE(img.hasTransparency());
}

TEST(Blit, DrawGoesToTheScreenSurfaceWhenThereIsOne) {
    auto src = numbered(2, 2);
    g_screen = nullptr;
    src->draw(0, 0); // no surface: nothing happens
    headless::RecordingVideo video;
    MemoryResourceStore store;
    std::array<Rgb, 256> colours{};
    store.put(PALETTE_BITMAP_ID, headless::makePaletteBitmap(colours));
    ScreenSurface screen(video, store);
    screen.create();
    ASSERT_TRUE(screen.created());
    screen.fillRect(0, 0, 440, 300, 0);
    g_screen = &screen;
    src->draw(438, 298);
    EXPECT_EQ(screen.pixel(439, 299), src->pixel(1, 1));
    g_screen = nullptr;
}

TEST(PixelOps, ReadsOutsideGiveZeroAndWritesAndFillsOutsideAreIgnored) {
    Image img(4, 3);
    img.fillRect(0, 0, 4, 3, 9);
    EXPECT_EQ(img.pixel(-1, 0), 0);
    EXPECT_EQ(img.pixel(4, 0), 0);
    EXPECT_EQ(img.pixel(0, 3), 0);
    EXPECT_EQ(img.pixelAtIndex(12), 0);
    EXPECT_EQ(img.pixelAtIndex(-1), 0);
    img.setPixel(4, 0, 1);
    img.setPixel(-1, 2, 1);
    img.setPixelAtIndex(12, 1);
    img.setPixelAtIndex(-5, 1);
    EXPECT_EQ(countNot(img, 9), 0);
    img.setPixelAtIndex(11, 1);
    EXPECT_EQ(img.pixel(3, 2), 1);

    // fillRect clips overhangs and ignores empty rectangles.
    img.setSize(10, 10);
    img.fillRect(0, 0, 10, 10, 0);
    img.fillRect(-3, -2, 5, 4, 5); // leaves a 2 x 2 block at the origin
    EXPECT_EQ(countNot(img, 0), 4);
    EXPECT_EQ(img.pixel(1, 1), 5);
    EXPECT_EQ(img.fillColour(), 5);
    img.fillRect(8, 8, 100, 100, 6);
    EXPECT_EQ(countNot(img, 0), 8);
    img.fillRect(10, 0, 3, 3, 7);
    img.fillRect(0, 0, 0, 3, 7);
    img.fillRect(-5, 0, 5, 3, 7);
    EXPECT_EQ(countNot(img, 0), 8);
}

TEST(PixelOps, ImagesHaveTheirSizeAndNegativeSizesAreEmpty) {
    Image def;
    EXPECT_EQ(def.width(), 16);
    EXPECT_EQ(def.height(), 16);
    EXPECT_EQ(def.pixelCount(), 256);
    Image neg(-4, 7);
    EXPECT_EQ(neg.pixelCount(), 0);
    neg.fillRect(0, 0, 5, 5, 1);
    Image target(3, 3);
    target.blit(neg, 0, 0);
    neg.blit(target, 0, 0);
    def.setSize(440, 300);
    EXPECT_EQ(def.pixelCount(), 132000);
}

} // namespace
} // namespace tundrix
