// The area capture: which side is claimed, how much it scores, what is painted and what is left.
#include "rink/area_capture.h"

#include "recording_sound.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace tundrix {
namespace {

using test::RecordingSound;

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

struct CaptureRig {
    CaptureRig() {
        plain.fillRect(0, 0, 440, 300, 77);
        claimed.fillRect(0, 0, 440, 300, 88);
        display.blit(plain, 0, 0);
        rink.attachPictures(display, plain, claimed);
    }
    // Marks a raid line through the given corner points (each leg along one axis) and returns the
    // index of its last cell.
    int drawLine(const std::vector<std::pair<int, int>>& corners) {
        int x = corners[0].first, y = corners[0].second;
        rink.markLine(x, y);
        for (size_t k = 1; k < corners.size(); ++k) {
            while (x != corners[k].first || y != corners[k].second) {
                x += (corners[k].first > x) - (corners[k].first < x);
                y += (corners[k].second > y) - (corners[k].second < y);
                rink.markLine(x, y);
            }
        }
        return x + 440 * y;
    }
    int count(uint8_t code) const {
        int n = 0;
        for (int i = 0; i < RINK_CELLS; ++i)
            n += rink.cellAtIndex(i) == code;
        return n;
    }

    Rink rink;
    Image display{440, 300}, plain{440, 300}, claimed{440, 300};
    GuardedCounter claimedCells, score;
    RecordingSound bigCapture;
    AreaCapture capture{rink, claimedCells, score, bigCapture};
};

TEST(AreaCapture, ColumnLineWithTheRefereeLeftClaimsTheRightSide) {
    CaptureRig rig;
    rig.score.set(1000);
    const int last = rig.drawLine({{200, 53}, {200, 269}});
    rig.rink.pathPush(200, 52);
    FakeFigures figures(rig.rink, 100, 161);
    EXPECT_EQ(rig.capture.capture(last, HEADING_DOWN, figures), 44268);
    EXPECT_EQ(figures.refereeCell, CellSideB);
    EXPECT_EQ(rig.claimedCells.get(), 44268);
    EXPECT_EQ(rig.score.get(), 1000 + 584);
    EXPECT_EQ(rig.bigCapture.plays, 1);
    EXPECT_EQ(figures.refreshes, 1);
    EXPECT_TRUE(rig.rink.pathEmpty());

    EXPECT_EQ(rig.count(CellClaimed), 203 * 217);
    EXPECT_EQ(rig.count(CellClaimedLine), 217);
    EXPECT_EQ(rig.count(CellIce), 166 * 217);
    EXPECT_EQ(rig.count(CellSideA) + rig.count(CellSideB) + rig.count(CellRaidLine), 0);
    EXPECT_EQ(rig.rink.cellAt(201, 53), CellClaimed);
    EXPECT_EQ(rig.rink.cellAt(403, 269), CellClaimed);
    EXPECT_EQ(rig.rink.cellAt(199, 161), CellIce);
    EXPECT_EQ(rig.rink.cellAt(404, 161), CellEdge);
    // The display: claimed area from the claimed picture, the line in its own colour, ice untouched.
    EXPECT_EQ(rig.display.pixel(300, 161), 88);
    EXPECT_EQ(rig.display.pixel(200, 161), CellClaimedLine);
    EXPECT_EQ(rig.display.pixel(150, 161), 77);
    EXPECT_EQ(rig.display.pixel(404, 161), 77);
}

TEST(AreaCapture, ColumnLineWithTheRefereeRightClaimsTheLeftSide) {
    CaptureRig rig;
    const int last = rig.drawLine({{200, 53}, {200, 269}});
    FakeFigures figures(rig.rink, 300, 100);
    EXPECT_EQ(rig.capture.capture(last, HEADING_DOWN, figures), 36239);
    EXPECT_EQ(rig.claimedCells.get(), 36239);
    EXPECT_EQ(rig.score.get(), 388);
    EXPECT_EQ(rig.bigCapture.plays, 1);
    EXPECT_EQ(rig.count(CellClaimed), 166 * 217);
    EXPECT_EQ(rig.rink.cellAt(34, 53), CellClaimed);
    EXPECT_EQ(rig.rink.cellAt(201, 53), CellIce);
}

TEST(AreaCapture, TheSameLineWalkedTheOtherWayGivesTheSameResult) {
    CaptureRig rig;
    const int last = rig.drawLine({{200, 269}, {200, 53}});
    FakeFigures figures(rig.rink, 100, 161);
    EXPECT_EQ(rig.capture.capture(last, HEADING_UP, figures), 44268);
    EXPECT_EQ(rig.rink.cellAt(300, 100), CellClaimed);
}

TEST(AreaCapture, OneCellLineClaimsOnlyThatCell) {
    CaptureRig rig;
    const int last = rig.drawLine({{34, 53}});
    FakeFigures figures(rig.rink, 219, 161);
    EXPECT_EQ(rig.capture.capture(last, HEADING_DOWN, figures), 1);
    EXPECT_EQ(rig.score.get(), 1);
    EXPECT_EQ(rig.bigCapture.plays, 0);
    EXPECT_EQ(rig.rink.cellAt(34, 53), CellClaimedLine); // still touches free ice
    EXPECT_EQ(rig.count(CellIce), ICE_CELLS - 1);
}

TEST(AreaCapture, BigCaptureSoundStartsAbove20367Cells) {
    // A line down from the top edge and left to the left edge claims the corner: v = (a + 1)(b + 1)
    // for a corner at (34 + a, 53 + b). 20367 = 219 * 93, 20368 = 152 * 134.
    struct Case {
        int cornerX, cornerY, v, sounds;
    } cases[] = {{34 + 218, 53 + 92, 20367, 0}, {34 + 151, 53 + 133, 20368, 1}};
    for (const Case& c : cases) {
        CaptureRig rig;
        const int last = rig.drawLine({{c.cornerX, 53}, {c.cornerX, c.cornerY}, {34, c.cornerY}});
        FakeFigures figures(rig.rink, 400, 265);
        EXPECT_EQ(rig.capture.capture(last, HEADING_LEFT, figures), c.v);
        EXPECT_EQ(rig.bigCapture.plays, c.sounds) << c.v;
        EXPECT_EQ(rig.score.get(), AreaCapture::captureScore(c.v));
        EXPECT_EQ(rig.rink.cellAt(35, 54), CellClaimed);
        EXPECT_EQ(rig.rink.cellAt(400, 265), CellIce);
    }
}

TEST(AreaCapture, ScoreTable) {
    EXPECT_EQ(AreaCapture::captureScore(1), 1);
    EXPECT_EQ(AreaCapture::captureScore(811), 1);
    EXPECT_EQ(AreaCapture::captureScore(812), 1);
    EXPECT_EQ(AreaCapture::captureScore(2436), 2);
    EXPECT_EQ(AreaCapture::captureScore(4060), 6);
    EXPECT_EQ(AreaCapture::captureScore(44268), 584);
    EXPECT_EQ(AreaCapture::captureScore(36239), 388);
    EXPECT_EQ(AreaCapture::captureScore(ICE_CELLS), 98 * 98 / 5 + 1);
}

TEST(AreaCapture, RefereeOnTheLineSparesSideB) {
    CaptureRig rig;
    const int last = rig.drawLine({{200, 53}, {200, 269}});
    FakeFigures figures(rig.rink, 200, 161);
    rig.capture.capture(last, HEADING_DOWN, figures);
    EXPECT_EQ(figures.refereeCell, CellClaimedLine);
    // Walking up, side A is on the right.
    EXPECT_EQ(rig.rink.cellAt(300, 161), CellClaimed);
    EXPECT_EQ(rig.rink.cellAt(100, 161), CellIce);
}

TEST(AreaCapture, ClaimedLineWithoutFreeIceAroundIsRetired) {
    CaptureRig rig;
    FakeFigures right(rig.rink, 300, 100);
    rig.capture.capture(rig.drawLine({{200, 53}, {200, 269}}), HEADING_DOWN, right);
    EXPECT_EQ(rig.rink.cellAt(200, 100), CellClaimedLine);
    // A second line two columns further claims column 201: line 200 then borders only claimed area.
    const int v = rig.capture.capture(rig.drawLine({{202, 53}, {202, 269}}), HEADING_DOWN, right);
    EXPECT_EQ(v, 217 + 217);
    EXPECT_EQ(rig.claimedCells.get(), 36239 + 434);
    for (int y = 53; y <= 269; ++y) {
        ASSERT_EQ(rig.rink.cellAt(200, y), CellClaimed) << y;
        ASSERT_EQ(rig.rink.cellAt(201, y), CellClaimed) << y;
        ASSERT_EQ(rig.rink.cellAt(202, y), CellClaimedLine) << y;
    }
    EXPECT_EQ(rig.display.pixel(200, 100), 88);
    EXPECT_EQ(rig.display.pixel(202, 100), CellClaimedLine);
    EXPECT_EQ(rig.count(CellSideA) + rig.count(CellSideB), 0);
}

TEST(AreaCapture, LineThatDoesNotSplitTheIceLetsSideATakeEverything) {
    // A spur from the top edge that ends in open ice: both seeds reach the same ice, side A first.
    CaptureRig rig;
    const int last = rig.drawLine({{100, 53}, {100, 80}});
    FakeFigures figures(rig.rink, 300, 200);
    EXPECT_EQ(rig.capture.capture(last, HEADING_DOWN, figures), 28);
    EXPECT_EQ(figures.refereeCell, CellSideA);
    EXPECT_EQ(rig.count(CellIce), ICE_CELLS - 28);
}

TEST(FloodSide, FloodsTheWholeRinkWithoutADeepStack) {
    CaptureRig rig;
    rig.capture.floodSide(34 + 440 * 53, CellSideA);
    EXPECT_EQ(rig.count(CellSideA), ICE_CELLS);
    EXPECT_EQ(rig.count(CellIce), 0);
    // Nothing but free ice is entered: a second flood finds nothing.
    rig.capture.floodSide(100 + 440 * 100, CellSideB);
    EXPECT_EQ(rig.count(CellSideB), 0);
    rig.capture.floodSide(0, CellSideB);
    rig.capture.floodSide(-5, CellSideB);
    rig.capture.floodSide(RINK_CELLS + 5, CellSideB);
    EXPECT_EQ(rig.count(CellSideB), 0);
}

TEST(FloodSide, SerpentineIceIsFilledExactlyToItsWalls) {
    // Walls of claimed area every other column, open alternately at the top and bottom: one long
    // winding corridor, the worst shape for a recursive flood.
    CaptureRig rig;
    int walls = 0;
    for (int x = 35; x < 403; x += 2) {
        const bool openTop = ((x - 35) / 2) % 2 == 0;
        rig.rink.fillCells(x, openTop ? 54 : 53, 1, 216, CellClaimed);
        walls += 216;
    }
    rig.capture.floodSide(34 + 440 * 269, CellSideB);
    EXPECT_EQ(rig.count(CellSideB), ICE_CELLS - walls);
    EXPECT_EQ(rig.count(CellClaimed), walls);
}

} // namespace
} // namespace tundrix
