// The image-set format: decoding, damaged data, loading sheets and the encoder's round trip.
#include "core/random.h"
#include "graphics/image.h"
#include "graphics/image_set_writer.h"
#include "graphics/rle_decoder.h"
#include "graphics/sprite_sheet.h"
#include "resources/memory_store.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace tundrix {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes header(uint16_t w, uint16_t h) {
    Bytes b = {'k', 'v', 'b', '/', 'r', 'l', 'e', 0};
    b.push_back(static_cast<uint8_t>(w >> 8));
    b.push_back(static_cast<uint8_t>(w));
    b.push_back(static_cast<uint8_t>(h >> 8));
    b.push_back(static_cast<uint8_t>(h));
    return b;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes setOf(std::initializer_list<Bytes> frames) {
    Bytes out = {0, static_cast<uint8_t>(frames.size())};
    for (const Bytes& f : frames)
        out.insert(out.end(), f.begin(), f.end());
    return out;
}

// The worked example: a 4 x 2 frame whose run of five crosses into the second row.
const Bytes EXAMPLE = concat({header(4, 2), {0x00, 0x07, 0x00, 0xEC, 0x05, 0x09, 0x0A}});

TEST(RleDecoder, DecodesTheWorkedExampleAcrossTheRowBoundary) {
    RleDecoder d;
    EXPECT_EQ(d.decode(std::span(EXAMPLE).subspan(12), 8), 7);
    EXPECT_EQ(Bytes(d.pixels().begin(), d.pixels().end()), (Bytes{7, 0xEC, 0xEC, 0xEC, 0xEC, 0xEC, 9, 10}));

    MemoryResourceStore store;
    store.put(246, EXAMPLE);
    Image img;
    ASSERT_TRUE(img.loadRle(store, 246));
    EXPECT_EQ(img.width(), 4);
    EXPECT_EQ(img.height(), 2);
    EXPECT_EQ(img.pixel(0, 0), 7);
    EXPECT_EQ(img.pixel(1, 1), 0xEC);
    EXPECT_EQ(img.pixel(3, 1), 10);
    EXPECT_TRUE(img.hasTransparency());
}

TEST(RleDecoder, ZeroRunsProduceNothingAndARunEndingTheFrameEndsTheStream) {
    RleDecoder d;
    // escape 0xFF; empty run; run of 3 x 5 ending exactly on the last pixel; trailing bytes untouched.
    Bytes s = {0xFF, 0xFF, 0x01, 0x00, 0x02, 0xFF, 0x05, 0x03, 0x99, 0x99};
    EXPECT_EQ(d.decode(s, 4), 8);
    EXPECT_EQ(Bytes(d.pixels().begin(), d.pixels().end()), (Bytes{2, 5, 5, 5}));
    EXPECT_EQ(d.decode(s, 0), 1);
    EXPECT_EQ(d.decode(s, -3), 1);
}

TEST(RleDecoder, DamagedStreamsAreReportedWithoutReadingOrWritingPastTheData) {
    RleDecoder d;
    EXPECT_EQ(d.decode(Bytes{0x00, 0x07, 0x08}, 5), RleDecoder::DAMAGED);        // ends early
    EXPECT_EQ(d.decode(Bytes{0x00, 0x07, 0x00, 0x09}, 5), RleDecoder::DAMAGED);  // run cut short
    EXPECT_EQ(d.decode(Bytes{0x00, 0x00, 0x07, 0xFF}, 10), RleDecoder::DAMAGED); // run past the last pixel
    EXPECT_EQ(d.decode(Bytes{}, 1), RleDecoder::DAMAGED);
    EXPECT_EQ(d.decode(Bytes{0x00, 0x01}, INT32_MAX), RleDecoder::DAMAGED); // far more than the data holds
}

TEST(ImageSet, SizesAreBigEndianAndEmptyFramesTakeOnlyTheirEscapeByte) {
    Bytes big = header(440, 300);
    EXPECT_EQ(big[8], 0x01);
    EXPECT_EQ(big[9], 0xB8);
    EXPECT_EQ(big[10], 0x01);
    EXPECT_EQ(big[11], 0x2C);
    Bytes tokens = {0x00};
    for (int i = 0; i < 132000 / 255; ++i)
        tokens.insert(tokens.end(), {0x00, 0x37, 0xFF});
    tokens.insert(tokens.end(), {0x00, 0x37, static_cast<uint8_t>(132000 % 255)});
    MemoryResourceStore store;
    store.put(256, setOf({concat({header(0, 5), {0x42}}), concat({big, tokens}), EXAMPLE}));
    SpriteSheet sheet;
    ASSERT_TRUE(sheet.load(store, 256));
    ASSERT_EQ(sheet.count(), 3);
    EXPECT_EQ(sheet.frame(0)->pixelCount(), 0);
    EXPECT_EQ(sheet.frame(1)->width(), 440);
    EXPECT_EQ(sheet.frame(1)->height(), 300);
    EXPECT_EQ(sheet.frame(1)->pixel(439, 299), 0x37);
    EXPECT_EQ(sheet.frame(2)->pixel(3, 1), 10);
    EXPECT_EQ(sheet.currentIndex(), 2);
}

TEST(ImageSet, AWrongMagicLeavesDefaultFramesAndTheImageUnchanged) {
    Bytes bad = EXAMPLE;
    bad[3] = 'X';
    MemoryResourceStore store;
    store.put(257, setOf({EXAMPLE, bad, EXAMPLE}));
    SpriteSheet sheet;
    // The set opened, so the load succeeds although a frame is damaged.
    EXPECT_TRUE(sheet.load(store, 257));
    ASSERT_EQ(sheet.count(), 3);
    EXPECT_EQ(sheet.frame(0)->width(), 4);
    // The reader stopped at the bad record, so every frame after it is a default 16 x 16 image.
    EXPECT_EQ(sheet.frame(1)->width(), 16);
    EXPECT_EQ(sheet.frame(2)->width(), 16);

    store.put(246, bad);
    Image img(3, 3);
    EXPECT_FALSE(img.loadRle(store, 246));
    EXPECT_EQ(img.width(), 3);
}

TEST(ImageSet, CutShortAndOverlongDataNeverLoadsPastItsEnd) {
    MemoryResourceStore store;
    // Frame count larger than the data, header cut short, stream cut short.
    store.put(260, setOf({EXAMPLE, EXAMPLE}));
    Bytes withBigCount =
        store.find(260).size() ? Bytes(store.find(260).begin(), store.find(260).end()) : Bytes{};
    withBigCount[0] = 0x01; // 258 frames announced, 2 present
    store.put(261, withBigCount);
    SpriteSheet sheet;
    EXPECT_TRUE(sheet.load(store, 261));
    EXPECT_EQ(sheet.count(), 258);
    EXPECT_EQ(sheet.frame(1)->width(), 4);
    EXPECT_EQ(sheet.frame(257)->width(), 16);

    for (size_t cut = 1; cut < EXAMPLE.size(); ++cut) {
        store.put(246, Bytes(EXAMPLE.begin(), EXAMPLE.begin() + static_cast<long>(cut)));
        Image img;
        EXPECT_FALSE(img.loadRle(store, 246)) << cut;
        EXPECT_EQ(img.width(), 16);
    }
    // 65535 x 65535 pixels announced over a few bytes: refused, not allocated.
    store.put(246, concat({header(65535, 65535), {0x00, 0x00, 0x01, 0xFF}}));
    Image huge;
    EXPECT_FALSE(huge.loadRle(store, 246));
}

TEST(ImageSet, EmptySetsLoadAndLeaveTheCurrentFrame) {
    MemoryResourceStore store;
    store.put(262, Bytes{0, 0});
    store.put(263, EXAMPLE.size() ? setOf({EXAMPLE}) : Bytes{});
    SpriteSheet sheet;
    ASSERT_TRUE(sheet.load(store, 263));
    Image* before = sheet.current();
    EXPECT_TRUE(sheet.load(store, 262));
    EXPECT_EQ(sheet.count(), 1);
    EXPECT_EQ(sheet.current(), before);
    EXPECT_FALSE(sheet.load(store, 999));
    EXPECT_EQ(sheet.count(), 1);
}

TEST(ImageSet, NamesThatAreNoResourceAreTriedAsFilesButEmptyFilesFail) {
    MemoryResourceStore store;
    auto dir = std::filesystem::temp_directory_path() / ("tundrix-set-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto path = (dir / "banner.rle").string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(EXAMPLE.data()), static_cast<long>(EXAMPLE.size()));
    Image img;
    EXPECT_TRUE(img.loadRle(store, path));
    EXPECT_EQ(img.width(), 4);
    store.put(5, EXAMPLE);
    Image byText;
    EXPECT_TRUE(byText.loadRle(store, "5")); // a numeric text names the resource
    auto empty = (dir / "empty").string();
    std::ofstream(empty).close();
    EXPECT_FALSE(img.loadRle(store, empty));
    EXPECT_FALSE(img.loadRle(store, (dir / "missing").string()));
    std::filesystem::remove_all(dir);
}

TEST(ImageSetWriter, FollowsTheConventionsOnAKnownFrame) {
    // 0,0,0 (three: literals), 5 x 300 (runs of 255 and 45), 9; values 0, 5, 9 are used so E = 1.
    Bytes px = {0, 0, 0};
    px.insert(px.end(), 300, 5);
    px.push_back(9);
    Bytes rec = encodeFrame(px, 304, 1);
    Bytes expected = concat({header(304, 1), {0x01, 0, 0, 0, 0x01, 5, 255, 0x01, 5, 45, 9}});
    EXPECT_EQ(rec, expected);
}

TEST(ImageSetWriter, RoundTripsManyGeneratedImages) {
    Random rng;
    rng.seed(2024);
    for (int t = 0; t < 300; ++t) {
        uint16_t w = static_cast<uint16_t>(rng.next() % 70);
        uint16_t h = static_cast<uint16_t>(rng.next() % 40);
        Image img(w, h);
        // Mix long runs, short repeats and noise; sometimes every byte value, so no free escape exists.
        const int palette = t % 7 == 0 ? 256 : 2 + rng.next() % 40;
        for (int i = 0; i < img.pixelCount();) {
            uint8_t v = static_cast<uint8_t>(t % 7 == 0 ? i % 256 : rng.next() % palette);
            int len = rng.next() % 4 == 0 ? 1 + rng.next() % 600 : 1 + rng.next() % 3;
            for (int k = 0; k < len && i < img.pixelCount(); ++k)
                img.setPixelAtIndex(i++, v);
        }
        Bytes rec = encodeFrame(img);
        ResourceReader reader;
        reader.openBytes(rec);
        Image back;
        ASSERT_TRUE(back.readFrame(reader)) << t;
        EXPECT_EQ(reader.position(), rec.size()) << t;
        ASSERT_EQ(back.width(), w);
        ASSERT_EQ(back.height(), h);
        for (int i = 0; i < img.pixelCount(); ++i)
            ASSERT_EQ(back.pixelAtIndex(i), img.pixelAtIndex(i)) << t << " @" << i;
    }
}

TEST(ImageSetWriter, WritesWholeSetsThatLoadBack) {
    Image a(3, 2), b(40, 30);
    a.fillRect(0, 0, 3, 2, 4);
    b.fillRect(0, 0, 40, 30, TRANSPARENT_INDEX);
    b.fillRect(5, 5, 10, 10, 100);
    const Image* frames[] = {&a, &b};
    MemoryResourceStore store;
    store.put(264, encodeImageSet(frames));
    SpriteSheet sheet;
    ASSERT_TRUE(sheet.load(store, 264));
    ASSERT_EQ(sheet.count(), 2);
    EXPECT_EQ(sheet.frame(1)->pixel(7, 7), 100);
    EXPECT_TRUE(sheet.frame(1)->hasTransparency());
    EXPECT_FALSE(sheet.frame(0)->hasTransparency());
}

} // namespace
} // namespace tundrix
