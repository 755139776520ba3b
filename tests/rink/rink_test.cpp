// The rink grid layout, line marking and erasing, and the raid path's push, pop and erase rules.
#include "rink/rink.h"

#include <gtest/gtest.h>

namespace tundrix {
namespace {

int countCells(const Rink& rink, uint8_t code) {
    int n = 0;
    for (int i = 0; i < RINK_CELLS; ++i)
        n += rink.cellAtIndex(i) == code;
    return n;
}

TEST(Rink, ResetLaysOutOutsideEdgeAndIce) {
    Rink rink;
    rink.fillCells(0, 0, 440, 300, CellClaimed);
    rink.reset();
    EXPECT_EQ(rink.cellAt(0, 0), CellOutside);
    EXPECT_EQ(rink.cellAt(32, 52), CellOutside);
    EXPECT_EQ(rink.cellAt(33, 52), CellEdge);
    EXPECT_EQ(rink.cellAt(404, 270), CellEdge);
    EXPECT_EQ(rink.cellAt(33, 161), CellEdge);
    EXPECT_EQ(rink.cellAt(34, 53), CellIce);
    EXPECT_EQ(rink.cellAt(403, 269), CellIce);
    EXPECT_EQ(rink.cellAt(405, 100), CellOutside);
    EXPECT_EQ(countCells(rink, CellIce), ICE_CELLS);
    EXPECT_EQ(countCells(rink, CellEdge), 2 * 372 + 2 * 217);
    EXPECT_TRUE(rink.pathEmpty());
    EXPECT_EQ(rink.pathCount(), 0);
}

TEST(Rink, ReadsOutsideTheGridGiveZeroAndWritesAreIgnored) {
    Rink rink;
    EXPECT_EQ(rink.cellAtIndex(-1), 0);
    EXPECT_EQ(rink.cellAtIndex(RINK_CELLS), 0);
    EXPECT_EQ(rink.cellAt(0, 300), 0);
    EXPECT_EQ(rink.cellAt(-5, 0), 0);
    EXPECT_EQ(rink.cellAt(2147483647, 2147483647), 0);
    // By index, so a column past the right end reads the next row.
    EXPECT_EQ(rink.cellAt(440 + 33, 51), CellEdge);
    rink.setCell(-1, 5, CellIce);
    rink.setCell(440, 5, CellIce);
    rink.setCellAtIndex(RINK_CELLS, CellIce);
    rink.setCellAtIndex(-3, CellIce);
    EXPECT_EQ(countCells(rink, CellIce), ICE_CELLS);
}

TEST(Rink, MarkAndEraseChangeOnlyTheirOwnCodesAndPaintTheDisplay) {
    Rink rink;
    Image display(440, 300), plain(440, 300), claimed(440, 300);
    plain.fillRect(0, 0, 440, 300, 77);
    claimed.fillRect(0, 0, 440, 300, 88);
    display.fillRect(0, 0, 440, 300, 77);
    rink.attachPictures(display, plain, claimed);

    rink.markLine(100, 100);
    EXPECT_EQ(rink.cellAt(100, 100), CellRaidLine);
    EXPECT_EQ(display.pixel(100, 100), 146);
    // Not free ice: nothing changes.
    rink.markLine(33, 100);
    EXPECT_EQ(rink.cellAt(33, 100), CellEdge);
    EXPECT_EQ(display.pixel(33, 100), 77);
    rink.markLine(100, 100);
    EXPECT_EQ(display.pixel(100, 100), 146);

    plain.setPixel(100, 100, 12);
    rink.eraseLine(100, 100);
    EXPECT_EQ(rink.cellAt(100, 100), CellIce);
    EXPECT_EQ(display.pixel(100, 100), 12);
    display.setPixel(100, 100, 99);
    rink.eraseLine(100, 100); // ice now: left alone
    EXPECT_EQ(display.pixel(100, 100), 99);
    rink.setCell(120, 120, CellClaimedLine);
    rink.eraseLine(120, 120);
    EXPECT_EQ(rink.cellAt(120, 120), CellClaimedLine);

    // Without pictures the grid still changes.
    rink.detachPictures();
    rink.markLine(150, 150);
    EXPECT_EQ(rink.cellAt(150, 150), CellRaidLine);
    EXPECT_EQ(display.pixel(150, 150), 77);
}

TEST(RaidPath, PopsNewestFirstAndAPushAfterPopsContinuesFromThePointLastReturned) {
    Rink rink;
    EXPECT_FALSE(rink.pathPop());
    EXPECT_EQ(rink.pathCount(), 0);

    rink.pathPush(10, 52);
    rink.pathPush(10, 53);
    rink.pathPush(10, 54);
    auto r = rink.pathPop();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->x, 10);
    EXPECT_EQ(r->y, 54);
    EXPECT_TRUE(rink.pathSteppedBack());
    EXPECT_EQ(rink.pathPop()->y, 53);
    EXPECT_EQ(rink.pathPop()->y, 52);
    EXPECT_TRUE(rink.pathEmpty());
    EXPECT_FALSE(rink.pathPop());
    EXPECT_EQ(rink.pathCount(), 0);

    // P, Q, pop (Q), R: the path holds P, Q, R.
    rink.pathClear();
    rink.pathPush(1, 2);
    rink.pathPush(3, 4);
    EXPECT_EQ(rink.pathPop()->x, 3);
    rink.pathPush(5, 6);
    EXPECT_EQ(rink.pathCount(), 3);
    EXPECT_FALSE(rink.pathSteppedBack());
    EXPECT_EQ(rink.pathPoint(0).x, 1);
    EXPECT_EQ(rink.pathPoint(1).x, 3);
    EXPECT_EQ(rink.pathPoint(2).x, 5);
    EXPECT_EQ(rink.pathPop()->x, 5);
    EXPECT_EQ(rink.pathPop()->x, 3);
}

TEST(RaidPath, StartHeadingAndStartCell) {
    Rink rink;
    EXPECT_EQ(rink.pathStartCell(), -1);
    rink.pathPush(50, 52);
    EXPECT_EQ(rink.pathStartHeading(), NO_HEADING);
    EXPECT_EQ(rink.pathStartCell(), 50 + 440 * 52);
    rink.pathPush(50, 53);
    EXPECT_EQ(rink.pathStartHeading(), HEADING_DOWN);

    const struct {
        int x1, y1;
        Heading h;
    } cases[] = {{51, 52, HEADING_RIGHT}, {49, 52, HEADING_LEFT}, {50, 51, HEADING_UP}, {50, 52, NO_HEADING}};
    for (const auto& c : cases) {
        rink.pathClear();
        rink.pathPush(50, 52);
        rink.pathPush(c.x1, c.y1);
        EXPECT_EQ(rink.pathStartHeading(), c.h) << c.x1 << "," << c.y1;
    }
}

TEST(RaidPath, EraseRestoresTheLineKeepsTheStartAndLeavesTwoPoints) {
    Rink rink;
    Image display(440, 300), plain(440, 300), claimed(440, 300);
    plain.fillRect(0, 0, 440, 300, 77);
    rink.attachPictures(display, plain, claimed);

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
        EXPECT_EQ(display.pixel(60, y), 77) << y;
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
    for (int k = 0; k < Rink::PATH_CAPACITY; ++k)
        rink.pathPush(34 + k % 370, 53 + (k / 370) % 217);
    EXPECT_EQ(rink.pathCount(), Rink::PATH_CAPACITY);
    const PathPoint lastKept = rink.pathPoint(Rink::PATH_CAPACITY - 1);
    for (int k = 0; k < 1000; ++k)
        rink.pathPush(400, 260);
    EXPECT_EQ(rink.pathCount(), Rink::PATH_CAPACITY);
    EXPECT_FALSE(rink.pathEmpty());
    // A pop at full capacity returns the last point kept; a push after it continues from there.
    auto p = rink.pathPop();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->x, lastKept.x);
    EXPECT_EQ(p->y, lastKept.y);
    // The point stood on is kept again and the new one has no room.
    rink.pathPush(399, 260);
    EXPECT_EQ(rink.pathCount(), Rink::PATH_CAPACITY);
    EXPECT_FALSE(rink.pathSteppedBack());
    EXPECT_EQ(rink.pathPoint(Rink::PATH_CAPACITY - 1).x, lastKept.x);
    // After two pops there is room for exactly one.
    rink.pathPop();
    rink.pathPop();
    rink.pathPush(398, 260);
    EXPECT_EQ(rink.pathCount(), Rink::PATH_CAPACITY);
    EXPECT_EQ(rink.pathPoint(Rink::PATH_CAPACITY - 1).x, 398);
    EXPECT_EQ(rink.pathPoint(Rink::PATH_CAPACITY).x, 0);
    // Erasing a full path reads only inside it (the sanitizer build checks this).
    rink.pathErase();
    EXPECT_EQ(rink.pathCount(), 2);
}

TEST(ClaimedPercent, ShowsOnePercentLessAtExactMultiplesOf806) {
    EXPECT_EQ(claimedPercent(0), 0);
    EXPECT_EQ(claimedPercent(806), 0);
    EXPECT_EQ(claimedPercent(807), 1);
    EXPECT_EQ(claimedPercent(64480), 79);
    EXPECT_EQ(claimedPercent(64481), 80);
    EXPECT_EQ(claimedPercent(ICE_CELLS), 99);
}

} // namespace
} // namespace tundrix
