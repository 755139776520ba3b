// Adds the run's time to the stored play time in slices, each to the total as it is stored then.
#include "shell/play_time_tally.h"

namespace tundrix {

PlayTimeTally::PlayTimeTally(Clock& clock, uint32_t storedTotal, AddToStore add)
    : clock_(clock), stored_(storedTotal), since_(clock.nowMs()), add_(std::move(add)) {}

uint32_t PlayTimeTally::total() const {
    return stored_ + (clock_.nowMs() - since_);
}

void PlayTimeTally::addIfDue() {
    if (clock_.nowMs() - since_ >= ADD_EVERY_MS) addNow();
}

void PlayTimeTally::addNow() {
    const uint32_t now = clock_.nowMs();
    if (!add_) return;
    if (const std::optional<uint32_t> written = add_(now - since_)) {
        stored_ = *written;
        since_ = now;
    }
}

} // namespace tundrix
