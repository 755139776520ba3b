// The referee and the opponents: construction, sub-steps by angle, facing, bounces, cuts, penalties.
#include "play_rig.h"

#include <gtest/gtest.h>

namespace tundrix {
namespace {

using test::PlayRig;
using test::XY;

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
    copy.next();
    const int r2 = copy.next();
    Opponent o(rig.ctx, rig.opponentSheet, 3);
    EXPECT_EQ(XY(o.x(), o.y()), XY(219, 161));
    EXPECT_EQ(o.sampledCell, CellIce);
    EXPECT_EQ(o.facing(), HEADING_RIGHT);
    EXPECT_EQ(o.frame(), rig.opponentSheet.frame(12));
    EXPECT_EQ(o.angle(), static_cast<float>(r2 % 360));
    EXPECT_EQ(rig.random.state(), copy.state()); // the turn rate, then the angle, and no more draws
    // The turn rate's extremes; the middle step gives a tiny rate, not zero.
    const struct {
        int step;
        float rate, tolerance;
    } rates[] = {{50, -0.0000000447f, 1e-9f}, {99, 1.96f, 1e-6f}, {0, -2.0f, 0}};
    for (const auto& r : rates) {
        rig.random.seed(seedForTurnStep(r.step));
        Opponent figure(rig.ctx, rig.opponentSheet, 1);
        EXPECT_NEAR(figure.turnRate(), r.rate, r.tolerance) << r.step;
        EXPECT_NE(figure.turnRate(), 0.0f) << r.step;
    }
    // Only the referee enters itself in the context, and leaves it again.
    EXPECT_EQ(rig.ctx.referee, nullptr);
    {
        Opponent referee(rig.ctx, rig.opponentSheet, KIND_REFEREE);
        EXPECT_EQ(rig.ctx.referee, &referee);
    }
    EXPECT_EQ(rig.ctx.referee, nullptr);
}

TEST(Opponent, MovesInSubStepsShorterThanACellAndFacesItsMotion) {
    PlayRig rig;
    Opponent& o = rig.addFigure(1, 219, 161, 0, true);
    // 45 degrees: |vx| is a hair larger than |vy| with the tables' pi, so the figure faces right. An angle
    // that reached exactly 360 reads the tables at 0 degrees and is wrapped afterwards.
    const double d = 3.5355339;
    const struct {
        float angle;
        Heading facing;
        double dx, dy;
        int frame;
    } cases[] = {
        {0, HEADING_RIGHT, 5, 0, 4},    {45, HEADING_RIGHT, d, d, 4},  {135, HEADING_DOWN, -d, d, 5},
        {225, HEADING_LEFT, -d, -d, 6}, {315, HEADING_UP, d, -d, 7},   {90, HEADING_DOWN, 0, 5, 5},
        {270, HEADING_UP, 0, -5, 7},    {180, HEADING_LEFT, -5, 0, 6}, {360, HEADING_RIGHT, 5, 0, 4}};
    for (const auto& c : cases) {
        o.setPosition(219, 161);
        o.setAngle(c.angle);
        o.update();
        EXPECT_EQ(o.facing(), c.facing) << c.angle;
        EXPECT_EQ(o.frame(), rig.opponentSheet.frame(c.frame)) << c.angle;
        EXPECT_NEAR(o.x(), 219 + c.dx, 1e-3) << c.angle;
        EXPECT_NEAR(o.y(), 161 + c.dy, 1e-3) << c.angle;
        EXPECT_FLOAT_EQ(o.angle(), c.angle == 360 ? 0 : c.angle);
    }
    // The opponent's box is its 32 by 32 frame shrunk by 10: 12 by 12 around the position.
    EXPECT_NEAR(o.box().left, o.x() - 6, 1e-4);
    EXPECT_NEAR(o.box().right, o.x() + 6, 1e-4);
    // The turn rate is added after every frame and the angle kept in 0..360.
    o.setAngle(359.5f);
    o.setTurnRate(1.0f);
    o.update();
    EXPECT_NEAR(o.angle(), 0.5f, 1e-4);
    o.setTurnRate(-1.0f);
    o.update();
    EXPECT_NEAR(o.angle(), 359.5f, 1e-4);

    // The referee has 20 by 20 frames shrunk by 4: the same 12 by 12 box.
    Opponent& referee = rig.addFigure(KIND_REFEREE, 219, 161, 90, true);
    referee.update();
    EXPECT_EQ(referee.frame(), rig.opponentSheet.frame(1));
    EXPECT_NEAR(referee.box().right - referee.box().left, 12, 1e-4);
    EXPECT_NEAR(referee.box().top, referee.y() - 6, 1e-4);
}

TEST(Opponent, BouncesOffTheEdgesAndCorners) {
    // clang-format off
    const struct {
        const char* name;
        float x, y, angle, bounced, belowX, belowY;
    } cases[] = {
        {"straight into the right edge: horizontal reflection", 402.5f, 161, 0, 180, 403, 1000},
        {"straight into the bottom edge: vertical reflection", 219, 268.5f, 90, 270, 1000, 269},
        {"diagonally into the right edge, free ice mirrored", 403.5f, 150.5f, 45, 135, 404, 1000},
        {"into the corner, both mirrored cells edge: reversed", 403.5f, 269.5f, 45, 225, 403.5f, 269.5f},
        {"straight into the left edge: horizontal reflection", 35.5f, 161, 180, 0, 1000, 1000},
        {"straight into the top edge: vertical reflection", 219, 54.5f, 270, 90, 1000, 1000},
    };
    // clang-format on
    PlayRig rig;
    Opponent& o = rig.addFigure(1, cases[0].x, cases[0].y, 0, true);
    for (const auto& c : cases) {
        o.setPosition(c.x, c.y);
        o.setAngle(c.angle);
        o.update();
        EXPECT_FLOAT_EQ(o.angle(), c.bounced) << c.name;
        EXPECT_LT(o.x(), c.belowX) << c.name;
        EXPECT_LT(o.y(), c.belowY) << c.name;
        EXPECT_EQ(rig.rink.cellAt(static_cast<int>(o.x()), static_cast<int>(o.y())), CellIce) << c.name;
    }
    // Six sub-steps of 5/6: one up to the last ice cell, the bounce back, four more away from the edge.
    o.setPosition(402.5f, 161);
    o.setAngle(0);
    o.update();
    EXPECT_NEAR(o.x(), 402.5f - 4 * 5.0f / 6, 1e-4);
    // A figure that is not on free ice never moves, but still turns.
    o.setPosition(100, 52);
    o.setAngle(60);
    o.setTurnRate(1);
    o.update();
    EXPECT_EQ(XY(o.x(), o.y()), XY(100, 52));
    EXPECT_FLOAT_EQ(o.angle(), 61);
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

TEST(Opponent, StandingOnTheLineCutsTheRaidAtCheckOnce) {
    PlayRig rig;
    rig.play({Key::Right, Key::Space}, 10); // line 34..63 of row 161, player at 63
    Opponent& o = rig.addFigure(1, 40, 161, 0);
    // Sampled on the line: the next check cuts once and erases the line.
    o.check();
    EXPECT_TRUE(rig.player->caught);
    EXPECT_TRUE(rig.player->safe);
    EXPECT_EQ(rig.count(CellRaidLine), 0);
    EXPECT_EQ(rig.rink.pathCount(), 2);
    EXPECT_EQ(o.sampledCell, CellIce);
    o.check();
    EXPECT_EQ(rig.opponentSound.plays, 1);
}

TEST(Opponent, AFigurePenalisedInClaimedAreaStillCutsThatFrameThenIsOutOfPlay) {
    PlayRig rig;
    rig.play({Key::Right, Key::Space}); // raiding, player at 36, 161
    // A referee is penalised like an opponent. A figure penalised beside the raiding player still cuts
    // the raid in the same check, and samples its cell again.
    Opponent& referee = rig.addFigure(KIND_REFEREE, 100, 100, 0);
    Opponent& o = rig.addFigure(1, 40, 165, 0);
    rig.rink.setCell(100, 100, CellClaimedLine); // claimed line counts as claimed area
    referee.sampleCell();
    o.sampledCell = CellClaimed;
    checkAll(rig.actors);
    EXPECT_TRUE(referee.marked);
    EXPECT_TRUE(o.marked);
    EXPECT_EQ(rig.score.get(), 2 * PENALTY_POINTS);
    EXPECT_EQ(rig.opponentSound.plays, 3); // two penalties and the cut
    EXPECT_EQ(rig.refereeCut.plays, 0);
    EXPECT_TRUE(rig.player->caught);
    EXPECT_EQ(o.sampledCell, CellIce);
    // Marked: neither checked again nor drawn.
    rig.player->resetToRaidStart();
    o.sampledCell = CellClaimed;
    checkAll(rig.actors);
    EXPECT_EQ(rig.score.get(), 2 * PENALTY_POINTS);
    Image target(440, 300);
    referee.setTarget(&target);
    referee.draw();
    EXPECT_EQ(target.pixel(100, 100), 0);
}

} // namespace
} // namespace tundrix
