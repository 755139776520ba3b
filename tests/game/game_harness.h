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
#include <initializer_list>
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
    bool playing(const Sound& s) { return audio.isPlaying(s.buffer); }

    // Steps the driver; every frame presented and what the sound device does after each step go into
    // the running digests.
    void step(int n = 1) {
        for (int i = 0; i < n; ++i) {
            const int before = video.presents;
            driver.step();
            if (video.presents > before) fold(pictures, video.frame.data(), video.frame.size());
            const int heard[] = {static_cast<int>(audio.started.size()), audio.playingCount(),
                                 audio.simplePlays};
            fold(sounds, heard, sizeof heard);
        }
    }
    // Steps holding exactly the given keys.
    void hold(std::initializer_list<Key> held, int n) {
        keys.releaseAll();
        for (Key k : held)
            keys.press(k);
        step(n);
    }
    // Steps until pred holds; false if it did not within limit steps.
    bool stepUntil(const std::function<bool()>& pred, int limit) {
        for (int i = 0; i < limit && !pred(); ++i)
            step();
        return pred();
    }
    // From the title into play of period 1: Space to start, the intro's ten frames, Space again.
    void startPlay() {
        keys.press(Key::Space);
        stepUntil([&] { return !world().onTitle(); }, 200);
        keys.release(Key::Space);
        step(12);
        keys.tap(Key::Space);
        stepUntil([&] { return !world().inMatchIntro(); }, 5);
        step(); // a frame with Space up, so the next press is a new one
    }
    // Saves the last presented picture under the test's shot folder.
    void shoot(const std::string& name) {
        std::filesystem::create_directories(TUNDRIX_SHOT_DIR);
        video.writePng(std::string(TUNDRIX_SHOT_DIR) + "/" + name + ".png");
    }
    // The digest of the last presented picture.
    uint64_t picture() const {
        uint64_t d = FNV_START;
        fold(d, video.frame.data(), video.frame.size());
        return d;
    }

    headless::FakeClock clock{100000};
    headless::ScriptedKeys keys;
    KeyboardInput keyboard;
    EmbeddedResources resources;
    headless::FakeAudio audio;
    headless::RecordingVideo video;
    GameServices services;
    int worldsBuilt = 0;
    // FNV-1a over every presented picture, and over the sound device's state after every step.
    static constexpr uint64_t FNV_START = 14695981039346656037u;
    uint64_t pictures = FNV_START, sounds = FNV_START;

  private:
    static void fold(uint64_t& d, const void* bytes, size_t n) {
        for (size_t i = 0; i < n; ++i)
            d = (d ^ static_cast<const uint8_t*>(bytes)[i]) * 1099511628211u;
    }
    GameWorld* world_ = nullptr;

  public:
    FrameDriver driver;
};

} // namespace tundrix::test
