// The store's competitions: adding and ending them, their rounds' standings and recruits, the draws.
#include "channel/calendar.h"
#include "channel/store.h"
#include "channel/store_lease.h"

namespace tundrix::channel {
namespace {

constexpr char COMPETITION_COLUMNS[] =
    "SELECT id, kind, name_sv, name_en, rules_sv, rules_en, prizes_sv, prizes_en, first_day, last_day, "
    "winners, draw_among, ended_at, created_at FROM competitions";

Competition readCompetition(const Statement& s) {
    Competition c;
    c.id = s.integer(0);
    c.kind = kindFromWord(s.text(1)).value_or(CompetitionKind::Period);
    c.nameSv = s.text(2);
    c.nameEn = s.text(3);
    c.rulesSv = s.text(4);
    c.rulesEn = s.text(5);
    c.prizesSv = s.text(6);
    c.prizesEn = s.text(7);
    c.firstDay = s.text(8);
    c.lastDay = s.text(9);
    c.winners = static_cast<int>(s.integer(10));
    c.drawAmong = static_cast<int>(s.integer(11));
    c.endedAt = s.integer(12);
    c.createdAt = s.integer(13);
    return c;
}

} // namespace

std::optional<int64_t> Store::addCompetition(const Competition& c, int64_t now) {
    std::lock_guard lock(writeMutex_);
    Transaction transaction(*writer_);
    if (!transaction.begun()) return std::nullopt;
    Statement s = writer_->prepared(
        "INSERT INTO competitions (kind, name_sv, name_en, rules_sv, rules_en, prizes_sv, prizes_en, "
        "first_day, last_day, winners, draw_among, created_at) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    s.bind(1, kindWord(c.kind)).bind(2, c.nameSv).bind(3, c.nameEn).bind(4, c.rulesSv).bind(5, c.rulesEn);
    s.bind(6, c.prizesSv).bind(7, c.prizesEn).bind(8, c.firstDay).bind(9, c.lastDay);
    s.bind(10, c.winners).bind(11, c.drawAmong).bind(12, now);
    s.step();
    if (s.failed()) return std::nullopt;
    const int64_t id = writer_->lastInsertId();
    if (!logModeration(
            {now, "competition add", "competition " + std::to_string(id),
             std::string(kindWord(c.kind)) + " " + c.firstDay + " to " + c.lastDay + ": " + c.nameSv}) ||
        !transaction.commit())
        return std::nullopt;
    return id;
}

std::optional<std::vector<Competition>> Store::competitions() {
    ReaderLease db(*this);
    Statement s = db->prepared(std::string(COMPETITION_COLUMNS) + " ORDER BY id DESC");
    std::vector<Competition> out;
    while (s.step())
        out.push_back(readCompetition(s));
    if (s.failed()) return std::nullopt;
    return out;
}

Lookup<Competition> Store::competition(int64_t id) {
    ReaderLease db(*this);
    Statement s = db->prepared(std::string(COMPETITION_COLUMNS) + " WHERE id = ?");
    s.bind(1, id);
    Lookup<Competition> out;
    if (s.step()) out.row = readCompetition(s);
    out.failed = s.failed();
    return out;
}

Moderated Store::endCompetition(int64_t id, int64_t now) {
    std::lock_guard lock(writeMutex_);
    Transaction transaction(*writer_);
    if (!transaction.begun()) return Moderated::Failed;
    Statement s = writer_->prepared("UPDATE competitions SET ended_at = ?1 WHERE id = ?2 AND ended_at = 0");
    s.bind(1, now).bind(2, id);
    s.step();
    if (s.failed()) return Moderated::Failed;
    if (writer_->changes() == 0) return Moderated::NotFound;
    if (!logModeration({now, "competition end", "competition " + std::to_string(id), ""}) ||
        !transaction.commit())
        return Moderated::Failed;
    return Moderated::Done;
}

std::optional<std::vector<std::pair<Member, int64_t>>>
Store::recruitCounts(const std::string& firstDay, const std::string& lastDay, int limit) {
    ReaderLease db(*this);
    // Recruits who were banned count for nobody; the recruiter's own ban keeps them out too.
    Statement s =
        db->prepared("SELECT r.recruiter_id, COUNT(*) AS n, MAX(r.created_at) AS reached FROM members r "
                     "JOIN members m ON m.id = r.recruiter_id "
                     "WHERE r.recruiter_id IS NOT NULL AND r.banned = 0 AND m.banned = 0 "
                     "AND r.created_at >= ? AND r.created_at < ? "
                     "GROUP BY r.recruiter_id ORDER BY n DESC, reached ASC LIMIT ?");
    s.bind(1, dayStart(firstDay)).bind(2, dayStart(lastDay, 1)).bind(3, limit);
    std::vector<std::pair<int64_t, int64_t>> counts;
    while (s.step())
        counts.emplace_back(s.integer(0), s.integer(1));
    if (s.failed()) return std::nullopt;
    std::vector<std::pair<Member, int64_t>> out;
    for (const auto& [id, n] : counts) {
        Statement m = db->prepared("SELECT id, nickname FROM members WHERE id = ?");
        m.bind(1, id);
        if (!m.step()) return std::nullopt;
        Member member;
        member.id = m.integer(0);
        member.nickname = m.text(1);
        out.emplace_back(std::move(member), n);
    }
    return out;
}

Moderated Store::publishDraw(const Draw& d) {
    std::lock_guard lock(writeMutex_);
    Transaction transaction(*writer_);
    if (!transaction.begun()) return Moderated::Failed;
    {
        Statement taken = writer_->prepared("SELECT 1 FROM draws WHERE competition_id = ? AND period = ?");
        taken.bind(1, d.competitionId).bind(2, d.period);
        if (taken.step()) return Moderated::Taken;
        if (taken.failed()) return Moderated::Failed;
    }
    Statement s = writer_->prepared(
        "INSERT INTO draws (competition_id, period, seed, published_at) VALUES (?, ?, ?, ?)");
    s.bind(1, d.competitionId).bind(2, d.period).bind(3, d.seed).bind(4, d.publishedAt);
    s.step();
    if (s.failed()) return Moderated::Failed;
    const int64_t drawId = writer_->lastInsertId();
    for (const DrawWinner& w : d.winners) {
        Statement row = writer_->prepared(
            "INSERT INTO draw_winners (draw_id, place, member_id, nickname, result) VALUES (?, ?, ?, ?, ?)");
        row.bind(1, drawId).bind(2, w.place).bind(3, w.memberId).bind(4, w.nickname).bind(5, w.result);
        row.step();
        if (row.failed()) return Moderated::Failed;
    }
    if (!logModeration({d.publishedAt, "winners publish", "competition " + std::to_string(d.competitionId),
                        d.period + " seed " + d.seed}) ||
        !transaction.commit())
        return Moderated::Failed;
    return Moderated::Done;
}

std::optional<std::vector<Draw>> Store::draws(int64_t competitionId, int limit) {
    ReaderLease db(*this);
    Statement s = db->prepared("SELECT id, period, seed, published_at FROM draws WHERE competition_id = ? "
                               "ORDER BY period DESC LIMIT ?");
    s.bind(1, competitionId).bind(2, limit);
    std::vector<std::pair<int64_t, Draw>> found;
    while (s.step())
        found.emplace_back(s.integer(0), Draw{competitionId, s.text(1), s.text(2), s.integer(3), {}});
    if (s.failed()) return std::nullopt;
    std::vector<Draw> out;
    for (auto& [id, draw] : found) {
        Statement w = db->prepared(
            "SELECT place, member_id, nickname, result FROM draw_winners WHERE draw_id = ? ORDER BY place");
        w.bind(1, id);
        while (w.step())
            draw.winners.push_back({static_cast<int>(w.integer(0)), w.integer(1), w.text(2), w.integer(3)});
        if (w.failed()) return std::nullopt;
        out.push_back(std::move(draw));
    }
    return out;
}

} // namespace tundrix::channel
