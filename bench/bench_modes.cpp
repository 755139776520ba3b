// How often the scripted player wins each period in each way in: N seeded whole games per mode.
#include "bots/headless_game.h"
#include "bots/new_player.h"

#include <cstdio>
#include <cstdlib>
#include <map>

namespace tundrix {
namespace {

constexpr int SHOWN_PERIODS = 6;

struct Tally {
    int games = 0;
    int reached[SHOWN_PERIODS + 1] = {};
    int won[SHOWN_PERIODS + 1] = {};
    long frames = 0;
    long score = 0;
};

Tally playMode(PlayMode mode, int games) {
    Tally t;
    for (int seed = 0; seed < games; ++seed) {
        HeadlessGame g(1000u + static_cast<uint32_t>(seed) * 7919u, {}, {}, mode);
        bool wonThis = false;
        int32_t period = 0;
        g.eachFrame = [&](GameWorld& w) {
            if (w.onTitle()) return;
            const int32_t p = w.periodNumber().get();
            if (p != period) {
                period = p;
                wonThis = false;
                if (p <= SHOWN_PERIODS) ++t.reached[p];
            }
            if (w.periodWon() && !wonThis) {
                wonThis = true;
                if (p <= SHOWN_PERIODS) ++t.won[p];
            }
        };
        const uint32_t start = g.driver.frameCount();
        playLikeANewPlayer(g, static_cast<uint32_t>(seed));
        t.frames += g.driver.frameCount() - start;
        t.score += g.world().score().get();
        ++t.games;
    }
    return t;
}

void print(const char* name, const Tally& t) {
    std::printf("%-9s %5d %8.0f s %7.0f", name, t.games, t.frames / 25.0 / t.games,
                static_cast<double>(t.score) / t.games);
    for (int p = 1; p <= SHOWN_PERIODS; ++p)
        std::printf("  %3d %% (%d/%d)", t.reached[p] ? 100 * t.won[p] / t.games : 0, t.won[p], t.reached[p]);
    std::printf("\n");
}

} // namespace
} // namespace tundrix

int main(int argc, char** argv) {
    using namespace tundrix;
    const int games = argc > 1 ? std::atoi(argv[1]) : 100;
    std::printf("mode      games   length   score  period won: of all games (won/reached)\n");
    print("Original", playMode(PlayMode::Original, games));
    print("Easier", playMode(PlayMode::Easier, games));
    return 0;
}
