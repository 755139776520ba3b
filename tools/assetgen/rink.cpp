// Draws the arena, the boards and the ice with a real rink's markings.
#include "tools/assetgen/rink.h"

#include "tools/assetgen/layout.h"

#include <cmath>

namespace tundrix::assetgen {

namespace {

constexpr uint32_t LINE_RED = 0xD21E30;
constexpr uint32_t LINE_BLUE = 0x2060D0;
constexpr double CENTRE_X = tundrix::CENTRE_X;
constexpr double CENTRE_Y = tundrix::CENTRE_Y;
constexpr double GOAL_LEFT = 58.0;
constexpr double GOAL_RIGHT = 379.0;
constexpr double BLUE_LEFT = 173.0;
constexpr double BLUE_RIGHT = 265.0;

void circleStroke(cairo_t* cr, double x, double y, double r, uint32_t colour, double width) {
    cairo_new_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    setColour(cr, colour);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void spot(cairo_t* cr, double x, double y, double r, uint32_t colour) {
    cairo_new_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    setColour(cr, colour);
    cairo_fill(cr);
}

void vline(cairo_t* cr, double x, double width, uint32_t colour) {
    cairo_rectangle(cr, x - width / 2, ICE_TOP, width, ICE_BOTTOM - ICE_TOP + 1);
    setColour(cr, colour);
    cairo_fill(cr);
}

// An end-zone face-off circle with its spot, the hash marks on both sides and the L marks by the spot.
void faceoffCircle(cairo_t* cr, double x, double y) {
    const double r = 27;
    circleStroke(cr, x, y, r, LINE_RED, 1.6);
    cairo_set_line_width(cr, 1.6);
    setColour(cr, LINE_RED);
    for (int side : {-1, 1}) {
        for (int dx : {-3, 3}) {
            cairo_move_to(cr, x + dx, y + side * (r - 0.5));
            cairo_line_to(cr, x + dx, y + side * (r + 5));
        }
        for (int sx : {-1, 1}) {
            // The L marks, each an elbow around the spot.
            cairo_move_to(cr, x + sx * 4, y + side * 9);
            cairo_line_to(cr, x + sx * 4, y + side * 4);
            cairo_line_to(cr, x + sx * 11, y + side * 4);
        }
    }
    cairo_stroke(cr);
    spot(cr, x, y, 3.5, LINE_RED);
    spot(cr, x, y, 1.3, 0xF4F8FC);
}

// The goal crease (a half disc in front of the goal line) and the net behind it, seen from above.
void goal(cairo_t* cr, double lineX, int facing) {
    const double r = 12;
    cairo_new_path(cr);
    cairo_arc(cr, lineX, CENTRE_Y, r, facing > 0 ? -M_PI / 2 : M_PI / 2, facing > 0 ? M_PI / 2 : 1.5 * M_PI);
    cairo_close_path(cr);
    setColour(cr, 0x8CC4F0);
    cairo_fill_preserve(cr);
    setColour(cr, LINE_RED);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);

    // Net: a rounded frame behind the goal line, red posts, white mesh.
    const double depth = 9;
    const double half = 9;
    const double back = lineX - facing * depth;
    cairo_new_path(cr);
    cairo_move_to(cr, lineX, CENTRE_Y - half);
    cairo_curve_to(cr, back, CENTRE_Y - half, back, CENTRE_Y - half, back, CENTRE_Y);
    cairo_curve_to(cr, back, CENTRE_Y + half, back, CENTRE_Y + half, lineX, CENTRE_Y + half);
    cairo_close_path(cr);
    setColour(cr, 0xFFFFFF);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    setColour(cr, 0xA8B4C4);
    cairo_set_line_width(cr, 0.8);
    for (double d = -20; d < 20; d += 3) {
        cairo_move_to(cr, lineX - 12, CENTRE_Y + d);
        cairo_line_to(cr, lineX + 12, CENTRE_Y + d + 12);
        cairo_move_to(cr, lineX - 12, CENTRE_Y + d);
        cairo_line_to(cr, lineX + 12, CENTRE_Y + d - 12);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
    setColour(cr, 0xC01020);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    spot(cr, lineX, CENTRE_Y - half, 1.6, 0x801018);
    spot(cr, lineX, CENTRE_Y + half, 1.6, 0x801018);
}

// The sponsor's snow crystal at centre ice.
void snowCrystal(cairo_t* cr, double x, double y, double r) {
    setColour(cr, 0x9CC8EC);
    cairo_set_line_width(cr, 2.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int k = 0; k < 6; ++k) {
        const double a = k * M_PI / 3 + M_PI / 6;
        const double ca = std::cos(a), sa = std::sin(a);
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + ca * r, y + sa * r);
        for (double t : {0.5, 0.75}) {
            const double bx = x + ca * r * t, by = y + sa * r * t;
            const double len = r * (1.0 - t) * 0.9;
            for (int s : {-1, 1}) {
                const double b = a + s * M_PI / 4;
                cairo_move_to(cr, bx, by);
                cairo_line_to(cr, bx + std::cos(b) * len, by + std::sin(b) * len);
            }
        }
    }
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

} // namespace

void drawArena(cairo_t* cr, int width, int height) {
    cairo_rectangle(cr, 0, 0, width, height);
    fillVertical(cr, 0, height, 0x1A2748, 0x0C1226);
    // The crowd: rows of heads in muted colours, darker further back.
    Scatter s(4711);
    const uint32_t shirts[] = {0x3A4E7A, 0x6A3A4A, 0x4A6A5A, 0x7A6A3A, 0x505A6E, 0x6E4E7A, 0x2E5E8E};
    for (int y = 4; y < height; y += 7) {
        for (double x = (y / 7) % 2 ? 2 : 5.5; x < width; x += 7) {
            const double jitter = s.range(-1, 1);
            setColour(cr, shirts[static_cast<int>(s.next() * 7)], 0.55);
            cairo_arc(cr, x + jitter, y + 3, 3, M_PI, 2 * M_PI);
            cairo_fill(cr);
            setColour(cr, s.next() < 0.5 ? 0xC89070 : 0x9A6A50, 0.45);
            cairo_arc(cr, x + jitter, y, 1.6, 0, 2 * M_PI);
            cairo_fill(cr);
        }
    }
}

void drawBoards(cairo_t* cr) {
    // Outer padding and dark base of the boards.
    roundedRect(cr, EDGE_LEFT - 6, EDGE_TOP - 6, EDGE_RIGHT - EDGE_LEFT + 13, EDGE_BOTTOM - EDGE_TOP + 13, 6);
    setColour(cr, 0x0A1020);
    cairo_fill(cr);
    // The white cap of the boards with its blue rail.
    cairo_rectangle(cr, EDGE_LEFT - 5, EDGE_TOP - 5, EDGE_RIGHT - EDGE_LEFT + 11,
                    EDGE_BOTTOM - EDGE_TOP + 11);
    setColour(cr, 0x2456B0);
    cairo_fill(cr);
    cairo_rectangle(cr, EDGE_LEFT - 4, EDGE_TOP - 4, EDGE_RIGHT - EDGE_LEFT + 9, EDGE_BOTTOM - EDGE_TOP + 9);
    setColour(cr, 0xF4F6FA);
    cairo_fill(cr);
    cairo_rectangle(cr, EDGE_LEFT - 1, EDGE_TOP - 1, EDGE_RIGHT - EDGE_LEFT + 3, EDGE_BOTTOM - EDGE_TOP + 3);
    setColour(cr, 0xA8B4C8);
    cairo_fill(cr);
    // The kick plate: the edge line the player skates on.
    cairo_rectangle(cr, EDGE_LEFT, EDGE_TOP, EDGE_RIGHT - EDGE_LEFT + 1, EDGE_BOTTOM - EDGE_TOP + 1);
    setColour(cr, 0xF7C21A);
    cairo_fill(cr);
}

void drawIce(cairo_t* cr) {
    cairo_save(cr);
    cairo_rectangle(cr, ICE_LEFT, ICE_TOP, ICE_RIGHT - ICE_LEFT + 1, ICE_BOTTOM - ICE_TOP + 1);
    cairo_clip(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(CENTRE_X, CENTRE_Y, 20, CENTRE_X, CENTRE_Y, 230);
    addStop(p, 0, 0xF8FBFE);
    addStop(p, 0.7, 0xEAF3FA);
    addStop(p, 1, 0xDCEAF5);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);

    // Skate marks: long faint arcs.
    Scatter s(90210);
    cairo_set_line_width(cr, 0.8);
    for (int i = 0; i < 60; ++i) {
        const double x = s.range(ICE_LEFT, ICE_RIGHT), y = s.range(ICE_TOP, ICE_BOTTOM);
        const double r = s.range(30, 120), a = s.range(0, 2 * M_PI);
        cairo_new_path(cr);
        cairo_arc(cr, x, y, r, a, a + s.range(0.2, 0.6));
        setColour(cr, 0xC8DAEA, 0.5);
        cairo_stroke(cr);
    }

    // Goal lines, blue lines and the centre red line.
    vline(cr, GOAL_LEFT, 1.6, LINE_RED);
    vline(cr, GOAL_RIGHT, 1.6, LINE_RED);
    vline(cr, BLUE_LEFT, 5, LINE_BLUE);
    vline(cr, BLUE_RIGHT, 5, LINE_BLUE);
    vline(cr, CENTRE_X, 5, LINE_RED);
    // The centre line is dashed with white, as many rinks have it.
    for (double y = ICE_TOP + 3; y < ICE_BOTTOM; y += 8) {
        cairo_rectangle(cr, CENTRE_X - 0.5, y, 1, 3);
    }
    setColour(cr, 0xF4F8FC);
    cairo_fill(cr);

    // Centre circle and spot.
    circleStroke(cr, CENTRE_X, CENTRE_Y, 29, LINE_BLUE, 1.6);
    snowCrystal(cr, CENTRE_X, CENTRE_Y, 19);
    spot(cr, CENTRE_X, CENTRE_Y, 3, LINE_BLUE);

    // Neutral-zone spots and the end-zone circles.
    for (int side : {-1, 1}) {
        spot(cr, BLUE_LEFT + 10, CENTRE_Y + side * 52, 3, LINE_RED);
        spot(cr, BLUE_RIGHT - 10, CENTRE_Y + side * 52, 3, LINE_RED);
        faceoffCircle(cr, GOAL_LEFT + 37, CENTRE_Y + side * 52);
        faceoffCircle(cr, GOAL_RIGHT - 37, CENTRE_Y + side * 52);
    }
    goal(cr, GOAL_LEFT, 1);
    goal(cr, GOAL_RIGHT, -1);
    cairo_restore(cr);
}

} // namespace tundrix::assetgen
