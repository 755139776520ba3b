// Draws the skaters seen from above: one figure drawn facing right and turned for the other headings.
#include "tools/assetgen/skaters.h"

#include "tools/assetgen/flags.h"

#include <cmath>

namespace tundrix::assetgen {

namespace {

constexpr uint32_t OUTLINE = 0x0C0E16;

// What is on a jersey's back: shoulder caps and a band in the trim colour, or the Nordic cross of the
// team's flag in the trim colour.
enum class Back { Trim, Cross };

struct Kit {
    uint32_t jersey, trim, helmet, gloves, sleeves;
    Back back = Back::Trim;
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
    {
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
    const double gloves[2][2] = {{19.5, 21.5}, {23.5, 22.0}};
    const double shoulders[2][2] = {{15, 9}, {15, 23}};
    for (int i = 0; i < 2; ++i) {
        cairo_move_to(cr, shoulders[i][0], shoulders[i][1]);
        cairo_line_to(cr, gloves[i][0], gloves[i][1]);
        setColour(cr, OUTLINE);
        cairo_set_line_width(cr, 4.6);
        cairo_stroke_preserve(cr);
        setColour(cr, kit.sleeves);
        cairo_set_line_width(cr, 3.0);
        cairo_stroke(cr);
        ellipse(cr, gloves[i][0], gloves[i][1], 2.2, 2.0);
        fillOutlined(cr, kit.gloves, 0.8);
    }
    // Shoulders and back.
    ellipse(cr, 14, 16, 6.2, 9.2);
    setColour(cr, kit.jersey);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    if (kit.back == Back::Cross) {
        // The upright runs across the shoulders behind the helmet, the arm along the back.
        setColour(cr, kit.trim);
        cairo_rectangle(cr, 9.9, 4, 2.8, 24);
        cairo_rectangle(cr, 4, 14.6, 20, 2.8);
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

// Each team in its flag's colours, and no two alike at a glance: the jersey's colour first (Norway red,
// USA navy, Finland white, Russia royal blue, Canada white), then the helmet and the arms (Finland's
// white with a blue cross and a blue helmet, Canada's white with red shoulders and a red helmet).
Kit teamKit(Team team) {
    switch (team) {
    case Team::Norway:
        return {0xD0142C, 0xF4F6FA, 0x0A2A6A, 0x0A2A6A, 0xD0142C};
    case Team::Usa:
        return {0x142050, 0xD0142C, 0xF4F6FA, 0xF4F6FA, 0xF4F6FA};
    case Team::Finland:
        return {0xF4F6FA, 0x0A48A8, 0x0A48A8, 0x0A48A8, 0xF4F6FA, Back::Cross};
    case Team::Russia:
        return {0x2464D8, 0xF4F6FA, 0xD0142C, 0xD0142C, 0xD0142C};
    case Team::Canada:
        return {0xF4F6FA, 0xD80621, 0xD80621, 0xD80621, 0xF4F6FA};
    }
    return {};
}

// The referee, drawn pixel by pixel on his own 20 by 20 grid facing right, so that his stripes and his
// whistle stay crisp in every heading: a white shirt with two black stripes running front to back over
// the shoulders inside a black edge, his small black helmet on the white between the stripes, and his
// right arm raised to hold a bright whistle out in front of his face.
void drawReferee(cairo_t* cr) {
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    auto box = [&](double x, double y, double w, double h, uint32_t colour) {
        setColour(cr, colour);
        cairo_rectangle(cr, x, y, w, h);
        cairo_fill(cr);
    };
    // Skates behind him.
    box(2, 7, 3, 2, 0x2A2E3A);
    box(2, 11, 3, 2, 0x2A2E3A);
    // His right arm, bent up to the whistle at his mouth.
    box(14, 11, 3, 5, OUTLINE);
    // The shirt inside its black edge.
    roundedRect(cr, 4, 2, 11, 16, 3.5);
    setColour(cr, OUTLINE);
    cairo_fill(cr);
    roundedRect(cr, 5, 3, 9, 14, 2.5);
    setColour(cr, 0xF8F8F8);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    box(3, 5, 14, 2, 0x101010);
    box(3, 13, 14, 2, 0x101010);
    cairo_restore(cr);
    // Helmet, with white around it between the stripes.
    ellipse(cr, 12, 10, 2.1, 2.1);
    setColour(cr, 0x141414);
    cairo_fill(cr);
    box(12, 9, 1, 1, 0x707884); // a glint on the helmet
    // The whistle: light metal edged black, held out in front of his face.
    box(15, 8, 5, 4, OUTLINE);
    box(16, 9, 3, 2, 0xF0F4FA);
    box(18, 10, 1, 1, 0xA8B0C0);
}

std::unique_ptr<Image> refereeFrame(ArtContext& art, int heading) {
    constexpr int SIZE = 20;
    Canvas canvas(SIZE, SIZE);
    cairo_t* cr = canvas.cr();
    cairo_translate(cr, SIZE / 2.0, SIZE / 2.0);
    cairo_rotate(cr, heading * M_PI / 2);
    cairo_translate(cr, -SIZE / 2.0, -SIZE / 2.0);
    drawReferee(cr);
    return canvas.toSprite(art.quantiser);
}

} // namespace

Frames makePlayerSkater(ArtContext& art) {
    const Kit kit{0xFFC820, 0x1E50C8, 0x1E50C8, 0x1E50C8, 0xFFC820};
    Frames frames;
    for (int h = 0; h < 4; ++h)
        frames.push_back(skaterFrame(art, kit, h, 32));
    return frames;
}

Frames makeRefereeAndTeams(ArtContext& art) {
    Frames frames;
    for (int h = 0; h < 4; ++h)
        frames.push_back(refereeFrame(art, h));
    for (Team team : TEAMS) {
        for (int h = 0; h < 4; ++h)
            frames.push_back(skaterFrame(art, teamKit(team), h, 32));
    }
    return frames;
}

} // namespace tundrix::assetgen
