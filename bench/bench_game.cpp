// Speed of whole game frames: update + draw at period 1 and 16, a minute of play, building a world.
#include "game/game_world.h"
#include "platform/headless/fake_audio.h"
#include "platform/headless/fake_clock.h"
#include "platform/headless/recording_video.h"
#include "platform/headless/scripted_keys.h"
#include "resources/embedded_resources.h"

#include <benchmark/benchmark.h>

namespace tundrix {
namespace {

// Everything a world needs, on fake outputs.
struct FakeServices {
    headless::FakeClock clock{5000};
    headless::ScriptedKeys keys;
    KeyboardInput keyboard{keys};
    EmbeddedResources resources;
    headless::FakeAudio audio;
    headless::RecordingVideo video;
    GameServices services{clock, keyboard, resources, audio, video};
    AngleTables angles;
};

// A world taken from the title straight into play of the given period.
struct Bench : FakeServices {
    explicit Bench(int period = 1) {
        world = std::make_unique<GameWorld>(services, angles);
        keys.press(Key::Space);
        while (world->onTitle())
            world->update();
        keys.releaseAll();
        world->periodNumber().set(period);
        world->setUpPeriod();
        for (int i = 0; i < 12; ++i)
            world->update();
        keys.tap(Key::Enter);
        world->update();
    }
    std::unique_ptr<GameWorld> world;
};

void frameAt(benchmark::State& state, int period) {
    Bench b(period);
    for (auto _ : state) {
        b.clock.advance(40);
        b.world->update();
        b.world->draw();
        // Keep the period going: a won period or a time-up would change what is measured.
        if (b.world->timeUp() || b.world->periodWon() || b.world->gameOver()) {
            state.PauseTiming();
            b.world->chances().set(3);
            b.world->setUpPeriod();
            state.ResumeTiming();
        }
    }
    state.counters["actors"] = b.world->actors().count();
}

void BM_FramePeriod1(benchmark::State& state) {
    frameAt(state, 1);
}
void BM_FramePeriod16(benchmark::State& state) {
    frameAt(state, 16);
}
BENCHMARK(BM_FramePeriod1);
BENCHMARK(BM_FramePeriod16);

// A minute of play with keys that change at random is measured in bench_feedback, with and without the
// layer over the world.

void BM_BuildWorld(benchmark::State& state) {
    FakeServices f;
    for (auto _ : state) {
        GameWorld world(f.services, f.angles);
        benchmark::DoNotOptimize(&world);
    }
}
BENCHMARK(BM_BuildWorld)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tundrix
