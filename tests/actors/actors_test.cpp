// The actors on a real rink: the player driven by scripted keys (raids, turns, skating back, closing,
// resets), long games of random keys against skating figures, the sprite object and actor base, the referee
// and the opponents, and the title mascots.
#include "actors/title_figure.h"
#include "play_rig.h"

#include <gtest/gtest.h>
#include <tuple>

#include <string>
#include <vector>

namespace tundrix {
namespace {

using namespace test;

TEST(Player, StartsOnTheLeftEdgeAndRaidsOnlyWhenSpaceGoesDown) {
    PlayRig rig;
    EXPECT_EQ(rig.player->heading(), HEADING_RIGHT);
    // Facing free ice from the edge does nothing; nor does Space alone, nor Space already held when
    // Right comes.
    for (auto held : {std::initializer_list<Key>{RIGHT}, {RIGHT}, {SPACE}, {SPACE, RIGHT}, {RIGHT}}) {
        rig.play(held);
        EXPECT_EQ(rig.at(), XY(33, 161));
        EXPECT_TRUE(rig.player->safe);
    }
    EXPECT_EQ(rig.count(CellRaidLine), 0);
    // Space going down while Right is held starts the raid; the first cell is entered at once.
    rig.play({RIGHT, SPACE});
    EXPECT_EQ(std::tuple(rig.at(), rig.player->safe, rig.rink.pathCount(), rig.rink.pathStartCell()),
              std::tuple(XY(36, 161), false, 4, cellIndex(33, 161)));
    for (int x = 34; x <= 36; ++x)
        EXPECT_EQ(std::pair(rig.rink.cellAt(x, 161), rig.display.pixel(x, 161)),
                  std::pair(CellRaidLine, CellRaidLine));
    rig.play({RIGHT}); // the line goes on without Space
    EXPECT_EQ(rig.at(), XY(39, 161));
    rig.player.reset(); // a player that goes leaves the context
    EXPECT_EQ(rig.ctx.player, nullptr);
}

TEST(Player, WalksTheEdgeThreeCellsAFrameStopsAtClaimedAreaAndResetsToTheStart) {
    PlayRig rig;
    Player& p = *rig.player;
    rig.play({DOWN});
    EXPECT_EQ(std::tuple(rig.at(), p.heading()), std::tuple(XY(33, 164), HEADING_DOWN));
    // Into the bottom-left corner and along the bottom edge, never outside.
    rig.play({DOWN}, 60);
    rig.play({LEFT});
    EXPECT_EQ(rig.at(), XY(33, 270));
    rig.play({RIGHT});
    EXPECT_EQ(rig.at(), XY(36, 270));
    // An edge cell beside claimed area is closed; along the left edge the inside neighbour is right.
    rig.rink.fillCells(50, 53, 11, 1, CellClaimed);
    rig.rink.fillCells(34, 170, 1, 5, CellClaimed);
    p.setPosition(40, 52);
    rig.play({RIGHT}, 5);
    EXPECT_EQ(rig.at(), XY(49, 52));
    p.setPosition(33, 161);
    rig.play({DOWN}, 5);
    EXPECT_EQ(rig.at(), XY(33, 169));

    // Without a raid, a reset goes back to the start facing right, whatever the state.
    p.caught = true, p.safe = false, rig.keyboard.lastHeading = HEADING_UP;
    p.resetToRaidStart();
    EXPECT_EQ(std::tuple(rig.at(), p.heading(), rig.keyboard.lastHeading, p.caught, p.safe),
              std::tuple(XY(33, 161), HEADING_RIGHT, HEADING_RIGHT, false, true));
}

TEST(Player, SkatingBackErasesTheLineCellByCellAndSkatingOnContinuesIt) {
    PlayRig rig;
    Player& p = *rig.player;
    rig.play({RIGHT, SPACE});
    ASSERT_EQ(rig.at(), XY(36, 161));
    rig.play({SPACE}); // Space alone skates back
    EXPECT_EQ(rig.at(), XY(34, 161));
    EXPECT_EQ(std::tuple(rig.rink.cellAt(36, 161), rig.rink.cellAt(35, 161), rig.rink.cellAt(34, 161)),
              std::tuple(CellIce, CellIce, CellRaidLine));
    EXPECT_EQ(std::tuple(rig.display.pixel(35, 161), p.safe, rig.keyboard.lastHeading),
              std::tuple(77, false, HEADING_LEFT));
    rig.play({SPACE});
    EXPECT_EQ(std::tuple(rig.at(), rig.count(CellRaidLine), p.safe, rig.rink.pathEmpty()),
              std::tuple(XY(33, 161), 0, true, true));

    // Back along a line drawn downwards, the player faces up.
    {
        PlayRig down;
        down.player->setPosition(200, 52);
        down.play({DOWN, SPACE}, 2);
        down.play({SPACE});
        EXPECT_EQ(std::pair(down.keyboard.lastHeading, down.at()), std::pair(HEADING_UP, XY(200, 56)));
    }

    // Part way back, then on again: the same line goes on.
    rig.play({RIGHT});
    rig.play({RIGHT, SPACE}, 3); // to 42
    rig.play({SPACE});           // back to 40
    EXPECT_EQ(rig.at(), XY(40, 161));
    rig.play({RIGHT}); // the path holds the start and cells 34..43
    EXPECT_EQ(std::tuple(rig.at(), rig.rink.pathCount(), rig.count(CellRaidLine)),
              std::tuple(XY(43, 161), 11, 10));
    rig.play({SPACE}, 4);
    EXPECT_EQ(std::tuple(rig.count(CellRaidLine), rig.at(), p.safe), std::tuple(0, XY(33, 161), true));
}

TEST(Player, NeverMovesBackAlongOrHeadOnIntoItsOwnLine) {
    PlayRig rig;
    rig.play({RIGHT, SPACE});
    rig.play({LEFT}); // pointed back along the line: no movement
    EXPECT_EQ(std::tuple(rig.at(), rig.player->heading()), std::tuple(XY(36, 161), HEADING_LEFT));
    // A hook: right to 60, down to 170, left to 51, then up toward the first leg; it stops two cells
    // short, and the cell between stays free ice.
    rig.play({RIGHT}, 8);
    rig.play({DOWN}, 3);
    rig.play({LEFT}, 3);
    ASSERT_EQ(rig.at(), XY(51, 170));
    rig.play({UP}, 5);
    EXPECT_EQ(std::tuple(rig.at(), rig.rink.cellAt(51, 162), rig.player->safe, rig.claimedCells.get()),
              std::tuple(XY(51, 163), CellIce, false, 0));
    // From each edge straight at a line cell two ahead: the raid does not start moving.
    const std::tuple<XY, Key, int, int> headOn[] = {{{33, 161}, RIGHT, 35, 161},
                                                    {{200, 52}, DOWN, 200, 54},
                                                    {{404, 161}, LEFT, 402, 161},
                                                    {{200, 270}, UP, 200, 268}};
    for (const auto& [from, key, lineX, lineY] : headOn) {
        PlayRig other;
        other.rink.markLine(lineX, lineY);
        other.player->setPosition(from.first, from.second);
        other.play({key, SPACE});
        EXPECT_EQ(other.at(), from);
    }
}

TEST(Player, ARaidClosesOnTheStepThatTurnsItOntoEdgeOrClaimedLine) {
    // At its first cell beside the edge; then, for each heading, on the third step of a frame beside a
    // claimed-line cell to its left or its right.
    // clang-format off
    const struct {
        XY from;
        Key key;
        XY to;
        int lineX, lineY;
        bool besideClaimedLine = false; // at the cell it closes on; then the line is three cells long
    } cases[] = {{{34, 52}, DOWN, {33, 53}, 34, 53}, {{33, 53}, RIGHT, {34, 52}, 34, 53},
        {{34, 270}, UP, {33, 269}, 34, 269}, {{33, 100}, RIGHT, {36, 99}, 36, 100, true}, {{33, 100}, RIGHT, {36, 101}, 36, 100, true},
        {{200, 52}, DOWN, {201, 55}, 200, 55, true}, {{200, 52}, DOWN, {199, 55}, 200, 55, true},
        {{404, 100}, LEFT, {401, 101}, 401, 100, true}, {{404, 100}, LEFT, {401, 99}, 401, 100, true},
        {{200, 270}, UP, {199, 267}, 200, 267, true}, {{200, 270}, UP, {201, 267}, 200, 267, true}};
    // clang-format on
    for (const auto& c : cases) {
        PlayRig rig;
        rig.addFigure(KIND_REFEREE, 219, 161, 0);
        if (c.besideClaimedLine)
            rig.rink.fillCells(whole(c.to.first), whole(c.to.second), 1, 1, CellClaimedLine);
        rig.player->setPosition(c.from.first, c.from.second);
        rig.play({c.key, SPACE});
        EXPECT_EQ(std::tuple(rig.player->safe, rig.at(), rig.claimedCells.get(), rig.score.get(),
                             rig.count(CellRaidLine), rig.rink.cellAt(c.lineX, c.lineY)),
                  std::tuple(true, c.to, c.besideClaimedLine ? 3 : 1, 1, 0, CellClaimedLine))
            << c.from.first << ", " << c.from.second;
    }
}

TEST(Player, CutJustAfterSkatingBackOntoTheStartPutsThePlayerAtTheStart) {
    // Skating back can empty the path with the frame's last pop, leaving the player on the start
    // but not yet safe; a figure meeting it then must not send it outside the rink.
    PlayRig rig;
    rig.player->setPosition(200, 52);
    for (int i = 0; i < 3; ++i) { // forward to a count of 4, 5, 6 and back to 1, 2, 3
        rig.play({SPACE, DOWN});
        rig.play({SPACE});
    }
    ASSERT_EQ(rig.at(), XY(200, 55));
    rig.addFigure(1, 205, 60, 0);
    rig.play({SPACE}); // 0: on the start, path empty, not yet safe; the figure meets the player
    EXPECT_EQ(std::tuple(rig.chancesLost, rig.at(), rig.player->heading(), rig.rink.cellAt(200, 52),
                         rig.count(CellRaidLine)),
              std::tuple(1, XY(200, 52), HEADING_DOWN, CellEdge, 0));
}

// The player moves before the figures: in the frame that closes a raid, a figure skating onto the line
// meets claimed line and bounces instead of cutting it.
TEST(Player, TheFrameThatClosesARaidMovesThePlayerBeforeTheFigures) {
    PlayRig rig;
    rig.addFigure(KIND_REFEREE, 300, 100, 0);
    rig.play({RIGHT, SPACE}, 22); // to 99, 161
    for (int guard = 0; rig.at().second < 269 && guard < 50; ++guard)
        rig.play({DOWN});
    ASSERT_EQ(rig.at(), XY(99, 269));
    Opponent& skater = rig.addFigure(1, 60, 157.5f, 90, true); // reaches row 161 in its fifth sub-step
    rig.play({DOWN});
    EXPECT_EQ((std::tuple{rig.chancesLost == 0, rig.claimedCells.get() > 0, skater.y() < 161}),
              (std::tuple{true, true, true}));
}

// Where the player stands it can go on: on its raid line, or at most a step from edge or claimed line beside
// free ice.
bool canSkateFrom(const Rink& rink, XY at) {
    const int here = cellIndex(whole(at.first), whole(at.second)), open = rink.nearestOpenLine(here);
    return rink.cellAtIndex(here) == CellRaidLine ||
           (open >= 0 && std::abs(open % RINK_WIDTH - here % RINK_WIDTH) +
                                 std::abs(open / RINK_WIDTH - here / RINK_WIDTH) <=
                             1);
}

TEST(RandomPlay, ThePlayerIsNeverStrandedTheFiguresStayOnTheIceAndEveryGameEndsAsApproved) {
    const Key headings[] = {RIGHT, DOWN, LEFT, UP};
    uint64_t digest = 14695981039346656037u;
    const auto fold = [&](uint64_t v) { digest = (digest ^ v) * 1099511628211u; };
    for (uint32_t seed = 78; seed < 94; ++seed) {
        PlayRig rig;
        rig.random.seed(seed);
        for (int kind = KIND_REFEREE; kind <= static_cast<int>(seed % 4); ++kind)
            rig.actors.insertAt(new Opponent(rig.ctx, rig.opponentSheet, kind), 0);
        Random keys;
        keys.seed(seed);
        std::vector<Key> held;
        for (int frame = 0, next = 0; frame < 3000; ++frame) {
            if (frame == next) {
                // A new choice every 6 to 35 frames: skate or raid one way, skate back, or let go.
                const Key h = headings[keys.next() % 4];
                const int choice = keys.next() % 6;
                next += 6 + keys.next() % 30;
                const std::vector<std::vector<Key>> first = {{h},        {SPACE},    {},
                                                             {h, SPACE}, {h, SPACE}, {h, SPACE}};
                rig.play(first[choice]);
                held = first[choice == 1 || choice == 2 ? choice : 0];
            } else {
                rig.play(held);
            }
            ASSERT_TRUE(canSkateFrom(rig.rink, rig.at())) << "seed " << seed << " frame " << frame << " at "
                                                          << rig.at().first << ", " << rig.at().second;
        }
        rig.actors.forEach([&](ListItem* item) {
            const auto* f = static_cast<Opponent*>(item);
            const uint8_t under = rig.rink.cellAt(whole(f->x()), whole(f->y()));
            EXPECT_TRUE(f->marked || under == CellIce) << "seed " << seed;
            fold(static_cast<uint64_t>(f->x() * 64) << 32 | static_cast<uint64_t>(f->y() * 64)),
                fold(f->marked);
        });
        for (int i = 0; i < RINK_CELLS; ++i)
            fold(rig.display.pixelAtIndex(i));
        for (int64_t v : {rig.claimedCells.get(), rig.score.get(), int32_t{rig.chancesLost},
                          rig.bigCapture.plays, rig.opponentSound.plays, rig.refereeCut.plays})
            fold(static_cast<uint64_t>(v));
        fold(static_cast<uint64_t>(rig.player->x()) << 16 | static_cast<uint64_t>(rig.player->y()));
    }
    EXPECT_EQ(digest, 0xc4c5967be232dd71u) << std::hex << "now 0x" << digest;
}

TEST(Opponent, StartsOnTheFaceOffSpotWithATurnRateAndAnAngleDrawnFromTheSharedSequence) {
    PlayRig rig;
    rig.random.seed(4242);
    Random copy;
    copy.seed(4242);
    copy.next();
    const int angle = copy.next() % 360;
    Opponent o(rig.ctx, rig.opponentSheet, 3);
    EXPECT_EQ(std::tuple(XY(o.x(), o.y()), o.sampledCell, o.frame(), o.angle()),
              std::tuple(XY(219, 161), CellIce, rig.opponentSheet.frame(12), static_cast<float>(angle)));
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

TEST(Opponent, SkatesFivePixelsAFrameInSubStepsFacesItsMotionAndBouncesOffTheEdgesAndCorners) {
    PlayRig rig;
    Opponent& o = rig.addFigure(1, 219, 161, 0, true);
    // 45 degrees: |vx| is a hair larger than |vy| with the tables' pi, so the figure faces right. An angle
    // that reached exactly 360 reads the tables at 0 degrees and is wrapped afterwards.
    const float d = 3.5355339f;
    // clang-format off
    const struct {
        const char* name;
        float x, y, angle, after, x1, y1;
        int frame; // -1: not checked
    } cases[] = {
        {"right", 219, 161, 0, 0, 224, 161, 4},
        {"down and right", 219, 161, 45, 45, 219 + d, 161 + d, 4},
        {"down and left", 219, 161, 135, 135, 219 - d, 161 + d, 5},
        {"up and left", 219, 161, 225, 225, 219 - d, 161 - d, 6},
        {"up and right", 219, 161, 315, 315, 219 + d, 161 - d, 7},
        {"down", 219, 161, 90, 90, 219, 166, 5},
        {"up", 219, 161, 270, 270, 219, 156, 7},
        {"left", 219, 161, 180, 180, 214, 161, 6},
        {"a whole turn", 219, 161, 360, 0, 224, 161, 4},
        {"straight into the right edge: reflected across", 402.5f, 161, 0, 180, 399.1667f, 161, -1},
        {"straight into the bottom edge: reflected up", 219, 268.5f, 90, 270, 219, 265.1667f, -1},
        {"diagonally into the right edge, free ice mirrored", 403.5f, 150.5f, 45, 135, 399.9645f, 154.0355f, -1},
        {"diagonally into the bottom edge", 200.5f, 268.5f, 45, 315, 204.0355f, 266.7322f, -1},
        {"into the corner, both mirrored cells edge: reversed", 403.5f, 269.5f, 45, 225, 399.9645f, 265.9645f, -1},
        {"straight into the left edge", 35.5f, 161, 180, 0, 38.8333f, 161, -1},
        {"straight into the top edge", 219, 54.5f, 270, 90, 219, 57.8333f, -1},
        {"up and left into the top edge", 100.5f, 54.5f, 225, 135, 96.9645f, 56.2678f, -1},
    };
    // clang-format on
    for (const auto& c : cases) {
        o.setPosition(c.x, c.y);
        o.setAngle(c.angle);
        o.update();
        EXPECT_NEAR(o.angle(), c.after, 1e-3) << c.name;
        EXPECT_NEAR(o.x(), c.x1, 1e-3) << c.name;
        EXPECT_NEAR(o.y(), c.y1, 1e-3) << c.name;
        EXPECT_TRUE(c.frame < 0 || o.frame() == rig.opponentSheet.frame(c.frame)) << c.name;
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

TEST(Opponent, AFigureOnTheLineOrMeetingTheRaidingPlayerCutsTheRaidAndOneInClaimedAreaIsPenalised) {
    PlayRig rig;
    rig.play({RIGHT, SPACE}, 10); // line 34..63 of row 161, player at 63
    Opponent& o = rig.addFigure(1, 40, 161);
    o.check(); // sampled on the line: cut once, the line erased
    EXPECT_EQ(std::tuple(rig.player->caught, rig.player->safe, rig.count(CellRaidLine), o.sampledCell),
              std::tuple(true, true, 0, CellIce));
    o.check();
    EXPECT_EQ(std::pair(rig.opponentSound.plays, rig.refereeCut.plays), std::pair(1, 0));

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
    EXPECT_EQ((std::tuple{referee.marked, beside.marked, o.marked == false, rig.player->caught}),
              (std::tuple{true, true, true, true}));
    // Two penalties and the cut.
    EXPECT_EQ(std::tuple(rig.score.get(), rig.opponentSound.plays, rig.refereeCut.plays),
              std::tuple(2 * PENALTY_POINTS, 4, 0));
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

TEST(SpriteObject, DrawsItsFrameCentredBoxesThatOnlyTouchOverlapAndTheListVisitsGoInListOrder) {
    SpriteSheet sheet;
    std::vector<std::string> log;
    fillSheet(sheet, 1, 32, 40, 5);
    fillSheet(sheet, 1, 5, 7, 6);
    Probe a(fillSheet(sheet, 1, 20, 30, 7), log, "a"), b(sheet, log, "b");
    // Both at (100, 100) with the 32 by 40 frame: they meet when 32 apart across or 40 down, no further.
    // clang-format off
    for (auto [x, y, overlap] : {std::tuple{132.0f, 100.0f, true}, {132, 140, true}, {68, 60, true},
                                 {132.01f, 100, false}, {100, 59.99f, false}, {100, 140.01f, false}}) {
        // clang-format on
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
    // Invisible or without a target or a frame, nothing is drawn (a marked figure: the penalised referee).
    Image clean(40, 40);
    SpriteSheet empty;
    Probe e(empty, log, "e");
    EXPECT_EQ(e.frame(), nullptr);
    e.setTarget(&clean);
    e.draw();
    a.setTarget(&clean);
    a.visible = false;
    a.draw();
    a.visible = true;
    a.setTarget(nullptr);
    a.draw();
    for (int i = 0; i < clean.pixelCount(); ++i)
        ASSERT_EQ(clean.pixelAtIndex(i), 0);

    // The base update adds the velocity. The visits go in list order past an item that is no actor; a
    // marked actor is still updated and checked, but not drawn. Both take the 32 by 40 frame 0.
    auto* c = new Probe(sheet, log, "c");
    auto* d = new Probe(sheet, log, "d");
    c->vx = 1.5f, c->vy = -2;
    Image screen(200, 200);
    c->setTarget(&screen), d->setTarget(&screen);
    ObjectList list;
    list.insertAt(c, 0), list.insertAt(d, 0), list.insertAt(new ListItem, 1);
    d->marked = true;
    log.clear();
    updateAll(list), checkAll(list), drawAll(list); // one frame
    EXPECT_EQ(XY(c->x(), c->y()), XY(101.5f, 98));
    EXPECT_EQ(log,
              (std::vector<std::string>{"update d", "update c", "check d", "check c", "draw d", "draw c"}));
    EXPECT_EQ(screen.pixel(85, 78), 5);
    EXPECT_EQ(screen.pixel(84, 80), 0) << "left of c, and inside d had it been drawn";
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
    EXPECT_EQ(std::pair(rig.rightSound.pan, rig.leftSound.pan), std::pair(10000, -10000));
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
        const int colour = vessa && wink ? 3 : 2, frames = vessa && wink ? 6 : 2,
                  top = 150 + at.y - (vessa ? 3 : 2);
        std::string shown; // their top row, not the row above it
        for (int frame = 0; frame < 8; ++frame) {
            f.check();
            shown += rig.shows(f, false, 200 + at.x, top, colour) &&
                             !rig.shows(f, false, 200 + at.x, top - 1, colour)
                         ? '#'
                         : '.';
        }
        EXPECT_EQ(shown, std::string(frames, '#') + std::string(8 - frames, '.')) << wink << vessa;
        EXPECT_EQ(XY(f.x(), f.y()), XY(200, 150));
        EXPECT_EQ(rig.random.next(), after.next());
    }
}

} // namespace
} // namespace tundrix
