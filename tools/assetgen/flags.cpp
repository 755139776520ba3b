// Draws the national flags of the five opposing teams, the match cards and the small panel flags.
#include "tools/assetgen/flags.h"

#include <cmath>

namespace tundrix::assetgen {

namespace {

// Rectangles snap to whole pixels, so small flags stay crisp.
void band(cairo_t* cr, double x, double y, double w, double h, uint32_t colour) {
    const double x0 = std::round(x), y0 = std::round(y);
    const double x1 = std::round(x + w), y1 = std::round(y + h);
    cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
    setColour(cr, colour);
    cairo_fill(cr);
}

// A Nordic cross flag measured in the flag's own units (widths and heights of its stripes).
void nordicCross(cairo_t* cr, double x, double y, double w, double h, const double* widths,
                 const double* heights, int bands, const uint32_t* colours) {
    double unitsW = 0, unitsH = 0;
    for (int i = 0; i < bands; ++i) {
        unitsW += widths[i];
        unitsH += heights[i];
    }
    const double sx = w / unitsW, sy = h / unitsH;
    band(cr, x, y, w, h, colours[0]);
    // Draw the cross as nested plus shapes: the outer colour first, then the inner one.
    const int layers = (bands - 1) / 2;
    double left = widths[0], top = heights[0];
    double crossW = 0, crossH = 0;
    for (int i = 1; i < bands - 1; ++i) {
        crossW += widths[i];
        crossH += heights[i];
    }
    for (int layer = 0; layer < layers; ++layer) {
        band(cr, x + left * sx, y, crossW * sx, h, colours[layer + 1]);
        band(cr, x, y + top * sy, w, crossH * sy, colours[layer + 1]);
        left += widths[layer + 1];
        top += heights[layer + 1];
        crossW -= widths[layer + 1] + widths[bands - 2 - layer];
        crossH -= heights[layer + 1] + heights[bands - 2 - layer];
    }
}

void star(cairo_t* cr, double x, double y, double r) {
    cairo_new_path(cr);
    for (int k = 0; k < 10; ++k) {
        const double a = -M_PI / 2 + k * M_PI / 5;
        const double rr = k % 2 ? r * 0.382 : r;
        if (k == 0) {
            cairo_move_to(cr, x + rr * std::cos(a), y + rr * std::sin(a));
        } else {
            cairo_line_to(cr, x + rr * std::cos(a), y + rr * std::sin(a));
        }
    }
    cairo_close_path(cr);
    cairo_fill(cr);
}

void usa(cairo_t* cr, double x, double y, double w, double h) {
    for (int k = 0; k < 13; ++k) {
        const double y0 = std::round(y + k * h / 13), y1 = std::round(y + (k + 1) * h / 13);
        band(cr, x, y0, w, y1 - y0, k % 2 ? 0xFFFFFF : 0xB22234);
    }
    const double cw = std::round(w * 0.4), ch = std::round(y + 7 * h / 13) - y;
    band(cr, x, y, cw, ch, 0x3C3B6E);
    setColour(cr, 0xFFFFFF);
    if (w < 60) {
        // Too small for stars: a lattice of white points in the canton.
        for (int row = 0; row * 2 + 1 < ch; ++row) {
            for (int col = row % 2; col * 2 + 1 < cw; col += 2) {
                cairo_rectangle(cr, std::round(x) + 1 + col * 2, std::round(y) + 1 + row * 2, 1, 1);
            }
        }
        cairo_fill(cr);
        return;
    }
    // Fifty stars: nine rows of six and five.
    for (int row = 0; row < 9; ++row) {
        const int count = row % 2 ? 5 : 6;
        for (int i = 0; i < count; ++i) {
            const double sx = x + cw * (row % 2 ? 2 + 2 * i : 1 + 2 * i) / 12.0;
            const double sy = y + ch * (1 + row) / 10.0;
            star(cr, sx, sy, ch * 0.0616 * 1.25);
        }
    }
}

// The maple leaf, in a box of half-width 1 centred on (0, 0).
void mapleLeaf(cairo_t* cr, double cx, double cy, double scale) {
    static constexpr double HALF[][2] = {{0, -1.0},     {0.18, -0.66}, {0.40, -0.76}, {0.32, -0.26},
                                         {0.62, -0.56}, {0.70, -0.40}, {0.98, -0.46}, {0.86, -0.14},
                                         {0.98, -0.06}, {0.55, 0.30},  {0.62, 0.50},  {0.07, 0.42},
                                         {0.07, 0.95}};
    constexpr int n = sizeof(HALF) / sizeof(HALF[0]);
    cairo_new_path(cr);
    for (int i = 0; i < n; ++i)
        cairo_line_to(cr, cx + HALF[i][0] * scale, cy + HALF[i][1] * scale);
    for (int i = n - 1; i >= 1; --i)
        cairo_line_to(cr, cx - HALF[i][0] * scale, cy + HALF[i][1] * scale);
    cairo_close_path(cr);
    setColour(cr, 0xD80621);
    cairo_fill(cr);
}

} // namespace

const char* teamCode(Team team) {
    switch (team) {
    case Team::Norway:
        return "NOR";
    case Team::Usa:
        return "USA";
    case Team::Finland:
        return "FIN";
    case Team::Russia:
        return "RUS";
    case Team::Canada:
        return "CAN";
    }
    return "";
}

void drawFlag(cairo_t* cr, Team team, double x, double y, double w, double h) {
    cairo_save(cr);
    switch (team) {
    case Team::Norway: {
        const double widths[] = {6, 1, 2, 1, 12};
        const double heights[] = {6, 1, 2, 1, 6};
        const uint32_t colours[] = {0xBA0C2F, 0xFFFFFF, 0x00205B};
        nordicCross(cr, x, y, w, h, widths, heights, 5, colours);
        break;
    }
    case Team::Finland: {
        const double widths[] = {5, 3, 10};
        const double heights[] = {4, 3, 4};
        const uint32_t colours[] = {0xFFFFFF, 0x003580};
        nordicCross(cr, x, y, w, h, widths, heights, 3, colours);
        break;
    }
    case Team::Usa:
        usa(cr, x, y, w, h);
        break;
    case Team::Russia:
        band(cr, x, y, w, h / 3, 0xFFFFFF);
        band(cr, x, y + h / 3, w, h / 3, 0x0039A6);
        band(cr, x, y + 2 * h / 3, w, h - 2 * h / 3, 0xD52B1E);
        break;
    case Team::Canada:
        band(cr, x, y, w, h, 0xFFFFFF);
        band(cr, x, y, w / 4, h, 0xD80621);
        band(cr, x + 3 * w / 4, y, w - 3 * w / 4, h, 0xD80621);
        mapleLeaf(cr, x + w / 2, y + h * 0.47, std::min(w / 4, h / 2) * 0.82);
        break;
    }
    cairo_restore(cr);
}

Frames makeMatchCards(ArtContext& art) {
    Frames frames;
    for (Team team : TEAMS) {
        Canvas canvas(148, 118);
        cairo_t* cr = canvas.cr();
        roundedRect(cr, 0.5, 0.5, 147, 117, 9);
        fillVertical(cr, 0, 118, 0x2A4A8A, 0x0C1834, true);
        setColour(cr, 0xE8C050);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        // The flag with a drop shadow and a white frame.
        const double fx = 14, fy = 11, fw = 120, fh = 68;
        cairo_rectangle(cr, fx + 2, fy + 3, fw + 2, fh + 2);
        setColour(cr, 0x000000, 0.5);
        cairo_fill(cr);
        cairo_rectangle(cr, fx - 1, fy - 1, fw + 2, fh + 2);
        setColour(cr, 0xF0F4FA);
        cairo_fill(cr);
        drawFlag(cr, team, fx, fy, fw, fh);
        drawOutlinedText(cr, art.fonts, Font::SansBold, 27, teamCode(team), 74, 109, Align::Centre, 0xFFFFFF,
                         0x081020, 2);
        frames.push_back(canvas.toOpaque(art.quantiser));
    }
    return frames;
}

Frames makeSmallFlags(ArtContext& art) {
    Frames frames;
    for (Team team : TEAMS) {
        Canvas canvas(32, 16);
        drawFlag(canvas.cr(), team, 0, 0, 32, 16);
        frames.push_back(canvas.toOpaque(art.quantiser));
    }
    return frames;
}

} // namespace tundrix::assetgen
