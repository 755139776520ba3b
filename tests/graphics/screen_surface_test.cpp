// The screen surface: palette from bitmap 139, lazy creation, the dirty palette and the 1:1 picture.
#include "graphics/screen_surface.h"
#include "recording_video.h"
#include "resources/embedded_resources.h"
#include "resources/memory_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace tundrix {
namespace {

using test::RecordingVideo;

std::vector<Rgb> artColours() {
    std::vector<Rgb> c(256);
    for (int i = 0; i < 256; ++i)
        c[i] = Rgb{static_cast<uint8_t>(i), static_cast<uint8_t>(i * 3), static_cast<uint8_t>(255 - i)};
    c[236] = Rgb{255, 0, 255};
    return c;
}

// g_paletteDirty is process-wide: every test starts and ends with it clear.
class ScreenSurfaceTest : public ::testing::Test {
  protected:
    void SetUp() override { g_paletteDirty = false; }
    void TearDown() override { g_paletteDirty = false; }
    RecordingVideo video;
    MemoryResourceStore store;
};

TEST_F(ScreenSurfaceTest, CreatesOnceFromBitmap139AndPresentsTopRowFirstAt1To1) {
    store.put(PALETTE_BITMAP_ID, test::makePaletteBitmap(artColours()));
    ScreenSurface screen(video, store, 440, 300);
    EXPECT_FALSE(screen.created());
    EXPECT_EQ(screen.pixels(), nullptr);
    screen.fillRect(0, 0, 10, 10, 5); // no pixels yet: nothing happens
    screen.setPixel(0, 0, 5);
    EXPECT_EQ(screen.pixel(0, 0), 0);

    screen.create();
    ASSERT_TRUE(screen.created());
    EXPECT_EQ(screen.width(), 440);
    EXPECT_EQ(screen.height(), 300);
    EXPECT_EQ(video.paletteCalls, 1);
    EXPECT_EQ(video.palette[0], (Rgb{0, 0, 255}));
    EXPECT_EQ(video.palette[236], (Rgb{255, 0, 255}));
    EXPECT_EQ(video.palette[200], (Rgb{200, static_cast<uint8_t>(600), 55}));

    // A second create changes nothing: same pixels, no second palette.
    uint8_t* pixels = screen.pixels();
    screen.setPixel(1, 1, 77);
    screen.create();
    EXPECT_EQ(screen.pixels(), pixels);
    EXPECT_EQ(screen.pixel(1, 1), 77);
    EXPECT_EQ(video.paletteCalls, 1);

    // Pixel (0, 0) is the top-left of the picture; the last one the bottom-right.
    screen.fillRect(0, 0, 440, 300, 1);
    screen.setPixel(0, 0, 10);
    screen.setPixel(439, 0, 11);
    screen.setPixel(0, 299, 12);
    screen.setPixel(439, 299, 13);
    screen.present();
    ASSERT_EQ(video.presents, 1);
    EXPECT_EQ(video.width, 440);
    EXPECT_EQ(video.height, 300);
    EXPECT_EQ(video.index(0, 0), 10);
    EXPECT_EQ(video.index(439, 0), 11);
    EXPECT_EQ(video.index(0, 299), 12);
    EXPECT_EQ(video.index(439, 299), 13);
    EXPECT_EQ(video.index(1, 1), 1);
    EXPECT_EQ(video.colour(0, 0), (Rgb{10, 30, 245}));
    EXPECT_EQ(video.paletteCalls, 1); // an ordinary frame never touches the palette

    // Sprites drawn through g_screen land in the presented picture.
    Image sprite(2, 2);
    sprite.fillRect(0, 0, 2, 2, 99);
    g_screen = &screen;
    sprite.draw(438, 298);
    g_screen = nullptr;
    screen.present();
    EXPECT_EQ(video.index(439, 299), 99);
}

TEST_F(ScreenSurfaceTest, ADirtyPaletteIsAppliedByExactlyTheNextPresent) {
    store.put(PALETTE_BITMAP_ID, test::makePaletteBitmap(artColours()));
    ScreenSurface screen(video, store);

    // Before create nothing is presented and the flag is left for later.
    g_paletteDirty = true;
    screen.present();
    EXPECT_EQ(video.presents, 0);
    EXPECT_EQ(video.paletteCalls, 0);
    EXPECT_TRUE(g_paletteDirty);

    screen.create();
    EXPECT_EQ(video.paletteCalls, 1);
    EXPECT_TRUE(g_paletteDirty); // the window's request is still to be met by a present
    screen.present();
    EXPECT_EQ(video.paletteCalls, 2);
    EXPECT_FALSE(g_paletteDirty);
    screen.present();
    EXPECT_EQ(video.paletteCalls, 2);

    // The window regains the palette: the next present applies it again, the one after does not.
    video.palette.fill(Rgb{});
    g_paletteDirty = true;
    screen.present();
    EXPECT_EQ(video.paletteCalls, 3);
    EXPECT_EQ(video.palette[236], (Rgb{255, 0, 255}));
    screen.present();
    EXPECT_EQ(video.paletteCalls, 3);
    EXPECT_EQ(video.presents, 4);
}

TEST_F(ScreenSurfaceTest, AMissingOrDamagedBitmapIsRetriedAndOtherDepthsGetAGrayRamp) {
    ScreenSurface screen(video, store);
    screen.create(); // bitmap 139 missing
    EXPECT_FALSE(screen.created());
    screen.present();
    EXPECT_EQ(video.presents, 0);
    EXPECT_EQ(video.paletteCalls, 0);

    // Damaged: the colour table claims more than the bytes hold; cut short: the rows are missing.
    auto damaged = test::makePaletteBitmap(artColours());
    damaged.resize(40 + 100);
    store.put(PALETTE_BITMAP_ID, damaged);
    screen.create();
    EXPECT_FALSE(screen.created());
    store.put(PALETTE_BITMAP_ID, {'B', 'M', 1, 2, 3});
    screen.create();
    EXPECT_FALSE(screen.created());
    EXPECT_EQ(video.paletteCalls, 0);

    // The bitmap turns up: the next create succeeds.
    store.put(PALETTE_BITMAP_ID, test::makePaletteBitmap(artColours()));
    screen.create();
    EXPECT_TRUE(screen.created());
    EXPECT_EQ(video.palette[236], (Rgb{255, 0, 255}));

    // A 24-bit bitmap has no colour table to take: a gray ramp from white to black.
    RecordingVideo video2;
    MemoryResourceStore store2;
    store2.put(PALETTE_BITMAP_ID, test::makePaletteBitmap({}, 24));
    ScreenSurface gray(video2, store2);
    gray.create();
    ASSERT_TRUE(gray.created());
    EXPECT_EQ(video2.palette[0], (Rgb{255, 255, 255}));
    EXPECT_EQ(video2.palette[255], (Rgb{0, 0, 0}));
    EXPECT_EQ(video2.palette[128], (Rgb{127, 127, 127}));

    // A short colour table: the entries it lacks are black.
    RecordingVideo video3;
    MemoryResourceStore store3;
    store3.put(PALETTE_BITMAP_ID, test::makePaletteBitmap(std::vector<Rgb>{{1, 2, 3}, {4, 5, 6}}));
    ScreenSurface few(video3, store3);
    few.create();
    ASSERT_TRUE(few.created());
    EXPECT_EQ(video3.palette[1], (Rgb{4, 5, 6}));
    EXPECT_EQ(video3.palette[2], (Rgb{0, 0, 0}));
}

TEST_F(ScreenSurfaceTest, ThePresentedPictureCanBeSavedAsPng) {
    store.put(PALETTE_BITMAP_ID, test::makePaletteBitmap(artColours()));
    ScreenSurface screen(video, store);
    EXPECT_FALSE(video.writePng("/nonexistent-dir/x.png")); // nothing presented yet
    screen.create();
    for (int y = 0; y < 300; ++y)
        screen.fillRect(0, y, 440, 1, static_cast<uint8_t>(y));
    screen.present();

    const auto png = test::encodePng(video.frame.data(), video.width, video.height, video.palette);
    // Signature, IHDR with 440 x 300 8-bit indexed, a 256-colour PLTE, then the stored rows.
    ASSERT_GT(png.size(), 8u + 25 + 12 + 768 + 300u * 441);
    EXPECT_EQ(png[1], 'P');
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    EXPECT_EQ((png[16] << 24) | (png[17] << 16) | (png[18] << 8) | png[19], 440);
    EXPECT_EQ((png[20] << 24) | (png[21] << 16) | (png[22] << 8) | png[23], 300);
    EXPECT_EQ(png[24], 8);
    EXPECT_EQ(png[25], 3);
    EXPECT_EQ(std::string(png.begin() + 37, png.begin() + 41), "PLTE");
    EXPECT_EQ(png[41 + 236 * 3], 255);
    EXPECT_EQ(png[41 + 236 * 3 + 1], 0);
    EXPECT_EQ(std::string(png.end() - 8, png.end() - 4), "IEND");
    // The IHDR check value is the standard CRC-32 of type and body.
    const uint32_t crc = test::png_detail::crc32(png.data() + 12, 17);
    EXPECT_EQ((uint32_t{png[29]} << 24) | (png[30] << 16) | (png[31] << 8) | png[32], crc);
    EXPECT_EQ(test::png_detail::crc32(reinterpret_cast<const uint8_t*>("123456789"), 9), 0xCBF43926u);

    const auto path =
        std::filesystem::temp_directory_path() / ("tundrix-screen-" + std::to_string(::getpid()) + ".png");
    ASSERT_TRUE(video.writePng(path.string()));
    EXPECT_EQ(std::filesystem::file_size(path), png.size());
    std::filesystem::remove(path);
}

TEST_F(ScreenSurfaceTest, ThePaletteBuiltIntoTheProgramHasTheFixedEntries) {
    EmbeddedResources resources;
    ScreenSurface screen(video, resources);
    screen.create();
    ASSERT_TRUE(screen.created());
    EXPECT_EQ(video.palette[0], (Rgb{255, 255, 255}));
    EXPECT_EQ(video.palette[235], (Rgb{0, 0, 0}));
    EXPECT_EQ(video.palette[236], (Rgb{255, 0, 255}));
    for (int i = 237; i < 256; ++i)
        EXPECT_EQ(video.palette[i], (Rgb{0, 0, 0})) << i;
}

} // namespace
} // namespace tundrix
