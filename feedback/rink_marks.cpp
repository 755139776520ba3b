// The layer's marks on the ice itself: the flash of newly claimed cells, the cut line flashing away and
// the raid line drawn bold. Each touches only ice the figures leave uncovered, so the figures stay on top.
#include "feedback/layer_painter.h"

#include <algorithm>

namespace tundrix {

namespace {

// The eight cells around one.
constexpr int32_t AROUND[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};

// Pixel (x, y) shows the rink as drawn, with no figure over it.
bool bare(const Image& screen, const Image& display, int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= screen.width() || y >= screen.height()) return false;
    return screen.pixel(x, y) == display.pixel(x, y);
}

void mark(Image& screen, const Image& display, int32_t x, int32_t y, uint8_t colour) {
    if (bare(screen, display, x, y)) screen.setPixel(x, y, colour);
}

// Every cell of a line, then a halo of another colour in the eight cells around each (the line first, so
// where it runs beside itself its own cells keep their colour).
void boldLine(Image& screen, const Image& display, const std::vector<PathPoint>& line, uint8_t core,
              uint8_t halo, bool withHalo) {
    for (const PathPoint& p : line)
        mark(screen, display, static_cast<int32_t>(p.x), static_cast<int32_t>(p.y), core);
    if (!withHalo) return;
    for (const PathPoint& p : line)
        for (const auto& d : AROUND)
            mark(screen, display, static_cast<int32_t>(p.x) + d[0], static_cast<int32_t>(p.y) + d[1], halo);
}

} // namespace

void LayerPainter::paintFlash(Image& screen, const Image& display, const Effects::Flash& flash) const {
    if (screen.pixels() == nullptr || display.pixels() == nullptr || display.width() != screen.width() ||
        display.height() != screen.height())
        return;
    const int level = std::min(flash.age / 2, Shades::FLASH_LEVELS - 1);
    for (const CellRun& run : flash.cells) {
        if (run.y < 0 || run.y >= screen.height()) continue;
        const ptrdiff_t row = static_cast<ptrdiff_t>(run.y) * screen.width();
        uint8_t* shown = screen.pixels() + row;
        const uint8_t* rink = display.pixels() + row;
        for (int32_t x = std::max(run.x0, 0); x <= std::min(run.x1, screen.width() - 1); ++x)
            if (shown[x] == rink[x]) shown[x] = shades_.lighter(level, shown[x]);
    }
}

void LayerPainter::paintCutLine(Image& screen, const Image& display, const Effects::CutLine& cut) const {
    // Red-hot in a dark edge at first, then blinking, then crumbling away cell by cell.
    if (cut.age < 6) {
        boldLine(screen, display, cut.line, shades_.hot, shades_.lineOutline, true);
    } else if (cut.age < 11) {
        boldLine(screen, display, cut.line, cut.age % 2 ? shades_.lineOutline : shades_.hot, 0, false);
    } else {
        for (size_t k = 0; k < cut.line.size(); ++k) {
            if ((k * 7 + static_cast<size_t>(cut.age)) % 4 != 0) continue;
            mark(screen, display, static_cast<int32_t>(cut.line[k].x), static_cast<int32_t>(cut.line[k].y),
                 shades_.hot);
        }
    }
}

void LayerPainter::paintRaidLine(Image& screen, const Image& display, const Rink& rink) const {
    // The raid line is the path's cells from the first one off the edge; a dark edge on the free ice either
    // side, then a bright core.
    const int32_t last = std::min(rink.pathCount(), Rink::PATH_CAPACITY - 1);
    for (int pass = 0; pass < 2; ++pass) {
        for (int32_t k = 1; k <= last; ++k) {
            const PathPoint p = rink.pathPoint(k);
            const int32_t x = static_cast<int32_t>(p.x), y = static_cast<int32_t>(p.y);
            if (rink.cellAt(x, y) != CellRaidLine) continue;
            if (pass == 1) {
                mark(screen, display, x, y, shades_.lineCore);
                continue;
            }
            for (const auto& d : AROUND)
                if (rink.cellAt(x + d[0], y + d[1]) == CellIce)
                    mark(screen, display, x + d[0], y + d[1], shades_.lineOutline);
        }
    }
}

} // namespace tundrix
