// The rink grid layout, line marking and erasing, the nearest line to skate on, and the raid path's push,
// pop and erase rules.
#include "rink/rink.h"
#include "rink_rig.h"

#include <gtest/gtest.h>

namespace tundrix {
namespace {

using test::RinkRig;

TEST(Rink, ResetLaysOutOutsideEdgeAndIceAndAccessOutsideTheGridIsHarmless) {
    RinkRig rig;
    Rink& rink = rig.rink;
    rink.fillCells(0, 0, 440, 300, CellClaimed);
    rink.reset();
    // Reads outside the grid give zero; by index, so a column past the right end reads the next row.
    const struct {
        int x, y, code;
    } cells[] = {
        {32, 52, CellOutside},       {33, 51, CellOutside},   {33, 52, CellEdge}, {404, 270, CellEdge},
        {404, 52, CellEdge},         {33, 270, CellEdge},     {34, 53, CellIce},  {403, 269, CellIce},
        {405, 100, CellOutside},     {100, 271, CellOutside}, {0, 300, 0},        {-5, 0, 0},
        {2147483647, 2147483647, 0}, {440 + 33, 51, CellEdge}};
    for (const auto& c : cells)
        EXPECT_EQ(rink.cellAt(c.x, c.y), c.code) << c.x << "," << c.y;
    EXPECT_EQ(rink.cellAtIndex(-1) + rink.cellAtIndex(RINK_CELLS), 0);
    EXPECT_EQ(rig.count(CellEdge), 2 * 372 + 2 * 217);
    EXPECT_EQ(rig.count(CellIce), 370 * 217);
    // Writes outside the grid are ignored.
    for (int i : {-3, RINK_CELLS})
        rink.setCellAtIndex(i, CellRaidLine);
    rink.setCell(-1, 5, CellRaidLine);
    rink.setCell(440, 5, CellRaidLine);
    EXPECT_EQ(rig.count(CellRaidLine), 0);
    EXPECT_TRUE(rink.pathEmpty());
}

TEST(Rink, MarkAndEraseChangeOnlyTheirOwnCodesAndPaintTheDisplay) {
    RinkRig rig;
    Rink& rink = rig.rink;
    rink.markLine(100, 100);
    rink.markLine(33, 100); // the edge is not free ice: nothing changes
    EXPECT_EQ(rink.cellAt(100, 100), CellRaidLine);
    EXPECT_EQ(rig.display.pixel(100, 100), CellRaidLine);
    EXPECT_EQ(rink.cellAt(33, 100), CellEdge);
    EXPECT_EQ(rig.display.pixel(33, 100), 77);
    // Erasing paints the plain picture's pixel back; ice and claimed line are left alone.
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
        EXPECT_EQ(p->x, x);
        EXPECT_EQ(p->y, x + 1);
    }
    EXPECT_TRUE(rink.pathEmpty());
    EXPECT_FALSE(rink.pathPop());
    EXPECT_EQ(rink.pathCount(), 0);
    // A push after the path ran empty starts it again from its first place.
    rink.pathPush(7, 8);
    EXPECT_EQ(rink.pathCount(), 2);
    EXPECT_EQ(rink.pathPoint(1).x, 7);

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
        EXPECT_EQ(rink.pathStartHeading(), NO_HEADING);
        rink.pathPush(50, 52);
        EXPECT_EQ(rink.pathStartHeading(), NO_HEADING);
        rink.pathPush(c.x1, c.y1);
        EXPECT_EQ(rink.pathStartHeading(), c.h) << c.x1 << "," << c.y1;
        EXPECT_EQ(rink.pathStartCell(), cellIndex(50, 52));
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
    for (int y = 53; y <= 58; ++y) {
        EXPECT_EQ(rink.cellAt(60, y), CellIce) << y;
        EXPECT_EQ(rig.display.pixel(60, y), 77) << y;
    }
    EXPECT_EQ(rink.cellAt(60, 52), CellEdge);
    EXPECT_EQ(rink.pathCount(), 2);
    EXPECT_EQ(rink.pathStartCell(), cellIndex(60, 52));
    EXPECT_EQ(rink.pathStartHeading(), HEADING_DOWN);
    // An erase of a cleared path erases nothing and still leaves the count at 2.
    rink.markLine(70, 70);
    rink.pathClear();
    rink.pathErase();
    EXPECT_EQ(rink.pathCount(), 2);
    EXPECT_EQ(rink.cellAt(70, 70), CellRaidLine);
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
    EXPECT_EQ(p->x, 34 + last % 370);
    EXPECT_EQ(p->y, 53 + (last / 370) % 217);
    // A push after it keeps the point stood on again, and the new one has no room.
    rink.pathPush(399, 260);
    EXPECT_EQ(rink.pathCount(), Rink::PATH_CAPACITY);
    EXPECT_EQ(rink.pathPoint(last).x, p->x);
    // After two pops there is room for exactly one.
    rink.pathPop();
    rink.pathPop();
    rink.pathPush(398, 260);
    EXPECT_EQ(rink.pathCount(), Rink::PATH_CAPACITY);
    EXPECT_EQ(rink.pathPoint(last).x, 398);
    EXPECT_EQ(rink.pathPoint(last + 1).x, 0);
    EXPECT_EQ(rink.pathPoint(-1).x, 0);
    // Erasing a full path reads only inside it (the sanitizer build checks this).
    rink.pathErase();
    EXPECT_EQ(rink.pathCount(), 2);
}

} // namespace
} // namespace tundrix
