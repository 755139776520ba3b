// The standings of a competition's round: the day's, the week's, the whole period's, or its recruits.
#include "channel/competition_boards.h"

#include "channel/calendar.h"

#include <algorithm>

namespace tundrix::channel {

std::pair<std::string, std::string> weekRoundDays(const Competition& c, const std::string& week) {
    const auto [monday, sunday] = daysOfWeek(week);
    return {std::max(monday, c.firstDay), std::min(sunday, c.lastDay)};
}

std::optional<CompetitionView> roundAt(Store& store, const Competition& c, int64_t now, int limit) {
    CompetitionView view;
    view.competition = c;
    const std::string today = std::clamp(dayOf(now), c.firstDay, c.lastDay);
    std::optional<std::vector<Ranked>> board;
    switch (c.kind) {
    case CompetitionKind::Daily:
        view.round = today;
        board = store.standingsBetween(today, today, Counted::VerifiedFirst, limit);
        break;
    case CompetitionKind::Weekly: {
        // Noon of the day: its week, whatever the clocks did that night.
        const int64_t noon = dayStart(today) + 12 * 3600;
        view.round = weekOf(noon);
        const auto [first, last] = weekRoundDays(c, view.round);
        board = store.standingsBetween(first, last, Counted::VerifiedFirst, limit);
    } break;
    case CompetitionKind::Period:
        view.round = c.firstDay;
        board = store.standingsBetween(c.firstDay, c.lastDay, Counted::VerifiedFirst, limit);
        break;
    case CompetitionKind::Recruiting: {
        view.round = c.firstDay;
        const auto counts = store.recruitCounts(c.firstDay, c.lastDay, limit);
        if (!counts) return std::nullopt;
        board.emplace();
        for (const auto& [member, n] : *counts) {
            Ranked r;
            r.nickname = member.nickname;
            r.score = n;
            r.verified = true;
            r.memberId = member.id;
            board->push_back(r);
        }
        break;
    }
    }
    if (!board) return std::nullopt;
    view.board = std::move(*board);
    return view;
}

} // namespace tundrix::channel
