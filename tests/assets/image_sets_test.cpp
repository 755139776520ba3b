// The embedded image sets: frame counts, sizes and order, the format's conventions, and the rink art.
#include "graphics/image_set_writer.h"
#include "graphics/sprite_sheet.h"
#include "resources/embedded_resources.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace tundrix {
namespace {

using Size = std::pair<int, int>;

struct SetEntry {
    int id;
    std::vector<Size> frames;
};

std::vector<SetEntry> tableOfSets() {
    std::vector<Size> r262(4, {20, 20});
    r262.insert(r262.end(), 20, {32, 32});
    return {
        {256, {{440, 300}, {440, 300}, {440, 300}, {440, 300}, {57, 218}}},
        {257, {{32, 32}, {32, 32}}},
        {260, std::vector<Size>(13, {15, 25})},
        {261, std::vector<Size>(4, {32, 32})},
        {262, r262},
        {263, {{238, 217}, {59, 21}, {29, 21}, {103, 193}}},
        {264, {{196, 251}, {56, 19}, {91, 146}, {97, 55}, {151, 18}}},
        {265, std::vector<Size>(5, {148, 118})},
        {266, std::vector<Size>(5, {32, 16})},
    };
}

bool insideIce(int x, int y) {
    return x >= 34 && x <= 403 && y >= 53 && y <= 269;
}

TEST(ImageSets, EverySetDecodesToTheTableAndIsWrittenWithTheFormatsConventions) {
    EmbeddedResources store;
    for (const SetEntry& entry : tableOfSets()) {
        SCOPED_TRACE(entry.id);
        SpriteSheet sheet;
        ASSERT_TRUE(sheet.load(store, entry.id));
        ASSERT_EQ(sheet.count(), static_cast<int>(entry.frames.size()));
        std::vector<const Image*> frames;
        for (int i = 0; i < sheet.count(); ++i) {
            EXPECT_EQ(sheet.frame(i)->width(), entry.frames[i].first) << "frame " << i;
            EXPECT_EQ(sheet.frame(i)->height(), entry.frames[i].second) << "frame " << i;
            frames.push_back(sheet.frame(i));
        }
        // Re-encoding the decoded frames gives the embedded bytes: the smallest free escape byte,
        // runs from four pixels on, split at 255, and nothing after the last frame.
        const std::vector<uint8_t> again = encodeImageSet(frames);
        const std::span<const uint8_t> stored = store.find(entry.id);
        EXPECT_TRUE(std::equal(again.begin(), again.end(), stored.begin(), stored.end()));
    }

    Image banner;
    ASSERT_TRUE(banner.loadRle(store, 246));
    EXPECT_EQ(banner.width(), 268);
    EXPECT_EQ(banner.height(), 42);
    EXPECT_TRUE(banner.hasTransparency());
    EXPECT_EQ(banner.pixel(0, 0), TRANSPARENT_INDEX);
    const std::vector<uint8_t> again = encodeFrame(banner);
    const std::span<const uint8_t> stored = store.find(246);
    EXPECT_TRUE(std::equal(again.begin(), again.end(), stored.begin(), stored.end()));
}

TEST(ImageSets, ArtUsesOnlyArtColoursAndSpritesHaveTransparentSurroundings) {
    EmbeddedResources store;
    for (const SetEntry& entry : tableOfSets()) {
        SpriteSheet sheet;
        ASSERT_TRUE(sheet.load(store, entry.id));
        for (int i = 0; i < sheet.count(); ++i) {
            const Image& f = *sheet.frame(i);
            std::set<int> used(f.pixels(), f.pixels() + f.pixelCount());
            // The line colours appear only where the game paints lines; nothing uses the black tail.
            EXPECT_FALSE(used.count(146)) << entry.id << "/" << i;
            EXPECT_FALSE(used.count(107)) << entry.id << "/" << i;
            for (int v = 237; v < 256; ++v)
                EXPECT_FALSE(used.count(v)) << entry.id << "/" << i << " uses " << v;
        }
    }
    // Figures, heads, overlays and the puck are cut out; the backgrounds are not.
    const std::pair<int, int> sprites[] = {{257, 0}, {257, 1}, {261, 0}, {262, 0}, {262, 4}, {263, 0},
                                           {263, 1}, {263, 3}, {264, 0}, {264, 1}, {264, 2}, {264, 3}};
    for (auto [id, frame] : sprites) {
        SpriteSheet sheet;
        ASSERT_TRUE(sheet.load(store, id));
        const Image& f = *sheet.frame(frame);
        EXPECT_TRUE(f.hasTransparency()) << id << "/" << frame;
        EXPECT_EQ(f.pixel(0, 0), TRANSPARENT_INDEX) << id << "/" << frame;
    }
    SpriteSheet backgrounds;
    ASSERT_TRUE(backgrounds.load(store, 256));
    for (int frame : {0, 2, 3, 4})
        EXPECT_FALSE(backgrounds.frame(frame)->hasTransparency()) << frame;
}

TEST(ImageSets, ClaimedLookIsTransparentExactlyOutsideTheIce) {
    EmbeddedResources store;
    SpriteSheet backgrounds;
    ASSERT_TRUE(backgrounds.load(store, 256));
    const Image& claimed = *backgrounds.frame(1);
    const Image& rink = *backgrounds.frame(0);
    int darker = 0, total = 0;
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 440; ++x) {
            const bool key = claimed.pixel(x, y) == TRANSPARENT_INDEX;
            ASSERT_EQ(key, !insideIce(x, y)) << x << "," << y;
            if (insideIce(x, y)) {
                ++total;
                // The palette runs light to dark, so a higher index is the darker, grayed look.
                if (claimed.pixel(x, y) > rink.pixel(x, y)) ++darker;
            }
        }
    }
    EXPECT_GT(darker, total * 9 / 10);
}

TEST(ImageSets, RinkBoardsLieExactlyOnTheEdgeRectangle) {
    EmbeddedResources store;
    SpriteSheet backgrounds;
    ASSERT_TRUE(backgrounds.load(store, 256));
    const Image& rink = *backgrounds.frame(0);
    const uint8_t edge = rink.pixel(33, 52);
    for (int x = 33; x <= 404; ++x) {
        EXPECT_EQ(rink.pixel(x, 52), edge);
        EXPECT_EQ(rink.pixel(x, 270), edge);
        EXPECT_NE(rink.pixel(x, 51), edge);
        EXPECT_NE(rink.pixel(x, 271), edge);
    }
    for (int y = 52; y <= 270; ++y) {
        EXPECT_EQ(rink.pixel(33, y), edge);
        EXPECT_EQ(rink.pixel(404, y), edge);
        EXPECT_NE(rink.pixel(32, y), edge);
        EXPECT_NE(rink.pixel(405, y), edge);
    }
    // The edge colour does not occur on the ice, so the edge reads as the rink's border everywhere.
    for (int y = 53; y <= 269; ++y)
        for (int x = 34; x <= 403; ++x)
            ASSERT_NE(rink.pixel(x, y), edge) << x << "," << y;
}

} // namespace
} // namespace tundrix
