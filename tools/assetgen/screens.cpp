// Draws the title and match-intro backgrounds, the title's side panel and its caption.
#include "tools/assetgen/screens.h"

#include "tools/assetgen/layout.h"

#include <cmath>

namespace tundrix::assetgen {

namespace {

constexpr uint32_t GOLD = 0xFFC820;
constexpr uint32_t NAVY_INK = 0x0A1030;

// A dark arena with light beams falling from the roof and a few glints.
void arenaSky(cairo_t* cr, uint32_t top, uint32_t bottom, uint32_t seed) {
    cairo_rectangle(cr, 0, 0, SCREEN_W, SCREEN_H);
    fillVertical(cr, 0, SCREEN_H, top, bottom);
    for (const auto& beam : {std::pair{30.0, 140.0}, std::pair{410.0, 300.0}, std::pair{220.0, 200.0}}) {
        cairo_move_to(cr, beam.first - 8, -4);
        cairo_line_to(cr, beam.first + 8, -4);
        cairo_line_to(cr, beam.second + 50, SCREEN_H);
        cairo_line_to(cr, beam.second - 50, SCREEN_H);
        cairo_close_path(cr);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, SCREEN_H);
        addStop(p, 0, 0xFFFFFF, 0.22);
        addStop(p, 1, 0xFFFFFF, 0.0);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    Scatter s(seed);
    for (int i = 0; i < 40; ++i) {
        const double x = s.range(0, SCREEN_W), y = s.range(0, 150), r = s.range(0.6, 1.6);
        cairo_arc(cr, x, y, r, 0, 2 * M_PI);
        setColour(cr, 0xFFFFFF, s.range(0.3, 0.8));
        cairo_fill(cr);
    }
}

// The boards with sponsor panels and the ice in front of them, in perspective.
void arenaFloor(cairo_t* cr, const ArtContext& art, double boardTop) {
    const double boardBottom = boardTop + 30;
    cairo_rectangle(cr, 0, boardTop - 18, SCREEN_W, 18);
    setColour(cr, 0x8AB4E0, 0.25); // the glass
    cairo_fill(cr);
    cairo_rectangle(cr, 0, boardTop, SCREEN_W, boardBottom - boardTop);
    fillVertical(cr, boardTop, boardBottom, 0xFFFFFF, 0xC8D4E4);
    const char* ads[] = {"TUNDRIX", "LUMORA", "TUNDRIX", "LUMORA", "TUNDRIX"};
    const uint32_t adColours[] = {0x1E50C8, 0xC8102E, 0x1E50C8, 0xC8102E, 0x1E50C8};
    for (int i = 0; i < 5; ++i) {
        const double x = 4 + i * 88;
        roundedRect(cr, x, boardTop + 4, 84, boardBottom - boardTop - 8, 3);
        setColour(cr, adColours[i]);
        cairo_fill(cr);
        drawText(cr, art.fonts, Font::SansBoldOblique, 13, ads[i], x + 42, boardBottom - 10, Align::Centre,
                 i % 2 ? 0xFFFFFF : GOLD);
    }
    cairo_rectangle(cr, 0, boardBottom, SCREEN_W, 4);
    setColour(cr, GOLD);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, boardBottom + 4, SCREEN_W, SCREEN_H - boardBottom - 4);
    fillVertical(cr, boardBottom + 4, SCREEN_H, 0xDCEAF6, 0xF8FCFF);
    // A blue line and the centre red line running toward the viewer.
    for (const auto& line :
         {std::pair{90.0, 0x2060D0u}, std::pair{330.0, 0x2060D0u}, std::pair{210.0, 0xD21E30u}}) {
        const double x = line.first;
        cairo_move_to(cr, x - 3, boardBottom + 4);
        cairo_line_to(cr, x + 3, boardBottom + 4);
        cairo_line_to(cr, x + (x - 220) * 0.8 + 9, SCREEN_H);
        cairo_line_to(cr, x + (x - 220) * 0.8 - 9, SCREEN_H);
        cairo_close_path(cr);
        setColour(cr, line.second);
        cairo_fill(cr);
    }
}

void keyCap(cairo_t* cr, const ArtContext& art, double x, double y, double w, double h,
            const std::string& label, double size) {
    roundedRect(cr, x, y + 2, w, h, 3);
    setColour(cr, 0x000000, 0.6);
    cairo_fill(cr);
    roundedRect(cr, x, y, w, h, 3);
    fillVertical(cr, y, y + h, 0xFFFFFF, 0xB8C4D8, true);
    setColour(cr, NAVY_INK);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    drawText(cr, art.fonts, Font::CondensedBold, size, label, x + w / 2, y + h / 2 + size * 0.36,
             Align::Centre, NAVY_INK);
}

void centredText(cairo_t* cr, const ArtContext& art, double y, const std::string& text, double size,
                 uint32_t colour, Font font = Font::CondensedBold) {
    drawText(cr, art.fonts, font, size, text, PANEL_W / 2.0, y, Align::Centre, colour);
}

// The cup: a golden bowl with handles on a stem and a dark base with a plaque.
void trophy(cairo_t* cr, const ArtContext& art, double cx, double top) {
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const auto gold = [&](double x0, double x1) {
        cairo_pattern_t* p = cairo_pattern_create_linear(x0, 0, x1, 0);
        addStop(p, 0, 0xA06A10);
        addStop(p, 0.3, 0xFFF0A0);
        addStop(p, 0.55, 0xF0B828);
        addStop(p, 1, 0x8A5A08);
        cairo_set_source(cr, p);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(p);
        setColour(cr, 0x4A3006);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    };
    // Handles.
    for (int side : {-1, 1}) {
        cairo_new_path(cr);
        cairo_move_to(cr, cx + side * 40, top + 12);
        cairo_curve_to(cr, cx + side * 76, top + 6, cx + side * 72, top + 60, cx + side * 26, top + 70);
        cairo_curve_to(cr, cx + side * 60, top + 52, cx + side * 62, top + 20, cx + side * 40, top + 22);
        cairo_close_path(cr);
        gold(cx - 70, cx + 70);
    }
    // Bowl.
    cairo_new_path(cr);
    cairo_move_to(cr, cx - 48, top);
    cairo_line_to(cr, cx + 48, top);
    cairo_curve_to(cr, cx + 48, top + 50, cx + 30, top + 78, cx + 8, top + 84);
    cairo_line_to(cr, cx - 8, top + 84);
    cairo_curve_to(cr, cx - 30, top + 78, cx - 48, top + 50, cx - 48, top);
    cairo_close_path(cr);
    gold(cx - 48, cx + 48);
    cairo_save(cr);
    cairo_translate(cr, cx, top);
    cairo_scale(cr, 48, 7);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    fillVertical(cr, top - 7, top + 7, 0x6A4A08, 0xE8C050, true);
    setColour(cr, 0x4A3006);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // Stem and base.
    cairo_rectangle(cr, cx - 7, top + 84, 14, 22);
    gold(cx - 7, cx + 7);
    cairo_move_to(cr, cx - 30, top + 118);
    cairo_line_to(cr, cx - 22, top + 104);
    cairo_line_to(cr, cx + 22, top + 104);
    cairo_line_to(cr, cx + 30, top + 118);
    cairo_close_path(cr);
    gold(cx - 30, cx + 30);
    cairo_rectangle(cr, cx - 40, top + 118, 80, 24);
    fillVertical(cr, top + 118, top + 142, 0x4A2E1A, 0x24140A, true);
    setColour(cr, 0x100804);
    cairo_stroke(cr);
    roundedRect(cr, cx - 28, top + 123, 56, 14, 2);
    fillVertical(cr, top + 123, top + 137, 0xFFF0A0, 0xC89020, true);
    setColour(cr, 0x4A3006);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    drawText(cr, art.fonts, Font::CondensedBold,
             fitTextSize(cr, art.fonts, Font::CondensedBold, 9, "TUNDRIX CUP", 50), "TUNDRIX CUP", cx,
             top + 133.5, Align::Centre, 0x3A2404);
    // Shine on the bowl.
    cairo_move_to(cr, cx - 30, top + 12);
    cairo_curve_to(cr, cx - 30, top + 40, cx - 22, top + 60, cx - 12, top + 70);
    setColour(cr, 0xFFFFFF, 0.6);
    cairo_set_line_width(cr, 4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

} // namespace

std::unique_ptr<Image> makeTitleBackground(ArtContext& art) {
    Canvas canvas(SCREEN_W, SCREEN_H);
    cairo_t* cr = canvas.cr();
    arenaSky(cr, 0x0A1440, 0x3A2A7A, 17);
    arenaFloor(cr, art, 196);
    // The game's name, high on the right of Brum's head.
    cairo_save(cr);
    const double cx = 268;
    drawOutlinedText(cr, art.fonts, Font::SansBoldOblique, 46, "TUNDRIX", cx + 3, 52, Align::Centre, 0x000000,
                     0x000000, 4);
    cairo_set_font_face(cr, art.fonts.face(Font::SansBoldOblique));
    cairo_set_font_size(cr, 46);
    cairo_text_extents_t e;
    cairo_text_extents(cr, "TUNDRIX", &e);
    cairo_move_to(cr, cx - e.x_advance / 2, 49);
    cairo_text_path(cr, "TUNDRIX");
    setColour(cr, NAVY_INK);
    cairo_set_line_width(cr, 7);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    setColour(cr, 0x4A8AF0);
    cairo_set_line_width(cr, 3);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 14, 0, 49);
    addStop(p, 0, 0xFFFBD0);
    addStop(p, 0.5, GOLD);
    addStop(p, 1, 0xE07A10);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
    roundedRect(cr, cx - 86, 56, 172, 20, 10);
    fillVertical(cr, 56, 76, 0xD8243A, 0x8A1020, true);
    setColour(cr, 0xFFFFFF);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    drawText(cr, art.fonts, Font::SansBold, 13, "ICE-HOCKEY CUP", cx, 71, Align::Centre, 0xFFFFFF);
    return canvas.toOpaque(art.quantiser);
}

std::unique_ptr<Image> makeIntroBackground(ArtContext& art) {
    Canvas canvas(SCREEN_W, SCREEN_H);
    cairo_t* cr = canvas.cr();
    arenaSky(cr, 0x081230, 0x1A3A7A, 23);
    // Headline.
    drawOutlinedText(cr, art.fonts, Font::SansBoldOblique, 30, "NÄSTA MATCH", 220, 44, Align::Centre, GOLD,
                     NAVY_INK, 2.5);
    drawOutlinedText(cr, art.fonts, Font::SansBold, 14, "NEXT MATCH", 220, 66, Align::Centre, 0xFFFFFF,
                     NAVY_INK, 2);
    // The cup on a spotlit stand on the left.
    cairo_save(cr);
    cairo_translate(cr, 112, 252);
    cairo_scale(cr, 1, 0.25);
    cairo_arc(cr, 0, 0, 70, 0, 2 * M_PI);
    cairo_restore(cr);
    setColour(cr, 0xFFFFFF, 0.25);
    cairo_fill(cr);
    trophy(cr, art, 112, 114);
    // The frame the opponent's card sits in.
    drawText(cr, art.fonts, Font::CondensedBold, 12, "MOTSTÅNDARE · OPPONENT", CARD_X + CARD_W / 2.0,
             CARD_Y - 12, Align::Centre, 0xE8F0FF);
    roundedRect(cr, CARD_X - 7, CARD_Y - 7, CARD_W + 14, CARD_H + 14, 12);
    fillVertical(cr, CARD_Y - 7, CARD_Y + CARD_H + 7, 0xFFE888, 0xB07810, true);
    setColour(cr, NAVY_INK);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_rectangle(cr, CARD_X - 1, CARD_Y - 1, CARD_W + 2, CARD_H + 2);
    setColour(cr, NAVY_INK);
    cairo_fill(cr);
    // What to press.
    roundedRect(cr, 70, 274, 300, 20, 10);
    setColour(cr, 0x000000, 0.45);
    cairo_fill(cr);
    drawText(cr, art.fonts, Font::CondensedBold, 11, "Tryck Enter eller mellanslag · Press Enter or Space",
             220, 288, Align::Centre, 0xFFFFFF);
    return canvas.toOpaque(art.quantiser);
}

std::unique_ptr<Image> makeSidePanel(ArtContext& art) {
    Canvas canvas(PANEL_W, PANEL_H);
    cairo_t* cr = canvas.cr();
    roundedRect(cr, 1, 1, PANEL_W - 2, PANEL_H - 2, 8);
    fillVertical(cr, 0, PANEL_H, 0x22408A, 0x0A1434, true);
    setColour(cr, GOLD);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // Left and right choose the mascot (the caption covers the panel's top).
    keyCap(cr, art, 7, 31, 19, 17, "◀", 10);
    keyCap(cr, art, 31, 31, 19, 17, "▶", 10);
    centredText(cr, art, 62, "VÄLJ", 11, GOLD);
    centredText(cr, art, 73, "CHOOSE", 9, 0xFFFFFF);
    cairo_rectangle(cr, 8, 80, PANEL_W - 16, 1);
    setColour(cr, 0x6A86C8);
    cairo_fill(cr);
    // Enter or Space starts.
    keyCap(cr, art, 7, 87, 43, 16, "ENTER", 9);
    centredText(cr, art, 114, "eller · or", 8, 0xC8D6F0, Font::Sans);
    keyCap(cr, art, 5, 119, 47, 15, "SPACE", 9);
    centredText(cr, art, 150, "START", 12, GOLD);
    cairo_rectangle(cr, 8, 158, PANEL_W - 16, 1);
    setColour(cr, 0x6A86C8);
    cairo_fill(cr);
    // F1 starts a new game.
    keyCap(cr, art, 16, 166, 25, 16, "F1", 10);
    centredText(cr, art, 196, "NYTT SPEL", 8, GOLD);
    centredText(cr, art, 207, "NEW GAME", 8, 0xFFFFFF);
    return canvas.toOpaque(art.quantiser);
}

std::unique_ptr<Image> makeCaption(ArtContext& art) {
    Canvas canvas(CAPTION_W, CAPTION_H);
    cairo_t* cr = canvas.cr();
    roundedRect(cr, 0.75, 0.75, CAPTION_W - 1.5, CAPTION_H - 1.5, 8);
    fillVertical(cr, 0, CAPTION_H, 0xD8243A, 0x7A0C1C, true);
    setColour(cr, 0xFFFFFF);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    const std::string text = "Välj spelare · Choose player";
    const double size = fitTextSize(cr, art.fonts, Font::CondensedBold, 12, text, CAPTION_W - 12);
    drawText(cr, art.fonts, Font::CondensedBold, size, text, CAPTION_W / 2.0, CAPTION_H / 2.0 + size * 0.36,
             Align::Centre, 0xFFFFFF);
    return canvas.toSprite(art.quantiser);
}

} // namespace tundrix::assetgen
