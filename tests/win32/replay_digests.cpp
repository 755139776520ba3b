// A game recorded and played again by either build, for the check that replays cross builds. `record FILE
// SEED` plays a scripted whole game on the headless machine, writes its replay and prints each frame's world
// digest; `verify FILE` plays a replay file again through the game's own world and prints the same digests
// and then the verdict. Usage: tundrix_replay_digests record FILE SEED | verify FILE
#include "bots/headless_game.h"
#include "game/world_digest.h"
#include "replay/replay_codec.h"
#include "replay/replay_player.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace tundrix;

namespace {

void printDigest(uint32_t frame, GameWorld& world) {
    std::printf("%" PRIu32 " %016" PRIx64 "\n", frame, worldDigest(world));
}

int record(const char* file, uint32_t seed) {
    HeadlessGame game;
    uint32_t frame = 0;
    game.eachFrame = [&](GameWorld& world) { printDigest(frame++, world); };
    playScriptedGame(game, seed);
    const std::vector<uint8_t> bytes = encodeReplay(game.replay());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return out.good() && game.world().gameOver() ? 0 : 1;
}

int verify(const char* file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string why;
    const std::optional<Replay> replay = decodeReplay(bytes, why);
    if (!replay) {
        std::printf("unreadable: %s\n", why.c_str());
        return 1;
    }
    const EmbeddedResources resources;
    uint32_t frame = 0;
    const ReplayVerdict v =
        verifyReplay(*replay, resources, [&](GameWorld& world) { printDigest(frame++, world); });
    std::printf("verdict consistent %d score %" PRId32 " tampered %d game over %d periods %" PRId32
                " updates %" PRIu32 " elapsed %" PRIu32 " ms%s%s\n",
                v.consistent, v.score, v.tampered, v.gameOver, v.periodsPlayed, v.updates, v.elapsedMs,
                v.problem.empty() ? "" : ": ", v.problem.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "record" && argc == 4)
        return record(argv[2], static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)));
    if (mode == "verify" && argc == 3) return verify(argv[2]);
    std::fprintf(stderr, "usage: %s record FILE SEED | verify FILE\n", argv[0]);
    return 2;
}
