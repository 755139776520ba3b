// The feedback layer's pictures, loaded once per world, and the drawing of numbers with its glyphs.
#pragma once
#include "core/feedback_layout.h"
#include "graphics/sprite_sheet.h"
#include "platform/resource_store.h"

#include <cstdint>

namespace tundrix {

struct LayerArt {
    explicit LayerArt(const ResourceStore& resources);

    SpriteSheet numerals;
    SpriteSheet bigNumerals;
    SpriteSheet smallDigits;
    SpriteSheet pictures;
    SpriteSheet burst;
    // The first column of the word on the period card that holds ink.
    int32_t periodWordInk = 0;
};

// A number written with a glyph set whose frames 0 to 9 are the digits, optionally after a leading glyph
// and before a trailing one (-1 for none). Negative values are written as 0.
struct GlyphRow {
    const SpriteSheet& glyphs;
    int32_t step; // from one glyph's left edge to the next
    int32_t lead = -1;
    int32_t trail = -1;

    int32_t width(int32_t value) const;
    void draw(Image& target, int32_t value, int32_t x, int32_t y) const;
    void drawCentred(Image& target, int32_t value, int32_t centreX, int32_t y) const;
    void drawEndingAt(Image& target, int32_t value, int32_t endX, int32_t y) const;
};

} // namespace tundrix
