// A competition's round running now and its standings, as its pages show them.
#pragma once
#include "channel/pages.h"
#include "channel/store.h"

#include <optional>

namespace tundrix::channel {

// The round of that moment and its first `limit` standings (verified scores first, the others after
// them, marked); nothing if the standings cannot be read.
// The first and last day of a weekly competition's round: its ISO week, cut to the competition's dates, so
// that a competition starting mid-week counts nothing posted before it.
std::pair<std::string, std::string> weekRoundDays(const Competition& competition, const std::string& week);

std::optional<CompetitionView> roundAt(Store& store, const Competition& competition, int64_t now, int limit);

} // namespace tundrix::channel
