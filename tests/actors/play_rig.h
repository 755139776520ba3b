// A small game world for the actor tests: a real rink with its pictures, scripted keys, recording sounds
// and sheets of plain coloured frames.
#pragma once
#include "actors/opponent.h"
#include "actors/play_frame.h"
#include "actors/player.h"
#include "platform/headless/scripted_keys.h"
#include "recording_sound.h"
#include "rink_rig.h"

#include <memory>
#include <utility>
#include <vector>

namespace tundrix::test {

// Appends solid frames to a sheet; frame i is filled with colour base + i.
inline SpriteSheet& fillSheet(SpriteSheet& sheet, int count, int w, int h, int base) {
    for (int i = 0; i < count; ++i) {
        auto img = std::make_unique<Image>(w, h);
        img->fillRect(0, 0, w, h, static_cast<uint8_t>(base + i));
        sheet.add(std::move(img));
    }
    return sheet;
}

using XY = std::pair<float, float>;

// The first seed whose sequence passes the check.
template <class Check> uint32_t seedWhere(Check check) {
    for (uint32_t s = 1;; ++s) {
        Random r;
        r.seed(s);
        if (check(r)) return s;
    }
}

// A figure that keeps its place when the frame moves the figures; its rules still apply.
class StandingFigure : public Opponent {
  public:
    using Opponent::Opponent;
    void update() override {}
};

struct PlayRig : RinkRig {
    PlayRig() {
        fillSheet(playerSheet, 4, 32, 32, 10);
        fillSheet(opponentSheet, 4, 20, 20, 20);
        fillSheet(opponentSheet, 20, 32, 32, 30);
        player = std::make_unique<Player>(ctx, playerSheet);
        player->resetToRaidStart();
    }
    ~PlayRig() {
        // The figures leave the context on destruction, so they go before it.
        actors.clear();
        player.reset();
    }

    // A figure placed and steered by hand, in front of the list as the period set-up puts them; it stands
    // still unless it skates.
    Opponent& addFigure(int kind, float x, float y, float angle = 0, bool skates = false) {
        auto* o =
            skates ? new Opponent(ctx, opponentSheet, kind) : new StandingFigure(ctx, opponentSheet, kind);
        o->setPosition(x, y);
        o->setAngle(angle);
        o->setTurnRate(0);
        o->sampleCell();
        actors.insertAt(o, 0);
        return *o;
    }

    // Frames of play as the game runs them, holding exactly the given keys.
    void play(const std::vector<Key>& held, int n = 1) {
        keys.releaseAll();
        for (Key k : held)
            keys.press(k);
        for (int i = 0; i < n; ++i)
            chancesLost += playFrame(*player, actors) ? 1 : 0;
    }
    XY at() const { return {player->x(), player->y()}; }

    headless::ScriptedKeys keys;
    KeyboardInput keyboard{keys};
    ObjectList actors;
    Random random;
    AngleTables angles;
    GuardedCounter score, claimedCells;
    RecordingSound bigCapture, opponentSound, refereeCut;
    SpriteSheet playerSheet, opponentSheet;
    PlayContext ctx{rink,  actors,       random,     angles,        keyboard,
                    score, claimedCells, bigCapture, opponentSound, refereeCut};
    std::unique_ptr<Player> player;
    int chancesLost = 0;
};

constexpr Key RIGHT = Key::Right, LEFT = Key::Left, UP = Key::Up, DOWN = Key::Down, SPACE = Key::Space;

} // namespace tundrix::test
