// A whole game driven like the real program: the frame driver, a fake clock, scripted keys, the
// embedded art and sounds, and outputs that record what was shown and played.
#pragma once
#include "core/frame_driver.h"
#include "game/game_world.h"
#include "platform/headless/fake_audio.h"
#include "platform/headless/fake_clock.h"
#include "platform/headless/recording_video.h"
#include "platform/headless/scripted_keys.h"
#include "resources/embedded_resources.h"

#include <filesystem>
#include <functional>
#include <string>

namespace tundrix::test {

class GameHarness {
  public:
    GameHarness()
        : keyboard(keys), services{clock, keyboard, resources, audio, video},
          driver(clock, [this](const AngleTables& a) {
              ++worldsBuilt;
              auto built = std::make_unique<GameWorld>(services, a);
              world_ = built.get();
              return built;
          }) {}

    // The world the driver runs now: the last one built.
    GameWorld& world() { return *world_; }

    void step(int n = 1) {
        for (int i = 0; i < n; ++i)
            driver.step();
    }
    // Steps until pred holds; false if it did not within limit steps.
    bool stepUntil(const std::function<bool()>& pred, int limit) {
        for (int i = 0; i < limit; ++i) {
            if (pred()) return true;
            driver.step();
        }
        return pred();
    }
    // Steps until a frame has been drawn, then saves the picture under the test's shot folder.
    void shoot(const std::string& name) {
        int before = video.presents;
        stepUntil([&] { return video.presents > before; }, 100);
        std::filesystem::create_directories(TUNDRIX_SHOT_DIR);
        video.writePng(std::string(TUNDRIX_SHOT_DIR) + "/" + name + ".png");
    }

    headless::FakeClock clock{100000};
    headless::ScriptedKeys keys;
    KeyboardInput keyboard;
    EmbeddedResources resources;
    headless::FakeAudio audio;
    headless::RecordingVideo video;
    GameServices services;
    int worldsBuilt = 0;

  private:
    GameWorld* world_ = nullptr;

  public:
    FrameDriver driver;
};

} // namespace tundrix::test
