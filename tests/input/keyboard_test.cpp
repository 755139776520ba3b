// The keyboard poll: presses, newest-wins axes, the newest heading and taps shorter than a frame.
#include "input/keyboard_input.h"
#include "platform/headless/scripted_keys.h"

#include <gtest/gtest.h>

#include <string>

namespace tundrix {
namespace {

// One poll after changing the keys: "+R" presses Right, "-R" releases it, "*R" taps it; R D L U S(pace)
// E(nter); a "!" at the end clears the presses after the poll. What the poll shows: axes, presses, heading,
// Space held and pressed, Enter held and pressed.
struct Poll {
    std::string keys;
    int axisX, axisY, pressedX, pressedY, heading, space = 0, spacePressed = 0, enter = 0, enterPressed = 0;
};

void run(const std::string& heldAtStart, std::initializer_list<Poll> polls) {
    headless::ScriptedKeys keys;
    const auto key = [](char c) {
        return std::string("RDLUSE").find(c) < 6 ? static_cast<Key>(std::string("RDLUSE").find(c)) : Key::F1;
    };
    for (char c : heldAtStart)
        keys.press(key(c));
    KeyboardInput kb(keys);
    int n = 0;
    for (const Poll& p : polls) {
        for (size_t i = 0; i + 1 < p.keys.size(); i += 2) {
            const Key k = key(p.keys[i + 1]);
            p.keys[i] == '+' ? keys.press(k) : p.keys[i] == '-' ? keys.release(k) : keys.tap(k);
        }
        kb.poll();
        if (p.keys.ends_with('!')) kb.clearPresses();
        const int seen[] = {kb.axisX,     kb.axisY,        kb.pressedX,  kb.pressedY,    kb.lastHeading,
                            kb.spaceHeld, kb.spacePressed, kb.enterHeld, kb.enterPressed};
        const int want[] = {p.axisX, p.axisY,        p.pressedX, p.pressedY,    p.heading,
                            p.space, p.spacePressed, p.enter,    p.enterPressed};
        EXPECT_TRUE(std::equal(seen, seen + 9, want)) << "poll " << n << " (" << p.keys << ")";
        ++n;
    }
}

TEST(Keyboard, OppositeArrowsGiveTheNewerOneAndHandBackOnRelease) {
    // clang-format off
    run("", {{"+R", 1, 0, 1, 0, 0}, {"+L", -1, 0, -1, 0, 2}, {"-L", 1, 0, 0, 0, 0}, {"-R", 0, 0, 0, 0, 0},
             {"+L", -1, 0, -1, 0, 2}, {"+R", 1, 0, 1, 0, 0}, {"-R", -1, 0, 0, 0, 2}, {"+D+U", -1, -1, 0, -1, 3},
             {"-U", -1, 1, 0, 0, 1}, {"-L-D", 0, 0, 0, 0, 1}});
    // clang-format on
}

TEST(Keyboard, CrossingArrowsGiveDiagonalsAndTheNewestStillHeldLeads) {
    // clang-format off
    run("", {{"+L", -1, 0, -1, 0, 2}, {"+U", -1, -1, 0, -1, 3}, {"+R", 1, -1, 1, 0, 0}, {"-R", -1, -1, 0, 0, 3},
             {"-U", -1, 0, 0, 0, 2}, {"-L", 0, 0, 0, 0, 2}}); // the heading is kept while no arrow is held
    // clang-format on
    // Opposite arrows pressed in one sample leave left and up.
    run("", {{"+R+L+D+U", -1, -1, -1, -1, 3}});
    // All four held and let go one by one leave nothing behind: a later tap of Left keeps its heading.
    // clang-format off
    run("", {{"+R", 1, 0, 1, 0, 0}, {"+D", 1, 1, 0, 1, 1}, {"+L", -1, 1, -1, 0, 2}, {"+U", -1, -1, 0, -1, 3},
             {"-U", -1, 1, 0, 0, 2}, {"-L", 1, 1, 0, 0, 1}, {"-D", 1, 0, 0, 0, 0}, {"-R", 0, 0, 0, 0, 0},
             {"+L", -1, 0, -1, 0, 2}, {"-L", 0, 0, 0, 0, 2}});
    // clang-format on
}

TEST(Keyboard, ArrowsHeldBeforeTheStartPressNothingAndTapsCountForOnePoll) {
    run("RU", {{"", 1, 0, 0, 0, -1}, {"+L-R", -1, 0, -1, 0, 2}, {"-L-U", 0, 0, 0, 0, 2}});
    run("",
        {{"*S*D", 0, 1, 0, 1, 1, 1, 1}, {"", 0, 0, 0, 0, 1}, {"*U", 0, -1, 0, -1, 3}, {"", 0, 0, 0, 0, 3}});
}

TEST(Keyboard, SpaceAndEnterArePressedOnceAndClearPressesForgetsOnlyTheArrowsAndSpace) {
    // clang-format off
    run("", {{"+S", 0, 0, 0, 0, -1, 1, 1}, {"", 0, 0, 0, 0, -1, 1, 0}, {"-S", 0, 0, 0, 0, -1},
             {"+S+E", 0, 0, 0, 0, -1, 1, 1, 1, 1}, {"-E", 0, 0, 0, 0, -1, 1, 0}, {"+E", 0, 0, 0, 0, -1, 1, 0, 1, 1}});
    // clang-format on
    // Held keys stay held and Enter's press stays: the next poll works it out again.
    run("", {{"+S+E+U+L!", -1, -1, 0, 0, 3, 1, 0, 1, 1}});
}

} // namespace
} // namespace tundrix
