// Plays a replay file again as the channel does: does it reach the score given, at the time given?
#include "channel/replay_check.h"
#include "replay/replay_codec.h"
#include "resources/embedded_resources.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

using namespace tundrix;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tundrix-replaycheck REPLAY-FILE SCORE BEST-SCORE-TIME-MS\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "tundrix-replaycheck: cannot read %s\n", argv[1]);
        return 2;
    }
    std::vector<uint8_t> file;
    ReplayLimits limits;
    char c;
    while (file.size() <= limits.maxFileBytes && in.get(c))
        file.push_back(static_cast<uint8_t>(c));
    // The build is the one the file names: this tool checks the game, not what a form said of it.
    std::string why;
    const std::optional<Replay> replay = decodeReplay(file, why);
    ReplayClaim claim;
    claim.score = std::atoi(argv[2]);
    claim.bestScoreTime = std::atoi(argv[3]);
    if (replay) claim.build = replay->build;
    const EmbeddedResources resources;
    const ReplayCheck check = checkReplay(file, claim, resources);
    const ReplayVerdict& v = check.verdict;
    std::printf("%s: score %d, %u frames, %u ms, %d periods%s%s\n",
                check.result == ReplayCheck::Result::Verified ? "verified" : "not verified", v.score,
                v.updates, v.elapsedMs, v.periodsPlayed, check.reason.empty() ? "" : ": ",
                check.reason.c_str());
    return check.result == ReplayCheck::Result::Verified ? 0 : 1;
}
