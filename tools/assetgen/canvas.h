// A Cairo drawing surface for one picture, the fonts, the drawing helpers every artist uses, and the
// step that turns the drawn picture into palette indices.
#pragma once
#include "graphics/image.h"
#include "tools/assetgen/palette.h"

#include <cairo.h>
#include <memory>
#include <string>

namespace tundrix::assetgen {

enum class Font { Sans, SansBold, CondensedBold, SerifBoldItalic, SansBoldOblique };

// The DejaVu faces, loaded from their files through FreeType so that every build draws the same text.
class Fonts {
  public:
    Fonts();
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;
    bool ok() const { return ok_; }
    cairo_font_face_t* face(Font f) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    bool ok_ = false;
};

class Canvas {
  public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Premultiplied ARGB of pixel (x, y).
    uint32_t argb(int x, int y) const;
    void setArgb(int x, int y, uint32_t v);
    // Direct access for whole-picture passes: flush() first, markDirty() after writing.
    void flush() const { cairo_surface_flush(surface_); }
    void markDirty() { cairo_surface_mark_dirty(surface_); }
    uint32_t* row(int y) const {
        return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface_) +
                                           y * cairo_image_surface_get_stride(surface_));
    }

    // Opaque art: every pixel becomes its nearest palette colour (the canvas is taken over black).
    std::unique_ptr<Image> toOpaque(Quantiser& q) const;
    // Sprite art: pixels less than half covered become the transparent key.
    std::unique_ptr<Image> toSprite(Quantiser& q) const;

  private:
    int width_, height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// Colours given as 0xRRGGBB.
void setColour(cairo_t* cr, uint32_t rgb, double alpha = 1.0);
void addStop(cairo_pattern_t* p, double offset, uint32_t rgb, double alpha = 1.0);
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
// Fills the current path with a vertical gradient from top colour to bottom colour.
void fillVertical(cairo_t* cr, double y0, double y1, uint32_t top, uint32_t bottom, bool preserve = false);
// Fills the current path with a radial gradient from a light centre to a darker rim.
void fillRadial(cairo_t* cr, double x, double y, double r, uint32_t inner, uint32_t outer,
                bool preserve = true);

enum class Align { Left, Centre, Right };
// Draws text with its baseline at y; returns its advance width.
double drawText(cairo_t* cr, const Fonts& fonts, Font font, double size, const std::string& text, double x,
                double y, Align align, uint32_t fill);
// Text with an outline of the given width drawn under the fill.
double drawOutlinedText(cairo_t* cr, const Fonts& fonts, Font font, double size, const std::string& text,
                        double x, double y, Align align, uint32_t fill, uint32_t outline,
                        double outlineWidth);
double textWidth(cairo_t* cr, const Fonts& fonts, Font font, double size, const std::string& text);
// The largest size up to maxSize at which text fits in width.
double fitTextSize(cairo_t* cr, const Fonts& fonts, Font font, double maxSize, const std::string& text,
                   double width);

} // namespace tundrix::assetgen
