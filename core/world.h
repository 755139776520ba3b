// What the frame driver needs of a game in progress (no SDL here).
#pragma once

namespace tundrix {

class World {
  public:
    virtual ~World() = default;
    virtual void update() = 0;
    // Composes the frame and presents it.
    virtual void draw() = 0;
    virtual bool gameOver() const = 0;
    virtual int countdown() const = 0;
};

} // namespace tundrix
