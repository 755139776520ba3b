// A whole game run the way the program runs it, on the headless machine: the frame driver, a recorded
// world, a clock that moves only when frames sleep or the caller moves it, and scripted keys.
#pragma once
#include "core/frame_driver.h"
#include "game/game_world.h"
#include "platform/headless/fake_clock.h"
#include "platform/headless/recording_video.h"
#include "platform/headless/scripted_keys.h"
#include "platform/headless/silent_audio.h"
#include "replay/game_recorder.h"
#include "resources/embedded_resources.h"

#include <functional>

namespace tundrix {

class HeadlessGame {
  public:
    // What the driver runs: the game world as built, or wrapped in what the caller adds on top.
    using Wrap = std::function<std::unique_ptr<World>(std::unique_ptr<GameWorld>)>;

    explicit HeadlessGame(uint32_t startMs = 7777, ReplayBuild build = {}, Wrap wrap = {},
                          PlayMode mode = PlayMode::Original);

    // The world the driver runs now: the last one built.
    GameWorld& world() { return *world_; }
    // Runs n frames; eachFrame (if set) sees the world after every one.
    void step(int n = 1);
    // The player could not play for ms (paused, a dialog): what the shell does, on the fake clock.
    void hold(uint32_t ms);
    const Replay& replay() const { return recorder.current()->replay(); }

    std::function<void(GameWorld&)> eachFrame;
    Wrap wrap;
    headless::FakeClock clock;
    headless::ScriptedKeys keys;
    GameRecorder recorder;
    KeyboardInput keyboard;
    EmbeddedResources resources;
    headless::SilentAudio audio;
    headless::RecordingVideo video;
    GameServices services;

  private:
    GameWorld* world_ = nullptr;

  public:
    FrameDriver driver;
};

// From a new game's title to its first match intro: waits until the title takes keys, then Space.
void leaveTitle(HeadlessGame& game);

// Plays one whole game from the title to game over with small raids from the left edge (out, up or down,
// back); varied by seed, with stalls and pauses now and then. Stops after maxFrames at the latest.
void playScriptedGame(HeadlessGame& game, uint32_t seed = 0, int maxFrames = 30000);

} // namespace tundrix
