// The rink grid of cell codes laid over the playfield, and the raid path beside it.
#pragma once
#include "core/heading.h"
#include "graphics/image.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tundrix {

// Cell codes of the grid. The raid line and claimed line codes are also the palette indices the
// lines are painted with.
constexpr uint8_t CellOutside = 236;
constexpr uint8_t CellEdge = 160;
constexpr uint8_t CellIce = 55;
constexpr uint8_t CellRaidLine = 146;
constexpr uint8_t CellClaimedLine = 107;
constexpr uint8_t CellClaimed = 44;
// Only while a capture runs.
constexpr uint8_t CellSideA = 16;
constexpr uint8_t CellSideB = 186;

constexpr int32_t RINK_WIDTH = 440;
constexpr int32_t RINK_HEIGHT = 300;
constexpr int32_t RINK_CELLS = RINK_WIDTH * RINK_HEIGHT;

// The ice and its edge frame after reset: the edge runs round the ice, one cell outside it.
constexpr int32_t EDGE_LEFT = 33, EDGE_TOP = 52, EDGE_RIGHT = 404, EDGE_BOTTOM = 270;
constexpr int32_t EDGE_WIDTH = EDGE_RIGHT - EDGE_LEFT + 1, EDGE_HEIGHT = EDGE_BOTTOM - EDGE_TOP + 1;
constexpr int32_t ICE_WIDTH = EDGE_WIDTH - 2, ICE_HEIGHT = EDGE_HEIGHT - 2;
constexpr int32_t ICE_CELLS = ICE_WIDTH * ICE_HEIGHT;
// The face-off spot in the middle of the ice, where the figures start; the player starts on its row.
constexpr int32_t CENTRE_X = 219, CENTRE_Y = 161;

// The steps to the four neighbours of a cell by index, in the order of the headings (right, down,
// left, up), and to all eight.
constexpr int32_t STEPS[HEADINGS] = {1, RINK_WIDTH, -1, -RINK_WIDTH};
constexpr int32_t NEIGHBOURS[8] = {
    1, RINK_WIDTH, -1, -RINK_WIDTH, RINK_WIDTH + 1, RINK_WIDTH - 1, -RINK_WIDTH - 1, -RINK_WIDTH + 1};

// The cell a position lies in: the position truncated toward zero.
inline int32_t whole(float v) {
    return static_cast<int32_t>(v);
}
// A cell's index in the grid, row by row.
constexpr int32_t cellIndex(int32_t x, int32_t y) {
    return x + RINK_WIDTH * y;
}

struct PathPoint {
    float x = 0;
    float y = 0;
};

// The pictures painted when a cell changes its visible state. They belong to the game world; the
// rink only points at them while a world exists.
struct RinkPictures {
    Image* display = nullptr;       // rinkDisplay, the playfield background
    const Image* plain = nullptr;   // rinkPicture, the unclaimed rink (erasing a line)
    const Image* claimed = nullptr; // claimedPicture, the grayed rink (claimed area)
};

class Rink {
  public:
    // Points the raid path can hold. A push beyond it is dropped: nothing is stored, the count stays
    // at the capacity, and the line keeps the points already recorded.
    static constexpr int32_t PATH_CAPACITY = 66000;

    Rink();
    Rink(const Rink&) = delete;
    Rink& operator=(const Rink&) = delete;

    // The world attaches its pictures after building them; they outlive the rink. Without pictures the
    // grid still changes; only the painting is skipped.
    void attachPictures(Image& display, const Image& plain, const Image& claimed);
    const RinkPictures& pictures() const { return pictures_; }

    // Lays out outside, edge frame and ice, and clears the raid path. Does not touch rinkDisplay.
    void reset();

    uint8_t cellAt(int32_t x, int32_t y) const { return cellAtIndex(int64_t{x} + int64_t{RINK_WIDTH} * y); }
    uint8_t cellAtIndex(int64_t i) const {
        return (i >= 0 && i < RINK_CELLS) ? cells_[static_cast<size_t>(i)] : uint8_t{0};
    }
    void setCell(int32_t x, int32_t y, uint8_t code) { grid_.setPixel(x, y, code); }
    void setCellAtIndex(int64_t i, uint8_t code) {
        if (i >= 0 && i < RINK_CELLS) cells_[static_cast<size_t>(i)] = code;
    }
    void fillCells(int32_t x, int32_t y, int32_t w, int32_t h, uint8_t code) {
        grid_.fillRect(x, y, w, h, code);
    }

    // Free ice becomes raid line (painted 146); anything else is left alone.
    void markLine(int32_t x, int32_t y);
    // Raid line becomes free ice again (painted from the plain rink); anything else is left alone.
    void eraseLine(int32_t x, int32_t y);
    // The cell nearest to cell from (breadth first, four-connected, from itself on) from which the player
    // can skate on: edge or claimed line with free ice among its eight neighbours; -1 if there is none.
    int32_t nearestOpenLine(int32_t from) const;
    // Free ice among the eight neighbours of cell i.
    bool besideIce(int32_t i) const;

    // Paints one cell of rinkDisplay, by index, with a fixed index or from the claimed picture.
    void paintIndex(int32_t i, uint8_t value);
    void paintClaimed(int32_t i);

    // The raid path.
    void pathClear();
    void pathPush(int32_t x, int32_t y);
    std::optional<PathPoint> pathPop();
    void pathErase();
    Heading pathStartHeading() const;
    int32_t pathStartCell() const;

    int32_t pathCount() const { return pathCount_; }
    bool pathEmpty() const { return pathEmpty_; }
    // The recorded point at position k (0 .. capacity - 1), or (0, 0) outside.
    PathPoint pathPoint(int32_t k) const;
    // The cells, one code a pixel, for what reads the whole rink at once.
    const Image& grid() const { return grid_; }

  private:
    Image grid_; // first: the cells point into it
    uint8_t* cells_;
    RinkPictures pictures_;
    std::vector<uint16_t> pathX_;
    std::vector<uint16_t> pathY_;
    int32_t pathCount_ = 0;
    bool pathEmpty_ = true;
    bool pathSteppedBack_ = false;
};

} // namespace tundrix
