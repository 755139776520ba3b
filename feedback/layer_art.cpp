// Loads the layer's image sets and writes numbers with them.
#include "feedback/layer_art.h"

#include <string>

namespace tundrix {

LayerArt::LayerArt(const ResourceStore& resources) {
    numerals.load(resources, feedback::SET_NUMERALS);
    bigNumerals.load(resources, feedback::SET_BIG_NUMERALS);
    smallDigits.load(resources, feedback::SET_SMALL_DIGITS);
    pictures.load(resources, feedback::SET_PICTURES);
    burst.load(resources, feedback::SET_BURST);
    if (const Image* word = pictures.frame(feedback::PICTURE_PERIOD_WORD)) {
        periodWordInk = word->width();
        for (int32_t y = 0; y < word->height(); ++y)
            for (int32_t x = 0; x < periodWordInk; ++x)
                if (word->pixel(x, y) != TRANSPARENT_INDEX) periodWordInk = x;
    }
}

namespace {
std::string digits(int32_t value) {
    return std::to_string(value < 0 ? 0 : value);
}
} // namespace

int32_t GlyphRow::width(int32_t value) const {
    const int32_t n = static_cast<int32_t>(digits(value).size()) + (lead >= 0) + (trail >= 0);
    const Image* last = glyphs.frame(0);
    return (n - 1) * step + (last ? last->width() : step);
}

void GlyphRow::draw(Image& target, int32_t value, int32_t x, int32_t y) const {
    const auto put = [&](int32_t frame) {
        if (const Image* g = glyphs.frame(frame)) target.blit(*g, x, y);
        x += step;
    };
    if (lead >= 0) put(lead);
    for (char c : digits(value))
        put(c - '0');
    if (trail >= 0) put(trail);
}

void GlyphRow::drawCentred(Image& target, int32_t value, int32_t centreX, int32_t y) const {
    draw(target, value, centreX - width(value) / 2, y);
}

void GlyphRow::drawEndingAt(Image& target, int32_t value, int32_t endX, int32_t y) const {
    draw(target, value, endX - width(value), y);
}

} // namespace tundrix
