// Draws the skaters seen from above: one figure drawn facing right and turned for the other headings.
#include "tools/assetgen/skaters.h"

#include "tools/assetgen/flags.h"

#include <cmath>

namespace tundrix::assetgen {

namespace {

constexpr uint32_t OUTLINE = 0x0C0E16;

struct Kit {
    uint32_t jersey, trim, helmet, gloves;
    bool stripes = false; // the referee's black and white
    bool stick = true;
};

void ellipse(cairo_t* cr, double x, double y, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, rx, ry);
    cairo_new_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void fillOutlined(cairo_t* cr, uint32_t colour, double width = 1.0) {
    setColour(cr, colour);
    cairo_fill_preserve(cr);
    setColour(cr, OUTLINE);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

// The figure facing right (+x) on a 32 by 32 grid centred on (16, 16).
void drawSkater(cairo_t* cr, const Kit& kit) {
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    // Skates: one pushing off behind, one under the body.
    for (const auto& s : {std::pair{7.5, 11.5}, std::pair{12.5, 21.0}}) {
        ellipse(cr, s.first, s.second, 4.2, 1.8);
        fillOutlined(cr, 0x2A2E3A, 0.8);
        cairo_move_to(cr, s.first - 3.5, s.second + 0.2);
        cairo_line_to(cr, s.first + 3.5, s.second + 0.2);
        setColour(cr, 0xD8E0EC);
        cairo_set_line_width(cr, 0.7);
        cairo_stroke(cr);
    }
    if (kit.stick) {
        // Stick: shaft forward from the hands, blade turned at the tip, white tape.
        cairo_move_to(cr, 16, 21.5);
        cairo_line_to(cr, 28.5, 22.5);
        cairo_line_to(cr, 30.5, 18.5);
        setColour(cr, OUTLINE);
        cairo_set_line_width(cr, 3.2);
        cairo_stroke_preserve(cr);
        setColour(cr, 0xC88A44);
        cairo_set_line_width(cr, 1.7);
        cairo_stroke(cr);
        cairo_move_to(cr, 28.6, 22.2);
        cairo_line_to(cr, 30.4, 18.8);
        setColour(cr, 0xFFFFFF);
        cairo_set_line_width(cr, 1.4);
        cairo_stroke(cr);
    }
    // Arms reaching forward to the gloves.
    const double gloves[2][2] = {{kit.stick ? 19.5 : 22.0, kit.stick ? 21.5 : 11.0},
                                 {kit.stick ? 23.5 : 17.0, 22.0}};
    const double shoulders[2][2] = {{15, 9}, {15, 23}};
    for (int i = 0; i < 2; ++i) {
        cairo_move_to(cr, shoulders[i][0], shoulders[i][1]);
        cairo_line_to(cr, gloves[i][0], gloves[i][1]);
        setColour(cr, OUTLINE);
        cairo_set_line_width(cr, 4.6);
        cairo_stroke_preserve(cr);
        setColour(cr, kit.jersey);
        cairo_set_line_width(cr, 3.0);
        cairo_stroke(cr);
        ellipse(cr, gloves[i][0], gloves[i][1], 2.2, 2.0);
        fillOutlined(cr, kit.gloves, 0.8);
    }
    if (kit.stripes) {
        // The referee's orange armbands.
        for (int i = 0; i < 2; ++i) {
            const double x = shoulders[i][0] + (gloves[i][0] - shoulders[i][0]) * 0.35;
            const double y = shoulders[i][1] + (gloves[i][1] - shoulders[i][1]) * 0.35;
            ellipse(cr, x, y, 1.7, 1.7);
            setColour(cr, 0xFF7A10);
            cairo_fill(cr);
        }
    }
    // Shoulders and back.
    ellipse(cr, 14, 16, 6.2, 9.2);
    setColour(cr, kit.jersey);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    if (kit.stripes) {
        setColour(cr, 0x141414);
        for (double y = 8.4; y < 26; y += 3.2)
            cairo_rectangle(cr, 6, y, 16, 1.6);
        cairo_fill(cr);
    } else {
        // Trim across the shoulders and a band at the back.
        setColour(cr, kit.trim);
        ellipse(cr, 14.5, 7.2, 3.2, 2.2);
        cairo_fill(cr);
        ellipse(cr, 14.5, 24.8, 3.2, 2.2);
        cairo_fill(cr);
        cairo_rectangle(cr, 8.8, 6, 1.3, 20);
        cairo_fill(cr);
    }
    cairo_restore(cr);
    ellipse(cr, 14, 16, 6.2, 9.2);
    setColour(cr, OUTLINE);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    // Helmet with its visor at the front.
    cairo_new_path(cr);
    cairo_arc(cr, 15.5, 16, 3.9, 0, 2 * M_PI);
    fillOutlined(cr, kit.helmet);
    cairo_new_path(cr);
    cairo_arc(cr, 15.5, 16, 3.2, -0.9, 0.9);
    setColour(cr, 0x1A2030);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
}

std::unique_ptr<Image> skaterFrame(ArtContext& art, const Kit& kit, int heading, int size) {
    Canvas canvas(size, size);
    cairo_t* cr = canvas.cr();
    cairo_translate(cr, size / 2.0, size / 2.0);
    cairo_rotate(cr, heading * M_PI / 2);
    cairo_scale(cr, size / 32.0, size / 32.0);
    cairo_translate(cr, -16, -16);
    drawSkater(cr, kit);
    // A soft highlight from the top left, the same for every heading.
    cairo_identity_matrix(cr);
    cairo_pattern_t* p =
        cairo_pattern_create_radial(size * 0.38, size * 0.36, 0, size * 0.38, size * 0.36, size * 0.5);
    addStop(p, 0, 0xFFFFFF, 0.22);
    addStop(p, 1, 0xFFFFFF, 0.0);
    cairo_set_source(cr, p);
    cairo_set_operator(cr, CAIRO_OPERATOR_ATOP);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
    return canvas.toSprite(art.quantiser);
}

Kit teamKit(Team team) {
    switch (team) {
    case Team::Norway:
        return {0xC8102E, 0x0A2A6A, 0x0A2A6A, 0x0A2A6A};
    case Team::Usa:
        return {0x1A2B5F, 0xC8102E, 0xF4F6FA, 0xC8102E};
    case Team::Finland:
        return {0xF4F6FA, 0x003580, 0x003580, 0x003580};
    case Team::Russia:
        return {0x0039A6, 0xF4F6FA, 0xD52B1E, 0xD52B1E};
    case Team::Canada:
        return {0xD80621, 0xF4F6FA, 0x181818, 0x181818};
    }
    return {};
}

} // namespace

Frames makePlayerSkater(ArtContext& art) {
    const Kit kit{0xFFC820, 0x1E50C8, 0x1E50C8, 0x1E50C8};
    Frames frames;
    for (int h = 0; h < 4; ++h)
        frames.push_back(skaterFrame(art, kit, h, 32));
    return frames;
}

Frames makeRefereeAndTeams(ArtContext& art) {
    Frames frames;
    Kit referee{0xF8F8F8, 0x141414, 0x141414, 0x141414, true, false};
    for (int h = 0; h < 4; ++h)
        frames.push_back(skaterFrame(art, referee, h, 20));
    for (Team team : TEAMS) {
        for (int h = 0; h < 4; ++h)
            frames.push_back(skaterFrame(art, teamKit(team), h, 32));
    }
    return frames;
}

} // namespace tundrix::assetgen
