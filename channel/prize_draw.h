// Who wins a round: the best outright, or by lot among the best from a seed the operator keeps, so that
// anyone with the seed and the standings draws the same winners again.
#pragma once
#include "channel/competition.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tundrix::channel {

struct Contender {
    int64_t memberId = 0;
    std::string nickname;
    int64_t result = 0; // the score, or the recruits
};

// standings best first. With drawAmong 0 the first `winners` win in that order; otherwise the lot is
// cast among the first drawAmong and everyone level with the last of them, and the first `winners`
// drawn win in the order drawn. The same seed and standings always give the same winners.
std::vector<DrawWinner> drawWinners(const std::vector<Contender>& standings, int winners, int drawAmong,
                                    const std::string& seed);

// A fresh seed for the operator to keep: 16 random bytes as hex.
std::string newSeed();

} // namespace tundrix::channel
