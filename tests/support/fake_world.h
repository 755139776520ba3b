// A world for the frame driver and the shell: it counts what it is asked, and its score, game-over state and
// countdown are the test's to set.
#pragma once
#include "core/world.h"

#include <functional>

namespace tundrix::test {

class FakeWorld : public World {
  public:
    explicit FakeWorld(int* destroyed = nullptr) : destroyed_(destroyed) {}
    ~FakeWorld() override {
        if (destroyed_) ++*destroyed_;
    }
    void update() override {
        ++updates;
        if (onUpdate) onUpdate(*this);
    }
    void draw() override { ++draws; }
    bool gameOver() const override { return over; }
    int countdown() const override { return count; }
    GuardedCounter* scoreCounter() override { return &score; }

    GuardedCounter score;
    bool over = false;
    int count = 1;
    int updates = 0, draws = 0;
    std::function<void(FakeWorld&)> onUpdate;

  private:
    int* destroyed_;
};

} // namespace tundrix::test
