// The rink grid layout, line marking and erasing, and the raid path's push, pop and erase rules.
#include "rink/rink.h"
#include "rink_rig.h"

#include <gtest/gtest.h>

namespace tundrix {
namespace {

using test::RinkRig;

TEST(Rink, ResetLaysOutOutsideEdgeAndIceAndOutOfGridAccessIsHarmless) {
    RinkRig rig;
    Rink& rink = rig.rink;
    rink.fillCells(0, 0, 440, 300, CellClaimed);
    rink.reset();
    // Reads outside the grid give zero; by index, so a column past the right end reads the next row.
    const struct {
        int x, y, code;
    } cells[] = {
        {32, 52, CellOutside},       {33, 52, CellEdge},      {404, 270, CellEdge}, {34, 53, CellIce},
        {403, 269, CellIce},         {405, 100, CellOutside}, {0, 300, 0},          {-5, 0, 0},
        {2147483647, 2147483647, 0}, {440 + 33, 51, CellEdge}};
    for (const auto& c : cells)
        EXPECT_EQ(rink.cellAt(c.x, c.y), c.code) << c.x << "," << c.y;
    EXPECT_EQ(rink.cellAtIndex(-1) + rink.cellAtIndex(RINK_CELLS), 0);
    EXPECT_EQ(rig.count(CellEdge), 2 * 372 + 2 * 217);
    // Writes outside the grid are ignored.
    rink.setCellAtIndex(-3, CellIce);
    rink.setCellAtIndex(RINK_CELLS, CellIce);
    rink.setCell(-1, 5, CellIce);
    rink.setCell(440, 5, CellIce);
    EXPECT_EQ(rig.count(CellIce), ICE_CELLS);
}

TEST(Rink, MarkAndEraseChangeOnlyTheirOwnCodesAndPaintTheDisplay) {
    RinkRig rig;
    Rink& rink = rig.rink;
    rink.markLine(100, 100);
    rink.markLine(33, 100); // the edge is not free ice: nothing changes
    EXPECT_EQ(rink.cellAt(100, 100), CellRaidLine);
    EXPECT_EQ(rig.display.pixel(100, 100), 146);
    EXPECT_EQ(rink.cellAt(33, 100), CellEdge);
    EXPECT_EQ(rig.display.pixel(33, 100), 77);
    // Erasing restores the plain picture's pixel; ice and claimed lines are left alone.
    rig.plain.setPixel(100, 100, 12);
    rink.eraseLine(100, 100);
    EXPECT_EQ(rink.cellAt(100, 100), CellIce);
    EXPECT_EQ(rig.display.pixel(100, 100), 12);
    rig.display.setPixel(100, 100, 99);
    rink.eraseLine(100, 100);
    EXPECT_EQ(rig.display.pixel(100, 100), 99);
    rink.setCell(120, 120, CellClaimedLine);
    rink.eraseLine(120, 120);
    EXPECT_EQ(rink.cellAt(120, 120), CellClaimedLine);
    // Without pictures the grid still changes.
    rink.detachPictures();
    rink.markLine(150, 150);
    EXPECT_EQ(rink.cellAt(150, 150), CellRaidLine);
    EXPECT_EQ(rig.display.pixel(150, 150), 77);
}

TEST(RaidPath, PopsNewestFirstAndAPushAfterPopsContinuesFromThePointLastReturned) {
    Rink rink;
    EXPECT_FALSE(rink.pathPop());
    EXPECT_EQ(rink.pathStartCell(), -1);
    // P, Q, pop (Q), R: the path holds P, Q, R and pops R, Q, P.
    rink.pathPush(1, 2);
    rink.pathPush(3, 4);
    EXPECT_EQ(rink.pathPop()->x, 3);
    EXPECT_TRUE(rink.pathSteppedBack());
    rink.pathPush(5, 6);
    EXPECT_EQ(rink.pathCount(), 3);
    EXPECT_FALSE(rink.pathSteppedBack());
    for (int x : {5, 3, 1}) {
        const auto p = rink.pathPop();
        ASSERT_TRUE(p);
        EXPECT_EQ(p->x, x);
        EXPECT_EQ(p->y, x + 1);
    }
    EXPECT_TRUE(rink.pathEmpty());
    EXPECT_FALSE(rink.pathPop());
    EXPECT_EQ(rink.pathCount(), 0);

    // The start heading is the step from the first point to the second.
    const struct {
        int x1, y1;
        Heading h;
    } cases[] = {{50, 53, HEADING_DOWN},
                 {51, 52, HEADING_RIGHT},
                 {49, 52, HEADING_LEFT},
                 {50, 51, HEADING_UP},
                 {50, 52, NO_HEADING}};
    for (const auto& c : cases) {
        rink.pathClear();
        rink.pathPush(50, 52);
        rink.pathPush(c.x1, c.y1);
        EXPECT_EQ(rink.pathStartHeading(), c.h) << c.x1 << "," << c.y1;
        EXPECT_EQ(rink.pathStartCell(), 50 + 440 * 52);
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
    // Step back twice: the point stood on (60, 57) is erased too, since erase includes position count.
    rink.pathPop();
    rink.pathPop();
    rink.eraseLine(60, 58);
    rink.pathErase();
    for (int y = 53; y <= 58; ++y) {
        EXPECT_EQ(rink.cellAt(60, y), CellIce) << y;
        EXPECT_EQ(rig.display.pixel(60, y), 77) << y;
    }
    EXPECT_EQ(rink.cellAt(60, 52), CellEdge);
    EXPECT_EQ(rink.pathCount(), 2);
    EXPECT_EQ(rink.pathStartCell(), 60 + 440 * 52);
    EXPECT_EQ(rink.pathStartHeading(), HEADING_DOWN);
    // An erase of a cleared path erases nothing and still leaves the count at 2.
    rink.markLine(70, 70);
    rink.pathClear();
    rink.pathErase();
    EXPECT_EQ(rink.pathCount(), 2);
    EXPECT_EQ(rink.cellAt(70, 70), CellRaidLine);
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
    EXPECT_EQ(p->x, 34 + last % 370);
    EXPECT_EQ(p->y, 53 + (last / 370) % 217);
    // A push after it keeps the point stood on again, and the new one has no room.
    rink.pathPush(399, 260);
    EXPECT_EQ(rink.pathCount(), Rink::PATH_CAPACITY);
    EXPECT_FALSE(rink.pathSteppedBack());
    EXPECT_EQ(rink.pathPoint(last).x, p->x);
    // After two pops there is room for exactly one.
    rink.pathPop();
    rink.pathPop();
    rink.pathPush(398, 260);
    EXPECT_EQ(rink.pathCount(), Rink::PATH_CAPACITY);
    EXPECT_EQ(rink.pathPoint(last).x, 398);
    EXPECT_EQ(rink.pathPoint(last + 1).x, 0);
    // Erasing a full path reads only inside it (the sanitizer build checks this).
    rink.pathErase();
    EXPECT_EQ(rink.pathCount(), 2);
}

TEST(Rink, TheNearestOpenLineIsAnEdgeOrClaimedLineCellBesideFreeIce) {
    Rink rink;
    const auto at = [](int x, int y) { return x + RINK_WIDTH * y; };
    // An open cell is its own nearest; so is the edge beside the ice.
    EXPECT_EQ(rink.nearestOpenLine(at(33, 161)), at(33, 161));
    // From inside a claimed block, a claimed line cell at its side beside the ice is nearer than the edge.
    rink.fillCells(100, 100, 51, 51, CellClaimed);
    rink.setCell(151, 125, CellClaimedLine);
    EXPECT_EQ(rink.nearestOpenLine(at(125, 125)), at(151, 125));
    // With no free ice anywhere, nothing is open; outside the grid there is nothing to search.
    rink.fillCells(EDGE_LEFT + 1, EDGE_TOP + 1, 370, 217, CellClaimed);
    EXPECT_EQ(rink.nearestOpenLine(at(125, 125)), -1);
    EXPECT_EQ(rink.nearestOpenLine(-1), -1);
    EXPECT_EQ(rink.nearestOpenLine(RINK_CELLS), -1);
}

} // namespace
} // namespace tundrix
