// Plays a recorded game again through the game's own world, on the headless machine, step by step.
#pragma once
#include "core/angle_tables.h"
#include "game/game_world.h"
#include "platform/audio.h"
#include "platform/resource_store.h"
#include "platform/video.h"
#include "replay/replay.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tundrix {

class ReplayPlayer {
  public:
    // The replay, the resources and the outputs must outlive the player.
    ReplayPlayer(const Replay& replay, const ResourceStore& resources, AudioOut& audio, VideoOut& video);
    ~ReplayPlayer();
    ReplayPlayer(const ReplayPlayer&) = delete;
    ReplayPlayer& operator=(const ReplayPlayer&) = delete;

    // Takes the next step; its drawing only when draw is set. False once there is none, or once the game
    // read the clock or the keys otherwise than the recording says (problem() says how).
    bool next(bool draw);
    bool finished() const;
    // The world built by the first step; null before it.
    GameWorld* world() const { return world_.get(); }
    const std::string& problem() const { return problem_; }
    uint32_t updates() const { return updates_; }

  private:
    class Feed;
    const Replay& replay_;
    const ResourceStore& resources_;
    AudioOut& audio_;
    VideoOut& video_;
    AngleTables angles_;
    std::unique_ptr<Feed> feed_;
    std::unique_ptr<KeyboardInput> keyboard_;
    std::unique_ptr<GameServices> services_;
    std::unique_ptr<GameWorld> world_;
    size_t entry_ = 0;
    uint32_t updates_ = 0;
    std::string problem_;
};

// What playing a replay to its end showed.
struct ReplayVerdict {
    bool consistent = false; // the game took exactly the readings and keys recorded, to the last step
    // The way in it was played in: only an Original game may be ranked among Original ones.
    PlayMode mode = PlayMode::Original;
    std::string problem; // why not
    int32_t score = 0;
    bool tampered = false; // a guarded counter noticed a change from outside
    bool gameOver = false;
    int32_t periodsPlayed = 0;
    uint32_t updates = 0;
    uint32_t elapsedMs = 0; // from the first clock reading to the last
};

// Plays the whole replay without drawing; eachUpdate (if given) sees the world after every update.
ReplayVerdict verifyReplay(const Replay& replay, const ResourceStore& resources,
                           const std::function<void(GameWorld&)>& eachUpdate = {});

} // namespace tundrix
