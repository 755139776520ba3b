// Draws the feedback layer's art in the look of the score panel and the game-over banner: gold lettering
// with a navy outline, navy panels with a bright rim, and pixel digits in the panel's orange.
#include "tools/assetgen/feedback_art.h"

#include "core/feedback_layout.h"
#include "tools/assetgen/glyphs.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tundrix::assetgen {

using namespace tundrix::feedback;

namespace {

constexpr uint32_t OUTLINE = 0x10182E;
constexpr uint32_t PANEL_TOP = 0x3A5590, PANEL_BOTTOM = 0x101A38, PANEL_RIM = 0x8CA8E0;
constexpr uint32_t LABEL = 0xC8D6F0;
constexpr uint32_t PIXEL_DIGIT = 0xFFB030;

// Gold lettering: a soft shadow, a navy outline, a gradient from pale gold to red-orange, a glint on top.
// y is the baseline; the gradient spans the letters' height.
void goldText(cairo_t* cr, const Fonts& fonts, Font font, double size, const std::string& text, double x,
              double y, double outline) {
    cairo_set_font_face(cr, fonts.face(font));
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    const double top = y + e.y_bearing;
    cairo_move_to(cr, x + 1, y + 1);
    cairo_text_path(cr, text.c_str());
    setColour(cr, 0x000000, 0.75);
    cairo_set_line_width(cr, outline * 2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, text.c_str());
    setColour(cr, OUTLINE);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, top, 0, y);
    addStop(p, 0, 0xFFF6B0);
    addStop(p, 0.45, 0xFFCC28);
    addStop(p, 0.6, 0xF49018);
    addStop(p, 1, 0xD83818);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// One glyph centred in a cell of w by h, its ink filling the cell's height less the outline.
std::unique_ptr<Image> goldGlyph(ArtContext& art, Font font, const std::string& glyph, int w, int h,
                                 double outline) {
    Canvas canvas(w, h);
    cairo_t* cr = canvas.cr();
    cairo_set_font_face(cr, art.fonts.face(font));
    // Size the digits by the ink of "0", so every glyph of a set shares one height and baseline.
    cairo_set_font_size(cr, 100);
    cairo_text_extents_t zero;
    cairo_text_extents(cr, "0", &zero);
    const double size = 100 * (h - 2 * outline - 1) / zero.height;
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, glyph.c_str(), &e);
    const double baseline = outline + zero.height * size / 100;
    const double x = (w - 1 - e.width) / 2 - e.x_bearing;
    goldText(cr, art.fonts, font, size, glyph, x, baseline, outline);
    return canvas.toSprite(art.quantiser);
}

// The panel's pixel font: five by seven dots.
constexpr const char* PIXEL_DIGITS[10][SMALL_DIGIT_H] = {
    {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."},
    {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."},
    {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"},
    {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."},
    {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."},
    {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."},
    {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."},
    {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."},
    {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."},
    {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."},
};

struct PixelLetter {
    char c;
    const char* rows[SMALL_DIGIT_H];
};
constexpr PixelLetter PIXEL_LETTERS[] = {
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
};

void pixelGlyph(cairo_t* cr, const char* const* rows, int x, int y, uint32_t colour) {
    setColour(cr, colour);
    for (int r = 0; r < SMALL_DIGIT_H; ++r)
        for (int c = 0; c < SMALL_DIGIT_W; ++c)
            if (rows[r][c] == '#') cairo_rectangle(cr, x + c, y + r, 1, 1);
    cairo_fill(cr);
}

void pixelWord(cairo_t* cr, const std::string& word, int x, int y, uint32_t colour) {
    for (char ch : word) {
        for (const PixelLetter& l : PIXEL_LETTERS)
            if (l.c == ch) pixelGlyph(cr, l.rows, x, y, colour);
        x += SMALL_DIGIT_STEP;
    }
}

// A navy bar with a bright rim, as the score panel is drawn.
void navyPanel(cairo_t* cr, double x, double y, double w, double h, double r) {
    roundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, r);
    fillVertical(cr, y, y + h, PANEL_TOP, PANEL_BOTTOM, true);
    setColour(cr, PANEL_RIM);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// A recessed dark window of the score panel.
void recess(cairo_t* cr, double x, double y, double w, double h) {
    roundedRect(cr, x - 1, y - 1, w + 2, h + 2, 3);
    fillVertical(cr, y - 1, y + h + 1, 0x05070E, 0x7888A8);
    roundedRect(cr, x, y, w, h, 2);
    setColour(cr, DOT_WINDOW);
    cairo_fill(cr);
}

std::unique_ptr<Image> bottomPanel(ArtContext& art) {
    Canvas canvas(PANEL_W, PANEL_H);
    cairo_t* cr = canvas.cr();
    navyPanel(cr, 0, 0, PANEL_W, PANEL_H, 4);
    const int numbersLeft = PANEL_NUMBER_END - PANEL_X - 7 * SMALL_DIGIT_STEP;
    recess(cr, numbersLeft - 2, 2, PANEL_NUMBER_END - PANEL_X - numbersLeft + 3, PANEL_H - 4);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    pixelWord(cr, "PERIOD", 4, PANEL_PERIOD_Y - PANEL_Y, LABEL);
    pixelWord(cr, "BEST", 4, PANEL_BEST_Y - PANEL_Y, LABEL);
    return canvas.toOpaque(art.quantiser);
}

std::unique_ptr<Image> periodWord(ArtContext& art) {
    Canvas canvas(PERIOD_WORD_W, PERIOD_WORD_H);
    cairo_t* cr = canvas.cr();
    const double outline = 2.5;
    cairo_set_font_face(cr, art.fonts.face(Font::SansBoldOblique));
    cairo_set_font_size(cr, 100);
    cairo_text_extents_t zero;
    cairo_text_extents(cr, "0", &zero);
    // The word shares the big numerals' height and baseline, so the two read as one line.
    const double size = std::min(
        100 * (BIG_NUMERAL_H - 2 * outline - 1) / zero.height,
        fitTextSize(cr, art.fonts, Font::SansBoldOblique, 60, "PERIOD", PERIOD_WORD_W - 2 * outline - 6));
    const double baseline = outline + zero.height * size / 100;
    const double width = textWidth(cr, art.fonts, Font::SansBoldOblique, size, "PERIOD");
    goldText(cr, art.fonts, Font::SansBoldOblique, size, "PERIOD", PERIOD_WORD_W - width - outline - 2,
             baseline, outline);
    return canvas.toSprite(art.quantiser);
}

std::unique_ptr<Image> wonBanner(ArtContext& art) {
    Canvas canvas(WON_BANNER_W, WON_BANNER_H);
    cairo_t* cr = canvas.cr();
    const double w = WON_BANNER_W, h = WON_BANNER_H;
    // A dark edge, a gold rim, and the navy field.
    roundedRect(cr, 0, 0, w, h, 9);
    setColour(cr, 0x05070E);
    cairo_fill(cr);
    roundedRect(cr, 1.5, 1.5, w - 3, h - 3, 8);
    cairo_pattern_t* rim = cairo_pattern_create_linear(0, 0, 0, h);
    addStop(rim, 0, 0xFFF0A0);
    addStop(rim, 0.5, 0xFFC020);
    addStop(rim, 1, 0xC06010);
    cairo_set_source(cr, rim);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);
    roundedRect(cr, 3, 3, w - 6, h - 6, 6);
    fillVertical(cr, 3, h - 3, 0x2C4A8C, 0x0C1430);

    const std::string title = "PERIODEN VUNNEN!";
    const double size = fitTextSize(cr, art.fonts, Font::SansBoldOblique, 22, title, w - 24);
    const double tw = textWidth(cr, art.fonts, Font::SansBoldOblique, size, title);
    goldText(cr, art.fonts, Font::SansBoldOblique, size, title, (w - tw) / 2, 29, 2);
    drawText(cr, art.fonts, Font::CondensedBold, 10, "PERIOD WON", w / 2, 44, Align::Centre, LABEL);
    // The slots of the claimed percentage and the period's points.
    const double slotTop = WON_FIGURES_Y - WON_BANNER_Y - 4, slotH = NUMERAL_H + 7;
    recess(cr, WON_PERCENT_CENTRE_X - WON_BANNER_X - 40, slotTop, 80, slotH);
    recess(cr, WON_POINTS_CENTRE_X - WON_BANNER_X - 52, slotTop, 104, slotH);
    return canvas.toSprite(art.quantiser);
}

std::unique_ptr<Image> boxBack(ArtContext& art) {
    Canvas canvas(BOX_W, BOX_H);
    cairo_t* cr = canvas.cr();
    roundedRect(cr, 0, 0, BOX_W, BOX_H, 4);
    fillVertical(cr, 0, BOX_H, 0x1C2C58, 0x0A1228);
    // The bench along the back, under each seat.
    for (int s = 0; s < BOX_SEATS; ++s) {
        cairo_rectangle(cr, 3, BOX_SEAT_Y - BOX_Y + s * BOX_SEAT_STEP + 13, BOX_W - 6, 2);
        setColour(cr, 0x6A4420);
        cairo_fill(cr);
    }
    // The plate the count is shown on.
    recess(cr, 5, BOX_COUNT_Y - BOX_Y - 2, BOX_W - 10, SMALL_DIGIT_H + 4);
    return canvas.toOpaque(art.quantiser);
}

std::unique_ptr<Image> boxFront(ArtContext& art) {
    Canvas canvas(BOX_W, BOX_H);
    cairo_t* cr = canvas.cr();
    // The frame, with the door gap on the rink's side.
    roundedRect(cr, 1, 1, BOX_W - 2, BOX_H - 2, 4);
    setColour(cr, PANEL_RIM);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_rectangle(cr, 0, BOX_DOOR_Y - BOX_Y - 9, 3, 18);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    // The penalty lamp on top, lit.
    cairo_arc(cr, BOX_W / 2.0, 3, 2.5, 0, 2 * M_PI);
    setColour(cr, 0xFF3020);
    cairo_fill(cr);
    // Two glints on the glass.
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    setColour(cr, 0xE8F4FF);
    for (int i = 0; i < 5; ++i) {
        cairo_rectangle(cr, BOX_W - 7 - i, 8 + i, 1, 1);
        cairo_rectangle(cr, BOX_W - 6 - i, 44 + i, 1, 1);
    }
    cairo_fill(cr);
    return canvas.toSprite(art.quantiser);
}

} // namespace

Frames makeNumerals(ArtContext& art) {
    Frames frames;
    const char* glyphs[NUMERAL_GLYPHS] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "+", "%"};
    for (const char* g : glyphs)
        frames.push_back(goldGlyph(art, Font::SansBold, g, NUMERAL_W, NUMERAL_H, 1.6));
    return frames;
}

Frames makeBigNumerals(ArtContext& art) {
    Frames frames;
    for (int d = 0; d < 10; ++d)
        frames.push_back(
            goldGlyph(art, Font::SansBoldOblique, std::to_string(d), BIG_NUMERAL_W, BIG_NUMERAL_H, 2.5));
    return frames;
}

Frames makeSmallDigits(ArtContext& art) {
    Frames frames;
    for (int d = 0; d < 10; ++d) {
        Canvas canvas(SMALL_DIGIT_W, SMALL_DIGIT_H);
        cairo_set_antialias(canvas.cr(), CAIRO_ANTIALIAS_NONE);
        pixelGlyph(canvas.cr(), PIXEL_DIGITS[d], 0, 0, PIXEL_DIGIT);
        frames.push_back(canvas.toSprite(art.quantiser));
    }
    return frames;
}

Frames makeFeedbackPictures(ArtContext& art) {
    Frames frames;
    frames.push_back(bottomPanel(art));
    frames.push_back(periodWord(art));
    frames.push_back(wonBanner(art));
    frames.push_back(boxBack(art));
    frames.push_back(boxFront(art));
    return frames;
}

Frames makeBurst(ArtContext& art) {
    Frames frames;
    const double c = BURST_SIZE / 2.0;
    for (int k = 0; k < BURST_FRAMES; ++k) {
        Canvas canvas(BURST_SIZE, BURST_SIZE);
        cairo_t* cr = canvas.cr();
        const double t = (k + 1.0) / BURST_FRAMES;
        // Eight rays that shoot out and thin, a ring that widens, and a white core that fades.
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        for (int r = 0; r < 8; ++r) {
            const double a = r * M_PI / 4 + M_PI / 8;
            const double from = 4 + 14 * t, to = 8 + 15 * t * (r % 2 ? 0.8 : 1.0);
            cairo_move_to(cr, c + std::cos(a) * from, c + std::sin(a) * from);
            cairo_line_to(cr, c + std::cos(a) * to, c + std::sin(a) * to);
        }
        setColour(cr, k < 2 ? 0xFFFFFF : 0xFFE060);
        cairo_set_line_width(cr, 3.2 - 0.5 * k);
        cairo_stroke(cr);
        cairo_arc(cr, c, c, 5 + 15 * t, 0, 2 * M_PI);
        setColour(cr, k < 3 ? 0xFFF4C0 : 0xFFB030);
        cairo_set_line_width(cr, 2.6 - 0.4 * k);
        cairo_stroke(cr);
        if (k < 3) {
            cairo_arc(cr, c, c, 6 - 1.5 * k, 0, 2 * M_PI);
            setColour(cr, 0xFFFFFF);
            cairo_fill(cr);
        }
        frames.push_back(canvas.toSprite(art.quantiser));
    }
    return frames;
}

} // namespace tundrix::assetgen
