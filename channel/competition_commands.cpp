// competition add/list/end, and the draw of a competition's round as its rules say.
#include "channel/operator_commands.h"

#include "channel/calendar.h"
#include "channel/competition_boards.h"
#include "channel/csv.h"
#include "channel/nickname.h"
#include "channel/prize_draw.h"
#include "protocol/form_text.h"

#include <ctime>
#include <iostream>

namespace tundrix::channel {
namespace {

constexpr uint32_t WINNERS_MAX = 100;
// A competition's texts are shown on its page: bounded, like anything else kept for a page.
constexpr size_t NAME_MAX_BYTES = 120;
constexpr size_t TEXT_MAX_BYTES = 4000;

int64_t now() {
    return static_cast<int64_t>(std::time(nullptr));
}

bool fits(const std::string& text, size_t max) {
    return text.size() <= max && validUtf8(text);
}

int add(Store& store, const Parsed& p, CommandContext& c) {
    Competition k;
    const std::optional<CompetitionKind> kind = kindFromWord(p.get("kind"));
    k.nameSv = p.get("name-sv");
    k.nameEn = p.get("name-en", k.nameSv);
    k.firstDay = p.get("from", dayOf(now()));
    k.lastDay = p.get("to");
    k.rulesSv = p.get("rules-sv");
    k.rulesEn = p.get("rules-en");
    k.prizesSv = p.get("prizes-sv");
    k.prizesEn = p.get("prizes-en");
    const std::optional<uint32_t> winners = protocol::parseUint32(p.get("winners", "1"));
    const std::optional<uint32_t> among = protocol::parseUint32(p.get("draw-among", "0"));
    std::string problem;
    if (!kind)
        problem = "--kind wants daily, weekly, period or recruiting";
    else if (k.nameSv.empty() || !fits(k.nameSv, NAME_MAX_BYTES) || !fits(k.nameEn, NAME_MAX_BYTES))
        problem =
            "--name-sv (and --name-en) want a name of at most " + std::to_string(NAME_MAX_BYTES) + " bytes";
    else if (!isDay(k.firstDay) || !isDay(k.lastDay) || k.lastDay < k.firstDay)
        problem = "--from and --to want days YYYY-MM-DD, the first not after the last";
    else if (!fits(k.rulesSv, TEXT_MAX_BYTES) || !fits(k.rulesEn, TEXT_MAX_BYTES) ||
             !fits(k.prizesSv, TEXT_MAX_BYTES) || !fits(k.prizesEn, TEXT_MAX_BYTES))
        problem =
            "the rules and prizes want UTF-8 text of at most " + std::to_string(TEXT_MAX_BYTES) + " bytes";
    else if (!winners || *winners < 1 || *winners > WINNERS_MAX)
        problem = "--winners wants 1 to " + std::to_string(WINNERS_MAX);
    else if (!among || (*among != 0 && (*among < *winners || *among > 10 * WINNERS_MAX)))
        problem =
            "--draw-among wants 0, or from the number of winners to " + std::to_string(10 * WINNERS_MAX);
    if (!problem.empty()) {
        c.err << "tundrix-channel: " << problem << "\n";
        return 2;
    }
    k.kind = *kind;
    k.winners = static_cast<int>(*winners);
    k.drawAmong = static_cast<int>(*among);
    const std::optional<int64_t> id = store.addCompetition(k, now());
    if (!id) {
        c.err << "tundrix-channel: the competition could not be stored\n";
        return 1;
    }
    c.out << "competition " << *id << " added\n";
    return 0;
}

int list(Store& store, CommandContext& c) {
    const auto all = store.competitions();
    if (!all) {
        c.err << "tundrix-channel: the competitions cannot be read\n";
        return 1;
    }
    const std::string today = dayOf(now());
    c.out << "id\tkind\tfrom\tto\tstate\twinners\tdraw_among\tname_sv\tname_en\n";
    for (const Competition& k : *all) {
        const char* state = k.endedAt            ? "ended"
                            : runsOn(k, today)   ? "running"
                            : today < k.firstDay ? "coming"
                                                 : "over";
        c.out << k.id << "\t" << kindWord(k.kind) << "\t" << k.firstDay << "\t" << k.lastDay << "\t" << state
              << "\t" << k.winners << "\t" << k.drawAmong << "\t" << k.nameSv << "\t" << k.nameEn << "\n";
    }
    return 0;
}

} // namespace

int competitionCommand(Store& store, const Parsed& p, CommandContext& c) {
    const std::string what = p.words.size() > 1 ? p.words[1] : "";
    if (what == "add" && p.words.size() == 2) return add(store, p, c);
    if (what == "list" && p.words.size() == 2) return list(store, c);
    const int64_t id = p.words.size() == 3 ? protocol::parseUint32(p.words[2]).value_or(0) : 0;
    if (what == "end" && id > 0) {
        const Moderated m = store.endCompetition(id, now());
        if (m == Moderated::Done) {
            c.out << "competition " << id << " ended\n";
            return 0;
        }
        c.err << "tundrix-channel: "
              << (m == Moderated::NotFound ? "no running competition " + std::to_string(id)
                                           : std::string("the change could not be stored"))
              << "\n";
        return 1;
    }
    c.err
        << "tundrix-channel: competition wants add, list or end ID; see tundrix-channel competition --help\n";
    return 2;
}

int competitionWinners(Store& store, const Parsed& p, CommandContext& c) {
    const std::optional<uint32_t> id = protocol::parseUint32(p.get("competition"));
    const Lookup<Competition> found = id ? store.competition(*id) : Lookup<Competition>{};
    if (!found.row) {
        c.err << "tundrix-channel: "
              << (found.failed ? "the competitions cannot be read" : "no competition " + p.get("competition"))
              << "\n";
        return found.failed ? 1 : 2;
    }
    const Competition& k = *found.row;
    const Counted counted = p.has("unverified") ? Counted::VerifiedFirst : Counted::VerifiedOnly;
    // The round: the day or week asked for within the competition's dates, or all of them.
    std::string period = k.firstDay;
    std::optional<std::vector<Ranked>> ranked;
    std::vector<Contender> standings;
    const int pool = std::max(k.winners, k.drawAmong);
    // Enough rows for the pool and those level with its last; the rest cannot win.
    const int rows = pool + 1000;
    switch (k.kind) {
    case CompetitionKind::Daily:
        period = p.get("day");
        if (!isDay(period) || period < k.firstDay || period > k.lastDay) {
            c.err << "tundrix-channel: a daily competition's draw wants --day, one of its days\n";
            return 2;
        }
        ranked = store.standingsBetween(period, period, counted, rows);
        break;
    case CompetitionKind::Weekly:
        period = p.get("week");
        if (!isWeek(period) || period < weekOf(dayStart(k.firstDay)) ||
            period > weekOf(dayStart(k.lastDay))) {
            c.err << "tundrix-channel: a weekly competition's draw wants --week, one of its weeks\n";
            return 2;
        }
        ranked = store.standingsBetween(weekRoundDays(k, period).first, weekRoundDays(k, period).second,
                                        counted, rows);
        break;
    case CompetitionKind::Period:
        ranked = store.standingsBetween(k.firstDay, k.lastDay, counted, rows);
        break;
    case CompetitionKind::Recruiting: {
        const auto counts = store.recruitCounts(k.firstDay, k.lastDay, rows);
        if (!counts) break;
        ranked.emplace();
        for (const auto& [member, n] : *counts)
            standings.push_back({member.id, member.nickname, n});
        break;
    }
    }
    if (!ranked) {
        c.err << "tundrix-channel: the standings cannot be read\n";
        return 1;
    }
    for (const Ranked& r : *ranked)
        standings.push_back({r.memberId, r.nickname, r.score});
    const std::string seed = p.has("seed") ? p.get("seed") : newSeed();
    const std::vector<DrawWinner> winners = drawWinners(standings, k.winners, k.drawAmong, seed);
    c.err << "tundrix-channel: competition " << k.id << " round " << period << " drawn with seed " << seed
          << " among " << standings.size() << "\n";
    c.out << "place,nickname,email,result\n";
    for (const DrawWinner& w : winners) {
        const Lookup<Member> m = store.memberById(w.memberId);
        c.out << w.place << "," << csvCell(w.nickname) << "," << csvCell(m.row ? m.row->email : "") << ","
              << w.result << "\n";
    }
    if (!p.has("publish")) return 0;
    // A round still running may change: its winners are published once it is over, unless told.
    const std::string today = dayOf(now());
    const bool over = k.kind == CompetitionKind::Daily    ? period < today
                      : k.kind == CompetitionKind::Weekly ? period < weekOf(now())
                                                          : k.endedAt != 0 || k.lastDay < today;
    if (!over && !p.has("early")) {
        c.err << "tundrix-channel: that round is not over yet, so its standings may still change; --early "
                 "publishes it all the same\n";
        return 2;
    }
    const Moderated m = store.publishDraw({k.id, period, seed, now(), winners});
    if (m == Moderated::Done) {
        c.err << "tundrix-channel: published\n";
        return 0;
    }
    c.err << "tundrix-channel: "
          << (m == Moderated::Taken ? "that round's winners are published already"
                                    : "the draw could not be stored")
          << "\n";
    return 1;
}

} // namespace tundrix::channel
