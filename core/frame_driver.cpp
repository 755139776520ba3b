// The fixed-rate frame schedule: update every frame, draw only the frames that start on time.
#include "core/frame_driver.h"

namespace tundrix {

FrameDriver::FrameDriver(Clock& clock, WorldFactory makeWorld)
    : clock_(clock), makeWorld_(std::move(makeWorld)) {
    // Busy from the start: a step called while the first world is built is ignored.
    buildWorld();
    baseTime_ = clock_.nowMs();
    lastTime_ = baseTime_;
    busy_ = false;
}

FrameDriver::~FrameDriver() = default;

void FrameDriver::buildWorld() {
    world_.reset();
    if (makeWorld_) world_ = makeWorld_(angleTables_);
}

void FrameDriver::step() {
    // Only possible if something pumps messages inside a step; running a frame inside a frame would
    // corrupt the world, so the call is dropped.
    if (busy_) return;
    busy_ = true;

    uint32_t now = clock_.nowMs();
    lastTime_ = now;
    uint32_t due = FRAME_MS * frameCount_;
    uint32_t elapsed = now - baseTime_;
    if (due > elapsed) clock_.sleepMs(due - elapsed);

    if (restartRequested) {
        buildWorld();
        baseTime_ = clock_.nowMs();
        lastTime_ = baseTime_;
        frameCount_ = 0;
        restartRequested = false;
        gameOverReached = false;
    }

    if (world_) {
        world_->update();
        if (FRAME_MS * frameCount_ > lastTime_ - baseTime_) world_->draw();
        if (world_->countdown() == 0 && world_->gameOver()) gameOverReached = true;
    }

    busy_ = false;
    ++frameCount_;
}

void FrameDriver::resync() {
    baseTime_ = clock_.nowMs() - FRAME_MS * frameCount_;
}

} // namespace tundrix
