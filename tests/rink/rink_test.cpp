// The rink grid layout, line marking and erasing, the nearest line to skate on, the raid path's push, pop
// and erase rules, and the area capture: which side is claimed, how much it scores, what is painted and
// what is left.
#include "recording_sound.h"
#include "rink/area_capture.h"
#include "rink/rink.h"
#include "rink_rig.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

namespace tundrix {
namespace {

using test::RinkRig;

TEST(Rink, ResetLaysOutOutsideEdgeAndIceAndAccessOutsideTheGridIsHarmless) {
    RinkRig rig;
    Rink& rink = rig.rink;
    rink.fillCells(0, 0, 440, 300, CellClaimed);
    rink.reset();
    // Reads outside the grid give zero; by index, so a column past the right end reads the next row.
    // clang-format off
    const struct { int x, y, code; } cells[] = {
        {32, 52, CellOutside},       {33, 51, CellOutside},   {33, 52, CellEdge}, {404, 270, CellEdge},
        {404, 52, CellEdge},         {33, 270, CellEdge},     {34, 53, CellIce},  {403, 269, CellIce},
        {405, 100, CellOutside},     {100, 271, CellOutside}, {0, 300, 0},        {-5, 0, 0},
        {2147483647, 2147483647, 0}, {440 + 33, 51, CellEdge}};
    // clang-format on
    for (const auto& c : cells)
        EXPECT_EQ(rink.cellAt(c.x, c.y), c.code) << c.x << "," << c.y;
    EXPECT_EQ(rink.cellAtIndex(-1) + rink.cellAtIndex(RINK_CELLS), 0);
    EXPECT_EQ(std::tuple(rig.count(CellEdge), rig.count(CellIce)), std::tuple(2 * 372 + 2 * 217, 370 * 217));
    // Writes outside the grid are ignored.
    for (int i : {-3, RINK_CELLS})
        rink.setCellAtIndex(i, CellRaidLine);
    rink.setCell(-1, 5, CellRaidLine);
    rink.setCell(440, 5, CellRaidLine);
    EXPECT_EQ((std::tuple{rig.count(CellRaidLine) == 0, rink.pathEmpty()}), (std::tuple{true, true}));
}

TEST(Rink, MarkAndEraseChangeOnlyTheirOwnCodesAndPaintTheDisplay) {
    RinkRig rig;
    Rink& rink = rig.rink;
    rink.markLine(100, 100);
    rink.markLine(33, 100); // the edge is not free ice: nothing changes
    EXPECT_EQ(std::tuple(rink.cellAt(100, 100), rig.display.pixel(100, 100), rink.cellAt(33, 100),
                         rig.display.pixel(33, 100)),
              std::tuple(CellRaidLine, CellRaidLine, CellEdge, 77));
    // Erasing paints the plain picture's pixel back; ice and claimed line are left alone.
    rig.plain.setPixel(100, 100, 12);
    rink.eraseLine(100, 100);
    EXPECT_EQ(std::tuple(rink.cellAt(100, 100), rig.display.pixel(100, 100)), std::tuple(CellIce, 12));
    rig.display.setPixel(100, 100, 99);
    rink.eraseLine(100, 100);
    EXPECT_EQ(rig.display.pixel(100, 100), 99);
    rink.setCell(120, 120, CellClaimedLine);
    rink.eraseLine(120, 120);
    EXPECT_EQ(rink.cellAt(120, 120), CellClaimedLine);
    // Without pictures the grid still changes.
    Rink bare;
    bare.markLine(150, 150);
    bare.paintClaimed(cellIndex(150, 150));
    bare.paintIndex(cellIndex(150, 150), 1);
    bare.eraseLine(150, 150);
    EXPECT_EQ(bare.cellAt(150, 150), CellIce);
}

TEST(Rink, TheNearestOpenLineIsAnEdgeOrClaimedLineCellBesideFreeIce) {
    Rink rink;
    // An open cell is its own nearest, even with free ice only at a corner; else the search goes along.
    EXPECT_EQ(rink.nearestOpenLine(cellIndex(33, 161)), cellIndex(33, 161));
    rink.fillCells(34, 53, 1, 109, CellClaimed);
    EXPECT_EQ(rink.nearestOpenLine(cellIndex(33, 161)), cellIndex(33, 161));
    rink.fillCells(34, 53, 1, 148, CellClaimed);
    EXPECT_EQ(rink.nearestOpenLine(cellIndex(33, 161)), cellIndex(33, 200));
    // From inside a claimed block, the nearest claimed line beside the ice.
    rink.fillCells(100, 100, 51, 51, CellClaimed);
    rink.setCell(151, 125, CellClaimedLine);
    EXPECT_EQ(rink.nearestOpenLine(cellIndex(125, 125)), cellIndex(151, 125));
    rink.setCell(125, 150, CellClaimedLine);
    EXPECT_EQ(rink.nearestOpenLine(cellIndex(125, 125)), cellIndex(125, 150));
    // With no free ice anywhere, nothing is open; outside the grid there is nothing to search.
    rink.fillCells(EDGE_LEFT + 1, EDGE_TOP + 1, 370, 217, CellClaimed);
    for (int from : {cellIndex(125, 125), -1, RINK_CELLS})
        EXPECT_EQ(rink.nearestOpenLine(from), -1) << from;
}

TEST(RaidPath, PopsNewestFirstAndAPushAfterPopsKeepsThePointStoodOn) {
    Rink rink;
    EXPECT_FALSE(rink.pathPop());
    EXPECT_EQ(rink.pathStartCell(), -1);
    // P, Q, pop (Q), R: the path holds P, Q, R and pops R, Q, P.
    rink.pathPush(1, 2);
    rink.pathPush(3, 4);
    EXPECT_EQ(rink.pathPop()->x, 3);
    rink.pathPush(5, 6);
    EXPECT_EQ(rink.pathCount(), 3);
    for (int x : {5, 3, 1}) {
        const auto p = rink.pathPop();
        ASSERT_TRUE(p);
        EXPECT_EQ(std::tuple(p->x, p->y), std::tuple(x, x + 1));
    }
    EXPECT_EQ((std::tuple{rink.pathEmpty(), !rink.pathPop(), rink.pathCount() == 0}),
              (std::tuple{true, true, true}));
    // A push after the path ran empty starts it again from its first place.
    rink.pathPush(7, 8);
    EXPECT_EQ(std::tuple(rink.pathCount(), rink.pathPoint(1).x), std::tuple(2, 7));

    // The start heading is the step from the first point to the second.
    // clang-format off
    const struct { int x1, y1; Heading h; } cases[] = {
        {50, 53, HEADING_DOWN},
        {51, 52, HEADING_RIGHT},
        {49, 52, HEADING_LEFT},
        {50, 51, HEADING_UP},
        {50, 52, NO_HEADING}};
    // clang-format on
    for (const auto& c : cases) {
        rink.pathClear();
        EXPECT_EQ(rink.pathStartHeading(), NO_HEADING);
        rink.pathPush(50, 52);
        EXPECT_EQ(rink.pathStartHeading(), NO_HEADING);
        rink.pathPush(c.x1, c.y1);
        EXPECT_EQ(std::tuple(rink.pathStartHeading(), rink.pathStartCell()),
                  std::tuple(c.h, cellIndex(50, 52)))
            << c.x1 << "," << c.y1;
    }
}

TEST(RaidPath, EraseRestoresTheLineKeepsTheStartAndLeavesTwoPoints) {
    RinkRig rig;
    Rink& rink = rig.rink;
    rink.pathPush(60, 52); // on the edge
    for (int y = 53; y <= 58; ++y) {
        rink.markLine(60, y);
        rink.pathPush(60, y);
    }
    // Stepped back twice: the point stood on (60, 57) is erased too, since erase includes position count.
    rink.pathPop();
    rink.pathPop();
    rink.eraseLine(60, 58);
    rink.pathErase();
    for (int y = 53; y <= 58; ++y)
        EXPECT_EQ(std::tuple(rink.cellAt(60, y), rig.display.pixel(60, y)), std::tuple(CellIce, uint8_t{77}))
            << y;
    EXPECT_EQ(
        std::tuple(rink.cellAt(60, 52), rink.pathCount(), rink.pathStartCell(), rink.pathStartHeading()),
        std::tuple(CellEdge, 2, cellIndex(60, 52), HEADING_DOWN));
    // An erase of a cleared path erases nothing and still leaves the count at 2.
    rink.markLine(70, 70);
    rink.pathClear();
    rink.pathErase();
    EXPECT_EQ(std::tuple(rink.pathCount(), rink.cellAt(70, 70)), std::tuple(2, CellRaidLine));
    EXPECT_FALSE(rink.pathPop()) << "the two points kept for the return are no line to step back on";
}

TEST(RaidPath, PushesBeyondTheCapacityAreDroppedAndNothingIsWrittenOutside) {
    Rink rink;
    const int last = Rink::PATH_CAPACITY - 1;
    for (int k = 0; k <= last + 1000; ++k)
        rink.pathPush(34 + k % 370, 53 + (k / 370) % 217);
    EXPECT_EQ(rink.pathCount(), Rink::PATH_CAPACITY);
    // A pop at full capacity returns the last point kept.
    const auto p = rink.pathPop();
    ASSERT_TRUE(p);
    EXPECT_EQ(std::tuple(p->x, p->y), std::tuple(34 + last % 370, 53 + (last / 370) % 217));
    // A push after it keeps the point stood on again, and the new one has no room.
    rink.pathPush(399, 260);
    EXPECT_EQ(std::tuple(rink.pathCount(), rink.pathPoint(last).x), std::tuple(Rink::PATH_CAPACITY, p->x));
    // After two pops there is room for exactly one.
    rink.pathPop();
    rink.pathPop();
    rink.pathPush(398, 260);
    EXPECT_EQ(std::tuple(rink.pathCount(), rink.pathPoint(last).x, rink.pathPoint(last + 1).x,
                         rink.pathPoint(-1).x),
              std::tuple(Rink::PATH_CAPACITY, 398, 0, 0));
    // Erasing a full path reads only inside it (the sanitizer build checks this).
    rink.pathErase();
    EXPECT_EQ(rink.pathCount(), 2);
}

// A referee standing on one cell; the capture resamples it.
class FakeFigures : public CaptureFigures {
  public:
    FakeFigures(Rink& rink, int x, int y) : rink_(rink), x_(x), y_(y) {}
    uint8_t resampleReferee() override { return refereeCell = rink_.cellAt(x_, y_); }
    void resampleAll() override { ++refreshes; }
    uint8_t refereeCell = 0;
    int refreshes = 0;

  private:
    Rink& rink_;
    int x_, y_;
};

struct CaptureRig : RinkRig {
    // Marks a raid line through the given corner points (each leg along one axis) and returns the
    // index of its last cell.
    int drawLine(const std::vector<std::pair<int, int>>& corners) {
        auto [x, y] = corners[0];
        rink.markLine(x, y);
        for (auto [cx, cy] : corners) {
            while (x != cx || y != cy) {
                x += (cx > x) - (cx < x);
                y += (cy > y) - (cy < y);
                rink.markLine(x, y);
            }
        }
        return cellIndex(x, y);
    }

    GuardedCounter claimedCells, score;
    test::RecordingSound bigCapture;
    AreaCapture capture{rink, claimedCells, score, bigCapture};
};

TEST(AreaCapture, ClaimsTheSideAwayFromTheRefereeScoresItAndPaintsIt) {
    // A line down from the top edge and left to the left edge claims the corner: v = (a + 1)(b + 1)
    // for a corner at (34 + a, 53 + b). 20367 = 219 * 93 is the most without the big-capture sound,
    // 20368 = 152 * 134 the least with it. Walking down, side A is on the right; a referee on the line
    // spares side B. A line that does not split the ice lets side A, flooded first, take everything.
    using Corners = std::vector<std::pair<int, int>>;
    const Corners column{{200, 53}, {200, 269}};
    const uint8_t AREA = CellClaimed, LINE = CellClaimedLine, ICE = CellIce, EDGE = CellEdge;
    // clang-format off
    const struct {
        const char* name;
        Corners corners;
        Heading heading;
        int refereeX, refereeY, v, score, sounds;
        uint8_t refereeCell; // 0: not checked
        std::vector<std::tuple<int, int, uint8_t>> cells;
    } cases[] = {
        {"referee left", column, HEADING_DOWN, 100, 161, 44268, 584, 1, CellSideB,
         {{201, 53, AREA}, {403, 269, AREA}, {300, 161, AREA}, {200, 161, LINE}, {199, 161, ICE}, {404, 161, EDGE}}},
        {"walked upwards", {{200, 269}, {200, 53}}, HEADING_UP, 100, 161, 44268, 584, 1, 0,
         {{300, 100, AREA}, {199, 161, ICE}}},
        {"walked upwards a cell from the right edge", {{402, 269}, {402, 53}}, HEADING_UP, 100, 161, 434, 1, 0, 0,
         {{403, 161, AREA}, {401, 161, ICE}}},
        {"and from the left edge", {{35, 269}, {35, 53}}, HEADING_UP, 300, 161, 434, 1, 0, 0,
         {{34, 161, AREA}, {36, 161, ICE}}},
        {"referee right", column, HEADING_DOWN, 300, 100, 36239, 388, 1, 0, {{34, 53, AREA}, {201, 53, ICE}}},
        {"referee on the line", column, HEADING_DOWN, 200, 161, 44268, 584, 1, LINE,
         {{300, 161, AREA}, {100, 161, ICE}}},
        {"one-cell line", {{34, 53}}, HEADING_DOWN, 219, 161, 1, 1, 0, 0, {{34, 53, LINE}}},
        {"20367 cells", {{252, 53}, {252, 145}, {34, 145}}, HEADING_LEFT, 400, 265, 20367, 126, 0, 0,
         {{35, 54, AREA}, {400, 265, ICE}}},
        {"20368 cells", {{185, 53}, {185, 186}, {34, 186}}, HEADING_LEFT, 400, 265, 20368, 126, 1, 0,
         {{35, 54, AREA}, {400, 265, ICE}}},
        {"spur into open ice", {{100, 53}, {100, 80}}, HEADING_DOWN, 300, 200, 28, 1, 0, CellSideA,
         {{100, 80, LINE}, {300, 200, ICE}}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CaptureRig rig;
        rig.score.set(1000);
        const int last = rig.drawLine(c.corners);
        rig.rink.pathPush(c.corners[0].first, 52);
        FakeFigures figures(rig.rink, c.refereeX, c.refereeY);
        EXPECT_EQ(rig.capture.capture(last, c.heading, figures), c.v);
        EXPECT_EQ(std::tuple(rig.claimedCells.get(), rig.score.get(), rig.bigCapture.plays, figures.refreshes,
                             c.refereeCell ? figures.refereeCell : 0, rig.rink.pathEmpty()),
                  std::tuple(c.v, 1000 + c.score, c.sounds, 1, c.refereeCell, true));
        // The claimed area shows the claimed picture, the line its own colour, the rest is untouched.
        for (auto [x, y, code] : c.cells) {
            EXPECT_EQ(rig.rink.cellAt(x, y), code) << x << "," << y;
            EXPECT_EQ(rig.display.pixel(x, y), code == AREA   ? rig.claimed.pixel(x, y)
                                               : code == LINE ? LINE
                                                              : 77)
                << x << "," << y;
        }
        // Every cell is accounted for and no transient code is left behind.
        EXPECT_EQ(rig.count(CellClaimed) + rig.count(CellClaimedLine), c.v);
        EXPECT_EQ(rig.count(CellIce), ICE_CELLS - c.v);
        EXPECT_EQ(rig.count(CellSideA) + rig.count(CellSideB) + rig.count(CellRaidLine), 0);
    }
}

TEST(AreaCapture, ClaimedLineWithoutFreeIceAroundIsRetired) {
    CaptureRig rig;
    FakeFigures right(rig.rink, 300, 100);
    rig.capture.capture(rig.drawLine({{200, 53}, {200, 269}}), HEADING_DOWN, right);
    EXPECT_EQ(rig.rink.cellAt(200, 100), CellClaimedLine);
    // A second line two columns further claims column 201: line 200 then borders only claimed area.
    EXPECT_EQ(rig.capture.capture(rig.drawLine({{202, 53}, {202, 269}}), HEADING_DOWN, right), 217 + 217);
    EXPECT_EQ(rig.claimedCells.get(), 36239 + 434);
    // Only the new line is left open.
    EXPECT_EQ(std::tuple(rig.count(CellClaimedLine), rig.count(CellClaimed)),
              std::tuple(217, 36239 + 434 - 217));
    EXPECT_EQ(std::tuple(rig.rink.cellAt(200, 100), rig.rink.cellAt(201, 100)),
              std::tuple(CellClaimed, CellClaimed));
    EXPECT_TRUE(rig.showsClaimed(200, 100));
    EXPECT_EQ(rig.display.pixel(202, 100), CellClaimedLine);
    EXPECT_EQ(rig.count(CellSideA) + rig.count(CellSideB), 0);
}

// Where the line touches itself sideways the walk back takes a shortcut (straight on, then its first turn);
// the line it leaves aside is closed all the same, so no raid line is left for a figure to cut later.
TEST(AreaCapture, NoRaidLineIsLeftWhereTheWalkBackTookAShortcut) {
    CaptureRig rig;
    rig.drawLine({{199, 150}, {150, 150}});
    rig.drawLine({{201, 150}, {250, 150}});
    const int last = rig.drawLine({{200, 150}, {200, 53}});
    FakeFigures figures(rig.rink, 380, 260);
    EXPECT_EQ(rig.capture.capture(last, HEADING_UP, figures), 98 + 50 + 50);
    EXPECT_EQ(std::tuple(rig.count(CellRaidLine), rig.count(CellClaimedLine), rig.display.pixel(250, 150)),
              std::tuple(0, 198, CellClaimedLine));
}

// Claimed line stays open to the player while free ice touches it in any of the eight directions.
TEST(AreaCapture, ClaimedLineTouchingIceInAnyDirectionStays) {
    for (int d = 0; d <= 8; ++d) {
        CaptureRig rig;
        rig.rink.fillCells(99, 99, 3, 3, CellClaimed);
        rig.rink.setCell(100, 100, CellClaimedLine);
        if (d < 8) rig.rink.setCell(99 + (d < 4 ? d : d + 1) % 3, 99 + (d < 4 ? d : d + 1) / 3, CellIce);
        rig.capture.claimSide(CellSideA, CellSideB);
        EXPECT_EQ(rig.rink.cellAt(100, 100), d < 8 ? CellClaimedLine : CellClaimed) << d;
    }
}

TEST(FloodSide, FloodsTheWholeRinkAndASerpentineWithoutADeepStackAndEntersOnlyFreeIce) {
    CaptureRig rig;
    // Flooding with the ice's own code changes nothing (and ends).
    rig.capture.floodSide(34 + 440 * 53, CellIce);
    EXPECT_EQ(rig.count(CellIce), ICE_CELLS);
    rig.capture.floodSide(34 + 440 * 53, CellSideA);
    EXPECT_EQ(rig.count(CellSideA), ICE_CELLS);
    // A second flood finds nothing, nor do seeds off the ice or off the grid.
    for (int seed : {100 + 440 * 100, 0, -5, RINK_CELLS + 5})
        rig.capture.floodSide(seed, CellSideB);
    EXPECT_EQ(rig.count(CellSideB), 0);

    // Walls of claimed area every other column, open alternately at the top and bottom: one long
    // winding corridor, the worst shape for a recursive flood, is filled exactly to its walls.
    rig.rink.reset();
    int walls = 0;
    for (int x = 35; x < 403; x += 2, walls += 216)
        rig.rink.fillCells(x, ((x - 35) / 2) % 2 == 0 ? 54 : 53, 1, 216, CellClaimed);
    rig.capture.floodSide(34 + 440 * 269, CellSideB);
    EXPECT_EQ(std::tuple(rig.count(CellSideB), rig.count(CellClaimed)), std::tuple(ICE_CELLS - walls, walls));
}

} // namespace
} // namespace tundrix
