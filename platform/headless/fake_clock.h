// A clock for tests: time moves only when the test or a sleep moves it.
#pragma once
#include "platform/clock.h"

#include <vector>

namespace tundrix::headless {

class FakeClock : public Clock {
  public:
    explicit FakeClock(uint32_t start = 1000) : now_(start) {}
    uint32_t nowMs() override { return now_; }
    void sleepMs(uint32_t ms) override {
        sleeps.push_back(ms);
        now_ += ms;
    }
    void advance(uint32_t ms) { now_ += ms; }
    void set(uint32_t ms) { now_ = ms; }

    std::vector<uint32_t> sleeps;

  private:
    uint32_t now_;
};

} // namespace tundrix::headless
