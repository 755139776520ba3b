// The layer's pictures over the composed screen: flashes and "+N", the penalty box and the figures skating
// to it, the bottom panel, the period card, the period-won banner, and the shake after a cut.
#include "feedback/layer_painter.h"

#include <algorithm>
#include <cstring>

namespace tundrix {

using namespace feedback;

namespace {

// Below the score panel: what slides in from the top comes out from under it.
constexpr int32_t UNDER_PANEL = 47;
// How far a card or banner drops per frame while it comes in.
constexpr int32_t DROP_STEP = 14;
// The picture's offset on each frame of a shake.
constexpr int32_t SHAKE[SHAKE_FRAMES][2] = {{4, 1}, {-3, -2}, {3, 2}, {-2, -1},
                                            {2, 1}, {-1, 0},  {1, 0}, {0, 0}};

void blitBelow(Image& screen, const Image* picture, int32_t x, int32_t y, int32_t top) {
    if (picture == nullptr || picture->pixels() == nullptr || screen.pixels() == nullptr) return;
    const int32_t pw = picture->width(), sw = screen.width();
    const int32_t r0 = std::max({0, top - y, -y}), r1 = std::min(picture->height(), screen.height() - y);
    const int32_t c0 = std::max(0, -x), c1 = std::min(pw, sw - x);
    for (int32_t r = r0; r < r1; ++r) {
        const uint8_t* from = picture->pixels() + static_cast<ptrdiff_t>(r) * pw;
        uint8_t* to = screen.pixels() + static_cast<ptrdiff_t>(y + r) * sw + x;
        for (int32_t c = c0; c < c1; ++c)
            if (from[c] != TRANSPARENT_INDEX) to[c] = from[c];
    }
}

void blitCentred(Image& screen, const Image* picture, int32_t x, int32_t y) {
    if (picture) screen.blit(*picture, x - picture->width() / 2, y - picture->height() / 2);
}

// Every other pixel of every other row, for the figures sitting in the box.
void blitHalf(Image& screen, const Image* picture, int32_t x, int32_t y) {
    if (picture == nullptr) return;
    for (int32_t r = 0; r + 1 < picture->height(); r += 2)
        for (int32_t c = 0; c + 1 < picture->width(); c += 2) {
            uint8_t v = picture->pixel(c, r);
            for (const auto& [dc, dr] : {std::pair{1, 0}, std::pair{0, 1}, std::pair{1, 1}})
                if (v == TRANSPARENT_INDEX) v = picture->pixel(c + dc, r + dr);
            if (v != TRANSPARENT_INDEX) screen.setPixel(x + c / 2, y + r / 2, v);
        }
}

float smooth(float t) {
    return t * t * (3 - 2 * t);
}

} // namespace

void LayerPainter::paint(Image& screen, const Image& display, const Rink& rink, const Effects& effects,
                         PanelFigures figures, bool wonNow) const {
    for (const Effects::Flash& f : effects.flashes)
        paintFlash(screen, display, f);
    for (const Effects::CutLine& c : effects.cuts)
        paintCutLine(screen, display, c);
    paintRaidLine(screen, display, rink);
    for (const Effects::Burst& b : effects.bursts)
        blitCentred(screen, art_.burst.frame(b.age / BURST_STEP), b.x, b.y);
    paintPenaltyBox(screen, effects);
    for (const Effects::Floater& f : effects.floaters)
        paintFloater(screen, f);
    paintPanel(screen, figures);
    if (effects.cardPeriod != 0) paintCard(screen, effects.cardPeriod, effects.card);
    if (wonNow && effects.won) paintBanner(screen, *effects.won, effects.banner);
    if (effects.shake >= 0) shake(screen, effects.shake);
}

void LayerPainter::paintPenaltyBox(Image& screen, const Effects& effects) const {
    if (const Image* back = art_.pictures.frame(PICTURE_BOX_BACK)) screen.blit(*back, BOX_X, BOX_Y);
    // The latest figures sit in the seats, the newest at the top.
    const size_t seated = std::min(effects.boxed.size(), static_cast<size_t>(BOX_SEATS));
    for (size_t i = 0; i < seated; ++i)
        blitHalf(screen, effects.boxed[effects.boxed.size() - 1 - i], BOX_SEAT_X,
                 BOX_SEAT_Y + static_cast<int32_t>(i) * BOX_SEAT_STEP);
    if (!effects.boxed.empty())
        GlyphRow{art_.smallDigits, SMALL_DIGIT_STEP}.drawEndingAt(
            screen, static_cast<int32_t>(effects.boxed.size()), BOX_COUNT_END, BOX_COUNT_Y);
    for (const Effects::Skater& s : effects.skaters) {
        const float t = smooth(static_cast<float>(s.age) / SKATE_FRAMES);
        const float x = s.x + (static_cast<float>(BOX_DOOR_X) - s.x) * t;
        const float y = s.y + (static_cast<float>(BOX_DOOR_Y) - s.y) * t;
        blitCentred(screen, s.figure, static_cast<int32_t>(x), static_cast<int32_t>(y));
    }
    if (const Image* front = art_.pictures.frame(PICTURE_BOX_FRONT)) screen.blit(*front, BOX_X, BOX_Y);
}

void LayerPainter::paintFloater(Image& screen, const Effects::Floater& f) const {
    // It blinks out over its last frames.
    if (f.age > FLOATER_FRAMES - 8 && f.age % 2) return;
    const GlyphRow row{art_.numerals, NUMERAL_STEP, NUMERAL_PLUS};
    const int32_t w = row.width(f.value);
    // Above where it happened, kept on the rink.
    const int32_t x = std::clamp(f.x - w / 2, EDGE_LEFT, std::max(EDGE_LEFT, EDGE_RIGHT - w));
    const int32_t y = std::max(f.y - 34 - std::min(f.age, FLOATER_RISE), EDGE_TOP + 2);
    row.draw(screen, f.value, x, y);
}

void LayerPainter::paintPanel(Image& screen, PanelFigures figures) const {
    if (const Image* panel = art_.pictures.frame(PICTURE_PANEL)) screen.blit(*panel, PANEL_X, PANEL_Y);
    const GlyphRow row{art_.smallDigits, SMALL_DIGIT_STEP};
    row.drawEndingAt(screen, figures.period, PANEL_NUMBER_END, PANEL_PERIOD_Y);
    row.drawEndingAt(screen, figures.best, PANEL_NUMBER_END, PANEL_BEST_Y);
}

void LayerPainter::paintCard(Image& screen, int32_t period, int age) const {
    const Image* word = art_.pictures.frame(PICTURE_PERIOD_WORD);
    if (word == nullptr) return;
    // It drops in from under the score panel, waits, and goes back up.
    int32_t y = CARD_Y;
    if (age < CARD_SLIDE) y -= (CARD_SLIDE - age) * DROP_STEP;
    if (age >= CARD_FRAMES - CARD_SLIDE) y -= (age - (CARD_FRAMES - CARD_SLIDE) + 1) * DROP_STEP;
    const GlyphRow number{art_.bigNumerals, BIG_NUMERAL_STEP};
    const int32_t gap = 2;
    const int32_t wordInk = word->width() - art_.periodWordInk;
    const int32_t left = CARD_CENTRE_X - (wordInk + gap + number.width(period)) / 2;
    blitBelow(screen, word, left - art_.periodWordInk, y, UNDER_PANEL);
    Image digits(number.width(period), BIG_NUMERAL_H);
    digits.fillRect(0, 0, digits.width(), digits.height(), TRANSPARENT_INDEX);
    number.draw(digits, period, 0, 0);
    blitBelow(screen, &digits, left + wordInk + gap, y, UNDER_PANEL);
}

void LayerPainter::paintBanner(Image& screen, const PeriodWonMoment& won, int age) const {
    const Image* banner = art_.pictures.frame(PICTURE_WON_BANNER);
    if (banner == nullptr) return;
    const int32_t drop = age < BANNER_SLIDE ? (BANNER_SLIDE - age) * DROP_STEP : 0;
    Image picture(banner->width(), banner->height());
    picture.fillRect(0, 0, picture.width(), picture.height(), TRANSPARENT_INDEX);
    picture.blit(*banner, 0, 0);
    const int32_t figuresY = WON_FIGURES_Y - WON_BANNER_Y;
    GlyphRow{art_.numerals, NUMERAL_STEP, -1, NUMERAL_PERCENT}.drawCentred(
        picture, won.percent, WON_PERCENT_CENTRE_X - WON_BANNER_X, figuresY);
    GlyphRow{art_.numerals, NUMERAL_STEP, NUMERAL_PLUS}.drawCentred(
        picture, won.points, WON_POINTS_CENTRE_X - WON_BANNER_X, figuresY);
    blitBelow(screen, &picture, WON_BANNER_X, WON_BANNER_Y - drop, UNDER_PANEL);
}

void LayerPainter::shake(Image& screen, int age) const {
    const int32_t dx = SHAKE[age][0], dy = SHAKE[age][1];
    if (dx == 0 && dy == 0) return;
    const int32_t w = screen.width(), h = screen.height();
    uint8_t* p = screen.pixels();
    const auto row = [&](int32_t y) { return p + static_cast<size_t>(y) * static_cast<size_t>(w); };
    // Rows move in the order that never reads one already moved; what is uncovered goes black.
    for (int32_t i = 0; i < h; ++i) {
        const int32_t y = dy > 0 ? h - 1 - i : i;
        const int32_t from = y - dy;
        uint8_t* to = row(y);
        if (from < 0 || from >= h) {
            std::memset(to, shades_.black, static_cast<size_t>(w));
            continue;
        }
        const size_t n = static_cast<size_t>(w - std::abs(dx));
        std::memmove(dx > 0 ? to + dx : to, dx > 0 ? row(from) : row(from) - dx, n);
        std::memset(dx > 0 ? to : to + n, shades_.black, static_cast<size_t>(std::abs(dx)));
    }
}

} // namespace tundrix

namespace tundrix {

void LayerPainter::paintChoice(Image& screen, int32_t x, int32_t y, int age) const {
    // A downward arrow, outlined in black so it reads on the light title and on the figures alike.
    constexpr int32_t HALF = 9, HEIGHT = 10, STEM = 4, STEM_HEIGHT = 7;
    const int32_t tip = y - ((age / 4) % 4 == 3 ? 1 : (age / 4) % 4);
    const auto row = [&](int32_t yy, int32_t from, int32_t to, uint8_t colour) {
        if (yy < 0 || yy >= screen.height()) return;
        for (int32_t xx = std::max(from, 0); xx <= std::min(to, screen.width() - 1); ++xx)
            screen.setPixel(xx, yy, colour);
    };
    for (int32_t i = 0; i <= HEIGHT; ++i) {
        const int32_t half = i * HALF / HEIGHT;
        row(tip - i, x - half - 1, x + half + 1, shades_.black);
        if (i > 0 && i < HEIGHT) row(tip - i, x - half + 1, x + half - 1, shades_.gold);
    }
    for (int32_t i = HEIGHT; i <= HEIGHT + STEM_HEIGHT; ++i) {
        row(tip - i, x - STEM - 1, x + STEM + 1, shades_.black);
        if (i < HEIGHT + STEM_HEIGHT) row(tip - i, x - STEM + 1, x + STEM - 1, shades_.gold);
    }
}

} // namespace tundrix
