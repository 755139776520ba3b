// What a replay costs: its bytes per minute of play, and the time to verify one by playing it again.
#include "bots/headless_game.h"
#include "replay/replay_codec.h"
#include "replay/replay_movie.h"
#include "replay/replay_player.h"

#include <cstdio>
#include <cstdlib>

#include <benchmark/benchmark.h>

namespace tundrix {
namespace {

// Scripted games, each recorded and written to its file once.
struct Games {
    Games() {
        for (uint32_t seed = 0; seed < 4; ++seed) {
            HeadlessGame g(5000 + seed, {10, 1, 2});
            playScriptedGame(g, seed);
            files.push_back(encodeReplay(g.replay()));
            updates += g.replay().updates();
        }
    }
    std::vector<std::vector<uint8_t>> files;
    uint32_t updates = 0;
};
const Games& games() {
    static const Games g;
    return g;
}

// Reads and plays every game again without drawing, as the channel does to verify a score: the time per
// iteration covers play_minutes of play.
void verify(benchmark::State& state) {
    const Games& g = games();
    EmbeddedResources resources;
    size_t bytes = 0;
    for (const auto& f : g.files)
        bytes += f.size();
    for (auto _ : state) {
        for (const auto& f : g.files) {
            std::string why;
            const auto replay = decodeReplay(f, why);
            benchmark::DoNotOptimize(verifyReplay(*replay, resources).score);
        }
    }
    const double minutes = g.updates / (25.0 * 60.0);
    state.counters["play_minutes"] = minutes;
    state.counters["bytes_per_minute"] = bytes / minutes;
}
BENCHMARK(verify)->Unit(benchmark::kMillisecond);

// Draws three minutes of a game and writes them as the animated picture the leaderboard links; with
// TUNDRIX_MOVIE=file.gif set, the picture is also saved there to look at.
void render(benchmark::State& state) {
    constexpr uint32_t THREE_MINUTES = 3 * 60 * 25;
    // The scripted player's longest game of a few, shown for three minutes (its game-over picture after
    // the end, if it ends sooner).
    std::unique_ptr<HeadlessGame> longest;
    for (uint32_t seed = 0; seed < 8; ++seed) {
        auto g = std::make_unique<HeadlessGame>(5000 + seed, ReplayBuild{10, 1, 2});
        playScriptedGame(*g, seed, THREE_MINUTES);
        if (!longest || g->replay().updates() > longest->replay().updates()) longest = std::move(g);
    }
    while (longest->replay().updates() < THREE_MINUTES)
        longest->step();
    Movie movie;
    for (auto _ : state)
        movie = renderMovie(longest->replay(), longest->resources, {THREE_MINUTES});
    state.counters["frames"] = movie.frames;
    state.counters["gif_bytes"] = static_cast<double>(movie.gif.size());
    if (const char* path = std::getenv("TUNDRIX_MOVIE")) {
        if (std::FILE* f = std::fopen(path, "wb")) {
            std::fwrite(movie.gif.data(), 1, movie.gif.size(), f);
            std::fclose(f);
        }
    }
}
BENCHMARK(render)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace tundrix
