// The play time added to the stored total as it is played: once a minute and at quit, each time the
// time since the last addition, so two copies running at once and a killed run lose nothing but the last
// minute (no Win32 here).
#pragma once
#include "platform/clock.h"

#include <cstdint>
#include <functional>

namespace tundrix {

class PlayTimeKeeper {
  public:
    static constexpr uint32_t EVERY_MS = 60000;
    // add stores ms more than the total as it stands; false when it could not.
    PlayTimeKeeper(Clock& clock, std::function<bool(uint32_t ms)> add);

    // Adds the time since the last addition once a minute has gone by; the loop calls it every pass.
    void tick();
    // Adds the time since the last addition now (at quit, or when the session ends). A failed addition is
    // kept for the next one.
    bool addNow();

  private:
    Clock& clock_;
    std::function<bool(uint32_t)> add_;
    uint32_t since_;
};

} // namespace tundrix
