// The player driven by scripted keys on a real rink: raids, turns, skating back, closing, resets.
#include "play_rig.h"

#include <gtest/gtest.h>

namespace tundrix {
namespace {

using test::PlayRig;

TEST(Player, FreshPeriodStartOnTheLeftEdgeAndRaidStartsOnlyWhenSpaceGoesDown) {
    PlayRig rig;
    Player& p = *rig.player;
    EXPECT_FLOAT_EQ(p.x(), 33);
    EXPECT_FLOAT_EQ(p.y(), 161);
    EXPECT_EQ(p.heading(), HEADING_RIGHT);
    EXPECT_TRUE(p.safe);
    // The collision box is the 32 by 32 frame shrunk by 10 on every side.
    EXPECT_FLOAT_EQ(p.box().left, 27);
    EXPECT_FLOAT_EQ(p.box().right, 39);

    // Right alone: facing free ice from the edge does nothing.
    rig.keys.press(Key::Right);
    rig.frames(2);
    EXPECT_FLOAT_EQ(p.x(), 33);
    EXPECT_TRUE(p.safe);

    // Space already held when the frame starts does not start a raid.
    rig.keys.release(Key::Right);
    rig.keys.press(Key::Space);
    rig.frame(); // Space alone on the edge with no raid: nothing visible
    EXPECT_FLOAT_EQ(p.x(), 33);
    rig.keys.press(Key::Right);
    rig.frame();
    EXPECT_FLOAT_EQ(p.x(), 33);
    EXPECT_EQ(rig.count(CellRaidLine), 0);

    // Space going down while Right is held starts the raid; the first cell is entered at once.
    rig.keys.release(Key::Space);
    rig.frame();
    rig.keys.press(Key::Space);
    rig.frame();
    EXPECT_FLOAT_EQ(p.x(), 36);
    EXPECT_FLOAT_EQ(p.y(), 161);
    EXPECT_FALSE(p.safe);
    for (int x = 34; x <= 36; ++x) {
        EXPECT_EQ(rig.rink.cellAt(x, 161), CellRaidLine) << x;
        EXPECT_EQ(rig.display.pixel(x, 161), CellRaidLine) << x;
    }
    EXPECT_EQ(rig.rink.pathCount(), 4);
    EXPECT_EQ(rig.rink.pathStartCell(), 33 + 440 * 161);
    // The line goes on without Space.
    rig.keys.release(Key::Space);
    rig.frame();
    EXPECT_FLOAT_EQ(p.x(), 39);
}

TEST(Player, WalksTheEdgeThreeCellsAFrame) {
    PlayRig rig;
    rig.keys.press(Key::Down);
    rig.frame();
    EXPECT_FLOAT_EQ(rig.player->x(), 33);
    EXPECT_FLOAT_EQ(rig.player->y(), 164);
    EXPECT_EQ(rig.player->heading(), HEADING_DOWN);
    // Into the bottom-left corner and along the bottom edge, never outside.
    rig.frames(60);
    EXPECT_FLOAT_EQ(rig.player->y(), 270);
    rig.keys.release(Key::Down);
    rig.keys.press(Key::Left);
    rig.frame();
    EXPECT_FLOAT_EQ(rig.player->x(), 33);
    rig.keys.release(Key::Left);
    rig.keys.press(Key::Right);
    rig.frame();
    EXPECT_FLOAT_EQ(rig.player->x(), 36);
    EXPECT_FLOAT_EQ(rig.player->y(), 270);
}

TEST(Player, LShapedRaidClosesIntoACaptureAwayFromTheReferee) {
    PlayRig rig;
    rig.addFigure(KIND_REFEREE, 300, 100, 0);
    Opponent& trapped = rig.addFigure(1, 50, 200, 0);
    Player& p = *rig.player;

    rig.keys.press(Key::Right);
    rig.keys.press(Key::Space);
    rig.frames(22); // 36, 39, ... 99
    EXPECT_FLOAT_EQ(p.x(), 99);
    rig.keys.release(Key::Space);
    rig.keys.release(Key::Right);
    rig.keys.press(Key::Down);
    int guard = 0;
    while (!p.safe && guard++ < 100)
        rig.frame();
    ASSERT_TRUE(p.safe);
    EXPECT_FLOAT_EQ(p.x(), 99);
    EXPECT_FLOAT_EQ(p.y(), 270);
    EXPECT_FALSE(p.caught);

    // Line: row 161 from 34 to 99 and column 99 from 162 to 269; area: columns 34..98, rows 162..269.
    const int line = 66 + 108, area = 65 * 108;
    EXPECT_EQ(rig.claimedCells.get(), line + area);
    EXPECT_EQ(rig.count(CellClaimed), area);
    EXPECT_EQ(rig.count(CellClaimedLine), line);
    EXPECT_EQ(rig.count(CellRaidLine), 0);
    EXPECT_EQ(rig.rink.cellAt(50, 200), CellClaimed);
    EXPECT_EQ(rig.rink.cellAt(300, 100), CellIce);
    EXPECT_EQ(rig.display.pixel(50, 200), 88);
    EXPECT_EQ(rig.display.pixel(99, 200), CellClaimedLine);
    EXPECT_EQ(rig.display.pixel(300, 100), 77);
    EXPECT_EQ(rig.bigCapture.plays, 0);
    EXPECT_TRUE(rig.rink.pathEmpty());

    // The opponent caught inside was penalised once in the same frame: 13 for the capture + 25.
    EXPECT_TRUE(trapped.marked);
    EXPECT_EQ(rig.score.get(), (7194 / 812) * (7194 / 812) / 5 + 1 + 25);
    EXPECT_EQ(rig.opponentSound.plays, 1);
    rig.frames(3);
    EXPECT_EQ(rig.score.get(), 38);
    EXPECT_EQ(rig.opponentSound.plays, 1);
    EXPECT_EQ(rig.chancesLost, 0);

    // The new claimed line can be skated on and raided from.
    rig.keys.release(Key::Down);
    rig.keys.press(Key::Up);
    rig.frames(2);
    EXPECT_FLOAT_EQ(p.x(), 99);
    EXPECT_FLOAT_EQ(p.y(), 264);
}

TEST(Player, SkatingBackErasesTheLineCellByCell) {
    PlayRig rig;
    Player& p = *rig.player;
    rig.keys.press(Key::Right);
    rig.keys.press(Key::Space);
    rig.frame();
    ASSERT_FLOAT_EQ(p.x(), 36);
    rig.keys.release(Key::Right);
    rig.frame(); // Space alone
    EXPECT_FLOAT_EQ(p.x(), 34);
    EXPECT_EQ(rig.rink.cellAt(36, 161), CellIce);
    EXPECT_EQ(rig.rink.cellAt(35, 161), CellIce);
    EXPECT_EQ(rig.display.pixel(35, 161), 77);
    EXPECT_EQ(rig.rink.cellAt(34, 161), CellRaidLine);
    EXPECT_FALSE(p.safe);
    EXPECT_EQ(rig.keyboard.lastHeading, HEADING_LEFT);
    rig.frame();
    EXPECT_FLOAT_EQ(p.x(), 33);
    EXPECT_EQ(rig.count(CellRaidLine), 0);
    EXPECT_TRUE(p.safe);
    EXPECT_TRUE(rig.rink.pathEmpty());
}

TEST(Player, SkatingBackPartWayThenOnContinuesTheSameLine) {
    PlayRig rig;
    Player& p = *rig.player;
    rig.keys.press(Key::Right);
    rig.keys.press(Key::Space);
    rig.frames(3); // to 42
    rig.keys.release(Key::Right);
    rig.frame(); // back to 40
    EXPECT_FLOAT_EQ(p.x(), 40);
    rig.keys.release(Key::Space);
    rig.keys.press(Key::Right);
    rig.frame();
    EXPECT_FLOAT_EQ(p.x(), 43);
    EXPECT_EQ(rig.rink.pathCount(), 11); // the start and cells 34..43
    EXPECT_EQ(rig.count(CellRaidLine), 10);
    rig.keys.release(Key::Right);
    rig.keys.press(Key::Space);
    rig.frames(4);
    EXPECT_EQ(rig.count(CellRaidLine), 0);
    EXPECT_FLOAT_EQ(p.x(), 33);
    EXPECT_TRUE(p.safe);
}

TEST(Player, NeverMovesBackAlongOrHeadOnIntoItsOwnLine) {
    PlayRig rig;
    Player& p = *rig.player;
    rig.keys.press(Key::Right);
    rig.keys.press(Key::Space);
    rig.frame();
    // Pointed back along the line: no movement.
    rig.keys.release(Key::Right);
    rig.keys.press(Key::Left);
    rig.frame();
    EXPECT_FLOAT_EQ(p.x(), 36);
    EXPECT_EQ(p.heading(), HEADING_LEFT);

    // A hook: right to 60, down to 170, left to 51, then up toward the first leg.
    rig.keys.release(Key::Left);
    rig.keys.press(Key::Right);
    rig.frames(8);
    ASSERT_FLOAT_EQ(p.x(), 60);
    rig.keys.release(Key::Right);
    rig.keys.press(Key::Down);
    rig.frames(3);
    ASSERT_FLOAT_EQ(p.y(), 170);
    rig.keys.release(Key::Down);
    rig.keys.press(Key::Left);
    rig.frames(3);
    ASSERT_FLOAT_EQ(p.x(), 51);
    rig.keys.release(Key::Left);
    rig.keys.press(Key::Up);
    rig.frames(5);
    // It stops two cells short: the cell between stays free ice.
    EXPECT_FLOAT_EQ(p.x(), 51);
    EXPECT_FLOAT_EQ(p.y(), 163);
    EXPECT_EQ(rig.rink.cellAt(51, 162), CellIce);
    EXPECT_FALSE(p.safe);
    EXPECT_EQ(rig.claimedCells.get(), 0);
}

TEST(Player, RaidBesideTheCornerClosesAtItsFirstCell) {
    PlayRig rig;
    Player& p = *rig.player;
    rig.addFigure(KIND_REFEREE, 219, 161, 0);
    p.setPosition(34, 52);
    rig.keys.press(Key::Down);
    rig.keys.press(Key::Space);
    rig.frame();
    EXPECT_TRUE(p.safe);
    EXPECT_FLOAT_EQ(p.x(), 33);
    EXPECT_FLOAT_EQ(p.y(), 53);
    EXPECT_EQ(rig.claimedCells.get(), 1);
    EXPECT_EQ(rig.score.get(), 1);
    EXPECT_EQ(rig.rink.cellAt(34, 53), CellClaimedLine);
    EXPECT_EQ(rig.count(CellRaidLine), 0);
}

TEST(Player, LineAlongsideTheEdgeTurnsOntoItAndCloses) {
    PlayRig rig;
    Player& p = *rig.player;
    // A raid to the right along row 53, beside the top edge: it turns up at once and closes.
    p.setPosition(33, 53);
    rig.keys.press(Key::Right);
    rig.keys.press(Key::Space);
    rig.frame();
    EXPECT_TRUE(p.safe);
    EXPECT_EQ(rig.claimedCells.get(), 1);
    EXPECT_EQ(rig.rink.cellAt(34, 53), CellClaimedLine);
    EXPECT_FLOAT_EQ(p.x(), 34);
    EXPECT_FLOAT_EQ(p.y(), 52);
}

TEST(Player, EdgeBesideClaimedAreaIsClosed) {
    PlayRig rig;
    Player& p = *rig.player;
    rig.rink.fillCells(50, 53, 11, 1, CellClaimed);
    p.setPosition(40, 52);
    rig.keys.press(Key::Right);
    rig.frames(5);
    EXPECT_FLOAT_EQ(p.x(), 49);
    EXPECT_FLOAT_EQ(p.y(), 52);
    // Along the left edge, the inside neighbour is to the right.
    rig.rink.fillCells(34, 170, 1, 5, CellClaimed);
    p.setPosition(33, 161);
    rig.keys.release(Key::Right);
    rig.keys.press(Key::Down);
    rig.frames(5);
    EXPECT_FLOAT_EQ(p.y(), 169);
}

TEST(Player, OpponentTouchingTheLineCancelsTheRaid) {
    PlayRig rig;
    Player& p = *rig.player;
    rig.addFigure(KIND_REFEREE, 300, 200, 0);
    rig.keys.press(Key::Right);
    rig.keys.press(Key::Space);
    rig.frames(9); // to x 60
    ASSERT_FLOAT_EQ(p.x(), 60);
    Opponent& o = rig.addFigure(1, 45, 170, 270); // skating straight up into the line
    rig.frames(3, true);
    EXPECT_EQ(rig.chancesLost, 1);
    EXPECT_EQ(rig.opponentSound.plays, 1);
    EXPECT_EQ(rig.refereeCut.plays, 0);
    EXPECT_EQ(rig.count(CellRaidLine), 0);
    EXPECT_EQ(rig.display.pixel(40, 161), 77);
    EXPECT_FLOAT_EQ(p.x(), 33);
    EXPECT_FLOAT_EQ(p.y(), 161);
    EXPECT_EQ(p.heading(), HEADING_RIGHT);
    EXPECT_FALSE(p.caught);
    EXPECT_TRUE(p.safe);
    EXPECT_LT(o.y(), 161);
    EXPECT_EQ(rig.claimedCells.get(), 0);
}

TEST(Player, RefereeCuttingARaidFromTheTopEdgeSendsThePlayerBackFacingDown) {
    PlayRig rig;
    Player& p = *rig.player;
    p.setPosition(200, 52);
    rig.keys.press(Key::Down);
    rig.keys.press(Key::Space);
    rig.frames(10); // to row 82
    ASSERT_FLOAT_EQ(p.y(), 82);
    rig.addFigure(KIND_REFEREE, 185, 60, 0); // skating right across the line
    rig.frames(4, true);
    EXPECT_EQ(rig.chancesLost, 1);
    EXPECT_EQ(rig.refereeCut.plays, 1);
    EXPECT_EQ(rig.opponentSound.plays, 0);
    EXPECT_EQ(rig.count(CellRaidLine), 0);
    EXPECT_FLOAT_EQ(p.x(), 200);
    EXPECT_FLOAT_EQ(p.y(), 52);
    EXPECT_EQ(p.heading(), HEADING_DOWN);
    EXPECT_EQ(rig.keyboard.lastHeading, HEADING_DOWN);
}

TEST(Player, FigureMeetingTheRaidingPlayerCutsButNotWhileThePlayerIsSafe) {
    PlayRig rig;
    Player& p = *rig.player;
    Opponent& o = rig.addFigure(1, 45, 175, 0);
    rig.frame();
    EXPECT_EQ(rig.chancesLost, 0);
    // On the edge and safe: a figure right on top of the player does nothing.
    o.setPosition(40, 165);
    rig.frame();
    EXPECT_EQ(rig.chancesLost, 0);
    // Raiding: boxes within 12 pixels on each axis meet.
    rig.keys.press(Key::Right);
    rig.keys.press(Key::Space);
    rig.frame(); // player at 36, 161; figure 4 right and 4 down
    EXPECT_EQ(rig.chancesLost, 1);
    EXPECT_EQ(rig.opponentSound.plays, 1);
    EXPECT_FLOAT_EQ(p.x(), 33);
    EXPECT_EQ(rig.count(CellRaidLine), 0);
}

TEST(Player, CutJustAfterSkatingBackOntoTheStartPutsThePlayerAtTheStart) {
    // Skating back can empty the path with the frame's last pop, leaving the player on the start
    // but not yet safe; a figure meeting it then must not send it outside the rink.
    PlayRig rig;
    Player& p = *rig.player;
    p.setPosition(200, 52);
    rig.keys.press(Key::Space);
    auto forward = [&] { rig.keys.press(Key::Down), rig.frame(); };
    auto back = [&] { rig.keys.release(Key::Down), rig.frame(); };
    forward(); // count 4
    back();    // 1
    forward(); // 5
    back();    // 2
    forward(); // 6
    back();    // 3
    ASSERT_FLOAT_EQ(p.y(), 55);
    rig.addFigure(1, 205, 60, 0);
    back(); // 0: on the start, path empty, not yet safe; the figure meets the player
    EXPECT_EQ(rig.chancesLost, 1);
    EXPECT_FLOAT_EQ(p.x(), 200);
    EXPECT_FLOAT_EQ(p.y(), 52);
    EXPECT_EQ(p.heading(), HEADING_DOWN);
    EXPECT_EQ(rig.rink.cellAt(200, 52), CellEdge);
    EXPECT_EQ(rig.count(CellRaidLine), 0);
}

TEST(Player, ResetWithoutARaidGoesToTheMiddleOfTheLeftEdge) {
    PlayRig rig;
    Player& p = *rig.player;
    p.setPosition(300, 270);
    p.caught = true;
    p.safe = false;
    rig.keyboard.lastHeading = HEADING_UP;
    p.resetToRaidStart();
    EXPECT_FLOAT_EQ(p.x(), 33);
    EXPECT_FLOAT_EQ(p.y(), 161);
    EXPECT_EQ(p.heading(), HEADING_RIGHT);
    EXPECT_EQ(rig.keyboard.lastHeading, HEADING_RIGHT);
    EXPECT_FALSE(p.caught);
    EXPECT_TRUE(p.safe);
}

} // namespace
} // namespace tundrix
