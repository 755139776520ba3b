// The title mascots: entrance, sounds, blinks and winks, and the selection blink of the hair.
#include "actors/title_figure.h"

#include "play_rig.h"

#include <gtest/gtest.h>

#include <vector>

namespace tundrix {
namespace {

using test::fillSheet;

// A seed whose first two draws are a multiple of 100 and then (not) a multiple of 10.
uint32_t seedFor(bool wink) {
    return test::seedWhere([wink](Random& r) { return r.next() % 100 == 0 && (r.next() % 10 == 0) == wink; });
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
    test::RecordingSound rightSound, tune, leftSound;
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
    EXPECT_EQ(test::XY(rig.right.x(), rig.right.y()), test::XY(243.5f, 192));
    EXPECT_EQ(test::XY(rig.left.x(), rig.left.y()), test::XY(98, 175));
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
        EXPECT_EQ(test::XY(f.x(), f.y()), test::XY(200, 150));
        EXPECT_EQ(rig.random.next(), after.next());
    }
}

} // namespace
} // namespace tundrix
