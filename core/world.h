// What the frame driver needs of a game in progress (no SDL here).
#pragma once
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
    // The player could not play for ms (paused, a menu or a dialog open): the period clock leaves it out.
    virtual void holdClock(uint32_t ms) { (void)ms; }
};

} // namespace tundrix
