// The sprite object and actor base (frames, boxes, overlap, drawing and the list visits), the referee and
// the opponents (construction, sub-steps by angle, facing, bounces, cuts, penalties), and the title mascots
// (entrance, sounds, blinks and winks, and the selection blink of the hair).
#include "actors/title_figure.h"
#include "play_rig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// Logs every visit, so the list order shows.
class Probe : public Actor {
  public:
    Probe(SpriteSheet& sheet, std::vector<std::string>& log, std::string name)
        : Actor(sheet), log_(log), name_(std::move(name)) {}
    void update() override { Actor::update(), log_.push_back("update " + name_); }
    void check() override { log_.push_back("check " + name_); }
    void draw() override { Actor::draw(), log_.push_back("draw " + name_); }

  private:
    std::vector<std::string>& log_;
    std::string name_;
};

TEST(SpriteObject, DrawsItsFrameCentredBoxesThatOnlyTouchOverlapAndFramesBeyondTheSheetAreIgnored) {
    SpriteSheet sheet;
    std::vector<std::string> log;
    fillSheet(sheet, 1, 32, 40, 5);
    fillSheet(sheet, 1, 5, 7, 6);
    Probe a(fillSheet(sheet, 1, 20, 30, 7), log, "a"), b(sheet, log, "b");
    // Both at (100, 100) with the 32 by 40 frame: they meet when 32 apart across or 40 down, no further.
    for (auto [x, y, overlap] : {std::tuple{132.0f, 100.0f, true},
                                 {132, 140, true},
                                 {68, 60, true},
                                 {132.01f, 100, false},
                                 {100, 59.99f, false},
                                 {100, 140.01f, false}}) {
        b.setPosition(x, y);
        EXPECT_EQ(a.overlaps(b), overlap) << x << "," << y;
        EXPECT_EQ(b.overlaps(a), overlap) << x << "," << y;
    }
    // Frame 1 (5 by 7) at (10.7, 20.2) lies from (trunc 8.2, trunc 16.7); a frame beyond the sheet keeps it.
    Image target(40, 40);
    a.setTarget(&target);
    a.setFrame(1);
    a.setFrame(3);
    a.setFrame(65535);
    a.setPosition(10.7f, 20.2f);
    a.growBox(1);
    EXPECT_FLOAT_EQ(a.box().left, 7.2f);
    EXPECT_FLOAT_EQ(a.box().bottom, 24.7f);
    a.draw();
    for (auto [x, y, colour] :
         {std::tuple{8, 16, 6}, {12, 22, 6}, {7, 16, 0}, {13, 16, 0}, {8, 15, 0}, {8, 23, 0}})
        EXPECT_EQ(target.pixel(x, y), colour) << x << "," << y;
    // Invisible, marked or without a target or a frame, nothing is drawn.
    Image clean(40, 40);
    SpriteSheet empty;
    Probe e(empty, log, "e");
    EXPECT_EQ(e.frame(), nullptr);
    e.setTarget(&clean);
    e.draw();
    a.setTarget(&clean);
    a.visible = false;
    a.draw();
    a.visible = true, a.marked = true;
    a.draw();
    a.marked = false;
    a.setTarget(nullptr);
    a.draw();
    for (int i = 0; i < clean.pixelCount(); ++i)
        ASSERT_EQ(clean.pixelAtIndex(i), 0);
}

TEST(Actor, TheBaseUpdateAddsTheVelocityAndTheListVisitsGoInListOrder) {
    SpriteSheet sheet;
    std::vector<std::string> log;
    auto* a = new Probe(fillSheet(sheet, 1, 4, 4, 9), log, "a");
    auto* b = new Probe(sheet, log, "b");
    a->vx = 1.5f;
    a->vy = -2;
    Image target(200, 200);
    a->setTarget(&target);
    b->setTarget(&target);
    ObjectList list;
    list.insertAt(a, 0);
    list.insertAt(b, 0);
    list.insertAt(new ListItem, 1); // not an actor: passed over
    b->marked = true;               // still updated and checked, but not drawn
    updateAll(list);
    checkAll(list);
    drawAll(list);
    EXPECT_EQ(XY(a->x(), a->y()), XY(101.5f, 98));
    EXPECT_EQ(log,
              (std::vector<std::string>{"update b", "update a", "check b", "check a", "draw b", "draw a"}));
    EXPECT_EQ(target.pixel(99, 96), 9);
    EXPECT_EQ(target.pixel(98, 96), 0);
}

// A seed whose first two draws are a multiple of 100 and then (not) a multiple of 10.
uint32_t seedFor(bool wink) {
    return seedWhere([wink](Random& r) { return r.next() % 100 == 0 && (r.next() % 10 == 0) == wink; });
}

// Frame n of a figure's sheet has colour n + 1: Vessa's portrait 238 by 217, eyes, wink and hair wider
// than the portrait; Brum's portrait 196 by 251, eyes and hair.
struct TitleRig {
    TitleRig() {
        fillSheet(fillSheet(fillSheet(sheets[0], 1, 238, 217, 1), 2, 10, 6, 2), 1, 300, 20, 4);
        fillSheet(fillSheet(fillSheet(sheets[1], 1, 196, 251, 1), 1, 8, 4, 2), 1, 40, 200, 3);
        right.setTarget(&target), left.setTarget(&target);
    }
    // Draws the figure on a clean target; true when the pixel at (x, y) has the colour.
    bool shows(TitleFigure& f, bool selected, int x, int y, int colour) {
        target.fillRect(0, 0, 440, 300, 0);
        f.drawFigure(selected);
        return target.pixel(x, y) == colour;
    }

    SpriteSheet sheets[2];
    Random random;
    RecordingSound rightSound, tune, leftSound;
    Image target{440, 300};
    TitleFigure right{VESSA, sheets[0], random, rightSound, &tune};
    TitleFigure left{BRUM, sheets[1], random, leftSound};
};

TEST(TitleFigure, BothFiguresSkateInBrakeToTheirRestAndSoundOnceOnTheirOwnSide) {
    TitleRig rig;
    EXPECT_EQ(rig.rightSound.pan, 10000);
    EXPECT_EQ(rig.leftSound.pan, -10000);
    std::vector<float> right, left;
    for (int age = 0; age < 60; ++age) {
        rig.right.update(), rig.right.check(), rig.left.update(), rig.left.check();
        right.push_back(rig.right.x()), left.push_back(rig.left.x());
        // The right figure sounds and starts the title tune at age 33, the left one at 20.
        EXPECT_EQ(rig.rightSound.plays + rig.tune.starts, age < 33 ? 0 : 2) << age;
        EXPECT_EQ(rig.leftSound.plays, age < 20 ? 0 : 1) << age;
    }
    // Still until then, first steps of 63.5 and 57 from the right and of 55 from the left, then at rest.
    EXPECT_EQ(std::vector<float>(right.begin(), right.begin() + 33), std::vector<float>(33, 586));
    EXPECT_FLOAT_EQ(right[33], 586 - 63.5f);
    EXPECT_FLOAT_EQ(right[33] - right[34], 57);
    EXPECT_EQ(std::vector<float>(left.begin(), left.begin() + 20), std::vector<float>(20, -232));
    EXPECT_FLOAT_EQ(left[20], -177);
    EXPECT_EQ(XY(rig.right.x(), rig.right.y()), XY(243.5f, 192));
    EXPECT_EQ(XY(rig.left.x(), rig.left.y()), XY(98, 175));
    EXPECT_EQ(rig.right.age, 60);
}

TEST(TitleFigure, VessaWinksForSixFramesOrBlinksForTwoAndBrumOnlyBlinks) {
    for (auto [wink, vessa] : {std::pair{true, true}, {false, true}, {true, false}}) {
        TitleRig rig;
        TitleFigure& f = vessa ? rig.right : rig.left;
        f.setPosition(200, 150);
        f.age = 100;
        rig.random.seed(seedFor(wink));
        // One draw for every check without a blink running, one more when Vessa's blink starts.
        Random after;
        after.seed(seedFor(wink));
        for (int draws = vessa ? (wink ? 3 : 7) : 6; draws > 0; --draws)
            after.next();
        // The eyes or the wink are centred at their offsets from the figure; the offsets are undone.
        const layout::Offset at = !vessa ? layout::Offset{11, -48}
                                  : wink ? layout::Offset{-4, -37}
                                         : layout::Offset{-19, -37};
        const int colour = vessa && wink ? 3 : 2, frames = vessa && wink ? 6 : 2;
        std::string shown;
        for (int frame = 0; frame < 8; ++frame) {
            f.check();
            shown += rig.shows(f, false, 200 + at.x, 150 + at.y, colour) ? '#' : '.';
        }
        EXPECT_EQ(shown, std::string(frames, '#') + std::string(8 - frames, '.')) << wink << vessa;
        EXPECT_EQ(XY(f.x(), f.y()), XY(200, 150));
        EXPECT_EQ(rig.random.next(), after.next());
    }
}

} // namespace
} // namespace tundrix
