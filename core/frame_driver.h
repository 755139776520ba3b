// Paces the game at 25 frames a second on an absolute schedule and owns the world.
#pragma once
#include "core/angle_tables.h"
#include "core/world.h"
#include "platform/clock.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace tundrix {

constexpr uint32_t FRAME_MS = 40;

class FrameDriver {
  public:
    // Builds a fresh game at its title screen; may return null when it cannot (the driver then idles
    // until the next restart request tries again).
    using WorldFactory = std::function<std::unique_ptr<World>(const AngleTables&)>;

    FrameDriver(Clock& clock, WorldFactory makeWorld);
    virtual ~FrameDriver();
    FrameDriver(const FrameDriver&) = delete;
    FrameDriver& operator=(const FrameDriver&) = delete;

    // One frame: wait until it is due, restart if asked, update, draw only if on time.
    void step();
    // Makes the frame about to run due at once, so time spent in a modal dialog is not made up.
    void resync();

    World* world() const { return world_.get(); }
    uint32_t baseTime() const { return baseTime_; }
    // True while a step runs; a step called meanwhile (something pumped messages inside it) is ignored.
    bool busy() const { return busy_; }
    // Frames stepped since the world was last built.
    uint32_t frameCount() const { return frameCount_; }

    // Requests between the game and the shell: raised by one side, cleared by the other.
    bool restartRequested = false;
    bool gameOverReached = false;
    bool registerQuestionRequested = false;
    bool registerDialogRequested = false;
    bool infoDialogRequested = false;

  private:
    void buildWorld();

    AngleTables angleTables_; // first member: the tables exist before the first world
    Clock& clock_;
    WorldFactory makeWorld_;
    std::unique_ptr<World> world_;
    uint32_t baseTime_ = 0;
    uint32_t frameCount_ = 0;
    uint32_t lastTime_ = 0;
    bool busy_ = true;
};

} // namespace tundrix
