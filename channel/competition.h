// A competition as the operator sets it up: its kind, days, texts in both languages, and how it is drawn.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tundrix::channel {

enum class CompetitionKind {
    Daily,      // every day of its dates is a round of its own
    Weekly,     // every ISO week
    Period,     // the whole of its dates is one round
    Recruiting, // the most members recruited within its dates
};

// The word the operator types and the database keeps for a kind, and back.
std::string_view kindWord(CompetitionKind kind);
std::optional<CompetitionKind> kindFromWord(std::string_view word);

struct Competition {
    int64_t id = 0;
    CompetitionKind kind = CompetitionKind::Daily;
    std::string nameSv, nameEn;
    std::string rulesSv, rulesEn;   // the operator's own words; the site adds the common rules
    std::string prizesSv, prizesEn; // what the winners get
    std::string firstDay, lastDay;  // "YYYY-MM-DD", both within it
    int winners = 1;                // winners per round
    int drawAmong = 0;              // 0: the best win; else the winners are drawn by lot among this many best
    int64_t endedAt = 0;            // ended early by the operator (0: runs to its last day)
    int64_t createdAt = 0;
};

// Whether the competition runs on that day.
bool runsOn(const Competition& c, const std::string& day);

// One winner of a round.
struct DrawWinner {
    int place = 0;
    int64_t memberId = 0;
    std::string nickname;
    int64_t result = 0; // the score, or the recruits counted
};

// A round's draw as the operator published it: the seed makes it again.
struct Draw {
    int64_t competitionId = 0;
    std::string period; // the round: a day, a week, or the first day for the whole period
    std::string seed;
    int64_t publishedAt = 0;
    std::vector<DrawWinner> winners;
};

} // namespace tundrix::channel
