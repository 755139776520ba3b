// What the frame driver needs of a game in progress.
#pragma once
#include "core/guarded_counter.h"
#include <cstdint>

namespace tundrix {

class World {
  public:
    virtual ~World() = default;
    virtual void update() = 0;
    // Composes the frame and presents it.
    virtual void draw() = 0;
    virtual bool gameOver() const = 0;
    virtual int countdown() const = 0;
    // Still on the title screen: no game has been played in this world yet.
    virtual bool onTitle() const { return false; }
    // The game's score, which the shell compares with its best after every frame and zeroes after a
    // submission; null for a world that keeps none.
    virtual GuardedCounter* scoreCounter() { return nullptr; }
    // The shell registered the score: it starts again from 0.
    virtual void clearScore() {
        if (GuardedCounter* score = scoreCounter()) score->set(0);
    }
    // The player could not play for ms (paused, a menu or a dialog open): the period clock leaves it out.
    virtual void holdClock(uint32_t ms) { (void)ms; }
};

} // namespace tundrix
