// Lays out RGB sheets and writes them as PNG through Cairo.
#include "tools/preview/png_out.h"

#include <cairo.h>

namespace tundrix::preview {

namespace {
uint32_t pack(Rgb c) {
    return 0xFF000000u | (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b;
}
} // namespace

Sheet::Sheet(int width, int height, Rgb background)
    : width_(width), height_(height), rgb_(static_cast<size_t>(width) * height, pack(background)) {}

void Sheet::fill(int x, int y, int w, int h, Rgb colour) {
    for (int yy = std::max(0, y); yy < std::min(height_, y + h); ++yy) {
        for (int xx = std::max(0, x); xx < std::min(width_, x + w); ++xx)
            rgb_[yy * width_ + xx] = pack(colour);
    }
}

void Sheet::place(const Image& image, int x, int y, int scale, const Palette& palette, bool checker) {
    for (int sy = 0; sy < image.height(); ++sy) {
        for (int sx = 0; sx < image.width(); ++sx) {
            const uint8_t v = image.pixel(sx, sy);
            for (int dy = 0; dy < scale; ++dy) {
                for (int dx = 0; dx < scale; ++dx) {
                    const int tx = x + sx * scale + dx, ty = y + sy * scale + dy;
                    if (tx < 0 || ty < 0 || tx >= width_ || ty >= height_) continue;
                    Rgb c = palette[v];
                    if (v == TRANSPARENT_INDEX && checker) {
                        const bool dark = ((tx / 4) + (ty / 4)) % 2;
                        c = dark ? Rgb{150, 150, 160} : Rgb{200, 200, 210};
                    }
                    rgb_[ty * width_ + tx] = pack(c);
                }
            }
        }
    }
}

void Sheet::text(int x, int y, const std::string& s, Rgb colour, double size) {
    texts_.push_back({{x, y}, {s, {colour, size}}});
}

bool Sheet::write(const std::string& path) const {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height_; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < width_; ++x)
            row[x] = rgb_[y * width_ + x];
    }
    cairo_surface_mark_dirty(surface);
    cairo_t* cr = cairo_create(surface);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    for (const auto& t : texts_) {
        const Rgb c = t.second.second.first;
        cairo_set_font_size(cr, t.second.second.second);
        cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0);
        cairo_move_to(cr, t.first.first, t.first.second);
        cairo_show_text(cr, t.second.first.c_str());
    }
    cairo_destroy(cr);
    const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

} // namespace tundrix::preview
