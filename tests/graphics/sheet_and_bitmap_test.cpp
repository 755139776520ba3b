// Sprite sheets' frame selection, and the bitmap reader behind the palette and the bitmap fallback.
#include "graphics/bmp_reader.h"
#include "graphics/sprite_sheet.h"
#include "resources/memory_store.h"

#include <gtest/gtest.h>

namespace tundrix {
namespace {

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
    EXPECT_EQ(sheet.frame(3), nullptr);
    EXPECT_EQ(sheet.frame(-1), nullptr);
    sheet.clear();
    sheet.clear();
    EXPECT_EQ(sheet.count(), 0);
    EXPECT_EQ(sheet.current(), nullptr);
    sheet.add(std::make_unique<Image>(5, 5));
    EXPECT_EQ(sheet.current()->width(), 5);
}

// An 8-bit bottom-up bitmap of 3 x 2 with a 4-entry colour table.
std::vector<uint8_t> tinyBmp(int32_t height = 2) {
    std::vector<uint8_t> b(14 + 40 + 16 + 8, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put32(2, static_cast<uint32_t>(b.size()));
    put32(10, 14 + 40 + 16);
    put32(14, 40);
    put32(18, 3);
    put32(22, static_cast<uint32_t>(height));
    b[26] = 1, b[28] = 8;
    put32(46, 4);
    const uint8_t table[16] = {255, 255, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 255, 0};
    std::copy(table, table + 16, b.begin() + 54);
    const uint8_t rows[8] = {1, 2, 3, 0, 4, 5, 6, 0}; // bottom row first, each padded to 4
    std::copy(rows, rows + 8, b.begin() + 70);
    return b;
}

TEST(Bitmap, ReadsTheColourTableAndTurnsRowsTopDown) {
    BmpInfo info;
    ASSERT_TRUE(readBmp(tinyBmp(), info));
    EXPECT_EQ(info.width, 3);
    EXPECT_EQ(info.height, 2);
    ASSERT_EQ(info.colours.size(), 4u);
    EXPECT_EQ(info.colours[0], (Rgb{255, 255, 255}));
    EXPECT_EQ(info.colours[1], (Rgb{255, 0, 0})); // stored blue, green, red
    EXPECT_EQ(info.colours[3], (Rgb{255, 0, 255}));
    EXPECT_EQ(info.indices, (std::vector<uint8_t>{4, 5, 6, 1, 2, 3}));

    BmpInfo topDown;
    ASSERT_TRUE(readBmp(tinyBmp(-2), topDown));
    EXPECT_EQ(topDown.indices, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

TEST(Bitmap, DamagedBitmapsAreRefusedWhateverIsCut) {
    std::vector<uint8_t> good = tinyBmp();
    BmpInfo info;
    for (size_t cut = 0; cut < good.size(); ++cut) {
        std::vector<uint8_t> part(good.begin(), good.begin() + static_cast<long>(cut));
        EXPECT_FALSE(readBmp(part, info) && !info.indices.empty()) << cut;
    }
    // An info header a byte short of the 40 we read (old-style ones are 12), zero width, zero height, and
    // pixels "after" the end.
    for (auto [at, value, n] : {std::tuple{14, 39, 1}, {18, 0, 1}, {22, 0, 1}, {10, 0xFF, 3}}) {
        std::vector<uint8_t> bad = good;
        std::fill_n(bad.begin() + at, n, static_cast<uint8_t>(value));
        EXPECT_FALSE(readBmp(bad, info)) << at;
    }
}

TEST(Bitmap, AnEightBitBitmapFillsAnImageThroughTheFallback) {
    MemoryResourceStore store;
    store.put(139, tinyBmp());
    Image img;
    ASSERT_TRUE(img.loadImage(store, 139));
    EXPECT_EQ(img.width(), 3);
    EXPECT_EQ(img.pixel(0, 0), 4);
    EXPECT_EQ(img.pixel(2, 1), 3);
    Image byName(store, 139);
    EXPECT_EQ(byName.pixel(1, 0), 5);
    Image missing(store, 7);
    EXPECT_EQ(missing.width(), 16);
}

} // namespace
} // namespace tundrix
