// The competition kinds' words, and which days a competition runs on.
#include "channel/competition.h"

#include <array>
#include <utility>

namespace tundrix::channel {
namespace {

constexpr std::array<std::pair<CompetitionKind, std::string_view>, 4> WORDS = {{
    {CompetitionKind::Daily, "daily"},
    {CompetitionKind::Weekly, "weekly"},
    {CompetitionKind::Period, "period"},
    {CompetitionKind::Recruiting, "recruiting"},
}};

} // namespace

std::string_view kindWord(CompetitionKind kind) {
    for (const auto& [k, word] : WORDS)
        if (k == kind) return word;
    return "";
}

std::optional<CompetitionKind> kindFromWord(std::string_view word) {
    for (const auto& [k, w] : WORDS)
        if (w == word) return k;
    return std::nullopt;
}

bool runsOn(const Competition& c, const std::string& day) {
    // Days written "YYYY-MM-DD" sort as the calendar does.
    return c.endedAt == 0 && c.firstDay <= day && day <= c.lastDay;
}

} // namespace tundrix::channel
