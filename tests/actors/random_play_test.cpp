// Long games of random keys against skating figures: the player never ends where it cannot skate on, no
// figure leaves the ice, and every game ends exactly as the approved run did.
#include "play_rig.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace tundrix {
namespace {

using namespace test;

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
