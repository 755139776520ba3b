// The rink grid: layout, line marking and the raid path with its step-back rules.
#include "rink/rink.h"

#include <deque>

namespace tundrix {

Rink::Rink()
    : grid_(RINK_WIDTH, RINK_HEIGHT), cells_(grid_.pixels()), pathX_(PATH_CAPACITY, 0),
      pathY_(PATH_CAPACITY, 0) {
    reset();
}

void Rink::attachPictures(Image& display, const Image& plain, const Image& claimed) {
    pictures_.display = &display;
    pictures_.plain = &plain;
    pictures_.claimed = &claimed;
}

void Rink::reset() {
    fillCells(0, 0, RINK_WIDTH, RINK_HEIGHT, CellOutside);
    // The grid is never drawn; the scan only keeps the image's own bookkeeping honest.
    grid_.scanTransparency();
    fillCells(EDGE_LEFT, EDGE_TOP, EDGE_WIDTH, EDGE_HEIGHT, CellEdge);
    fillCells(EDGE_LEFT + 1, EDGE_TOP + 1, ICE_WIDTH, ICE_HEIGHT, CellIce);
    pathClear();
}

void Rink::markLine(int32_t x, int32_t y) {
    if (cellAt(x, y) != CellIce) return;
    setCell(x, y, CellRaidLine);
    if (pictures_.display) pictures_.display->setPixel(x, y, CellRaidLine);
}

void Rink::eraseLine(int32_t x, int32_t y) {
    if (cellAt(x, y) != CellRaidLine) return;
    setCell(x, y, CellIce);
    if (pictures_.display && pictures_.plain) pictures_.display->setPixel(x, y, pictures_.plain->pixel(x, y));
}

void Rink::paintIndex(int32_t i, uint8_t value) {
    if (pictures_.display) pictures_.display->setPixelAtIndex(i, value);
}

void Rink::paintClaimed(int32_t i) {
    if (pictures_.display && pictures_.claimed)
        pictures_.display->setPixelAtIndex(i, pictures_.claimed->pixelAtIndex(i));
}

void Rink::pathClear() {
    pathCount_ = 0;
    pathEmpty_ = true;
    pathSteppedBack_ = false;
}

void Rink::pathPush(int32_t x, int32_t y) {
    // After a pop the point the player stands on is kept as part of the line.
    if (pathSteppedBack_ && pathCount_ < PATH_CAPACITY) pathCount_ += 1;
    if (pathCount_ < PATH_CAPACITY) {
        pathX_[static_cast<size_t>(pathCount_)] = static_cast<uint16_t>(x);
        pathY_[static_cast<size_t>(pathCount_)] = static_cast<uint16_t>(y);
        pathCount_ += 1;
    }
    pathEmpty_ = false;
    pathSteppedBack_ = false;
}

std::optional<PathPoint> Rink::pathPop() {
    if (pathEmpty_ || pathCount_ <= 0) return std::nullopt;
    pathCount_ -= 1;
    PathPoint p = pathPoint(pathCount_);
    pathSteppedBack_ = true;
    if (pathCount_ == 0) pathEmpty_ = true;
    return p;
}

void Rink::pathErase() {
    // Position count is included: after a pop it holds the point the player stands on. Position 0
    // lies on the edge or a claimed line and is never touched.
    int32_t top = pathCount_ < PATH_CAPACITY ? pathCount_ : PATH_CAPACITY - 1;
    for (int32_t k = top; k >= 1; --k) {
        eraseLine(pathX_[static_cast<size_t>(k)], pathY_[static_cast<size_t>(k)]);
    }
    // The first two points stay readable for the return to the raid's start.
    pathCount_ = 2;
}

Heading Rink::pathStartHeading() const {
    if (pathCount_ < 2) return NO_HEADING;
    const int32_t x0 = pathX_[0], y0 = pathY_[0], x1 = pathX_[1], y1 = pathY_[1];
    if (x1 > x0) return HEADING_RIGHT;
    if (y1 > y0) return HEADING_DOWN;
    if (x1 < x0) return HEADING_LEFT;
    if (y1 < y0) return HEADING_UP;
    return NO_HEADING;
}

int32_t Rink::pathStartCell() const {
    if (pathEmpty_) return -1;
    return cellIndex(pathX_[0], pathY_[0]);
}

PathPoint Rink::pathPoint(int32_t k) const {
    if (k < 0 || k >= PATH_CAPACITY) return {};
    return {static_cast<float>(pathX_[static_cast<size_t>(k)]),
            static_cast<float>(pathY_[static_cast<size_t>(k)])};
}

bool Rink::besideIce(int32_t i) const {
    for (int32_t d : NEIGHBOURS)
        if (cellAtIndex(int64_t{i} + d) == CellIce) return true;
    return false;
}

int32_t Rink::nearestOpenLine(int32_t from) const {
    if (from < 0 || from >= RINK_CELLS) return -1;
    const auto open = [this](int32_t i) {
        const uint8_t c = cellAtIndex(i);
        return (c == CellEdge || c == CellClaimedLine) && besideIce(i);
    };
    std::vector<bool> seen(RINK_CELLS, false);
    std::deque<int32_t> queue{from};
    seen[static_cast<size_t>(from)] = true;
    while (!queue.empty()) {
        const int32_t i = queue.front();
        queue.pop_front();
        if (open(i)) return i;
        for (int32_t step : STEPS) {
            const int32_t n = i + step;
            if (n < 0 || n >= RINK_CELLS || seen[static_cast<size_t>(n)] || cellAtIndex(n) == CellOutside)
                continue;
            seen[static_cast<size_t>(n)] = true;
            queue.push_back(n);
        }
    }
    return -1;
}

} // namespace tundrix
