// The screen surface: palette from bitmap 139, lazy creation, the dirty palette and the 1:1 picture.
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

} // namespace
} // namespace tundrix
