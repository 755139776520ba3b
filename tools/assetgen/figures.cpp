// Draws the two mascots as cartoon portraits in the team's kit, their overlays, the puck and the heads.
// An overlay is cut from a second drawing of the same portrait that differs only in the eyes, so it
// lands seamlessly on the portrait when the game draws it at its offset.
#include "tools/assetgen/figures.h"

#include "tools/assetgen/layout.h"

#include <algorithm>
#include <cmath>

namespace tundrix::assetgen {

namespace {

constexpr uint32_t INK = 0x2A1A14;
constexpr uint32_t JERSEY = 0xFFC820;
constexpr uint32_t JERSEY_SHADE = 0xE09A10;
constexpr uint32_t TRIM = 0x1E50C8;

struct Eye {
    double x, y, rx, ry;
    uint32_t iris;
};

void fillAndInk(cairo_t* cr, uint32_t colour, double width = 2.0) {
    setColour(cr, colour);
    cairo_fill_preserve(cr);
    setColour(cr, INK);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void ellipsePath(cairo_t* cr, double x, double y, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, rx, ry);
    cairo_new_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void drawEye(cairo_t* cr, const Eye& e, bool closed, bool lashes) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    if (closed) {
        // A closed lid: a downward curve with lashes at the outer corner.
        cairo_move_to(cr, e.x - e.rx, e.y - 1);
        cairo_curve_to(cr, e.x - e.rx * 0.5, e.y + e.ry * 0.7, e.x + e.rx * 0.5, e.y + e.ry * 0.7, e.x + e.rx,
                       e.y - 1);
        setColour(cr, INK);
        cairo_set_line_width(cr, 2.4);
        cairo_stroke(cr);
        if (lashes) {
            for (int k = 0; k < 3; ++k) {
                const double t = 0.25 + 0.25 * k;
                const double x = e.x - e.rx + 2 * e.rx * t;
                const double y = e.y - 1 + e.ry * 0.55 * std::sin(M_PI * t);
                cairo_move_to(cr, x, y);
                cairo_line_to(cr, x + (t - 0.5) * 4, y + 3.5);
            }
            cairo_set_line_width(cr, 1.3);
            cairo_stroke(cr);
        }
        return;
    }
    ellipsePath(cr, e.x, e.y, e.rx, e.ry);
    setColour(cr, 0xFFFFFF);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    cairo_new_path(cr);
    cairo_arc(cr, e.x, e.y + 0.5, e.ry * 0.86, 0, 2 * M_PI);
    fillRadial(cr, e.x - 1, e.y - 1, e.ry, 0xFFFFFF, e.iris, false);
    cairo_arc(cr, e.x, e.y + 0.5, e.ry * 0.86, 0, 2 * M_PI);
    setColour(cr, e.iris);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_arc(cr, e.x, e.y + 0.5, e.ry * 0.42, 0, 2 * M_PI);
    setColour(cr, 0x101018);
    cairo_fill(cr);
    cairo_arc(cr, e.x - e.ry * 0.35, e.y - e.ry * 0.3, e.ry * 0.24, 0, 2 * M_PI);
    setColour(cr, 0xFFFFFF);
    cairo_fill(cr);
    cairo_restore(cr);
    // Upper lid line.
    cairo_new_path(cr);
    cairo_move_to(cr, e.x - e.rx - 0.5, e.y + 0.5);
    cairo_curve_to(cr, e.x - e.rx * 0.6, e.y - e.ry * 1.25, e.x + e.rx * 0.6, e.y - e.ry * 1.25,
                   e.x + e.rx + 0.5, e.y - 0.5);
    setColour(cr, INK);
    cairo_set_line_width(cr, 2.4);
    cairo_stroke(cr);
    if (lashes) {
        const double side = e.x < 100 ? -1 : 1;
        const double ox = e.x + side * e.rx;
        cairo_move_to(cr, ox, e.y - 0.5);
        cairo_line_to(cr, ox + side * 2.0, e.y - 2.8);
        cairo_set_line_width(cr, 1.6);
        cairo_stroke(cr);
    }
    ellipsePath(cr, e.x, e.y, e.rx, e.ry);
    setColour(cr, INK);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
}

// The jersey: yellow with blue trim, a V collar and the sponsor's name on the chest.
void drawJersey(cairo_t* cr, const ArtContext& art, double neckL, double neckR, double neckY, double left,
                double right, double bottom, double chestY, double textSize) {
    const double mid = (neckL + neckR) / 2;
    cairo_new_path(cr);
    cairo_move_to(cr, neckL, neckY);
    cairo_curve_to(cr, neckL - 30, neckY + 3, left + 12, neckY + 10, left + 4, neckY + 34);
    cairo_curve_to(cr, left, neckY + 50, left, bottom - 30, left, bottom + 2);
    cairo_line_to(cr, right, bottom + 2);
    cairo_curve_to(cr, right, bottom - 30, right, neckY + 50, right - 4, neckY + 34);
    cairo_curve_to(cr, right - 12, neckY + 10, neckR + 30, neckY + 3, neckR, neckY);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(left, 0, right, 0);
    addStop(p, 0, JERSEY_SHADE);
    addStop(p, 0.35, JERSEY);
    addStop(p, 0.7, 0xFFD850);
    addStop(p, 1, JERSEY_SHADE);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    // Blue shoulder yoke with a white edge.
    cairo_new_path(cr);
    cairo_move_to(cr, left - 5, neckY + 40);
    cairo_curve_to(cr, left + 30, neckY + 16, right - 30, neckY + 16, right + 5, neckY + 40);
    cairo_line_to(cr, right + 5, neckY - 20);
    cairo_line_to(cr, left - 5, neckY - 20);
    cairo_close_path(cr);
    setColour(cr, TRIM);
    cairo_fill(cr);
    cairo_move_to(cr, left - 5, neckY + 42);
    cairo_curve_to(cr, left + 30, neckY + 18, right - 30, neckY + 18, right + 5, neckY + 42);
    setColour(cr, 0xFFFFFF);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    // Sleeve stripes.
    for (double x : {left + 8, right - 8}) {
        cairo_move_to(cr, x, neckY + 60);
        cairo_line_to(cr, x, bottom + 4);
    }
    setColour(cr, TRIM);
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    cairo_restore(cr);
    setColour(cr, INK);
    cairo_set_line_width(cr, 2.2);
    cairo_stroke(cr);
    // V collar.
    cairo_move_to(cr, neckL - 3, neckY - 1);
    cairo_line_to(cr, mid, neckY + 22);
    cairo_line_to(cr, neckR + 3, neckY - 1);
    setColour(cr, INK);
    cairo_set_line_width(cr, 8);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    setColour(cr, TRIM);
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    drawOutlinedText(cr, art.fonts, Font::SansBoldOblique, textSize, "TUNDRIX", mid, chestY, Align::Centre,
                     TRIM, 0xFFFFFF, 1.6);
}

void drawNeck(cairo_t* cr, double x0, double x1, double y0, double y1, uint32_t skin, uint32_t shade) {
    cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
    fillVertical(cr, y0, y1, shade, skin, true);
    setColour(cr, INK);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
}

// ---------------------------------------------------------------- Vessa

constexpr uint32_t V_SKIN = 0xFFDCC0;
constexpr uint32_t V_SKIN_SHADE = 0xEFB08C;
constexpr uint32_t V_HAIR = 0xF5C842;
constexpr uint32_t V_HAIR_DARK = 0xC8902A;
constexpr uint32_t V_HAIR_LIGHT = 0xFFF0A0;
constexpr Eye V_LEFT_EYE{86, 71, 9, 7, 0x1E8AD8};
constexpr Eye V_RIGHT_EYE{115, 71, 9, 7, 0x1E8AD8};

void vessaFacePath(cairo_t* cr) {
    cairo_new_path(cr);
    cairo_move_to(cr, 57, 76);
    cairo_curve_to(cr, 57, 40, 78, 26, 100, 26);
    cairo_curve_to(cr, 122, 26, 143, 40, 143, 76);
    cairo_curve_to(cr, 143, 106, 124, 131, 100, 132);
    cairo_curve_to(cr, 76, 131, 57, 106, 57, 76);
    cairo_close_path(cr);
}

void hairFill(cairo_t* cr, double x0, double y0, double x1, double y1, uint32_t light, uint32_t mid,
              uint32_t dark) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    addStop(p, 0, light);
    addStop(p, 0.45, mid);
    addStop(p, 1, dark);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    setColour(cr, INK);
    cairo_set_line_width(cr, 2.2);
    cairo_stroke(cr);
}

void strands(cairo_t* cr, const double (*pts)[6], int n, double x0, double y0, uint32_t colour) {
    setColour(cr, colour);
    cairo_set_line_width(cr, 1.4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < n; ++i) {
        cairo_move_to(cr, x0, y0);
        cairo_curve_to(cr, pts[i][0], pts[i][1], pts[i][2], pts[i][3], pts[i][4], pts[i][5]);
        cairo_stroke(cr);
    }
}

// The ponytail, flowing out behind her to the right, in portrait coordinates.
void drawVessaPonytail(cairo_t* cr) {
    cairo_new_path(cr);
    cairo_move_to(cr, 150, 28);
    cairo_curve_to(cr, 190, 22, 232, 50, 240, 96);
    cairo_curve_to(cr, 246, 130, 232, 150, 240, 180);
    cairo_curve_to(cr, 244, 196, 254, 206, 262, 212);
    cairo_curve_to(cr, 244, 212, 226, 200, 220, 184);
    cairo_curve_to(cr, 212, 160, 224, 132, 218, 104);
    cairo_curve_to(cr, 212, 76, 190, 60, 152, 56);
    cairo_close_path(cr);
    hairFill(cr, 160, 30, 250, 200, V_HAIR_LIGHT, V_HAIR, V_HAIR_DARK);
    static constexpr double LOCKS[][6] = {{190, 34, 226, 60, 232, 100},
                                          {186, 44, 222, 80, 226, 130},
                                          {196, 40, 232, 90, 230, 160},
                                          {200, 48, 236, 120, 240, 196}};
    strands(cr, LOCKS, 4, 160, 36, V_HAIR_DARK);
}

void drawVessa(cairo_t* cr, const ArtContext& art, bool leftClosed, bool rightClosed) {
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    // Hair behind the head, falling to the shoulders.
    cairo_new_path(cr);
    cairo_move_to(cr, 100, 6);
    cairo_curve_to(cr, 140, 4, 168, 30, 164, 70);
    cairo_curve_to(cr, 160, 100, 150, 120, 146, 132);
    cairo_line_to(cr, 54, 146);
    cairo_curve_to(cr, 40, 120, 38, 90, 42, 64);
    cairo_curve_to(cr, 46, 26, 70, 8, 100, 6);
    cairo_close_path(cr);
    hairFill(cr, 60, 10, 140, 140, V_HAIR_LIGHT, V_HAIR, V_HAIR_DARK);
    // Where the ponytail is gathered: the ponytail itself starts under it.
    ellipsePath(cr, 166, 42, 14, 18);
    hairFill(cr, 160, 26, 176, 60, V_HAIR_LIGHT, V_HAIR, V_HAIR_DARK);

    drawNeck(cr, 86, 114, 118, 150, V_SKIN, V_SKIN_SHADE);
    drawJersey(cr, art, 84, 116, 140, 4, 212, 216, 198, 25);

    // Face.
    for (double x : {56.0, 144.0}) {
        ellipsePath(cr, x, 84, 7, 10);
        fillAndInk(cr, V_SKIN_SHADE);
    }
    vessaFacePath(cr);
    fillRadial(cr, 96, 70, 70, V_SKIN, V_SKIN_SHADE);
    setColour(cr, INK);
    cairo_set_line_width(cr, 2.2);
    cairo_stroke(cr);
    // Blush.
    for (double x : {72.0, 128.0}) {
        ellipsePath(cr, x, 96, 9, 5);
        setColour(cr, 0xFF8A9A, 0.45);
        cairo_fill(cr);
    }
    // Eyebrows.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, 76, 57);
    cairo_curve_to(cr, 81, 53, 89, 53, 95, 56);
    cairo_move_to(cr, 106, 56);
    cairo_curve_to(cr, 112, 53, 120, 53, 125, 57);
    setColour(cr, 0xA06A22);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    drawEye(cr, V_LEFT_EYE, leftClosed, true);
    drawEye(cr, V_RIGHT_EYE, rightClosed, true);
    // Nose and a cheerful open smile.
    cairo_move_to(cr, 101, 80);
    cairo_curve_to(cr, 104, 88, 104, 92, 99, 94);
    setColour(cr, 0xC88060);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_move_to(cr, 85, 105);
    cairo_curve_to(cr, 95, 108, 105, 108, 115, 105);
    cairo_curve_to(cr, 112, 118, 88, 118, 85, 105);
    cairo_close_path(cr);
    fillAndInk(cr, 0x9A1E30, 1.8);
    cairo_move_to(cr, 88, 106.5);
    cairo_curve_to(cr, 96, 109, 104, 109, 112, 106.5);
    cairo_line_to(cr, 111, 109);
    cairo_curve_to(cr, 104, 111, 96, 111, 89, 109);
    cairo_close_path(cr);
    setColour(cr, 0xFFFFFF);
    cairo_fill(cr);
    ellipsePath(cr, 100, 114, 6, 2.2);
    setColour(cr, 0xF07088);
    cairo_fill(cr);

    // Fringe over the forehead, swept to her right, and the hair tie where the ponytail starts.
    cairo_new_path(cr);
    cairo_move_to(cr, 48, 70);
    cairo_curve_to(cr, 44, 30, 76, 8, 108, 10);
    cairo_curve_to(cr, 140, 12, 160, 30, 158, 58);
    cairo_curve_to(cr, 146, 40, 128, 34, 112, 36);
    cairo_curve_to(cr, 118, 42, 120, 46, 118, 50);
    cairo_curve_to(cr, 100, 38, 78, 40, 66, 54);
    cairo_curve_to(cr, 60, 60, 56, 66, 48, 70);
    cairo_close_path(cr);
    hairFill(cr, 60, 10, 150, 60, V_HAIR_LIGHT, V_HAIR, V_HAIR_DARK);
    static constexpr double FRINGE[][6] = {{90, 16, 72, 28, 60, 56}, {110, 18, 124, 24, 146, 40}};
    strands(cr, FRINGE, 2, 104, 14, V_HAIR_DARK);
    ellipsePath(cr, 156, 34, 8, 11);
    fillAndInk(cr, TRIM);
    ellipsePath(cr, 154, 31, 3, 4);
    setColour(cr, 0x6A9AF0);
    cairo_fill(cr);
}

// ---------------------------------------------------------------- Brum

constexpr uint32_t B_SKIN = 0xF4C8A0;
constexpr uint32_t B_SKIN_SHADE = 0xD8956A;
constexpr uint32_t B_HAIR = 0x9A5A28;
constexpr uint32_t B_HAIR_DARK = 0x5A3012;
constexpr uint32_t B_HAIR_LIGHT = 0xD08A48;
constexpr Eye B_LEFT_EYE{96, 77, 9, 6.5, 0x4A8A3A};
constexpr Eye B_RIGHT_EYE{121, 77, 9, 6.5, 0x4A8A3A};

// His mane, swept back to the left behind his head, in portrait coordinates.
void drawBrumMane(cairo_t* cr) {
    cairo_new_path(cr);
    cairo_move_to(cr, 96, 30);
    cairo_curve_to(cr, 60, 26, 30, 44, 24, 80);
    cairo_curve_to(cr, 20, 106, 26, 124, 16, 150);
    cairo_curve_to(cr, 28, 146, 34, 136, 36, 128);
    cairo_curve_to(cr, 36, 144, 30, 156, 22, 166);
    cairo_curve_to(cr, 40, 162, 50, 148, 52, 134);
    cairo_curve_to(cr, 56, 146, 54, 156, 48, 166);
    cairo_curve_to(cr, 66, 158, 70, 140, 68, 120);
    cairo_curve_to(cr, 74, 100, 80, 70, 96, 30);
    cairo_close_path(cr);
    hairFill(cr, 80, 30, 20, 160, B_HAIR_LIGHT, B_HAIR, B_HAIR_DARK);
    static constexpr double LOCKS[][6] = {
        {56, 40, 34, 80, 34, 120}, {62, 50, 48, 90, 50, 130}, {50, 44, 28, 70, 26, 100}};
    strands(cr, LOCKS, 3, 84, 36, B_HAIR_DARK);
}

void drawBrum(cairo_t* cr, const ArtContext& art, bool closed) {
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    drawNeck(cr, 90, 128, 128, 168, B_SKIN, B_SKIN_SHADE);
    drawJersey(cr, art, 88, 130, 160, 2, 194, 250, 226, 27);

    // Hair at the back of the head.
    ellipsePath(cr, 108, 50, 54, 36);
    hairFill(cr, 80, 14, 140, 90, B_HAIR_LIGHT, B_HAIR, B_HAIR_DARK);
    // Face with a broad jaw.
    for (double x : {60.0, 157.0}) {
        ellipsePath(cr, x, 90, 8, 11);
        fillAndInk(cr, B_SKIN_SHADE);
    }
    cairo_new_path(cr);
    cairo_move_to(cr, 61, 80);
    cairo_curve_to(cr, 61, 42, 84, 30, 108, 30);
    cairo_curve_to(cr, 134, 30, 156, 42, 156, 80);
    cairo_curve_to(cr, 156, 114, 146, 142, 108, 146);
    cairo_curve_to(cr, 72, 142, 61, 114, 61, 80);
    cairo_close_path(cr);
    fillRadial(cr, 104, 76, 76, B_SKIN, B_SKIN_SHADE);
    setColour(cr, INK);
    cairo_set_line_width(cr, 2.2);
    cairo_stroke(cr);
    // Thick brows.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, 84, 64);
    cairo_curve_to(cr, 90, 59, 100, 59, 106, 63);
    cairo_move_to(cr, 111, 63);
    cairo_curve_to(cr, 118, 59, 127, 59, 133, 64);
    setColour(cr, 0x4A2810);
    cairo_set_line_width(cr, 4.2);
    cairo_stroke(cr);
    drawEye(cr, B_LEFT_EYE, closed, false);
    drawEye(cr, B_RIGHT_EYE, closed, false);
    // Nose, grin and chin.
    cairo_move_to(cr, 109, 84);
    cairo_curve_to(cr, 113, 94, 116, 100, 108, 103);
    cairo_curve_to(cr, 104, 104, 101, 102, 101, 100);
    setColour(cr, 0xB0704A);
    cairo_set_line_width(cr, 2.2);
    cairo_stroke(cr);
    cairo_move_to(cr, 88, 114);
    cairo_curve_to(cr, 100, 118, 118, 118, 130, 113);
    cairo_curve_to(cr, 126, 132, 92, 134, 88, 114);
    cairo_close_path(cr);
    fillAndInk(cr, 0x8A1A24, 1.8);
    cairo_move_to(cr, 91, 115.5);
    cairo_curve_to(cr, 102, 119, 116, 119, 127, 115);
    cairo_line_to(cr, 126, 119);
    cairo_curve_to(cr, 114, 122, 102, 122, 92, 119.5);
    cairo_close_path(cr);
    setColour(cr, 0xFFFFFF);
    cairo_fill(cr);
    cairo_move_to(cr, 101, 138);
    cairo_curve_to(cr, 105, 140, 111, 140, 115, 138);
    setColour(cr, 0xC07A50);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    // Tousled fringe: spikes falling over the forehead.
    cairo_new_path(cr);
    cairo_move_to(cr, 56, 74);
    cairo_curve_to(cr, 50, 36, 80, 12, 112, 14);
    cairo_curve_to(cr, 144, 16, 166, 36, 160, 72);
    cairo_line_to(cr, 150, 52);
    cairo_line_to(cr, 144, 60);
    cairo_line_to(cr, 134, 44);
    cairo_line_to(cr, 124, 54);
    cairo_line_to(cr, 114, 40);
    cairo_line_to(cr, 104, 54);
    cairo_line_to(cr, 94, 42);
    cairo_line_to(cr, 84, 56);
    cairo_line_to(cr, 76, 46);
    cairo_line_to(cr, 68, 62);
    cairo_line_to(cr, 64, 54);
    cairo_close_path(cr);
    hairFill(cr, 80, 14, 140, 64, B_HAIR_LIGHT, B_HAIR, B_HAIR_DARK);
    static constexpr double SPIKES[][6] = {{100, 24, 90, 32, 84, 48}, {116, 24, 126, 30, 132, 42}};
    strands(cr, SPIKES, 2, 108, 20, B_HAIR_DARK);
}

// Copies the part's rectangle out of a full drawing, keeping only the pixels inside the eye ellipses.
std::unique_ptr<Image> eyeOverlay(ArtContext& art, const Canvas& full, int x0, int y0, int w, int h,
                                  std::initializer_list<Eye> eyes) {
    Canvas part(w, h);
    full.flush();
    part.flush();
    for (int y = 0; y < h; ++y) {
        uint32_t* to = part.row(y);
        const uint32_t* from = full.row(y0 + y);
        for (int x = 0; x < w; ++x) {
            const double px = x0 + x + 0.5, py = y0 + y + 0.5;
            bool inside = false;
            for (const Eye& e : eyes) {
                const double dx = (px - e.x) / (e.rx + 4), dy = (py - e.y) / (e.ry + 3);
                inside = inside || dx * dx + dy * dy <= 1.0;
            }
            to[x] = inside ? from[x0 + x] : 0;
        }
    }
    part.markDirty();
    return part.toSprite(art.quantiser);
}

template <typename Draw>
std::unique_ptr<Image> layer(ArtContext& art, int w, int h, int dx, int dy, Draw draw) {
    Canvas canvas(w, h);
    cairo_translate(canvas.cr(), -dx, -dy);
    draw(canvas.cr());
    return canvas.toSprite(art.quantiser);
}

} // namespace

Frames makeVessa(ArtContext& art) {
    Frames frames(VESSA_HAIR_FRAME + 1);
    Canvas portrait(VESSA_PORTRAIT.w, VESSA_PORTRAIT.h);
    drawVessa(portrait.cr(), art, false, false);
    frames[FIGURE_PORTRAIT] = portrait.toSprite(art.quantiser);

    Canvas blink(VESSA_PORTRAIT.w, VESSA_PORTRAIT.h);
    drawVessa(blink.cr(), art, true, true);
    const Placement eyes = onPortrait(VESSA_X, VESSA_Y, VESSA_PORTRAIT, VESSA_EYES);
    frames[FIGURE_EYES] =
        eyeOverlay(art, blink, eyes.x, eyes.y, VESSA_EYES.w, VESSA_EYES.h, {V_LEFT_EYE, V_RIGHT_EYE});

    Canvas wink(VESSA_PORTRAIT.w, VESSA_PORTRAIT.h);
    drawVessa(wink.cr(), art, false, true);
    const Placement one = onPortrait(VESSA_X, VESSA_Y, VESSA_PORTRAIT, VESSA_WINK);
    frames[VESSA_WINK_FRAME] = eyeOverlay(art, wink, one.x, one.y, VESSA_WINK.w, VESSA_WINK.h, {V_RIGHT_EYE});

    const Placement hair = onPortrait(VESSA_X, VESSA_Y, VESSA_PORTRAIT, VESSA_HAIR);
    frames[VESSA_HAIR_FRAME] = layer(art, VESSA_HAIR.w, VESSA_HAIR.h, hair.x, hair.y, drawVessaPonytail);
    return frames;
}

Frames makeBrum(ArtContext& art) {
    Frames frames(BRUM_HAIR_FRAME + 1);
    Canvas portrait(BRUM_PORTRAIT.w, BRUM_PORTRAIT.h);
    drawBrum(portrait.cr(), art, false);
    frames[FIGURE_PORTRAIT] = portrait.toSprite(art.quantiser);

    Canvas blink(BRUM_PORTRAIT.w, BRUM_PORTRAIT.h);
    drawBrum(blink.cr(), art, true);
    const Placement eyes = onPortrait(BRUM_X, BRUM_Y, BRUM_PORTRAIT, BRUM_EYES);
    frames[FIGURE_EYES] =
        eyeOverlay(art, blink, eyes.x, eyes.y, BRUM_EYES.w, BRUM_EYES.h, {B_LEFT_EYE, B_RIGHT_EYE});

    const Placement hair = onPortrait(BRUM_X, BRUM_Y, BRUM_PORTRAIT, BRUM_HAIR);
    frames[BRUM_HAIR_FRAME] = layer(art, BRUM_HAIR.w, BRUM_HAIR.h, hair.x, hair.y, drawBrumMane);
    return frames;
}

std::unique_ptr<Image> makePuck(ArtContext& art) {
    Canvas canvas(97, 55);
    cairo_t* cr = canvas.cr();
    const double cx = 48.5, top = 21, rx = 45, ry = 18, depth = 13;
    // The side of the puck, then its top face.
    cairo_new_path(cr);
    cairo_move_to(cr, cx - rx, top);
    cairo_line_to(cr, cx - rx, top + depth);
    cairo_save(cr);
    cairo_translate(cr, cx, top + depth);
    cairo_scale(cr, rx, ry);
    cairo_arc_negative(cr, 0, 0, 1, M_PI, 0);
    cairo_restore(cr);
    cairo_line_to(cr, cx + rx, top);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(cx - rx, 0, cx + rx, 0);
    addStop(p, 0, 0x101014);
    addStop(p, 0.3, 0x3A3E4A);
    addStop(p, 1, 0x08080A);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    setColour(cr, 0x000000);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    ellipsePath(cr, cx, top, rx, ry);
    fillRadial(cr, cx - 12, top - 6, rx, 0x4A4E5A, 0x15161C);
    setColour(cr, 0x000000);
    cairo_stroke(cr);
    ellipsePath(cr, cx, top, rx - 3, ry - 2);
    setColour(cr, 0x7A8090);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    // The sponsor's name printed on top, squeezed into perspective.
    cairo_save(cr);
    cairo_translate(cr, cx, top + 5);
    cairo_scale(cr, 1, 0.55);
    drawOutlinedText(cr, art.fonts, Font::SansBoldOblique, 17, "TUNDRIX", 0, 0, Align::Centre, 0xFFC820,
                     0x101010, 1);
    cairo_restore(cr);
    return canvas.toSprite(art.quantiser);
}

void drawHeadBadge(cairo_t* cr, const ArtContext& art, Mascot who, double size, const BadgeLook& look) {
    cairo_save(cr);
    cairo_scale(cr, size / 32.0, size / 32.0);
    // A round badge in the team colours behind the head, with a gold ring.
    cairo_arc(cr, 16, 16, 15.2, 0, 2 * M_PI);
    fillVertical(cr, 1, 31, 0x4A7AE0, 0x10286A, true);
    setColour(cr, 0xFFC820);
    cairo_set_line_width(cr, look.ringWidth);
    cairo_stroke(cr);
    if (look.rimWidth > 0) {
        // Dark edges on both sides of the ring keep it apart from the hair and from any background.
        for (double r : {15.2 + look.ringWidth / 2, 15.2 - look.ringWidth / 2}) {
            cairo_arc(cr, 16, 16, r, 0, 2 * M_PI);
            setColour(cr, 0x10286A);
            cairo_set_line_width(cr, look.rimWidth);
            cairo_stroke(cr);
        }
    }
    cairo_arc(cr, 16, 16, 15.2 - look.ringWidth / 2 - std::max(0.2, look.rimWidth / 2), 0, 2 * M_PI);
    cairo_clip(cr);
    cairo_translate(cr, 16, 16 + look.faceDrop);
    cairo_scale(cr, 0.235 * look.closeness, 0.235 * look.closeness);
    if (who == Mascot::Brum) {
        cairo_translate(cr, -108, -86);
        drawBrum(cr, art, false);
    } else {
        cairo_translate(cr, -102, -80);
        drawVessa(cr, art, false, false);
    }
    cairo_restore(cr);
}

Frames makeHeads(ArtContext& art) {
    Frames frames(CHANCE_ICON_VESSA + 1);
    for (auto [who, frame] :
         {std::pair{Mascot::Brum, CHANCE_ICON_BRUM}, {Mascot::Vessa, CHANCE_ICON_VESSA}}) {
        Canvas canvas(32, 32);
        drawHeadBadge(canvas.cr(), art, who, 32, BadgeLook{});
        frames[frame] = canvas.toSprite(art.quantiser);
    }
    return frames;
}

} // namespace tundrix::assetgen
