// The competitions' HTML: the running ones on the home page, each one's rules and standings, its winners.
#pragma once
#include "channel/html.h"
#include "channel/pages.h"

#include <string>
#include <string_view>
#include <vector>

namespace tundrix::channel {

// Where a competition's pages live: /tavling/ID/ and /tavling/ID/vinnare/.
inline constexpr std::string_view COMPETITION_PREFIX = "/tavling/";
std::string competitionPath(int64_t id);
std::string winnersPath(int64_t id);

// The home page's section of the competitions running now, each with the top of its board.
std::string runningCompetitions(const std::vector<CompetitionView>& running);

// The rules every competition of this kind follows, as the game's own competition rules tell them, in
// Swedish and English.
std::string commonRules(const Competition& competition);

std::string competitionPage(const Visitor& visitor, const CompetitionView& view, const std::string& own);
std::string winnersPage(const Visitor& visitor, const Competition& competition,
                        const std::vector<Draw>& draws);

} // namespace tundrix::channel
