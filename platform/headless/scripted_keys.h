// Keys for tests: held keys plus taps that count once, like the real latch of key-down events.
#pragma once
#include "platform/keys.h"

#include <array>
#include <cstddef>

namespace tundrix::headless {

class ScriptedKeys : public KeySource {
  public:
    void press(Key k) { held_[idx(k)] = true, latched_[idx(k)] = true; }
    void release(Key k) { held_[idx(k)] = false; }
    // Down and up again before the next query.
    void tap(Key k) { latched_[idx(k)] = true; }
    void releaseAll() { held_.fill(false); }
    bool keyDown(Key k) override {
        bool down = held_[idx(k)] || latched_[idx(k)];
        latched_[idx(k)] = false;
        return down;
    }

  private:
    static size_t idx(Key k) { return static_cast<size_t>(k); }
    std::array<bool, 7> held_{};
    std::array<bool, 7> latched_{};
};

} // namespace tundrix::headless
