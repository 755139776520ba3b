// The referee and the opponents: construction, sub-steps by angle, facing, bounces, cuts, penalties.
#include "play_rig.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tundrix {
namespace {

using test::PlayRig;

// A seed whose first draw gives r mod 100 == k.
uint32_t seedForTurnStep(int k) {
    for (uint32_t s = 1;; ++s) {
        Random r;
        r.seed(s);
        if (r.next() % 100 == k) return s;
    }
}

TEST(Opponent, IsBuiltInTheMiddleWithTurnRateAndAngleFromTheSharedSequence) {
    PlayRig rig;
    rig.random.seed(4242);
    Random copy;
    copy.seed(4242);
    const int r1 = copy.next(), r2 = copy.next();
    Opponent o(rig.ctx, rig.opponentSheet, 3);
    EXPECT_FLOAT_EQ(o.x(), 219);
    EXPECT_FLOAT_EQ(o.y(), 161);
    EXPECT_EQ(o.kind(), 3);
    EXPECT_FLOAT_EQ(o.speed(), 5);
    EXPECT_EQ(o.sampledCell, CellIce);
    EXPECT_EQ(o.facing(), HEADING_RIGHT);
    EXPECT_EQ(o.turnRate(), static_cast<float>((r1 % 100) * static_cast<double>(0.04f) - 2.0));
    EXPECT_EQ(o.angle(), static_cast<float>(r2 % 360));
    EXPECT_EQ(rig.random.state(), copy.state());
    EXPECT_EQ(o.frame(), rig.opponentSheet.frame(12));
    EXPECT_EQ(rig.ctx.referee, nullptr);

    rig.random.seed(seedForTurnStep(50));
    Opponent half(rig.ctx, rig.opponentSheet, 1);
    EXPECT_NE(half.turnRate(), 0.0f);
    EXPECT_NEAR(half.turnRate(), -0.0000000447, 1e-9);
    rig.random.seed(seedForTurnStep(99));
    Opponent most(rig.ctx, rig.opponentSheet, 1);
    EXPECT_FLOAT_EQ(most.turnRate(), 1.96f);
    rig.random.seed(seedForTurnStep(0));
    Opponent least(rig.ctx, rig.opponentSheet, 1);
    EXPECT_FLOAT_EQ(least.turnRate(), -2.0f);

    {
        Opponent referee(rig.ctx, rig.opponentSheet, KIND_REFEREE);
        EXPECT_EQ(rig.ctx.referee, &referee);
    }
    EXPECT_EQ(rig.ctx.referee, nullptr);
}

TEST(Opponent, MovesInSubStepsShorterThanACellAndFacesItsMotion) {
    PlayRig rig;
    Opponent& o = rig.addFigure(1, 219, 161, 0);
    o.update();
    EXPECT_NEAR(o.x(), 224, 1e-4);
    EXPECT_NEAR(o.y(), 161, 1e-4);
    EXPECT_EQ(o.facing(), HEADING_RIGHT);
    EXPECT_EQ(o.frame(), rig.opponentSheet.frame(4));
    // The opponent's box is its 32 by 32 frame shrunk by 10: 12 by 12 around the position.
    EXPECT_NEAR(o.box().left, 218, 1e-4);
    EXPECT_NEAR(o.box().right, 230, 1e-4);

    // 45 degrees: |vx| is a hair larger than |vy| with the tables' pi, so the figure faces right.
    const struct {
        float angle;
        Heading facing;
        float dx, dy;
    } cases[] = {{45, HEADING_RIGHT, 1, 1}, {135, HEADING_DOWN, -1, 1}, {225, HEADING_LEFT, -1, -1},
                 {315, HEADING_UP, 1, -1},  {90, HEADING_DOWN, 0, 1},   {270, HEADING_UP, 0, -1},
                 {180, HEADING_LEFT, -1, 0}};
    for (const auto& c : cases) {
        o.setPosition(219, 161);
        o.setAngle(c.angle);
        o.update();
        EXPECT_EQ(o.facing(), c.facing) << c.angle;
        EXPECT_NEAR(o.x(), 219 + c.dx * (c.dy != 0 && c.dx != 0 ? 3.5355339 : 5), 1e-3) << c.angle;
        EXPECT_NEAR(o.y(), 161 + c.dy * (c.dy != 0 && c.dx != 0 ? 3.5355339 : 5), 1e-3) << c.angle;
        EXPECT_FLOAT_EQ(o.angle(), c.angle);
    }

    // The turn rate is added after every frame and the angle kept in 0..360.
    o.setAngle(359.5f);
    o.setTurnRate(1.0f);
    o.update();
    EXPECT_NEAR(o.angle(), 0.5f, 1e-4);
    o.setTurnRate(-1.0f);
    o.update();
    EXPECT_NEAR(o.angle(), 359.5f, 1e-4);

    // An angle that reached exactly 360 reads the tables at 0 degrees and is wrapped afterwards.
    o.setPosition(219, 161);
    o.setAngle(360.0f);
    o.setTurnRate(0);
    o.update();
    EXPECT_NEAR(o.x(), 224, 1e-4);
    EXPECT_EQ(o.angle(), 0.0f);

    // The referee has 20 by 20 frames shrunk by 4: the same 12 by 12 box.
    Opponent& referee = rig.addFigure(KIND_REFEREE, 219, 161, 90);
    referee.update();
    EXPECT_EQ(referee.frame(), rig.opponentSheet.frame(1));
    EXPECT_NEAR(referee.box().right - referee.box().left, 12, 1e-4);
    EXPECT_NEAR(referee.box().top, referee.y() - 6, 1e-4);
}

TEST(Opponent, BouncesOffTheEdgesAndCorners) {
    PlayRig rig;
    // Straight right into the right edge: horizontal reflection, 0 becomes 180.
    Opponent& o = rig.addFigure(1, 402.5f, 161, 0);
    o.update();
    EXPECT_FLOAT_EQ(o.angle(), 180);
    EXPECT_LT(o.x(), 403);
    EXPECT_EQ(rig.rink.cellAt(static_cast<int>(o.x()), 161), CellIce);

    // Straight down into the bottom edge: vertical reflection, 90 becomes 270.
    o.setPosition(219, 268.5f);
    o.setAngle(90);
    o.update();
    EXPECT_FLOAT_EQ(o.angle(), 270);
    EXPECT_LT(o.y(), 269);

    // Diagonally into the right edge with free ice mirrored: horizontal, 45 becomes 135.
    o.setPosition(403.5f, 150.5f);
    o.setAngle(45);
    o.update();
    EXPECT_FLOAT_EQ(o.angle(), 135);
    EXPECT_LT(o.x(), 404);

    // Diagonally into the bottom-right corner: both mirrored cells are edge, so it reverses.
    o.setPosition(403.5f, 269.5f);
    o.setAngle(45);
    o.update();
    EXPECT_FLOAT_EQ(o.angle(), 225);
    EXPECT_LT(o.x(), 403.5f);
    EXPECT_LT(o.y(), 269.5f);

    // A figure that is not on free ice never moves, but still turns.
    o.setPosition(100, 52);
    o.setAngle(90);
    o.setTurnRate(1);
    o.update();
    EXPECT_FLOAT_EQ(o.x(), 100);
    EXPECT_FLOAT_EQ(o.y(), 52);
    EXPECT_FLOAT_EQ(o.angle(), 91);
}

TEST(Opponent, StaysOnTheIceForAThousandFrames) {
    PlayRig rig;
    rig.random.seed(7);
    for (int i = 0; i < 16; ++i)
        rig.actors.insertAt(new Opponent(rig.ctx, rig.opponentSheet, 1 + i % 5), 0);
    for (int f = 0; f < 1000; ++f) {
        updateAll(rig.actors);
        checkAll(rig.actors);
    }
    rig.actors.rewind();
    while (ListItem* item = rig.actors.next()) {
        auto* o = static_cast<Opponent*>(item);
        EXPECT_EQ(rig.rink.cellAt(static_cast<int>(o->x()), static_cast<int>(o->y())), CellIce);
        EXPECT_GE(o->angle(), 0);
        EXPECT_LT(o->angle(), 360);
        EXPECT_FALSE(o->marked);
    }
    EXPECT_EQ(rig.opponentSound.plays, 0);
}

TEST(Opponent, StandingOnTheLineCutsTheRaidAtCheck) {
    PlayRig rig;
    rig.keys.press(Key::Right);
    rig.keys.press(Key::Space);
    rig.frames(10); // line 34..63 of row 161, player at 63
    Opponent& o = rig.addFigure(1, 40, 161, 0);
    // Sampled on the line: the next check cuts once and erases the line.
    o.check();
    EXPECT_TRUE(rig.player->caught);
    EXPECT_TRUE(rig.player->safe);
    EXPECT_EQ(rig.opponentSound.plays, 1);
    EXPECT_EQ(rig.count(CellRaidLine), 0);
    EXPECT_EQ(rig.rink.pathCount(), 2);
    EXPECT_EQ(o.sampledCell, CellIce);
    o.check();
    EXPECT_EQ(rig.opponentSound.plays, 1);
}

TEST(Opponent, RefereeCaughtInClaimedAreaIsPenalisedLikeAnOpponent) {
    PlayRig rig;
    Opponent& referee = rig.addFigure(KIND_REFEREE, 100, 100, 0);
    rig.rink.setCell(100, 100, CellClaimed);
    referee.sampleCell();
    checkAll(rig.actors);
    EXPECT_TRUE(referee.marked);
    EXPECT_EQ(rig.score.get(), 25);
    EXPECT_EQ(rig.opponentSound.plays, 1);
    EXPECT_EQ(rig.refereeCut.plays, 0);
    // Marked: neither checked again nor drawn.
    checkAll(rig.actors);
    EXPECT_EQ(rig.score.get(), 25);
    Image target(440, 300);
    referee.setTarget(&target);
    referee.draw();
    EXPECT_EQ(target.pixel(100, 100), 0);
}

TEST(Opponent, PenalisedFigureDoesNotCutARaidInTheSameCheck) {
    PlayRig rig;
    rig.keys.press(Key::Right);
    rig.keys.press(Key::Space);
    rig.frame(); // raiding, player at 36, 161
    Opponent& o = rig.addFigure(1, 40, 165, 0);
    o.sampledCell = CellClaimed;
    o.check();
    EXPECT_TRUE(o.marked);
    EXPECT_FALSE(rig.player->caught);
    EXPECT_FALSE(rig.player->safe);
    EXPECT_EQ(rig.opponentSound.plays, 1);
}

} // namespace
} // namespace tundrix
