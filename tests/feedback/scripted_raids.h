// Scripted players for the layer's tests: strips claimed one after another from the top or bottom edge,
// and a single raid down the left of the rink timed for when the referee is left of it, so the whole
// right side goes at once with every figure on it.
#pragma once
#include "bots/headless_game.h"

namespace tundrix::test {

inline void stepUntil(HeadlessGame& g, const std::function<bool()>& done, int limit) {
    for (int i = 0; i < limit && !done(); ++i)
        g.step();
}

// From the title into play of period 1.
inline void startPlay(HeadlessGame& g) {
    g.step(60);
    g.keys.press(Key::Space);
    g.step(3);
    g.keys.releaseAll();
    g.step(15);
    g.keys.tap(Key::Enter);
    g.step(2);
}

// Holds key until done or limit frames.
inline void skate(HeadlessGame& g, Key key, const std::function<bool()>& done, int limit) {
    g.keys.releaseAll();
    g.keys.press(key);
    stepUntil(g, done, limit);
    g.keys.releaseAll();
}

// A raid straight down from the top edge or up from the bottom one, until it closes or is cut.
inline void raidAcross(HeadlessGame& g) {
    const bool fromTop = g.world().player().y() < (EDGE_TOP + EDGE_BOTTOM) / 2;
    g.keys.releaseAll();
    g.keys.press(Key::Space);
    g.keys.press(fromTop ? Key::Down : Key::Up);
    g.step(1);
    stepUntil(
        g, [&] { return g.world().player().safe || g.world().gameOver(); }, 120);
    g.keys.releaseAll();
    g.step(1);
}

// Between periods: through the pauses and the match intro; false once the game is over.
inline bool throughPauses(HeadlessGame& g) {
    for (int i = 0; i < 200 && !g.world().gameOver(); ++i) {
        GameWorld& w = g.world();
        if (!w.inMatchIntro() && !w.periodWon() && !w.timeUp()) return true;
        g.keys.releaseAll();
        g.step(5);
        if (w.inMatchIntro()) g.keys.tap(Key::Enter);
    }
    return !g.world().gameOver();
}

// A period begins with the player halfway up the left edge: up to the top.
inline void toTopEdge(HeadlessGame& g) {
    if (g.world().player().y() > EDGE_TOP && g.world().player().y() < EDGE_BOTTOM)
        skate(
            g, Key::Up, [&] { return g.world().player().y() <= EDGE_TOP; }, 60);
}

// Strips `width` columns apart until the game is over or `raids` raids have run.
inline void playStrips(HeadlessGame& g, int width, int raids) {
    for (int i = 0; i < raids && throughPauses(g); ++i) {
        toTopEdge(g);
        const float target = g.world().player().x() + static_cast<float>(width);
        skate(
            g, Key::Right, [&] { return g.world().player().x() >= target; }, 60);
        raidAcross(g);
    }
}

// At column 100 of the top edge, waits for the referee to be left of it, then raids down: the right side,
// more than 80 % of the ice, is claimed with every opponent on it. Tries until a period is won or the game
// is over.
inline void winWithOneRaid(HeadlessGame& g) {
    const int32_t period = g.world().periodNumber().get();
    constexpr float LINE_X = 100, REFEREE_LEFT_OF = 80;
    while (throughPauses(g) && g.world().periodNumber().get() == period) {
        toTopEdge(g);
        skate(
            g, g.world().player().x() < LINE_X ? Key::Right : Key::Left,
            [&] { return std::abs(g.world().player().x() - LINE_X) < 2; }, 60);
        stepUntil(
            g, [&] { return g.world().referee() && g.world().referee()->x() < REFEREE_LEFT_OF; }, 500);
        raidAcross(g);
        stepUntil(
            g, [&] { return !g.world().periodWon(); }, 60);
    }
}

} // namespace tundrix::test
