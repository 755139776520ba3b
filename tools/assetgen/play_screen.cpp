// Composes the play screen: score panel, rink and bottom strip; and the claimed look of the ice.
#include "tools/assetgen/play_screen.h"

#include "tools/assetgen/glyphs.h"
#include "tools/assetgen/layout.h"
#include "tools/assetgen/rink.h"

#include <algorithm>
#include <cmath>

namespace tundrix::assetgen {

namespace {

constexpr int PANEL_BOTTOM = 44;

// A recessed window of the score panel.
void window(cairo_t* cr, double x0, double x1, double y0, double y1) {
    roundedRect(cr, x0 - 1.5, y0 - 1.5, x1 - x0 + 3, y1 - y0 + 3, 5);
    fillVertical(cr, y0 - 1.5, y1 + 1.5, 0x05070E, 0x7888A8);
    roundedRect(cr, x0, y0, x1 - x0, y1 - y0, 4);
    setColour(cr, DOT_WINDOW);
    cairo_fill(cr);
}

void drawPanel(cairo_t* cr) {
    // The panel: a brushed navy bar with a bright rim.
    roundedRect(cr, 2, 1, SCREEN_W - 4, PANEL_BOTTOM + 1, 6);
    fillVertical(cr, 1, PANEL_BOTTOM + 2, 0x3A5590, 0x101A38, true);
    setColour(cr, 0x8CA8E0);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    const int y0 = HUD_Y - 3, y1 = HUD_Y + DIGIT_H + 3;
    // Clock: two minute digits, the colon, two second digits.
    window(cr, MINUTES_END - 2 * DIGIT_STEP - 3, SECONDS_END - 6 + 3, y0, y1);
    for (int x : {MINUTES_END - 2 * DIGIT_STEP, MINUTES_END - DIGIT_STEP, SEPARATOR_X,
                  SECONDS_END - 2 * DIGIT_STEP, SECONDS_END - DIGIT_STEP}) {
        drawDotCell(cr, x, HUD_Y, -1);
    }
    // Claimed percentage: two digits and the percent sign.
    window(cr, PERCENT_END - 2 * DIGIT_STEP - 3, PERCENT_SIGN_X + DIGIT_W + 3, y0, y1);
    for (int x : {PERCENT_END - 2 * DIGIT_STEP, PERCENT_END - DIGIT_STEP, PERCENT_SIGN_X})
        drawDotCell(cr, x, HUD_Y, -1);
    // Score: five digits ending at the right.
    window(cr, SCORE_END - 5 * DIGIT_STEP - 3, SCORE_END - 5 + 3, y0, y1);
    for (int i = 1; i <= 5; ++i)
        drawDotCell(cr, SCORE_END - i * DIGIT_STEP, HUD_Y, -1);
    // The tray for the chance icons.
    const double trayLeft = CHANCES_X - 4, trayRight = SCORE_END - 5 * DIGIT_STEP - 9;
    roundedRect(cr, trayLeft, CHANCES_Y - 2, trayRight - trayLeft, 36, 6);
    fillVertical(cr, CHANCES_Y - 2, CHANCES_Y + 34, 0x0E1630, 0x24345E, true);
    setColour(cr, 0x5A74B0);
    cairo_stroke(cr);
}

void drawBottomStrip(cairo_t* cr, const ArtContext& art) {
    const double top = EDGE_BOTTOM + 7;
    drawOutlinedText(cr, art.fonts, Font::SansBoldOblique, 15, "TUNDRIX", 36, SCREEN_H - 6, Align::Left,
                     0xFFD02A, 0x0A1020, 1.5);
    drawText(cr, art.fonts, Font::CondensedBold, 10, "ICE-HOCKEY CUP", 114, SCREEN_H - 7, Align::Left,
             0xE4ECF8);
    drawText(cr, art.fonts, Font::CondensedBold, 9, "MOT · VS", FLAG_X - 6, SCREEN_H - 9, Align::Right,
             0xC8D6F0);
    // The slot the team flag is drawn into.
    roundedRect(cr, FLAG_X - 3, FLAG_Y - 3, 38, 22, 3);
    setColour(cr, 0x05070E);
    cairo_fill(cr);
    cairo_rectangle(cr, FLAG_X - 1, FLAG_Y - 1, 34, 18);
    setColour(cr, 0xC0CCE0);
    cairo_fill(cr);
    cairo_rectangle(cr, FLAG_X, FLAG_Y, 32, 16);
    setColour(cr, 0x303848);
    cairo_fill(cr);
    (void)top;
}

uint8_t channel(uint32_t rgb, int shift) {
    return static_cast<uint8_t>((rgb >> shift) & 0xFF);
}

} // namespace

uint32_t claimedColour(uint32_t rgb) {
    const double l = (0.299 * channel(rgb, 16) + 0.587 * channel(rgb, 8) + 0.114 * channel(rgb, 0)) / 255.0;
    const double g = 0.16 + 0.44 * l;
    const auto c = [](double v) { return static_cast<uint32_t>(std::clamp(v, 0.0, 1.0) * 255 + 0.5); };
    return (c(g * 0.94) << 16) | (c(g * 0.99) << 8) | c(g * 1.1);
}

PlayScreen makePlayScreen(ArtContext& art) {
    Canvas canvas(SCREEN_W, SCREEN_H);
    cairo_t* cr = canvas.cr();
    drawArena(cr, SCREEN_W, SCREEN_H);
    drawPanel(cr);
    drawBottomStrip(cr, art);
    drawBoards(cr);
    drawIce(cr);
    PlayScreen out;
    out.background = canvas.toOpaque(art.quantiser);

    // Claimed look: the same ice, grayed and darker; everything outside the ice transparent.
    Canvas claimed(SCREEN_W, SCREEN_H);
    canvas.flush();
    claimed.flush();
    for (int y = ICE_TOP; y <= ICE_BOTTOM; ++y) {
        const uint32_t* from = canvas.row(y);
        uint32_t* to = claimed.row(y);
        for (int x = ICE_LEFT; x <= ICE_RIGHT; ++x)
            to[x] = 0xFF000000u | claimedColour(from[x] & 0xFFFFFF);
    }
    claimed.markDirty();
    out.claimed = claimed.toSprite(art.quantiser);
    return out;
}

} // namespace tundrix::assetgen
