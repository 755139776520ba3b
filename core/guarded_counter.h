// An integer that notices being changed from outside the program.
#pragma once
#include <cstdint>

namespace tundrix {

// Raised when any guarded counter finds its value altered; cleared only when a new game is built.
extern bool tamperFlag;

class GuardedCounter {
  public:
    GuardedCounter();
    virtual ~GuardedCounter() = default;

    void set(int32_t value);
    int32_t get() const;
    void add(int32_t delta);

    // Where the value itself sits, as a memory editor would find it. Writing through it behind the
    // counter's back is exactly what the check copy catches.
    volatile int32_t& storage() { return value_; }

  private:
    uint32_t disguise(int32_t value) const;
    void verify() const;

    volatile int32_t value_ = 0;
    uint32_t salt_;
    uint32_t check_ = 0;
};

} // namespace tundrix
