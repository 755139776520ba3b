// This run's play time, added to the stored total once a minute and at quit (no SDL here).
#pragma once
#include "platform/clock.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace tundrix {

// Each addition goes to the total as it stands in the store at that moment, so two copies of the game
// running at once both count, and a run that is killed loses at most the minute since its last addition.
class PlayTimeTally {
  public:
    // Adds ms to the stored total and returns the total now stored; nothing when it could not be written.
    using AddToStore = std::function<std::optional<uint32_t>(uint32_t ms)>;
    static constexpr uint32_t ADD_EVERY_MS = 60000;

    // storedTotal is the total read at the start of the run; this run counts from now.
    PlayTimeTally(Clock& clock, uint32_t storedTotal, AddToStore add);

    // The stored total as last read or written, plus this run's time not yet added (modulo 2^32).
    uint32_t total() const;
    // Adds the time not yet added once a minute has passed since the last addition.
    void addIfDue();
    // Adds the time not yet added (the quit routine). Time that could not be written stays to be added.
    void addNow();

  private:
    Clock& clock_;
    uint32_t stored_;
    uint32_t since_;
    AddToStore add_;
};

} // namespace tundrix
