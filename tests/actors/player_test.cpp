// The player driven by scripted keys on a real rink: raids, turns, skating back, closing, resets; and long
// games of random keys against skating figures, where the player is never stranded, no figure leaves the
// ice and every game ends exactly as the approved run did.
#include "play_rig.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(rig.at(), XY(36, 161));
    EXPECT_FALSE(rig.player->safe);
    for (int x = 34; x <= 36; ++x) {
        EXPECT_EQ(rig.rink.cellAt(x, 161), CellRaidLine) << x;
        EXPECT_EQ(rig.display.pixel(x, 161), CellRaidLine) << x;
    }
    EXPECT_EQ(rig.rink.pathCount(), 4);
    EXPECT_EQ(rig.rink.pathStartCell(), cellIndex(33, 161));
    rig.play({RIGHT}); // the line goes on without Space
    EXPECT_EQ(rig.at(), XY(39, 161));
}

TEST(Player, WalksTheEdgeThreeCellsAFrameStopsAtClaimedAreaAndResetsToTheStart) {
    PlayRig rig;
    Player& p = *rig.player;
    rig.play({DOWN});
    EXPECT_EQ(rig.at(), XY(33, 164));
    EXPECT_EQ(p.heading(), HEADING_DOWN);
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
    p.caught = true;
    p.safe = false;
    rig.keyboard.lastHeading = HEADING_UP;
    p.resetToRaidStart();
    EXPECT_EQ(rig.at(), XY(33, 161));
    EXPECT_EQ(p.heading(), HEADING_RIGHT);
    EXPECT_EQ(rig.keyboard.lastHeading, HEADING_RIGHT);
    EXPECT_FALSE(p.caught);
    EXPECT_TRUE(p.safe);
}

TEST(Player, SkatingBackErasesTheLineCellByCellAndSkatingOnContinuesIt) {
    PlayRig rig;
    Player& p = *rig.player;
    rig.play({RIGHT, SPACE});
    ASSERT_EQ(rig.at(), XY(36, 161));
    rig.play({SPACE}); // Space alone skates back
    EXPECT_EQ(rig.at(), XY(34, 161));
    EXPECT_EQ(rig.rink.cellAt(36, 161), CellIce);
    EXPECT_EQ(rig.rink.cellAt(35, 161), CellIce);
    EXPECT_EQ(rig.display.pixel(35, 161), 77);
    EXPECT_EQ(rig.rink.cellAt(34, 161), CellRaidLine);
    EXPECT_FALSE(p.safe);
    EXPECT_EQ(rig.keyboard.lastHeading, HEADING_LEFT);
    rig.play({SPACE});
    EXPECT_EQ(rig.at(), XY(33, 161));
    EXPECT_EQ(rig.count(CellRaidLine), 0);
    EXPECT_TRUE(p.safe);
    EXPECT_TRUE(rig.rink.pathEmpty());

    // Back along a line drawn downwards, the player faces up.
    {
        PlayRig down;
        down.player->setPosition(200, 52);
        down.play({DOWN, SPACE}, 2);
        down.play({SPACE});
        EXPECT_EQ(down.keyboard.lastHeading, HEADING_UP);
        EXPECT_EQ(down.at(), XY(200, 56));
    }

    // Part way back, then on again: the same line goes on.
    rig.play({RIGHT});
    rig.play({RIGHT, SPACE}, 3); // to 42
    rig.play({SPACE});           // back to 40
    EXPECT_EQ(rig.at(), XY(40, 161));
    rig.play({RIGHT});
    EXPECT_EQ(rig.at(), XY(43, 161));
    EXPECT_EQ(rig.rink.pathCount(), 11); // the start and cells 34..43
    EXPECT_EQ(rig.count(CellRaidLine), 10);
    rig.play({SPACE}, 4);
    EXPECT_EQ(rig.count(CellRaidLine), 0);
    EXPECT_EQ(rig.at(), XY(33, 161));
    EXPECT_TRUE(p.safe);
}

TEST(Player, NeverMovesBackAlongOrHeadOnIntoItsOwnLine) {
    PlayRig rig;
    rig.play({RIGHT, SPACE});
    rig.play({LEFT}); // pointed back along the line: no movement
    EXPECT_EQ(rig.at(), XY(36, 161));
    EXPECT_EQ(rig.player->heading(), HEADING_LEFT);
    // A hook: right to 60, down to 170, left to 51, then up toward the first leg; it stops two cells
    // short, and the cell between stays free ice.
    rig.play({RIGHT}, 8);
    rig.play({DOWN}, 3);
    rig.play({LEFT}, 3);
    ASSERT_EQ(rig.at(), XY(51, 170));
    rig.play({UP}, 5);
    EXPECT_EQ(rig.at(), XY(51, 163));
    EXPECT_EQ(rig.rink.cellAt(51, 162), CellIce);
    EXPECT_FALSE(rig.player->safe);
    EXPECT_EQ(rig.claimedCells.get(), 0);
}

TEST(Player, ARaidThatMeetsTheEdgeAtItsFirstCellClosesThere) {
    // Beside the corner heading down; along the top edge heading right (it turns up onto the edge);
    // along the left edge heading up (it turns left onto the edge).
    const struct {
        XY from;
        Key key;
        XY to, line;
    } cases[] = {{{34, 52}, DOWN, {33, 53}, {34, 53}},
                 {{33, 53}, RIGHT, {34, 52}, {34, 53}},
                 {{34, 270}, UP, {33, 269}, {34, 269}}};
    for (const auto& c : cases) {
        PlayRig rig;
        rig.addFigure(KIND_REFEREE, 219, 161, 0);
        rig.player->setPosition(c.from.first, c.from.second);
        rig.play({c.key, SPACE});
        EXPECT_TRUE(rig.player->safe);
        EXPECT_EQ(rig.at(), c.to);
        EXPECT_EQ(rig.claimedCells.get(), 1);
        EXPECT_EQ(rig.score.get(), 1);
        EXPECT_EQ(rig.rink.cellAt(static_cast<int>(c.line.first), static_cast<int>(c.line.second)),
                  CellClaimedLine);
        EXPECT_EQ(rig.count(CellRaidLine), 0);
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
    EXPECT_EQ(rig.chancesLost, 1);
    EXPECT_EQ(rig.at(), XY(200, 52));
    EXPECT_EQ(rig.player->heading(), HEADING_DOWN);
    EXPECT_EQ(rig.rink.cellAt(200, 52), CellEdge);
    EXPECT_EQ(rig.count(CellRaidLine), 0);
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
    EXPECT_EQ(rig.chancesLost, 0);
    EXPECT_GT(rig.claimedCells.get(), 0);
    EXPECT_LT(skater.y(), 161);
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
                held = choice == 1   ? std::vector<Key>{SPACE}
                       : choice == 2 ? std::vector<Key>{}
                                     : std::vector<Key>{h};
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

} // namespace
} // namespace tundrix
