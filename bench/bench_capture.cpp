// Speed of the worst captures and of one frame of play with a full rink of figures.
#include "actors/opponent.h"
#include "actors/player.h"
#include "platform/headless/scripted_keys.h"
#include "rink/area_capture.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace tundrix {
namespace {

class SilentSound : public SoundEffect {
  public:
    void play() override {}
    void start() override {}
    void stop() override {}
    void setPan(int) override {}
    void setLoop(bool) override {}
};

class RefereeAt : public CaptureFigures {
  public:
    RefereeAt(Rink& rink, int x, int y) : rink_(rink), x_(x), y_(y) {}
    uint8_t resampleReferee() override { return rink_.cellAt(x_, y_); }
    void resampleAll() override {}

  private:
    Rink& rink_;
    int x_, y_;
};

// A column from the top edge to the bottom edge through the middle: both floods cover half of the
// ice each, and the claim scans the whole grid twice.
void BM_CaptureSplittingTheIceInHalf(benchmark::State& state) {
    Rink rink;
    Image display(440, 300), plain(440, 300), claimed(440, 300);
    rink.attachPictures(display, plain, claimed);
    GuardedCounter claimedCells, score;
    SilentSound sound;
    AreaCapture capture(rink, claimedCells, score, sound);
    RefereeAt referee(rink, 100, 161);
    for (auto _ : state) {
        state.PauseTiming();
        rink.reset();
        for (int y = 53; y <= 269; ++y)
            rink.markLine(219, y);
        state.ResumeTiming();
        benchmark::DoNotOptimize(capture.capture(219 + 440 * 269, HEADING_DOWN, referee));
    }
}
BENCHMARK(BM_CaptureSplittingTheIceInHalf)->Unit(benchmark::kMicrosecond);

// The longest single flood: the whole ice in one side.
void BM_FloodWholeIce(benchmark::State& state) {
    Rink rink;
    GuardedCounter claimedCells, score;
    SilentSound sound;
    AreaCapture capture(rink, claimedCells, score, sound);
    for (auto _ : state) {
        state.PauseTiming();
        rink.reset();
        state.ResumeTiming();
        capture.floodSide(34 + 440 * 53, CellSideA);
    }
}
BENCHMARK(BM_FloodWholeIce)->Unit(benchmark::kMicrosecond);

// One frame of play: the player's update and check, then 16 opponents and the referee.
void BM_PlayFrameWith16Opponents(benchmark::State& state) {
    headless::ScriptedKeys keys;
    KeyboardInput keyboard(keys);
    Rink rink;
    ObjectList actors;
    Random random;
    random.seed(2024);
    AngleTables angles;
    GuardedCounter score, claimedCells;
    SilentSound sound;
    SpriteSheet playerSheet, opponentSheet;
    for (int i = 0; i < 4; ++i)
        playerSheet.add(std::make_unique<Image>(32, 32));
    for (int i = 0; i < 24; ++i)
        opponentSheet.add(std::make_unique<Image>(i < 4 ? 20 : 32, i < 4 ? 20 : 32));
    PlayContext ctx{rink, actors, random, angles, keyboard, score, claimedCells, sound, sound, sound};
    {
        Player player(ctx, playerSheet);
        player.resetToRaidStart();
        actors.insertAt(new Opponent(ctx, opponentSheet, KIND_REFEREE), 0);
        for (int i = 0; i < 16; ++i)
            actors.insertAt(new Opponent(ctx, opponentSheet, 5), 0);
        keys.press(Key::Down); // the player skates the edge, so nothing ends the frame early
        for (auto _ : state) {
            player.update();
            updateAll(actors);
            player.check();
            checkAll(actors);
        }
        actors.clear();
    }
}
BENCHMARK(BM_PlayFrameWith16Opponents)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tundrix
