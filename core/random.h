// The game's one random sequence: a 32-bit linear congruential generator.
#pragma once
#include <cstdint>

namespace tundrix {

class Random {
  public:
    void seed(uint32_t value) { state_ = value; }
    // Next value from 0 to 32767: bits 16..30 of the advanced state.
    int next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }
    // Where the sequence stands, for comparing two runs.
    uint32_t state() const { return state_; }

  private:
    uint32_t state_ = 1;
};

} // namespace tundrix
