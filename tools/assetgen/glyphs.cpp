// Draws the dot-matrix glyphs of the score panel and the game-over banner.
#include "tools/assetgen/glyphs.h"

#include "tools/assetgen/layout.h"

namespace tundrix::assetgen {

namespace {

constexpr int COLUMNS = 5;
constexpr int ROWS = 8;

// Each glyph as eight rows of five dots, top row first.
constexpr const char* GLYPHS[13][ROWS] = {
    {".###.", "#...#", "#...#", "#..##", "##..#", "#...#", "#...#", ".###."},
    {"..#..", ".##..", "#.#..", "..#..", "..#..", "..#..", "..#..", "#####"},
    {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#....", "#####"},
    {".###.", "#...#", "....#", "..##.", "....#", "....#", "#...#", ".###."},
    {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#.", "...#."},
    {"#####", "#....", "#....", "####.", "....#", "....#", "#...#", ".###."},
    {"..##.", ".#...", "#....", "####.", "#...#", "#...#", "#...#", ".###."},
    {"#####", "....#", "...#.", "...#.", "..#..", "..#..", ".#...", ".#..."},
    {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", "#...#", ".###."},
    {".###.", "#...#", "#...#", "#...#", ".####", "....#", "...#.", ".##.."},
    {"#####", "#####", "#####", "#####", "#####", "#####", "#####", "#####"},
    {".....", ".....", "..#..", "..#..", ".....", "..#..", "..#..", "....."},
    {"##...", "##..#", "...#.", "..#..", ".#...", "#..##", "...##", "....."},
};

void pixelRect(cairo_t* cr, int x, int y, int w, int h, uint32_t colour) {
    cairo_rectangle(cr, x, y, w, h);
    setColour(cr, colour);
    cairo_fill(cr);
}

} // namespace

void drawDotCell(cairo_t* cr, int x, int y, int glyph) {
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    pixelRect(cr, x, y, DIGIT_W, DIGIT_H, DOT_WINDOW);
    for (int r = 0; r < ROWS; ++r) {
        for (int c = 0; c < COLUMNS; ++c) {
            const int dx = x + 1 + 3 * c, dy = y + 1 + 3 * r;
            const bool lit = glyph >= 0 && glyph < 13 && GLYPHS[glyph][r][c] == '#';
            if (lit) {
                pixelRect(cr, dx, dy, 2, 2, 0xFFA418);
                pixelRect(cr, dx, dy, 1, 1, 0xFFE880);
            } else {
                pixelRect(cr, dx, dy, 2, 2, 0x3C2408);
            }
        }
    }
    cairo_restore(cr);
}

Frames makeDigits(ArtContext& art) {
    Frames frames;
    for (int g = 0; g < 13; ++g) {
        Canvas canvas(DIGIT_W, DIGIT_H);
        drawDotCell(canvas.cr(), 0, 0, g);
        frames.push_back(canvas.toOpaque(art.quantiser));
    }
    return frames;
}

std::unique_ptr<Image> makeGameOverBanner(ArtContext& art) {
    Canvas canvas(268, 42);
    cairo_t* cr = canvas.cr();
    const std::string text = "GAME OVER";
    const double size = fitTextSize(cr, art.fonts, Font::SansBoldOblique, 40, text, 256);
    // A dark drop shadow, then the letters with a thick outline and a fiery gradient.
    cairo_set_font_face(cr, art.fonts.face(Font::SansBoldOblique));
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    const double x = (268 - e.width) / 2 - e.x_bearing;
    const double y = (42 - e.height) / 2 - e.y_bearing;
    cairo_move_to(cr, x + 2, y + 2);
    cairo_text_path(cr, text.c_str());
    setColour(cr, 0x000000, 0.8);
    cairo_set_line_width(cr, 5);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, text.c_str());
    setColour(cr, 0x10182E);
    cairo_set_line_width(cr, 5);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y + e.y_bearing, 0, y);
    addStop(p, 0, 0xFFF4A0);
    addStop(p, 0.45, 0xFFC020);
    addStop(p, 0.55, 0xF08010);
    addStop(p, 1, 0xD02010);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // A white glint along the top of the letters.
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, text.c_str());
    cairo_clip(cr);
    cairo_rectangle(cr, 0, y + e.y_bearing, 268, 3);
    setColour(cr, 0xFFFFFF, 0.7);
    cairo_fill(cr);
    cairo_reset_clip(cr);
    return canvas.toSprite(art.quantiser);
}

} // namespace tundrix::assetgen
