// The channel's tables behind plain operations; every value is bound, never pasted into SQL.
#include "channel/store.h"

#include "channel/calendar.h"
#include "channel/migrations.h"

#include <unordered_set>

namespace tundrix::channel {
namespace {

constexpr char MEMBER_COLUMNS[] = "id, email, nickname, password_hash, recruiter_id, created_at";

Member readMember(const Statement& s) {
    Member m;
    m.id = s.integer(0);
    m.email = s.text(1);
    m.nickname = s.text(2);
    m.passwordHash = s.text(3);
    if (!s.isNull(4)) m.recruiterId = s.integer(4);
    m.createdAt = s.integer(5);
    return m;
}

std::vector<Member> readMembers(Statement& s) {
    std::vector<Member> out;
    while (s.step())
        out.push_back(readMember(s));
    return out;
}

} // namespace

std::unique_ptr<Store> Store::open(const std::string& path, std::string& error) {
    std::unique_ptr<Database> db = Database::open(path, error);
    if (!db || !migrate(*db, error)) return nullptr;
    return std::unique_ptr<Store>(new Store(std::move(db)));
}

AddOutcome Store::addMember(const NewMember& member, int64_t now, int64_t* id) {
    std::lock_guard lock(mutex_);
    {
        Statement taken(db_->handle(), "SELECT email = ?1 COLLATE NOCASE FROM members "
                                       "WHERE email = ?1 COLLATE NOCASE OR nickname = ?2 COLLATE NOCASE");
        taken.bind(1, member.email).bind(2, member.nickname);
        if (taken.step()) return taken.integer(0) ? AddOutcome::EmailTaken : AddOutcome::NicknameTaken;
    }
    Statement s(db_->handle(),
                "INSERT INTO members (email, nickname, password_hash, recruiter_id, created_at) "
                "VALUES (?, ?, ?, ?, ?)");
    s.bind(1, member.email).bind(2, member.nickname).bind(3, member.passwordHash).bind(5, now);
    if (member.recruiterId) {
        s.bind(4, *member.recruiterId);
    } else {
        s.bindNull(4);
    }
    s.step();
    if (s.failed()) return AddOutcome::Failed;
    if (id) *id = db_->lastInsertId();
    return AddOutcome::Added;
}

std::optional<Member> Store::memberByEmail(const std::string& email) {
    std::lock_guard lock(mutex_);
    Statement s(db_->handle(), std::string("SELECT ") + MEMBER_COLUMNS + " FROM members WHERE email = ?");
    s.bind(1, email);
    if (!s.step()) return std::nullopt;
    return readMember(s);
}

std::optional<Member> Store::memberById(int64_t id) {
    std::lock_guard lock(mutex_);
    Statement s(db_->handle(), std::string("SELECT ") + MEMBER_COLUMNS + " FROM members WHERE id = ?");
    s.bind(1, id);
    if (!s.step()) return std::nullopt;
    return readMember(s);
}

bool Store::setPasswordHash(int64_t memberId, const std::string& hash) {
    std::lock_guard lock(mutex_);
    Statement s(db_->handle(), "UPDATE members SET password_hash = ? WHERE id = ?");
    s.bind(1, hash).bind(2, memberId);
    s.step();
    return !s.failed() && sqlite3_changes(db_->handle()) == 1;
}

std::vector<Member> Store::members() {
    std::lock_guard lock(mutex_);
    Statement s(db_->handle(), std::string("SELECT ") + MEMBER_COLUMNS + " FROM members ORDER BY id");
    return readMembers(s);
}

std::vector<Member> Store::recruitsOf(int64_t memberId) {
    std::lock_guard lock(mutex_);
    Statement s(db_->handle(),
                std::string("SELECT ") + MEMBER_COLUMNS + " FROM members WHERE recruiter_id = ? ORDER BY id");
    s.bind(1, memberId);
    return readMembers(s);
}

std::optional<Recorded> Store::recordScore(const ScoreEntry& e, const std::string& post, int64_t now) {
    std::lock_guard lock(mutex_);
    Transaction transaction(*db_);
    if (!transaction.begun()) return std::nullopt;
    {
        Statement last(db_->handle(), "SELECT last_post = ? FROM members WHERE id = ?");
        last.bind(1, post).bind(2, e.memberId);
        if (last.step() && last.integer(0) != 0) return Recorded::Replayed;
        if (last.failed()) return std::nullopt;
    }
    bool personalBest = false;
    if (!e.flagged) {
        Statement best(db_->handle(), "SELECT MAX(score) FROM scores WHERE member_id = ? AND flagged = 0");
        best.bind(1, e.memberId);
        if (!best.step() && best.failed()) return std::nullopt;
        personalBest = best.isNull(0) || e.score > best.integer(0);
    }
    Statement s(
        db_->handle(),
        "INSERT INTO scores (member_id, score, flagged, flag_reason, best_score_time, total_play_time, "
        "speed_count, processor, build_crc, build_length, address, created_at, day, week) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    s.bind(1, e.memberId).bind(2, e.score).bind(3, e.flagged ? 1 : 0).bind(4, e.flagReason);
    s.bind(5, e.bestScoreTime).bind(6, e.totalPlayTime).bind(7, e.speedCount).bind(8, e.processor);
    s.bind(9, static_cast<int64_t>(e.buildCrc))
        .bind(10, static_cast<int64_t>(e.buildLength))
        .bind(11, e.address);
    s.bind(12, now).bind(13, dayOf(now)).bind(14, weekOf(now));
    s.step();
    Statement remember(db_->handle(), "UPDATE members SET last_post = ? WHERE id = ?");
    remember.bind(1, post).bind(2, e.memberId);
    remember.step();
    if (s.failed() || remember.failed() || !transaction.commit()) return std::nullopt;
    return personalBest ? Recorded::PersonalBest : Recorded::Kept;
}

std::vector<Ranked> Store::ranked(const char* where, const std::string& key, int limit) {
    // Scores best first (earliest first among equals), each member at their first, i.e. best, row; the
    // index on (flagged, score, created_at) lets this stop as soon as the board is full.
    const std::string sql = std::string("SELECT s.member_id, s.score, s.created_at, m.nickname, m.email "
                                        "FROM scores s JOIN members m ON m.id = s.member_id "
                                        "WHERE s.flagged = 0") +
                            where + " ORDER BY s.score DESC, s.created_at ASC";
    std::lock_guard lock(mutex_);
    Statement s(db_->handle(), sql);
    if (*where) s.bind(1, key);
    std::vector<Ranked> out;
    std::unordered_set<int64_t> seen;
    while ((limit < 0 || out.size() < static_cast<size_t>(limit)) && s.step()) {
        if (seen.insert(s.integer(0)).second)
            out.push_back({s.text(3), s.text(4), s.integer(1), s.integer(2)});
    }
    return out;
}

std::vector<Ranked> Store::leaderboard(Board board, int64_t now, int limit) {
    switch (board) {
    case Board::Today:
        return ranked(" AND s.day = ?1", dayOf(now), limit);
    case Board::ThisWeek:
        return ranked(" AND s.week = ?1", weekOf(now), limit);
    case Board::AllTime:
        break;
    }
    return ranked("", "", limit);
}

std::vector<Ranked> Store::standings(bool week, const std::string& key) {
    return ranked(week ? " AND s.week = ?1" : " AND s.day = ?1", key, -1);
}

int64_t Store::scoreCount(bool flagged) {
    std::lock_guard lock(mutex_);
    Statement s(db_->handle(), "SELECT COUNT(*) FROM scores WHERE flagged = ?");
    s.bind(1, flagged ? 1 : 0);
    return s.step() ? s.integer(0) : 0;
}

std::vector<int64_t> Store::scoresOf(int64_t memberId) {
    std::lock_guard lock(mutex_);
    Statement s(db_->handle(), "SELECT score FROM scores WHERE member_id = ? ORDER BY id");
    s.bind(1, memberId);
    std::vector<int64_t> out;
    while (s.step())
        out.push_back(s.integer(0));
    return out;
}

bool Store::limitPages(int64_t pages) {
    std::lock_guard lock(mutex_);
    return db_->limitPages(pages);
}

bool Store::intact() {
    std::lock_guard lock(mutex_);
    return db_->intact();
}

bool Store::addRelease(const Release& r, std::string& error) {
    std::lock_guard lock(mutex_);
    Statement s(db_->handle(), "INSERT INTO releases (version, crc, length, added_at) VALUES (?, ?, ?, ?)");
    s.bind(1, r.version).bind(2, static_cast<int64_t>(r.crc)).bind(3, static_cast<int64_t>(r.length));
    s.bind(4, r.addedAt);
    s.step();
    if (s.failed()) error = db_->lastError();
    return !s.failed();
}

std::vector<Release> Store::releases() {
    std::lock_guard lock(mutex_);
    Statement s(db_->handle(), "SELECT version, crc, length, added_at FROM releases ORDER BY version DESC");
    std::vector<Release> out;
    while (s.step())
        out.push_back({s.integer(0), static_cast<uint32_t>(s.integer(1)), static_cast<uint32_t>(s.integer(2)),
                       s.integer(3)});
    return out;
}

bool Store::addSession(const std::string& digest, const std::string& csrf, std::optional<int64_t> memberId,
                       int64_t now) {
    std::lock_guard lock(mutex_);
    Statement s(db_->handle(),
                "INSERT INTO sessions (token_digest, csrf, member_id, created_at) VALUES (?, ?, ?, ?)");
    s.bind(1, digest).bind(2, csrf).bind(4, now);
    if (memberId) {
        s.bind(3, *memberId);
    } else {
        s.bindNull(3);
    }
    s.step();
    return !s.failed();
}

std::optional<SessionRow> Store::session(const std::string& digest) {
    std::lock_guard lock(mutex_);
    Statement s(db_->handle(), "SELECT csrf, member_id, created_at FROM sessions WHERE token_digest = ?");
    s.bind(1, digest);
    if (!s.step()) return std::nullopt;
    SessionRow row;
    row.csrf = s.text(0);
    if (!s.isNull(1)) row.memberId = s.integer(1);
    row.createdAt = s.integer(2);
    return row;
}

void Store::removeSession(const std::string& digest) {
    std::lock_guard lock(mutex_);
    Statement s(db_->handle(), "DELETE FROM sessions WHERE token_digest = ?");
    s.bind(1, digest);
    s.step();
}

void Store::purgeSessions(int64_t now, int64_t maxAge) {
    std::lock_guard lock(mutex_);
    Statement s(db_->handle(),
                "DELETE FROM sessions WHERE (member_id IS NULL AND created_at < ?) OR created_at < ?");
    s.bind(1, now - 24 * 3600).bind(2, now - maxAge);
    s.step();
}

} // namespace tundrix::channel
