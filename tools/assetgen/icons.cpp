// The program's icons: Vessa's head badge, as on the game's chance icons but framed a little closer, drawn
// at each size in full colour rather than in the game's palette.
#include "tools/assetgen/icons.h"

#include "resources/window_icon.h"
#include "tools/assetgen/figures.h"

namespace tundrix::assetgen {

namespace {

constexpr Mascot ICON_MASCOT = Mascot::Vessa;
// From 48 pixels up a dark rim on both sides of the gold ring sets it off from her hair and from any
// background; below that those lines would blur into a muddy edge, so the smallest icons get a plain,
// wider gold ring and a slightly bigger face.
constexpr BadgeLook LARGE_LOOK{1.1, 0.8, 2.0, 1.2};
constexpr BadgeLook SMALL_LOOK{1.15, 0.8, 2.8, 0.0};
constexpr int SMALLEST_LARGE = 48;

void drawIcon(const Canvas& canvas, const ArtContext& art) {
    const int size = canvas.width();
    drawHeadBadge(canvas.cr(), art, ICON_MASCOT, size, size < SMALLEST_LARGE ? SMALL_LOOK : LARGE_LOOK);
    canvas.flush();
}

} // namespace

bool writeIconPng(const ArtContext& art, int size, const std::string& path) {
    Canvas canvas(size, size);
    drawIcon(canvas, art);
    return cairo_surface_write_to_png(canvas.surface(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

std::vector<uint8_t> windowIconPixels(const ArtContext& art) {
    Canvas canvas(WINDOW_ICON_SIZE, WINDOW_ICON_SIZE);
    drawIcon(canvas, art);
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(WINDOW_ICON_SIZE) * WINDOW_ICON_SIZE * 4);
    for (int y = 0; y < WINDOW_ICON_SIZE; ++y) {
        const uint32_t* row = canvas.row(y);
        for (int x = 0; x < WINDOW_ICON_SIZE; ++x) {
            // Cairo keeps premultiplied colour; the window wants it straight.
            const uint32_t p = row[x];
            const uint32_t a = p >> 24;
            for (int shift : {16, 8, 0}) {
                const uint32_t c = (p >> shift) & 0xFF;
                out.push_back(static_cast<uint8_t>(a ? (c * 255 + a / 2) / a : 0));
            }
            out.push_back(static_cast<uint8_t>(a));
        }
    }
    return out;
}

} // namespace tundrix::assetgen
