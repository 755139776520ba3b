// The referee and the opponents: construction, sub-steps by angle, facing, bounces, cuts, penalties.
#include "play_rig.h"

#include <gtest/gtest.h>

namespace tundrix {
namespace {

using namespace test;

TEST(Opponent, StartsOnTheFaceOffSpotWithATurnRateAndAnAngleDrawnFromTheSharedSequence) {
    PlayRig rig;
    rig.random.seed(4242);
    Random copy;
    copy.seed(4242);
    copy.next();
    const int angle = copy.next() % 360;
    Opponent o(rig.ctx, rig.opponentSheet, 3);
    EXPECT_EQ(XY(o.x(), o.y()), XY(219, 161));
    EXPECT_EQ(o.sampledCell, CellIce);
    EXPECT_EQ(o.frame(), rig.opponentSheet.frame(12));
    EXPECT_EQ(o.angle(), static_cast<float>(angle));
    EXPECT_EQ(rig.random.next(), copy.next()) << "two draws and no more";
    // The turn rate is added to the angle after each frame: from -2 up in steps of 0.04, where step 50 is a
    // hair below zero rather than zero.
    for (auto [step, after] : {std::pair{0, 358.0f}, {99, 1.96f}, {50, 360.0f}}) {
        rig.random.seed(seedWhere([step = step](Random& r) { return r.next() % 100 == step; }));
        Opponent figure(rig.ctx, rig.opponentSheet, 1);
        figure.setAngle(0);
        figure.setPosition(100, 52); // off the ice, so it only turns
        figure.update();
        EXPECT_NEAR(figure.angle(), after, 1e-4) << step;
    }
    // Only the referee enters itself in the context, and leaves it again.
    EXPECT_EQ(rig.ctx.referee, nullptr);
    {
        Opponent referee(rig.ctx, rig.opponentSheet, KIND_REFEREE);
        EXPECT_EQ(rig.ctx.referee, &referee);
    }
    EXPECT_EQ(rig.ctx.referee, nullptr);
}

TEST(Opponent, SkatesFivePixelsAFrameInSubStepsShorterThanACellAndFacesItsMotion) {
    PlayRig rig;
    Opponent& o = rig.addFigure(1, 219, 161, 0, true);
    // 45 degrees: |vx| is a hair larger than |vy| with the tables' pi, so the figure faces right. An angle
    // that reached exactly 360 reads the tables at 0 degrees and is wrapped afterwards.
    const double d = 3.5355339;
    const struct {
        float angle;
        double dx, dy;
        int frame;
    } cases[] = {{0, 5, 0, 4},  {45, d, d, 4},   {135, -d, d, 5}, {225, -d, -d, 6}, {315, d, -d, 7},
                 {90, 0, 5, 5}, {270, 0, -5, 7}, {180, -5, 0, 6}, {360, 5, 0, 4}};
    for (const auto& c : cases) {
        o.setPosition(219, 161);
        o.setAngle(c.angle);
        o.update();
        EXPECT_EQ(o.frame(), rig.opponentSheet.frame(c.frame)) << c.angle;
        EXPECT_NEAR(o.x(), 219 + c.dx, 1e-3) << c.angle;
        EXPECT_NEAR(o.y(), 161 + c.dy, 1e-3) << c.angle;
        EXPECT_FLOAT_EQ(o.angle(), c.angle == 360 ? 0 : c.angle);
    }
    // An opponent's box is its 32 by 32 frame shrunk by 10, the referee's 20 by 20 by 4: 12 by 12 each.
    Opponent& referee = rig.addFigure(KIND_REFEREE, 219, 161, 90, true);
    referee.update();
    EXPECT_EQ(referee.frame(), rig.opponentSheet.frame(1));
    for (const Opponent* f : {&o, &referee}) {
        EXPECT_NEAR(f->box().left, f->x() - 6, 1e-4);
        EXPECT_NEAR(f->box().bottom, f->y() + 6, 1e-4);
    }
    // The angle is kept within 0 to 360 as the turn rate takes it round.
    o.setPosition(100, 52);
    for (auto [from, rate, to] : {std::tuple{359.5f, 1.0f, 0.5f}, {0.5f, -1.0f, 359.5f}}) {
        o.setAngle(from);
        o.setTurnRate(rate);
        o.update();
        EXPECT_NEAR(o.angle(), to, 1e-4);
    }
}

TEST(Opponent, BouncesOffTheEdgesAndCorners) {
    // clang-format off
    const struct {
        const char* name;
        float x, y, angle, bounced, x1, y1;
    } cases[] = {
        {"straight into the right edge: reflected across", 402.5f, 161, 0, 180, 399.1667f, 161},
        {"straight into the bottom edge: reflected up", 219, 268.5f, 90, 270, 219, 265.1667f},
        {"diagonally into the right edge, free ice mirrored", 403.5f, 150.5f, 45, 135, 399.9645f, 154.0355f},
        {"diagonally into the bottom edge", 200.5f, 268.5f, 45, 315, 204.0355f, 266.7322f},
        {"into the corner, both mirrored cells edge: reversed", 403.5f, 269.5f, 45, 225, 399.9645f, 265.9645f},
        {"straight into the left edge", 35.5f, 161, 180, 0, 38.8333f, 161},
        {"straight into the top edge", 219, 54.5f, 270, 90, 219, 57.8333f},
        {"up and left into the top edge", 100.5f, 54.5f, 225, 135, 96.9645f, 56.2678f},
    };
    // clang-format on
    PlayRig rig;
    Opponent& o = rig.addFigure(1, 0, 0, 0, true);
    for (const auto& c : cases) {
        o.setPosition(c.x, c.y);
        o.setAngle(c.angle);
        o.update();
        EXPECT_NEAR(o.angle(), c.bounced, 1e-3) << c.name;
        EXPECT_NEAR(o.x(), c.x1, 1e-3) << c.name;
        EXPECT_NEAR(o.y(), c.y1, 1e-3) << c.name;
    }
}

TEST(Opponent, AFigureOnTheLineOrMeetingTheRaidingPlayerCutsTheRaidAndOneInClaimedAreaIsPenalised) {
    PlayRig rig;
    rig.play({RIGHT, SPACE}, 10); // line 34..63 of row 161, player at 63
    Opponent& o = rig.addFigure(1, 40, 161);
    o.check(); // sampled on the line: cut once, the line erased
    EXPECT_TRUE(rig.player->caught);
    EXPECT_TRUE(rig.player->safe);
    EXPECT_EQ(rig.count(CellRaidLine), 0);
    EXPECT_EQ(o.sampledCell, CellIce);
    o.check();
    EXPECT_EQ(rig.opponentSound.plays, 1);
    EXPECT_EQ(rig.refereeCut.plays, 0);

    // A referee is penalised like an opponent; a figure penalised beside the raiding player still cuts the
    // raid in the same check. Marked, neither is checked again nor drawn.
    rig.player->resetToRaidStart();
    o.setPosition(300, 250);
    rig.play({});
    rig.play({RIGHT, SPACE});
    Opponent& referee = rig.addFigure(KIND_REFEREE, 100, 100);
    Opponent& beside = rig.addFigure(2, 40, 165);
    rig.rink.setCell(100, 100, CellClaimedLine);
    referee.sampleCell();
    beside.sampledCell = CellClaimed;
    checkAll(rig.actors);
    EXPECT_TRUE(referee.marked && beside.marked && o.marked == false);
    EXPECT_EQ(rig.score.get(), 2 * PENALTY_POINTS);
    EXPECT_EQ(rig.opponentSound.plays, 4); // two penalties and the cut
    EXPECT_EQ(rig.refereeCut.plays, 0);
    EXPECT_TRUE(rig.player->caught);
    rig.player->resetToRaidStart();
    beside.sampledCell = CellClaimed;
    checkAll(rig.actors);
    EXPECT_EQ(rig.score.get(), 2 * PENALTY_POINTS);
    Image target(440, 300);
    referee.setTarget(&target);
    referee.draw();
    EXPECT_EQ(target.pixel(100, 100), 0);
    // The referee's own cut blows his whistle.
    rig.play({});
    rig.play({RIGHT, SPACE});
    rig.addFigure(KIND_REFEREE, rig.player->x() + 4, 161).check();
    EXPECT_EQ(rig.refereeCut.plays, 1);
}

} // namespace
} // namespace tundrix
