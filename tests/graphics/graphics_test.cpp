// Graphics: the image-set format (decoding, damaged data, loading frames and sheets, the encoder's round
// trip), sprite sheets' frame selection, the bitmap reader behind the palette and the bitmap fallback, the
// screen surface (palette from bitmap 139, lazy creation, the dirty palette and the 1:1 picture), and
// blitting with clipping and transparency and the pixel operations the rink relies on.
#include "core/random.h"
#include "graphics/bmp_reader.h"
#include "graphics/image.h"
#include "graphics/image_set_writer.h"
#include "graphics/rle_decoder.h"
#include "graphics/screen_surface.h"
#include "graphics/sprite_sheet.h"
#include "platform/headless/recording_video.h"
#include "resources/memory_store.h"

#include <gtest/gtest.h>
#include <tuple>

#include <filesystem>
#include <fstream>

namespace tundrix {
namespace {

using Bytes = std::vector<uint8_t>;
using headless::RecordingVideo;

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}
Bytes header(uint16_t w, uint16_t h) {
    return concat(
        {{'k', 'v', 'b', '/', 'r', 'l', 'e', 0}, {uint8_t(w >> 8), uint8_t(w), uint8_t(h >> 8), uint8_t(h)}});
}
Bytes setOf(std::initializer_list<Bytes> frames) {
    Bytes out = {0, static_cast<uint8_t>(frames.size())};
    for (const Bytes& f : frames)
        out.insert(out.end(), f.begin(), f.end());
    return out;
}
Bytes pixelsOf(const Image& img) {
    return Bytes(img.pixels(), img.pixels() + img.pixelCount());
}

// The worked example: a 4 x 2 frame whose run of five crosses into the second row.
const Bytes EXAMPLE = concat({header(4, 2), {0x00, 0x07, 0x00, 0xEC, 0x05, 0x09, 0x0A}});

TEST(RleDecoder, DecodesRunsAndLiteralsAndReportsDamageWithoutReadingOrWritingPastTheData) {
    // clang-format off
    const struct { Bytes stream; int pixels, consumed; Bytes decoded; } cases[] = {
        {Bytes(EXAMPLE.begin() + 12, EXAMPLE.end()), 8, 7, {7, 0xEC, 0xEC, 0xEC, 0xEC, 0xEC, 9, 10}},
        // escape 0xFF; an empty run; a run ending on the last pixel; the bytes after it are not read
        {{0xFF, 0xFF, 0x01, 0x00, 0x02, 0xFF, 0x05, 0x03, 0x99, 0x99}, 4, 8, {2, 5, 5, 5}},
        {{0xFF, 0x01}, 0, 1, {}}, {{0xFF, 0x01}, -3, 1, {}}, {{}, 1, RleDecoder::DAMAGED, {}},
        {{0x00, 0x07, 0x08}, 5, RleDecoder::DAMAGED, {}},        // ends early
        {{0x00, 0x07, 0x00, 0x09}, 5, RleDecoder::DAMAGED, {}},  // a run cut short
        {{0x00, 0x00, 0x07, 0xFF}, 10, RleDecoder::DAMAGED, {}}, // a run past the last pixel
        {{0x00, 0x01}, INT32_MAX, RleDecoder::DAMAGED, {}}, // far more than the data could hold
    };
    // clang-format on
    for (const auto& c : cases) {
        RleDecoder d;
        EXPECT_EQ(d.decode(c.stream, c.pixels), c.consumed) << c.stream.size() << " bytes";
        if (c.consumed != RleDecoder::DAMAGED) {
            EXPECT_EQ(Bytes(d.pixels().begin(), d.pixels().end()), c.decoded) << c.stream.size() << " bytes";
        }
    }
}

TEST(ImageSet, SheetsLoadEveryFrameAndADamagedOneAsADefaultImageWithNothingReadPastTheEnd) {
    Bytes big = {0x00}; // 440 by 300 pixels of 0x37 in runs of 255
    for (int i = 0; i < 132000 / 255; ++i)
        big.insert(big.end(), {0x00, 0x37, 0xFF});
    big.insert(big.end(), {0x00, 0x37, static_cast<uint8_t>(132000 % 255)});
    Bytes bad = EXAMPLE;
    bad[3] = 'X';
    Bytes announced = setOf({EXAMPLE, EXAMPLE});
    announced[0] = 0x01; // 258 frames announced, 2 present
    MemoryResourceStore store;
    store.put(256, setOf({concat({header(0, 5), {0x42}}), concat({header(440, 300), big}), EXAMPLE}));
    store.put(257, setOf({EXAMPLE, bad, EXAMPLE}));
    store.put(258, announced);
    store.put(259, Bytes{0, 0});
    // clang-format off
    const struct { int id; std::vector<std::pair<int, int>> sizes; } cases[] = {
        {256, {{0, 5}, {440, 300}, {4, 2}}}, {257, {{4, 2}, {16, 16}, {16, 16}}}, {258, {{4, 2}, {4, 2}}}};
    // clang-format on
    SpriteSheet sheets[3], &sheet = sheets[0];
    for (int k = 0; k < 3; ++k) {
        const auto& c = cases[k];
        ASSERT_TRUE(sheets[k].load(store, c.id));
        ASSERT_EQ(sheets[k].count(), c.id == 258 ? 258 : 3);
        for (size_t i = 0; i < c.sizes.size(); ++i)
            EXPECT_EQ(std::pair(sheets[k].frame(i)->width(), sheets[k].frame(i)->height()), c.sizes[i])
                << c.id << " " << i;
        EXPECT_EQ(sheets[k].current(), sheets[k].frame(sheets[k].count() - 1)) << "the last frame is current";
    }
    EXPECT_EQ(std::tuple(sheet.frame(1)->pixel(439, 299), pixelsOf(*sheet.frame(2)),
                         sheet.frame(2)->hasTransparency()),
              std::tuple(0x37, Bytes{7, 0xEC, 0xEC, 0xEC, 0xEC, 0xEC, 9, 10}, true));
    // An empty set appends nothing; a missing one fails and leaves the sheet as it was.
    Image* before = sheet.current();
    EXPECT_EQ((std::tuple{sheet.load(store, 259), sheet.load(store, 999), sheet.count(), sheet.current()}),
              (std::tuple{true, false, 3, before}));
}

TEST(ImageSet, AFrameThatIsCutShortOrDamagedLeavesTheImageAsItWas) {
    MemoryResourceStore store;
    Bytes bad = EXAMPLE, badFirst = EXAMPLE; // the magic wrong inside and at its first letter
    bad[3] = 'X';
    badFirst[0] = 'X';
    // Five zero bytes are too short for the magic; past it they would read as an empty frame.
    std::vector<Bytes> broken = {bad, badFirst, Bytes(5, 0),
                                 concat({header(65535, 65535), {0x00, 0x00, 0x01, 0xFF}})};
    for (size_t cut = 1; cut < EXAMPLE.size(); ++cut)
        broken.push_back(Bytes(EXAMPLE.begin(), EXAMPLE.begin() + static_cast<long>(cut)));
    for (const Bytes& bytes : broken) {
        store.put(246, bytes);
        Image img(3, 3);
        EXPECT_FALSE(img.loadRle(store, 246)) << bytes.size();
        EXPECT_EQ(img.width(), 3);
    }
    // A name that is no resource is tried as a file, and a numeric text names the resource.
    const auto dir = std::filesystem::temp_directory_path() / ("tundrix-set-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "banner.rle").string(), empty = (dir / "empty").string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(EXAMPLE.data()), EXAMPLE.size());
    std::ofstream(empty).close();
    store.put(5, EXAMPLE);
    for (auto [name, loads] : {std::pair{path, true},
                               {std::string("5"), true},
                               {empty, false},
                               {(dir / "missing").string(), false},
                               {std::string("-5"), false}}) {
        Image img;
        EXPECT_EQ(img.loadRle(store, name), loads) << name;
        EXPECT_EQ(img.width(), loads ? 4 : 16) << name;
    }
    std::filesystem::resize_file(path, (std::uintmax_t{1} << 30) + 1); // more than a resource could be
    EXPECT_FALSE(Image().loadRle(store, path));
    std::filesystem::remove_all(dir);
}

TEST(ImageSetWriter, FollowsTheConventionsAndEveryImageReadsBackTheSame) {
    // 0,0,0 (three: literals), 5 x 300 (runs of 255 and 45), 9; values 0, 5, 9 are used so the escape is 1.
    Bytes px = {0, 0, 0};
    px.insert(px.end(), 300, 5);
    px.push_back(9);
    EXPECT_EQ(encodeFrame(px, 304, 1),
              concat({header(304, 1), {0x01, 0, 0, 0, 0x01, 5, 255, 0x01, 5, 45, 9}}));
    EXPECT_EQ(encodeFrame(px, 305, 1), // a pixel short: the frame ends in 0
              concat({header(305, 1), {0x01, 0, 0, 0, 0x01, 5, 255, 0x01, 5, 45, 9, 0}}));
    Random rng;
    rng.seed(2024);
    std::vector<std::unique_ptr<Image>> images;
    for (int t = 0; t < 300; ++t) {
        auto& img = images.emplace_back(std::make_unique<Image>(rng.next() % 70, rng.next() % 40));
        // Long runs, short repeats and noise; sometimes every byte value, so no free escape exists.
        const int palette = t % 7 == 0 ? 256 : 2 + rng.next() % 40;
        for (int i = 0, runs = 0; i < img->pixelCount(); ++runs) {
            const uint8_t v = static_cast<uint8_t>(t % 7 == 0 ? runs % 256 : rng.next() % palette);
            for (int k = rng.next() % 4 == 0 && runs >= 256 ? 1 + rng.next() % 600 : 1 + rng.next() % 3;
                 k > 0; --k)
                if (i < img->pixelCount()) img->setPixelAtIndex(i++, v);
        }
        img->scanTransparency();
    }
    std::vector<const Image*> frames;
    for (const auto& img : images)
        frames.push_back(img.get());
    MemoryResourceStore store;
    store.put(264, encodeImageSet(frames));
    SpriteSheet sheet;
    ASSERT_TRUE(sheet.load(store, 264));
    ASSERT_EQ(sheet.count(), 300);
    const auto seen = [](const Image& i) {
        return std::tuple(i.width(), i.height(), pixelsOf(i), i.hasTransparency());
    };
    for (int t = 0; t < 300; ++t)
        ASSERT_EQ(seen(*sheet.frame(t)), seen(*images[t])) << t;
}

TEST(SpriteSheet, SelectTakesTheIndexAs16BitAndIgnoresIndicesOutsideTheSheet) {
    SpriteSheet sheet;
    sheet.select(0);
    EXPECT_EQ(sheet.current(), nullptr);
    sheet.drawCurrent(0, 0); // empty: nothing happens
    for (int i = 0; i < 3; ++i)
        sheet.add(std::make_unique<Image>(i + 1, 1));
    EXPECT_EQ(sheet.current(), sheet.frame(2));
    for (auto [index, current] : {std::pair{1, 1}, {-1, 1}, {3, 1}, {70000, 1}, {65536, 0}, {65538, 2}}) {
        sheet.select(index);
        EXPECT_EQ(sheet.current(), sheet.frame(current)) << index;
    }
    EXPECT_EQ((std::tuple{sheet.frame(3) == nullptr, sheet.frame(-1) == nullptr}), (std::tuple{true, true}));
    sheet.clear(), sheet.clear(); // twice does no harm
    EXPECT_EQ((std::tuple{sheet.count() == 0, sheet.current() == nullptr}), (std::tuple{true, true}));
    sheet.add(std::make_unique<Image>(5, 5));
    EXPECT_EQ(sheet.current()->width(), 5);
}

// An 8-bit bottom-up bitmap of 3 x 2 with a 4-entry colour table.
std::vector<uint8_t> tinyBmp(int32_t height = 2) {
    std::vector<uint8_t> b{'B', 'M'};
    const auto put = [&](std::initializer_list<uint32_t> values, int bytes) {
        for (uint32_t v : values)
            for (int i = 0; i < bytes; ++i)
                b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    // File size, reserved, pixels' offset; header size, width, height; 1 plane of 8 bits; uncompressed, no
    // sizes or resolutions, 4 colours used. Then the table (blue, green, red, 0) and the rows, bottom row
    // first, each padded to 4.
    put({14 + 40 + 16 + 8, 0, 14 + 40 + 16, 40, 3, static_cast<uint32_t>(height)}, 4);
    put({1, 8}, 2);
    put({0, 0, 0, 0, 4, 0}, 4);
    put({255, 255, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 255, 0, 1, 2, 3, 0, 4, 5, 6, 0}, 1);
    return b;
}

TEST(Bitmap, ReadsTheColourTableTurnsRowsTopDownAndFillsAnImageThroughTheFallback) {
    BmpInfo info;
    ASSERT_TRUE(readBmp(tinyBmp(), info));
    EXPECT_EQ(std::pair(info.width, info.height), std::pair(3, 2));
    // Stored blue, green, red.
    EXPECT_EQ(info.colours, (std::vector<Rgb>{{255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {255, 0, 255}}));
    EXPECT_EQ(info.indices, (std::vector<uint8_t>{4, 5, 6, 1, 2, 3}));
    BmpInfo topDown;
    ASSERT_TRUE(readBmp(tinyBmp(-2), topDown));
    EXPECT_EQ(topDown.indices, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
    const std::vector<uint8_t> file = tinyBmp(),
                               bare(file.begin() + 14, file.end()); // as a resource holds it
    ASSERT_TRUE(readBmp(bare, topDown));
    EXPECT_EQ(topDown.indices, info.indices);

    // An image loaded or built from an 8-bit bitmap takes its pixels; a missing one gives the default image.
    MemoryResourceStore store;
    store.put(139, tinyBmp());
    Image img, byName(store, 139), missing(store, 7);
    ASSERT_TRUE(img.loadImage(store, 139));
    EXPECT_EQ(std::pair(img.width(), pixelsOf(img)), std::pair(3, info.indices));
    EXPECT_EQ(std::pair(byName.width(), pixelsOf(byName)), std::pair(3, info.indices));
    EXPECT_EQ(missing.width(), 16);
}

TEST(Bitmap, DamagedBitmapsAreRefusedWhateverIsCut) {
    std::vector<uint8_t> good = tinyBmp();
    BmpInfo info;
    for (size_t cut = 0; cut < good.size(); ++cut) {
        std::vector<uint8_t> part(good.begin(), good.begin() + static_cast<long>(cut));
        EXPECT_FALSE(readBmp(part, info) && !info.indices.empty()) << cut;
    }
    // An info header a byte short of the 40 we read (old-style ones are 12), zero width, a width of 2^24 + 3,
    // zero height, and pixels "after" the end.
    for (auto [at, value, n] : {std::tuple{14, 39, 1}, {18, 0, 1}, {21, 1, 1}, {22, 0, 1}, {10, 0xFF, 3}}) {
        std::vector<uint8_t> bad = good;
        std::fill_n(bad.begin() + at, n, static_cast<uint8_t>(value));
        EXPECT_FALSE(readBmp(bad, info)) << at;
    }
    // Compressed and 16384 wide, the widest it takes: its header and colours, but no pixels.
    good[30] = 1, good[18] = 0x00, good[19] = 0x40;
    EXPECT_TRUE(readBmp(good, info) && info.width == 16384 && info.colours.size() == 4 &&
                info.indices.empty());
    good[46] = 1, good[47] = 1, good.resize(54 + 257 * 4); // 257 colours said: the table holds 256 at most
    EXPECT_TRUE(readBmp(good, info) && info.colours.size() == 256);
    good.resize(54), good[28] = 24; // a 24-bit header that ends the data: nothing more to read
    EXPECT_TRUE(readBmp(good, info) && info.colours.empty());
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
    // The frame buffer is the whole picture, whatever the size asked.
    EXPECT_EQ(std::tuple(screen.width(), screen.height(), showsArtColours(video)),
              std::tuple(440, 300, true));
    // A second create changes nothing: same pixels, no second palette.
    uint8_t* pixels = screen.pixels();
    screen.setPixel(1, 1, 77);
    screen.create();
    EXPECT_EQ(std::tuple(screen.pixels(), screen.pixel(1, 1), video.paletteCalls), std::tuple(pixels, 77, 1));

    // Pixel (0, 0) is the top-left of the picture; the last one the bottom-right.
    // clang-format off
    const struct { int x, y; uint8_t index; } corners[] = {
        {0, 0, 10}, {439, 0, 11}, {0, 299, 12}, {439, 299, 13}};
    // clang-format on
    screen.fillRect(0, 0, 440, 300, 1);
    for (auto c : corners)
        screen.setPixel(c.x, c.y, c.index);
    screen.present();
    ASSERT_EQ(video.presents, 1);
    EXPECT_EQ(std::pair(video.width, video.height), std::pair(440, 300));
    for (auto c : corners)
        EXPECT_EQ(video.index(c.x, c.y), c.index) << c.x << "," << c.y;
    EXPECT_EQ(video.index(1, 1), 1);
    EXPECT_EQ(video.paletteCalls, 1); // an ordinary frame never touches the palette

    // An image draws itself on the screen surface when there is one, and nowhere when there is none.
    const auto src = numbered(2, 2);
    g_screen = nullptr;
    src->draw(0, 0);
    g_screen = &screen;
    src->draw(438, 298);
    g_screen = nullptr;
    EXPECT_EQ(screen.pixel(439, 299), src->pixel(1, 1));
}

TEST_F(ScreenSurfaceTest, ADirtyPaletteIsAppliedByExactlyTheNextPresent) {
    ScreenSurface screen(video, store);
    // Before create nothing is presented and the flag is left for later.
    g_paletteDirty = true;
    screen.present();
    EXPECT_EQ(std::tuple(video.presents, video.paletteCalls, g_paletteDirty), std::tuple(0, 0, true));
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
    EXPECT_EQ(std::pair(video.presents, video.paletteCalls), std::pair(0, 0));
    // The bitmap turns up: the next create succeeds.
    empty.put(PALETTE_BITMAP_ID, headless::makePaletteBitmap(artColours()));
    screen.create();
    screen.present();
    EXPECT_EQ(std::pair(video.presents, showsArtColours(video)), std::pair(1, true));

    // A 24-bit bitmap has no colour table to take: a gray ramp from white to black.
    const auto gray = paletteFrom(headless::makePaletteBitmap({}, 24));
    EXPECT_EQ(std::tuple(gray[0], gray[128], gray[255]),
              std::tuple(Rgb{255, 255, 255}, Rgb{127, 127, 127}, Rgb{}));
    // A short colour table: the entries it lacks are black.
    const auto few = paletteFrom(headless::makePaletteBitmap(std::vector<Rgb>{{1, 2, 3}, {4, 5, 6}}));
    EXPECT_EQ(std::tuple(few[1], few[2]), std::tuple(Rgb{4, 5, 6}, Rgb{0, 0, 0}));
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
    // clang-format off
    const struct { const Image& src; int x, y, drawn; } cases[] = {
        {*small, -4, 0, 0}, {*small, 20, 0, 0}, {*small, 0, -3, 0}, {*small, 0, 10, 0}, {*small, -3, 0, 3},
        {*small, 19, 0, 3}, {*small, 0, -2, 4}, {*small, 0, 9, 4}, {*small, 5, 5, 12}, {*small, 17, 8, 6},
        {*large, -7, -4, 200}, {*large, -29, -19, 1}, {*large, -30, 0, 0}, {*large, 0, -20, 0}};
    // clang-format on
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
    EXPECT_EQ(std::tuple(target.pixel(2, 2), target.pixel(1, 1), target.pixel(3, 3)),
              std::tuple(77, src->pixel(0, 0), src->pixel(2, 2)));
    // The scan sees a transparent pixel even when it is the very last one.
    Image img(7, 5);
    img.fillRect(0, 0, 7, 5, 3);
    img.scanTransparency();
    EXPECT_FALSE(img.hasTransparency());
    img.setPixelAtIndex(34, TRANSPARENT_INDEX);
    img.scanTransparency();
    EXPECT_TRUE(img.hasTransparency());
}

TEST(PixelOps, AccessOutsideTheImageIsHarmlessFillsAreClippedAndBadSizesAreEmpty) {
    std::vector<uint8_t> room(28, 5); // rows more than the image: not its pixels
    struct : Image {
        void borrow(uint8_t* pixels) { adoptPixels(pixels, 4, 3); }
        void giveBack() { releasePixels(); }
    } img;
    img.borrow(room.data());
    img.fillRect(0, 0, 4, 3, 9), img.fillRect(1, 2, 2, 5, 9); // the second overhangs the bottom
    for (auto [x, y] : {std::pair{-1, 0}, {4, 0}, {0, 3}, {0, -1}}) {
        EXPECT_EQ(img.pixel(x, y), 0);
        img.setPixel(x, y, 1);
    }
    for (int i : {-1, 12}) {
        EXPECT_EQ(img.pixelAtIndex(i), 0);
        img.setPixelAtIndex(i, 1);
    }
    img.setPixelAtIndex(11, 2), img.setPixelAtIndex(0, 2); // the last and the first
    img.setPixel(3, 0, 3);
    std::vector<uint8_t> image{2, 9, 9, 3, 9, 9, 9, 9, 9, 9, 9, 2};
    image.resize(room.size(), 5);
    EXPECT_EQ(room, image) << "the rows after untouched";
    img.borrow(nullptr); // borrowing nothing, or giving back, leaves no pixels
    EXPECT_EQ(img.pixelCount(), 0);
    img.giveBack();
    EXPECT_EQ(std::tuple(img.pixelCount(), img.pixel(0, 0)), std::tuple(0, 0));

    // Rectangles overhanging an edge are cut to the image; empty ones or those outside draw nothing.
    // clang-format off
    const struct { int x, y, w, h, drawn; } fills[] = {{-3, -2, 5, 4, 4}, {8, 8, 100, 100, 4}, {11, 0, 3, 3, 0},
        {0, 0, -1, 3, 0}, {-5, 0, 5, 3, 0}, {0, 10, 3, 3, 0}, {2, 3, 1, 1, 1}, {0, 0, 10, -1, 0}};
    // clang-format on
    for (const auto& f : fills) {
        img.setSize(10, 10);
        img.fillRect(f.x, f.y, f.w, f.h, 5);
        int drawn = 0;
        for (int i = 0; i < img.pixelCount(); ++i)
            drawn += img.pixelAtIndex(i) == 5;
        EXPECT_EQ(drawn, f.drawn) << f.x << "," << f.y << " " << f.w << "x" << f.h;
    }

    // A new image has its size and is cleared; negative sizes, or more than the index can hold, are empty.
    Image def;
    EXPECT_EQ(std::tuple(def.pixelCount(), def.pixel(15, 15)), std::tuple(16 * 16, 0));
    Image neg(-4, 7);
    EXPECT_EQ(neg.pixelCount(), 0);
    neg.fillRect(0, 0, 5, 5, 1);
    Image target(3, 3);
    target.blit(neg, 0, 0);
    neg.blit(target, 0, 0);
    EXPECT_EQ(neg.pixel(0, 0), 0);
    def.setSize(440, 300);
    target.setSize(1, 1), target.setPixel(0, 0, 7); // a single pixel is an image too
    EXPECT_EQ(std::tuple(def.pixelCount(), Image(70000, 70000).pixelCount(), target.pixel(0, 0)),
              std::tuple(132000, 0, 7));
}

} // namespace
} // namespace tundrix
