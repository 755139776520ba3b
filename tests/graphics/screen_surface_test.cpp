// The screen surface (palette from bitmap 139, lazy creation, the dirty palette and the 1:1 picture), and
// blitting with clipping and transparency and the pixel operations the rink relies on.
#include "graphics/image.h"
#include "graphics/screen_surface.h"
#include "platform/headless/recording_video.h"
#include "resources/memory_store.h"

#include <gtest/gtest.h>

namespace tundrix {
namespace {

using headless::RecordingVideo;

std::vector<Rgb> artColours() {
    std::vector<Rgb> c(256);
    for (int i = 0; i < 256; ++i)
        c[i] = Rgb{static_cast<uint8_t>(i), static_cast<uint8_t>(i * 3), static_cast<uint8_t>(255 - i)};
    return c;
}

bool showsArtColours(const RecordingVideo& video) {
    const std::vector<Rgb> art = artColours();
    return std::equal(art.begin(), art.end(), video.palette.begin(), video.palette.end());
}

// The palette a fresh surface hands to the video output for the given bitmap 139.
std::array<Rgb, 256> paletteFrom(const std::vector<uint8_t>& bitmap) {
    RecordingVideo video;
    MemoryResourceStore store;
    store.put(PALETTE_BITMAP_ID, bitmap);
    ScreenSurface screen(video, store);
    screen.create();
    EXPECT_EQ(video.paletteCalls, 1);
    return video.palette;
}

// g_paletteDirty is process-wide: every test starts and ends with it clear.
class ScreenSurfaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_paletteDirty = false;
        store.put(PALETTE_BITMAP_ID, headless::makePaletteBitmap(artColours()));
    }
    void TearDown() override { g_paletteDirty = false; }
    RecordingVideo video;
    MemoryResourceStore store;
};

TEST_F(ScreenSurfaceTest, CreatesOnceFromBitmap139AndPresentsTopRowFirstAt1To1) {
    ScreenSurface screen(video, store, 16, 16);
    screen.fillRect(0, 0, 10, 10, 5); // no pixels before create: nothing happens
    EXPECT_EQ(screen.pixel(0, 0), 0);

    screen.create();
    EXPECT_EQ(screen.width(), 440); // the frame buffer is the whole picture, whatever the size asked
    EXPECT_EQ(screen.height(), 300);
    EXPECT_TRUE(showsArtColours(video));
    // A second create changes nothing: same pixels, no second palette.
    uint8_t* pixels = screen.pixels();
    screen.setPixel(1, 1, 77);
    screen.create();
    EXPECT_EQ(screen.pixels(), pixels);
    EXPECT_EQ(screen.pixel(1, 1), 77);
    EXPECT_EQ(video.paletteCalls, 1);

    // Pixel (0, 0) is the top-left of the picture; the last one the bottom-right.
    // clang-format off
    const struct { int x, y; uint8_t index; } corners[] = {{0, 0, 10}, {439, 0, 11}, {0, 299, 12}, {439, 299, 13}};
    // clang-format on
    screen.fillRect(0, 0, 440, 300, 1);
    for (auto c : corners)
        screen.setPixel(c.x, c.y, c.index);
    screen.present();
    ASSERT_EQ(video.presents, 1);
    EXPECT_EQ(video.width, 440);
    EXPECT_EQ(video.height, 300);
    for (auto c : corners)
        EXPECT_EQ(video.index(c.x, c.y), c.index) << c.x << "," << c.y;
    EXPECT_EQ(video.index(1, 1), 1);
    EXPECT_EQ(video.paletteCalls, 1); // an ordinary frame never touches the palette
}

TEST_F(ScreenSurfaceTest, ADirtyPaletteIsAppliedByExactlyTheNextPresent) {
    ScreenSurface screen(video, store);
    // Before create nothing is presented and the flag is left for later.
    g_paletteDirty = true;
    screen.present();
    EXPECT_EQ(video.presents, 0);
    EXPECT_EQ(video.paletteCalls, 0);
    EXPECT_TRUE(g_paletteDirty);
    screen.create();
    EXPECT_TRUE(g_paletteDirty); // the window's request is still to be met by a present

    // Each request (window made, palette regained) is met by the next present and by no later one.
    for (int request = 1; request <= 2; ++request) {
        video.palette.fill(Rgb{});
        g_paletteDirty = true;
        screen.present();
        EXPECT_FALSE(g_paletteDirty) << request;
        EXPECT_TRUE(showsArtColours(video)) << request;
        screen.present();
        EXPECT_EQ(video.paletteCalls, 1 + request) << request;
    }
    EXPECT_EQ(video.presents, 4);
}

TEST_F(ScreenSurfaceTest, AMissingOrDamagedBitmapIsRetriedAndOtherDepthsGetAGrayRamp) {
    MemoryResourceStore empty;
    ScreenSurface screen(video, empty);
    auto tableCutShort = headless::makePaletteBitmap(artColours());
    tableCutShort.resize(40 + 100);
    // Missing, a colour table claiming more than the bytes hold, rows missing.
    for (const auto& bytes :
         {std::vector<uint8_t>{}, tableCutShort, std::vector<uint8_t>{'B', 'M', 1, 2, 3}}) {
        if (!bytes.empty()) empty.put(PALETTE_BITMAP_ID, bytes);
        screen.create();
        screen.present();
    }
    EXPECT_EQ(video.presents, 0);
    EXPECT_EQ(video.paletteCalls, 0);
    // The bitmap turns up: the next create succeeds.
    empty.put(PALETTE_BITMAP_ID, headless::makePaletteBitmap(artColours()));
    screen.create();
    screen.present();
    EXPECT_EQ(video.presents, 1);
    EXPECT_TRUE(showsArtColours(video));

    // A 24-bit bitmap has no colour table to take: a gray ramp from white to black.
    const auto gray = paletteFrom(headless::makePaletteBitmap({}, 24));
    EXPECT_EQ(gray[0], (Rgb{255, 255, 255}));
    EXPECT_EQ(gray[128], (Rgb{127, 127, 127}));
    EXPECT_EQ(gray[255], (Rgb{0, 0, 0}));
    // A short colour table: the entries it lacks are black.
    const auto few = paletteFrom(headless::makePaletteBitmap(std::vector<Rgb>{{1, 2, 3}, {4, 5, 6}}));
    EXPECT_EQ(few[1], (Rgb{4, 5, 6}));
    EXPECT_EQ(few[2], (Rgb{0, 0, 0}));
}

// A w x h source whose pixel (c, r) is 1 + c + 10 r (never 236 unless asked).
std::unique_ptr<Image> numbered(int w, int h) {
    auto img = std::make_unique<Image>(w, h);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            img->setPixel(c, r, static_cast<uint8_t>(1 + c + 10 * r));
    img->scanTransparency();
    return img;
}

// The target's pixels that came from the source, each where the source's own pixel lies.
int copied(const Image& target, const Image& src, int x, int y) {
    int n = 0;
    for (int ty = 0; ty < target.height(); ++ty)
        for (int tx = 0; tx < target.width(); ++tx) {
            if (target.pixel(tx, ty) == 0) continue;
            EXPECT_EQ(target.pixel(tx, ty), src.pixel(tx - x, ty - y)) << tx << "," << ty;
            ++n;
        }
    return n;
}

TEST(Blit, ASourceIsClippedToTheTargetOnEverySide) {
    const auto small = numbered(4, 3), large = numbered(30, 20);
    const struct {
        const Image& src;
        int x, y, drawn;
    } cases[] = {{*small, -4, 0, 0},  {*small, 20, 0, 0}, {*small, 0, -3, 0},    {*small, 0, 10, 0},
                 {*small, -3, 0, 3},  {*small, 19, 0, 3}, {*small, 0, -2, 4},    {*small, 0, 9, 4},
                 {*small, 5, 5, 12},  {*small, 17, 8, 6}, {*large, -7, -4, 200}, {*large, -29, -19, 1},
                 {*large, -30, 0, 0}, {*large, 0, -20, 0}};
    for (const auto& c : cases) {
        Image target(20, 10);
        target.blit(c.src, c.x, c.y);
        EXPECT_EQ(copied(target, c.src, c.x, c.y), c.drawn) << c.x << "," << c.y;
    }
}

TEST(Blit, TransparentPixelsAreSkippedOnlyWhenTheScanHasFoundThem) {
    auto src = numbered(3, 3);
    src->setPixel(1, 1, TRANSPARENT_INDEX);
    Image target(5, 5);
    target.fillRect(0, 0, 5, 5, 77);
    target.blit(*src, 1, 1); // not scanned again yet: 236 is copied like any colour
    EXPECT_EQ(target.pixel(2, 2), TRANSPARENT_INDEX);
    src->scanTransparency();
    target.fillRect(0, 0, 5, 5, 77);
    target.blit(*src, 1, 1);
    EXPECT_EQ(target.pixel(2, 2), 77);
    EXPECT_EQ(target.pixel(1, 1), src->pixel(0, 0));
    EXPECT_EQ(target.pixel(3, 3), src->pixel(2, 2));
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
    RecordingVideo video;
    MemoryResourceStore store;
    store.put(PALETTE_BITMAP_ID, headless::makePaletteBitmap(std::array<Rgb, 256>{}));
    ScreenSurface screen(video, store);
    screen.create();
    screen.fillRect(0, 0, 440, 300, 0);
    g_screen = &screen;
    src->draw(438, 298);
    EXPECT_EQ(screen.pixel(439, 299), src->pixel(1, 1));
    g_screen = nullptr;
}

TEST(PixelOps, AccessOutsideTheImageIsHarmlessAndFillsAreClipped) {
    Image img(4, 3);
    img.fillRect(0, 0, 4, 3, 9);
    for (auto [x, y] : {std::pair{-1, 0}, {4, 0}, {0, 3}, {0, -1}}) {
        EXPECT_EQ(img.pixel(x, y), 0);
        img.setPixel(x, y, 1);
    }
    for (int i : {-1, 12}) {
        EXPECT_EQ(img.pixelAtIndex(i), 0);
        img.setPixelAtIndex(i, 1);
    }
    img.setPixelAtIndex(11, 2);
    img.setPixel(3, 0, 3);
    const uint8_t expected[] = {9, 9, 9, 3, 9, 9, 9, 9, 9, 9, 9, 2};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(img.pixelAtIndex(i), expected[i]) << i;

    // Rectangles overhanging an edge are cut to the image; empty ones or those outside draw nothing.
    const struct {
        int x, y, w, h, drawn;
    } fills[] = {{-3, -2, 5, 4, 4}, {8, 8, 100, 100, 4}, {11, 0, 3, 3, 0}, {0, 0, 0, 3, 0},
                 {-5, 0, 5, 3, 0},  {0, 10, 3, 3, 0},    {2, 3, 1, 1, 1},  {0, 0, 10, -1, 0}};
    for (const auto& f : fills) {
        img.setSize(10, 10);
        img.fillRect(f.x, f.y, f.w, f.h, 5);
        int drawn = 0;
        for (int i = 0; i < img.pixelCount(); ++i)
            drawn += img.pixelAtIndex(i) == 5;
        EXPECT_EQ(drawn, f.drawn) << f.x << "," << f.y << " " << f.w << "x" << f.h;
    }
}

TEST(PixelOps, ImagesHaveTheirSizeAndNegativeSizesAreEmpty) {
    Image def;
    EXPECT_EQ(def.pixelCount(), 16 * 16);
    EXPECT_EQ(def.pixel(15, 15), 0) << "a new image is cleared";
    Image neg(-4, 7);
    EXPECT_EQ(neg.pixelCount(), 0);
    neg.fillRect(0, 0, 5, 5, 1);
    Image target(3, 3);
    target.blit(neg, 0, 0);
    neg.blit(target, 0, 0);
    EXPECT_EQ(neg.pixel(0, 0), 0);
    def.setSize(440, 300);
    EXPECT_EQ(def.pixelCount(), 132000);
    EXPECT_EQ(Image(70000, 70000).pixelCount(), 0) << "more than the index can hold";
}

} // namespace
} // namespace tundrix
