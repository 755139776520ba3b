// Cairo surfaces, DejaVu fonts through FreeType, drawing helpers and quantisation to the palette.
#include "tools/assetgen/canvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>

namespace tundrix::assetgen {

namespace {
constexpr const char* FONT_DIR = "/usr/share/fonts/truetype/dejavu/";
constexpr const char* FONT_FILES[] = {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSansCondensed-Bold.ttf",
                                      "DejaVuSerif-BoldItalic.ttf", "DejaVuSans-BoldOblique.ttf"};
constexpr int FONT_COUNT = 5;
} // namespace

struct Fonts::Impl {
    FT_Library library = nullptr;
    FT_Face faces[FONT_COUNT] = {};
    cairo_font_face_t* cairoFaces[FONT_COUNT] = {};
};

Fonts::Fonts() : impl_(std::make_unique<Impl>()) {
    if (FT_Init_FreeType(&impl_->library) != 0) return;
    ok_ = true;
    for (int i = 0; i < FONT_COUNT; ++i) {
        std::string path = std::string(FONT_DIR) + FONT_FILES[i];
        if (FT_New_Face(impl_->library, path.c_str(), 0, &impl_->faces[i]) != 0) {
            std::fprintf(stderr, "assetgen: cannot load font %s\n", path.c_str());
            ok_ = false;
            impl_->faces[i] = nullptr;
            continue;
        }
        impl_->cairoFaces[i] = cairo_ft_font_face_create_for_ft_face(impl_->faces[i], 0);
    }
}

Fonts::~Fonts() {
    for (int i = 0; i < FONT_COUNT; ++i) {
        if (impl_->cairoFaces[i]) cairo_font_face_destroy(impl_->cairoFaces[i]);
    }
    // Cairo may still hold the faces in its font cache; release it before FreeType lets them go.
    cairo_debug_reset_static_data();
    for (int i = 0; i < FONT_COUNT; ++i) {
        if (impl_->faces[i]) FT_Done_Face(impl_->faces[i]);
    }
    if (impl_->library) FT_Done_FreeType(impl_->library);
}

cairo_font_face_t* Fonts::face(Font f) const {
    return impl_->cairoFaces[static_cast<int>(f)];
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)), cr_(cairo_create(surface_)) {
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr_, options);
    cairo_font_options_destroy(options);
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

uint32_t Canvas::argb(int x, int y) const {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    return *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
}

void Canvas::setArgb(int x, int y, uint32_t v) {
    cairo_surface_flush(surface_);
    unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    *reinterpret_cast<uint32_t*>(data + y * stride + x * 4) = v;
    cairo_surface_mark_dirty(surface_);
}

namespace {

std::unique_ptr<Image> quantise(const Canvas& canvas, Quantiser& q, bool sprite) {
    cairo_surface_t* s = canvas.surface();
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    auto image = std::make_unique<Image>(canvas.width(), canvas.height());
    uint8_t* out = image->pixels();
    for (int y = 0; y < canvas.height(); ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < canvas.width(); ++x) {
            const uint32_t v = row[x];
            const uint32_t a = v >> 24;
            uint32_t r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
            if (sprite) {
                if (a < 128) {
                    *out++ = KEY_INDEX;
                    continue;
                }
                r = std::min<uint32_t>(255, (r * 255 + a / 2) / a);
                g = std::min<uint32_t>(255, (g * 255 + a / 2) / a);
                b = std::min<uint32_t>(255, (b * 255 + a / 2) / a);
            }
            *out++ = q.nearest(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b));
        }
    }
    image->scanTransparency();
    return image;
}

} // namespace

std::unique_ptr<Image> Canvas::toOpaque(Quantiser& q) const {
    return quantise(*this, q, false);
}

std::unique_ptr<Image> Canvas::toSprite(Quantiser& q) const {
    return quantise(*this, q, true);
}

void setColour(cairo_t* cr, uint32_t rgb, double alpha) {
    cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0,
                          alpha);
}

void addStop(cairo_pattern_t* p, double offset, uint32_t rgb, double alpha) {
    cairo_pattern_add_color_stop_rgba(p, offset, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                                      (rgb & 0xFF) / 255.0, alpha);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
    cairo_close_path(cr);
}

namespace {
// Fills the current path with a two-stop gradient and lets the pattern go.
void fillTwoStops(cairo_t* cr, cairo_pattern_t* p, uint32_t first, uint32_t last, bool preserve) {
    addStop(p, 0, first);
    addStop(p, 1, last);
    cairo_set_source(cr, p);
    if (preserve) {
        cairo_fill_preserve(cr);
    } else {
        cairo_fill(cr);
    }
    cairo_pattern_destroy(p);
}
} // namespace

void fillVertical(cairo_t* cr, double y0, double y1, uint32_t top, uint32_t bottom, bool preserve) {
    fillTwoStops(cr, cairo_pattern_create_linear(0, y0, 0, y1), top, bottom, preserve);
}

void fillRadial(cairo_t* cr, double x, double y, double r, uint32_t inner, uint32_t outer, bool preserve) {
    fillTwoStops(cr, cairo_pattern_create_radial(x, y, r * 0.1, x, y, r), inner, outer, preserve);
}

namespace {

double startX(cairo_t* cr, const std::string& text, double x, Align align) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    if (align == Align::Centre) return x - e.x_advance / 2;
    if (align == Align::Right) return x - e.x_advance;
    return x;
}

void useFont(cairo_t* cr, const Fonts& fonts, Font font, double size) {
    cairo_set_font_face(cr, fonts.face(font));
    cairo_set_font_size(cr, size);
}

} // namespace

double textWidth(cairo_t* cr, const Fonts& fonts, Font font, double size, const std::string& text) {
    useFont(cr, fonts, font, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    return e.x_advance;
}

double fitTextSize(cairo_t* cr, const Fonts& fonts, Font font, double maxSize, const std::string& text,
                   double width) {
    double size = maxSize;
    while (size > 4 && textWidth(cr, fonts, font, size, text) > width)
        size -= 0.25;
    return size;
}

double drawText(cairo_t* cr, const Fonts& fonts, Font font, double size, const std::string& text, double x,
                double y, Align align, uint32_t fill) {
    useFont(cr, fonts, font, size);
    const double x0 = startX(cr, text, x, align);
    cairo_move_to(cr, x0, y);
    setColour(cr, fill);
    cairo_show_text(cr, text.c_str());
    cairo_new_path(cr);
    return textWidth(cr, fonts, font, size, text);
}

double drawOutlinedText(cairo_t* cr, const Fonts& fonts, Font font, double size, const std::string& text,
                        double x, double y, Align align, uint32_t fill, uint32_t outline,
                        double outlineWidth) {
    useFont(cr, fonts, font, size);
    const double x0 = startX(cr, text, x, align);
    cairo_move_to(cr, x0, y);
    cairo_text_path(cr, text.c_str());
    setColour(cr, outline);
    cairo_set_line_width(cr, outlineWidth * 2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    setColour(cr, fill);
    cairo_fill(cr);
    return textWidth(cr, fonts, font, size, text);
}

} // namespace tundrix::assetgen
