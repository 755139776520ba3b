// Records every game as it plays: the clock readings and key answers its world takes, step by step.
#pragma once
#include "core/world.h"
#include "game/game_services.h"
#include "platform/clock.h"
#include "platform/keys.h"
#include "replay/replay.h"

#include <functional>
#include <memory>

namespace tundrix {

// One game's recording, growing while its world lives and kept as long as anyone holds it.
class ReplayLog {
  public:
    explicit ReplayLog(ReplayBuild build) { replay_.build = build; }
    void begin(ReplayStep step, uint32_t argument = 0) { replay_.entries.push_back({step, argument, 0, 0}); }
    void reading(uint32_t ms);
    void key(bool down);
    void start(const KeyboardState& keyboard, int32_t titleBlink, PlayMode mode = PlayMode::Original);
    const Replay& replay() const { return replay_; }

  private:
    Replay replay_;
};

class GameRecorder {
  public:
    GameRecorder(Clock& clock, KeySource& keys, ReplayBuild build);
    ~GameRecorder();
    GameRecorder(const GameRecorder&) = delete;
    GameRecorder& operator=(const GameRecorder&) = delete;

    // The clock and keys the worlds' services take: they pass everything through and record it.
    Clock& clock();
    KeySource& keys();

    // Builds a world with build() and records it from that moment, starting a new log (the previous world's
    // log stays with whoever holds it). services are the ones build() hands the world.
    std::unique_ptr<World> record(GameServices& services,
                                  const std::function<std::unique_ptr<World>()>& build);
    // The log of the world built last; null before the first.
    std::shared_ptr<const ReplayLog> current() const { return current_; }

  private:
    class Pass;
    std::unique_ptr<Pass> clock_;
    std::unique_ptr<Pass> keys_;
    ReplayBuild build_;
    std::shared_ptr<ReplayLog> current_;
};

} // namespace tundrix
