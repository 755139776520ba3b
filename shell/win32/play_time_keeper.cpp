// The time since the last addition, on the wrapping millisecond clock.
#include "shell/win32/play_time_keeper.h"

namespace tundrix {

PlayTimeKeeper::PlayTimeKeeper(Clock& clock, std::function<bool(uint32_t)> add)
    : clock_(clock), add_(std::move(add)), since_(clock.nowMs()) {}

void PlayTimeKeeper::tick() {
    if (clock_.nowMs() - since_ >= EVERY_MS) addNow();
}

bool PlayTimeKeeper::addNow() {
    const uint32_t now = clock_.nowMs();
    const uint32_t played = now - since_;
    if (played == 0) return true;
    if (!add_ || !add_(played)) return false;
    since_ = now;
    return true;
}

} // namespace tundrix
