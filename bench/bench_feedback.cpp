// What the feedback layer costs a frame: a minute of play with no layer, the layer off and the layer on,
// and the layer's drawing alone on its busiest frame (a whole side of the rink flashing, a cut line, the
// card, the banner and the shake), and the layer's one-off look-up of its colours.
#include "feedback/feedback_world.h"
#include "platform/headless/fake_audio.h"
#include "platform/headless/fake_clock.h"
#include "platform/headless/recording_video.h"
#include "platform/headless/scripted_keys.h"
#include "resources/embedded_resources.h"

#include <benchmark/benchmark.h>

namespace tundrix {
namespace {

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

enum class Layer { None, Off, On };

// A world taken from the title into play of period 4, as the driver would run it.
struct Play : FakeServices {
    explicit Play(Layer layer) {
        auto built = std::make_unique<GameWorld>(services, angles);
        game = built.get();
        if (layer == Layer::None) {
            world = std::move(built);
        } else {
            auto layered = std::make_unique<FeedbackWorld>(std::move(built), resources, [] { return 12345; });
            layered->setShown(layer == Layer::On);
            top = layered.get();
            world = std::move(layered);
        }
        keys.press(Key::Space);
        while (game->onTitle())
            world->update();
        keys.releaseAll();
        game->periodNumber().set(4);
        game->setUpPeriod();
        for (int i = 0; i < 12; ++i)
            world->update();
        keys.tap(Key::Enter);
        world->update();
    }
    std::unique_ptr<World> world;
    GameWorld* game = nullptr;
    FeedbackWorld* top = nullptr;
};

void minuteOfPlay(benchmark::State& state, Layer layer) {
    for (auto _ : state) {
        state.PauseTiming();
        Play p(layer);
        Random rng;
        rng.seed(77);
        state.ResumeTiming();
        const Key arrows[4] = {Key::Right, Key::Down, Key::Left, Key::Up};
        for (int f = 0; f < 1500; ++f) {
            if (f % 12 == 0) {
                p.keys.releaseAll();
                p.keys.press(arrows[rng.next() % 4]);
                if (rng.next() % 2) p.keys.press(Key::Space);
            }
            p.clock.advance(40);
            p.world->update();
            p.world->draw();
        }
        benchmark::DoNotOptimize(p.game->score().get());
    }
    state.counters["frame_us"] =
        benchmark::Counter(1500.0 * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_MinuteOfPlayNoLayer(benchmark::State& state) {
    minuteOfPlay(state, Layer::None);
}
void BM_MinuteOfPlayLayerOff(benchmark::State& state) {
    minuteOfPlay(state, Layer::Off);
}
void BM_MinuteOfPlayLayerOn(benchmark::State& state) {
    minuteOfPlay(state, Layer::On);
}
BENCHMARK(BM_MinuteOfPlayNoLayer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MinuteOfPlayLayerOff)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MinuteOfPlayLayerOn)->Unit(benchmark::kMillisecond);

void BM_LayerDrawBusiestFrame(benchmark::State& state) {
    Play p(Layer::On);
    p.world->draw();
    LayerArt art(p.resources);
    Shades shades;
    shades.build(p.game->screen().palette());
    const LayerPainter painter(art, shades);
    Effects busy;
    Effects::Flash flash;
    for (int32_t y = EDGE_TOP + 1; y < EDGE_BOTTOM; ++y)
        flash.cells.push_back({y, 100, EDGE_RIGHT - 1});
    busy.flashes.push_back(flash);
    Effects::CutLine cut;
    for (int32_t y = EDGE_TOP + 1; y < EDGE_BOTTOM; ++y)
        cut.line.push_back({60.0f, static_cast<float>(y)});
    busy.cuts.push_back(cut);
    busy.cardPeriod = 4;
    busy.card = 10;
    busy.won = PeriodWonMoment{4, 85, 1234};
    busy.banner = 10;
    busy.shake = 2;
    for (int i = 0; i < 4; ++i)
        busy.floaters.push_back({100 + 50 * i, 200, 25});
    const Image& display = *p.game->rink().pictures().display;
    for (auto _ : state) {
        p.game->compose();
        painter.paint(p.game->screen(), display, p.game->rink(), busy, {4, 12345}, true);
        benchmark::DoNotOptimize(p.game->screen().pixels()[0]);
    }
}
BENCHMARK(BM_LayerDrawBusiestFrame)->Unit(benchmark::kMicrosecond);

// Once per world, on its first frame of play: the flash's colours found in the palette.
void BM_ShadesBuild(benchmark::State& state) {
    Play p(Layer::None);
    p.world->draw();
    for (auto _ : state) {
        Shades shades;
        shades.build(p.game->screen().palette());
        benchmark::DoNotOptimize(shades.lineCore);
    }
}
BENCHMARK(BM_ShadesBuild)->Unit(benchmark::kMicrosecond);

void BM_ComposeOnly(benchmark::State& state) {
    Play p(Layer::None);
    for (auto _ : state) {
        p.game->compose();
        benchmark::DoNotOptimize(p.game->screen().pixels()[0]);
    }
}
BENCHMARK(BM_ComposeOnly)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tundrix
