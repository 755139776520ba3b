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

// The ice and its edge frame after reset.
constexpr int32_t EDGE_LEFT = 33, EDGE_TOP = 52, EDGE_RIGHT = 404, EDGE_BOTTOM = 270;
constexpr int32_t ICE_CELLS = 370 * 217;

struct PathPoint {
    float x = 0;
    float y = 0;
};

// A plain owner of the one 8-bit grid image.
class GridOwner {
  public:
    GridOwner(int32_t width, int32_t height) : grid_(width, height) {}
    virtual ~GridOwner() = default;
    GridOwner(const GridOwner&) = delete;
    GridOwner& operator=(const GridOwner&) = delete;

    const Image& grid() const { return grid_; }

  protected:
    Image grid_;
};

// The pictures painted when a cell changes its visible state. They belong to the game world; the
// rink only points at them while a world exists.
struct RinkPictures {
    Image* display = nullptr;       // rinkDisplay, the playfield background
    const Image* plain = nullptr;   // rinkPicture, the unclaimed rink (erasing a line)
    const Image* claimed = nullptr; // claimedPicture, the grayed rink (claimed area)
};

class Rink : public GridOwner {
  public:
    // Points the raid path can hold. A push beyond it is dropped: nothing is stored, the count stays
    // at the capacity, and the line keeps the points already recorded.
    static constexpr int32_t PATH_CAPACITY = 66000;

    Rink();
    ~Rink() override = default;

    // The world attaches its pictures after building them and detaches them before they die.
    // Without pictures the grid still changes; only the painting is skipped.
    void attachPictures(Image& display, const Image& plain, const Image& claimed);
    void detachPictures() { pictures_ = {}; }
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
    bool pathSteppedBack() const { return pathSteppedBack_; }
    // The recorded point at position k (0 .. capacity - 1), or (0, 0) outside.
    PathPoint pathPoint(int32_t k) const;

  private:
    uint8_t* cells_;
    RinkPictures pictures_;
    std::vector<uint16_t> pathX_;
    std::vector<uint16_t> pathY_;
    int32_t pathCount_ = 0;
    bool pathEmpty_ = true;
    bool pathSteppedBack_ = false;
};

} // namespace tundrix
