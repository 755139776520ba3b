// The new player's raids: out into the ice, aside, and back, sized by its own small random sequence.
#include "bots/new_player.h"

#include <cmath>

namespace tundrix {

namespace {

constexpr Key ARROWS[4] = {Key::Right, Key::Down, Key::Left, Key::Up};
constexpr int DX[4] = {1, 0, -1, 0};
constexpr int DY[4] = {0, 1, 0, -1};
// Frames a raid may take to get back before the player gives up steering it.
constexpr int RETURN_FRAMES = 150;
// A figure nearer than this (pixels) makes the player wait before raiding, for up to WAIT_FRAMES.
constexpr float WARY_DISTANCE = 110.0f;
constexpr int WAIT_FRAMES = 40;
// The longest legs of a raid, out and aside, in frames.
constexpr int OUT_FRAMES = 36;
constexpr int ASIDE_FRAMES = 48;

class Dice {
  public:
    explicit Dice(uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
    int roll(int from, int to) {
        state_ = state_ * 1664525u + 1013904223u;
        return from + static_cast<int>((state_ >> 8) % static_cast<uint32_t>(to - from + 1));
    }

  private:
    uint32_t state_;
};

bool inPlay(GameWorld& w) {
    return !w.onTitle() && !w.inMatchIntro() && !w.gameOver() && w.countdown() == 0;
}

// The headings from the player's cell that point into free ice a few cells on.
int headingIntoIce(GameWorld& w, Dice& dice) {
    const int first = dice.roll(0, 3);
    for (int i = 0; i < 4; ++i) {
        const int h = (first + i) % 4;
        const int x = static_cast<int>(w.player().x()) + 4 * DX[h];
        const int y = static_cast<int>(w.player().y()) + 4 * DY[h];
        if (w.rink().cellAt(x, y) == CellIce) return h;
    }
    return -1;
}

// Whether a figure skates near the player, as anyone watching the screen can see.
bool figureNear(GameWorld& w) {
    bool near = false;
    w.actors().forEach([&](ListItem* item) {
        if (auto* f = dynamic_cast<Opponent*>(item))
            near = near || std::hypot(f->x() - w.player().x(), f->y() - w.player().y()) < WARY_DISTANCE;
    });
    return near;
}

} // namespace

void playLikeANewPlayer(HeadlessGame& g, uint32_t seed, int maxFrames) {
    Dice dice(seed);
    const uint32_t start = g.driver.frameCount();
    const auto left = [&] { return static_cast<int>(g.driver.frameCount() - start) < maxFrames; };
    leaveTitle(g);
    while (!g.world().gameOver() && left()) {
        GameWorld& w = g.world();
        if (w.inMatchIntro()) {
            g.keys.tap(Key::Enter);
            g.step(1);
            continue;
        }
        if (!inPlay(w)) {
            g.step(1);
            continue;
        }
        for (int i = 0; i < WAIT_FRAMES && figureNear(g.world()) && inPlay(g.world()); ++i)
            g.step(1);
        if (!inPlay(g.world())) continue;
        const int h = headingIntoIce(g.world(), dice);
        if (h < 0) { // along the line a little to find ice again
            g.keys.press(ARROWS[dice.roll(0, 3)]);
            g.step(dice.roll(3, 12));
            g.keys.releaseAll();
            continue;
        }
        g.keys.press(Key::Space);
        g.keys.press(ARROWS[h]);
        g.step(1);
        g.keys.release(Key::Space);
        g.step(dice.roll(4, OUT_FRAMES));
        g.keys.releaseAll();
        g.keys.press(ARROWS[(h + (dice.roll(0, 1) ? 1 : 3)) % 4]);
        g.step(dice.roll(4, ASIDE_FRAMES));
        g.keys.releaseAll();
        g.keys.press(ARROWS[(h + 2) % 4]);
        for (int i = 0; i < RETURN_FRAMES && !g.world().player().safe && inPlay(g.world()); ++i)
            g.step(1);
        g.keys.releaseAll();
        g.step(dice.roll(1, 10));
    }
    g.step(80);
}

} // namespace tundrix
