// The channel's tables behind plain operations; every value is bound, never pasted into SQL. Writes
// take the one writing connection in turn; reads borrow one of the reading connections.
#include "channel/store.h"

#include "channel/calendar.h"
#include "channel/crypto.h"
#include "channel/migrations.h"
#include "channel/nickname.h"
#include "protocol/replay_post.h"

#include <filesystem>
#include <unordered_set>

namespace tundrix::channel {
namespace {

// What a recording's check is filed as when its game backs another score already.
constexpr int NOT_REACHED = static_cast<int>(protocol::ReplayAnswer::DoesNotReach);

// Enough for the threads that read at once (the page workers and the password checks).
constexpr size_t READERS = 4;

constexpr char MEMBER_COLUMNS[] =
    "SELECT id, email, nickname, password_hash, recruiter_id, created_at, recruit_code, last_post_at "
    "FROM members";

Member readMember(const Statement& s) {
    Member m;
    m.id = s.integer(0);
    m.email = s.text(1);
    m.nickname = s.text(2);
    m.passwordHash = s.text(3);
    if (!s.isNull(4)) m.recruiterId = s.integer(4);
    m.createdAt = s.integer(5);
    m.recruitCode = s.text(6);
    m.lastPostAt = s.integer(7);
    return m;
}

std::optional<std::vector<Member>> readMembers(Statement& s) {
    std::vector<Member> out;
    while (s.step())
        out.push_back(readMember(s));
    if (s.failed()) return std::nullopt;
    return out;
}

Lookup<Member> oneMember(Statement& s) {
    Lookup<Member> out;
    if (s.step()) {
        out.row = readMember(s);
    } else {
        out.failed = s.failed();
    }
    return out;
}

} // namespace

// Borrows a reading connection for one operation and gives it back.
class Store::ReaderLease {
  public:
    explicit ReaderLease(Store& store) : store_(store) {
        std::unique_lock lock(store_.readersMutex_);
        store_.readerFree_.wait(lock, [this] { return !store_.idleReaders_.empty(); });
        db_ = store_.idleReaders_.back();
        store_.idleReaders_.pop_back();
    }
    ~ReaderLease() {
        {
            std::lock_guard lock(store_.readersMutex_);
            store_.idleReaders_.push_back(db_);
        }
        store_.readerFree_.notify_one();
    }
    ReaderLease(const ReaderLease&) = delete;
    ReaderLease& operator=(const ReaderLease&) = delete;
    Database& operator*() const { return *db_; }
    Database* operator->() const { return db_; }

  private:
    Store& store_;
    Database* db_;
};

std::unique_ptr<Store> Store::open(const std::string& path, OpenMode mode, std::string& error) {
    std::error_code ignored;
    const std::filesystem::path file(path);
    if (mode == OpenMode::Existing && !std::filesystem::exists(file, ignored)) {
        error = "no database here (give --create to start a new one)";
        return nullptr;
    }
    if (mode == OpenMode::Create && file.has_parent_path())
        std::filesystem::create_directories(file.parent_path(), ignored);
    std::unique_ptr<Database> writer = Database::open(path, mode == OpenMode::Create, error);
    if (!writer) return nullptr;
    // A damaged file is found before the first player is told "unknown user" by it. The quick check
    // takes a third of a second on a million scores; the full one, twenty times that.
    if (!writer->whole()) {
        error = "the database is damaged (PRAGMA quick_check): restore it from a backup";
        return nullptr;
    }
    if (!migrate(*writer, error)) return nullptr;
    std::unique_ptr<Store> store(new Store(std::move(writer), path));
    if (!store->fillNicknameKeys(error)) return nullptr;
    for (size_t i = 0; i < READERS; ++i) {
        std::unique_ptr<Database> reader = Database::open(path, false, error);
        if (!reader || !reader->exec("PRAGMA query_only = 1", &error)) return nullptr;
        store->idleReaders_.push_back(reader.get());
        store->readers_.push_back(std::move(reader));
    }
    return store;
}

Store::Store(std::unique_ptr<Database> writer, const std::string& path)
    : path_(path), writer_(std::move(writer)) {}

Store::~Store() = default;

bool Store::fillNicknameKeys(std::string& error) {
    std::lock_guard lock(writeMutex_);
    std::vector<std::pair<int64_t, std::string>> missing;
    {
        Statement s = writer_->prepared("SELECT id, nickname FROM members WHERE nickname_key = ''");
        while (s.step())
            missing.emplace_back(s.integer(0), s.text(1));
    }
    if (missing.empty()) return true;
    Transaction transaction(*writer_);
    for (const auto& [id, nickname] : missing) {
        Statement s = writer_->prepared("UPDATE members SET nickname_key = ? WHERE id = ?");
        s.bind(1, nicknameKey(nickname)).bind(2, id);
        s.step();
        if (s.failed()) break;
    }
    if (!transaction.commit()) {
        error = "cannot fill in the nicknames' look-alike keys: " + writer_->lastError();
        return false;
    }
    return true;
}

AddOutcome Store::addMember(const NewMember& member, int64_t now, int64_t* id) {
    std::lock_guard lock(writeMutex_);
    {
        Statement taken = writer_->prepared(
            "SELECT email = ?1 COLLATE NOCASE FROM members "
            "WHERE email = ?1 COLLATE NOCASE OR nickname = ?2 COLLATE NOCASE OR nickname_key = ?3");
        taken.bind(1, member.email).bind(2, member.nickname).bind(3, member.nicknameKey);
        if (taken.step()) return taken.integer(0) ? AddOutcome::EmailTaken : AddOutcome::NicknameTaken;
        if (taken.failed()) return AddOutcome::Failed;
    }
    Statement s = writer_->prepared("INSERT INTO members (email, nickname, nickname_key, password_hash, "
                                    "recruiter_id, created_at, recruit_code) VALUES (?, ?, ?, ?, ?, ?, ?)");
    s.bind(1, member.email).bind(2, member.nickname).bind(3, member.nicknameKey).bind(4, member.passwordHash);
    if (member.recruiterId) {
        s.bind(5, *member.recruiterId);
    } else {
        s.bindNull(5);
    }
    s.bind(6, now).bind(7, randomToken().substr(0, 16));
    s.step();
    if (s.failed()) return AddOutcome::Failed;
    if (id) *id = writer_->lastInsertId();
    return AddOutcome::Added;
}

Lookup<Member> Store::memberByEmail(const std::string& email) {
    ReaderLease db(*this);
    Statement s = db->prepared(std::string(MEMBER_COLUMNS) + " WHERE email = ?");
    s.bind(1, email);
    return oneMember(s);
}

Lookup<Member> Store::memberById(int64_t id) {
    ReaderLease db(*this);
    Statement s = db->prepared(std::string(MEMBER_COLUMNS) + " WHERE id = ?");
    s.bind(1, id);
    return oneMember(s);
}

Lookup<Member> Store::memberByRecruitCode(const std::string& code) {
    ReaderLease db(*this);
    Statement s = db->prepared(std::string(MEMBER_COLUMNS) + " WHERE recruit_code = ?");
    s.bind(1, code);
    return oneMember(s);
}

bool Store::setPasswordHash(int64_t memberId, const std::string& hash) {
    std::lock_guard lock(writeMutex_);
    Transaction transaction(*writer_);
    Statement s = writer_->prepared("UPDATE members SET password_hash = ? WHERE id = ?");
    s.bind(1, hash).bind(2, memberId);
    s.step();
    if (s.failed() || writer_->changes() != 1) return false;
    Statement sessions = writer_->prepared("DELETE FROM sessions WHERE member_id = ?");
    sessions.bind(1, memberId);
    sessions.step();
    return !sessions.failed() && transaction.commit();
}

std::vector<Member> Store::members() {
    ReaderLease db(*this);
    Statement s = db->prepared(std::string(MEMBER_COLUMNS) + " ORDER BY id");
    return readMembers(s).value_or(std::vector<Member>{});
}

std::optional<std::vector<Member>> Store::recruitsOf(int64_t memberId) {
    ReaderLease db(*this);
    Statement s = db->prepared(std::string(MEMBER_COLUMNS) + " WHERE recruiter_id = ? ORDER BY id");
    s.bind(1, memberId);
    return readMembers(s);
}

std::vector<std::optional<Recorded>> Store::recordScores(const std::vector<PendingScore>& scores,
                                                         int64_t now) {
    std::vector<std::optional<Recorded>> out(scores.size());
    std::lock_guard lock(writeMutex_);
    // A file removed or replaced under the server would take the commits into nothing.
    if (!writer_->inPlace()) return out;
    Transaction transaction(*writer_);
    if (!transaction.begun()) return out;
    std::vector<Recorded> done;
    for (const PendingScore& p : scores) {
        const ScoreEntry& e = p.entry;
        // The member's previous post and best ranked score, in one look.
        Statement last = writer_->prepared(
            "SELECT last_post = ?1, (SELECT MAX(score) FROM scores WHERE member_id = ?2 AND flagged = 0) "
            "FROM members WHERE id = ?2");
        last.bind(1, p.post).bind(2, e.memberId);
        if (!last.step()) return out;
        if (last.integer(0) != 0) {
            done.push_back(Recorded::Replayed);
            continue;
        }
        const bool personalBest = !e.flagged && (last.isNull(1) || e.score > last.integer(1));
        Statement s = writer_->prepared(
            "INSERT INTO scores (member_id, score, flagged, flag_reason, best_score_time, total_play_time, "
            "speed_count, processor, build_crc, build_length, address, created_at, day, week) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        s.bind(1, e.memberId).bind(2, e.score).bind(3, e.flagged ? 1 : 0).bind(4, e.flagReason);
        s.bind(5, e.bestScoreTime).bind(6, e.totalPlayTime).bind(7, e.speedCount).bind(8, e.processor);
        s.bind(9, static_cast<int64_t>(e.buildCrc)).bind(10, static_cast<int64_t>(e.buildLength));
        s.bind(11, e.address).bind(12, now).bind(13, dayOf(now)).bind(14, weekOf(now));
        s.step();
        if (s.failed()) return out;
        Statement remember =
            writer_->prepared("UPDATE members SET last_post = ?, last_post_at = ? WHERE id = ?");
        remember.bind(1, p.post).bind(2, now).bind(3, e.memberId);
        remember.step();
        if (remember.failed()) return out;
        done.push_back(personalBest ? Recorded::PersonalBest : Recorded::Kept);
    }
    if (!transaction.commit() || !writer_->inPlace()) return out;
    for (size_t i = 0; i < done.size(); ++i)
        out[i] = done[i];
    return out;
}

std::optional<Recorded> Store::recordScore(const ScoreEntry& entry, const std::string& post, int64_t now) {
    return recordScores({{entry, post}}, now).front();
}

std::optional<std::vector<Ranked>> Store::ranked(const char* where, const std::string& key, int limit,
                                                 Counted counted) {
    // Scores best first (earliest first among equals), each member at their first, i.e. best, row; the
    // indexes on (verified, flagged, score, created_at) let this stop as soon as the board is full. The
    // verified scores go first, then, for members not on the board yet, the others.
    std::vector<Ranked> out;
    std::unordered_set<int64_t> seen;
    for (const bool verified : {true, false}) {
        if (!verified && counted == Counted::VerifiedOnly) break;
        const std::string sql =
            std::string("SELECT s.member_id, s.score, s.created_at, m.nickname, m.email, s.id, "
                        "s.verified FROM scores s JOIN members m ON m.id = s.member_id "
                        "WHERE s.flagged = 0") +
            (verified ? " AND s.verified = 1" : "") + where + " ORDER BY s.score DESC, s.created_at ASC";
        ReaderLease db(*this);
        Statement s = db->prepared(sql);
        if (*where) s.bind(1, key);
        while ((limit < 0 || out.size() < static_cast<size_t>(limit)) && s.step()) {
            if (seen.insert(s.integer(0)).second)
                out.push_back(
                    {s.text(3), s.text(4), s.integer(1), s.integer(2), s.integer(6) != 0, s.integer(5)});
        }
        if (s.failed()) return std::nullopt;
    }
    return out;
}

std::optional<std::vector<Ranked>> Store::leaderboard(Board board, int64_t now, int limit) {
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

std::optional<std::vector<Ranked>> Store::standings(bool week, const std::string& key, Counted counted) {
    return ranked(week ? " AND s.week = ?1" : " AND s.day = ?1", key, -1, counted);
}

Lookup<ReplayTarget> Store::replayTarget(int64_t memberId, int32_t score, int32_t bestScoreTime) {
    ReaderLease db(*this);
    Statement s = db->prepared("SELECT s.id, s.build_crc, s.build_length, r.result FROM scores s "
                               "LEFT JOIN replays r ON r.score_id = s.id "
                               "WHERE s.member_id = ? AND s.score = ? AND s.best_score_time = ? "
                               "ORDER BY s.id DESC LIMIT 1");
    s.bind(1, memberId).bind(2, score).bind(3, bestScoreTime);
    Lookup<ReplayTarget> out;
    if (s.step()) {
        ReplayTarget t;
        t.scoreId = s.integer(0);
        t.buildCrc = static_cast<uint32_t>(s.integer(1));
        t.buildLength = static_cast<uint32_t>(s.integer(2));
        if (!s.isNull(3)) t.result = static_cast<int>(s.integer(3));
        out.row = t;
    }
    out.failed = s.failed();
    return out;
}

bool Store::keepReplay(int64_t scoreId, std::span<const uint8_t> file, int result, int64_t now) {
    std::lock_guard lock(writeMutex_);
    if (!writer_->inPlace()) return false;
    Statement s =
        writer_->prepared("INSERT INTO replays (score_id, file, result, received_at) VALUES (?, ?, ?, ?)");
    s.bind(1, scoreId).bindBlob(2, file).bind(3, result).bind(4, now);
    s.step();
    return !s.failed();
}

std::optional<int> Store::fileReplayCheck(int64_t scoreId, int result, std::string reason,
                                          const std::string& fingerprint, int64_t now) {
    std::lock_guard lock(writeMutex_);
    if (!writer_->inPlace()) return std::nullopt;
    Transaction transaction(*writer_);
    if (!transaction.begun()) return std::nullopt;
    if (result == 0) {
        Statement twin =
            writer_->prepared("SELECT score_id FROM replays WHERE fingerprint = ? AND score_id != ?");
        twin.bind(1, fingerprint).bind(2, scoreId);
        if (twin.step()) {
            reason = "the same game backs score " + std::to_string(twin.integer(0)) + " already";
            result = NOT_REACHED;
        }
        if (twin.failed()) return std::nullopt;
    }
    Statement s = writer_->prepared(
        "UPDATE replays SET result = ?, reason = ?, fingerprint = ?, checked_at = ? WHERE score_id = ?");
    s.bind(1, result).bind(2, reason);
    if (result == 0)
        s.bind(3, fingerprint);
    else
        s.bindNull(3);
    s.bind(4, now).bind(5, scoreId);
    s.step();
    Statement v = writer_->prepared("UPDATE scores SET verified = ? WHERE id = ?");
    v.bind(1, result == 0 ? 1 : 0).bind(2, scoreId);
    v.step();
    if (s.failed() || v.failed() || !transaction.commit()) return std::nullopt;
    return result;
}

std::vector<ReplayRow> Store::replays(bool disagreeing, int limit) {
    ReaderLease db(*this);
    Statement s =
        db->prepared(std::string("SELECT r.score_id, m.nickname, s.score, r.result, r.reason, r.received_at "
                                 "FROM replays r JOIN scores s ON s.id = r.score_id "
                                 "JOIN members m ON m.id = s.member_id") +
                     (disagreeing ? " WHERE r.result != 0" : "") + " ORDER BY r.score_id DESC LIMIT ?");
    s.bind(1, limit);
    std::vector<ReplayRow> out;
    while (s.step())
        out.push_back(
            {s.integer(0), s.text(1), s.integer(2), static_cast<int>(s.integer(3)), s.text(4), s.integer(5)});
    return out;
}

std::optional<std::vector<uint8_t>> Store::verifiedReplay(int64_t scoreId) {
    ReaderLease db(*this);
    Statement s = db->prepared("SELECT file FROM replays WHERE score_id = ? AND result = 0");
    s.bind(1, scoreId);
    if (!s.step()) return std::nullopt;
    return s.blob(0);
}

std::optional<std::vector<uint8_t>> Store::movie(int64_t scoreId) {
    ReaderLease db(*this);
    Statement s =
        db->prepared("SELECT movie FROM replays WHERE score_id = ? AND result = 0 AND movie IS NOT NULL");
    s.bind(1, scoreId);
    if (!s.step()) return std::nullopt;
    return s.blob(0);
}

bool Store::keepMovie(int64_t scoreId, std::span<const uint8_t> gif) {
    std::lock_guard lock(writeMutex_);
    Statement s = writer_->prepared("UPDATE replays SET movie = ? WHERE score_id = ? AND result = 0");
    s.bindBlob(1, gif).bind(2, scoreId);
    s.step();
    return !s.failed();
}

int64_t Store::scoreCount(bool flagged) {
    ReaderLease db(*this);
    Statement s = db->prepared("SELECT COUNT(*) FROM scores WHERE flagged = ?");
    s.bind(1, flagged ? 1 : 0);
    return s.step() ? s.integer(0) : 0;
}

std::vector<int64_t> Store::scoresOf(int64_t memberId) {
    ReaderLease db(*this);
    Statement s = db->prepared("SELECT score FROM scores WHERE member_id = ? ORDER BY id");
    s.bind(1, memberId);
    std::vector<int64_t> out;
    while (s.step())
        out.push_back(s.integer(0));
    return out;
}

bool Store::limitPages(int64_t pages) {
    std::lock_guard lock(writeMutex_);
    return writer_->limitPages(pages);
}

bool Store::intact() {
    ReaderLease db(*this);
    return db->intact();
}

bool Store::inPlace() {
    std::lock_guard lock(writeMutex_);
    return writer_->inPlace();
}

bool Store::addRelease(const Release& r, std::string& error) {
    std::lock_guard lock(writeMutex_);
    Statement s =
        writer_->prepared("INSERT INTO releases (version, crc, length, added_at) VALUES (?, ?, ?, ?)");
    s.bind(1, r.version).bind(2, static_cast<int64_t>(r.crc)).bind(3, static_cast<int64_t>(r.length));
    s.bind(4, r.addedAt);
    s.step();
    if (s.failed()) error = writer_->lastError();
    std::lock_guard forget(releasesMutex_);
    releases_.reset();
    return !s.failed();
}

std::optional<std::vector<Release>> Store::releases() {
    const auto now = std::chrono::steady_clock::now();
    {
        std::lock_guard lock(releasesMutex_);
        if (releases_ && now - releasesRead_ < RELEASES_FRESH) return releases_;
    }
    ReaderLease db(*this);
    Statement s = db->prepared("SELECT version, crc, length, added_at FROM releases ORDER BY version DESC");
    std::vector<Release> out;
    while (s.step())
        out.push_back({s.integer(0), static_cast<uint32_t>(s.integer(1)), static_cast<uint32_t>(s.integer(2)),
                       s.integer(3)});
    if (s.failed()) return std::nullopt;
    std::lock_guard lock(releasesMutex_);
    releases_ = out;
    releasesRead_ = now;
    return out;
}

bool Store::addSession(const std::string& digest, const std::string& csrf, int64_t memberId, int64_t now) {
    std::lock_guard lock(writeMutex_);
    Statement s = writer_->prepared(
        "INSERT INTO sessions (token_digest, csrf, member_id, created_at) VALUES (?, ?, ?, ?)");
    s.bind(1, digest).bind(2, csrf).bind(3, memberId).bind(4, now);
    s.step();
    return !s.failed();
}

Lookup<SessionRow> Store::session(const std::string& digest) {
    ReaderLease db(*this);
    Statement s = db->prepared("SELECT csrf, member_id, created_at FROM sessions WHERE token_digest = ?");
    s.bind(1, digest);
    Lookup<SessionRow> out;
    if (!s.step()) {
        out.failed = s.failed();
        return out;
    }
    out.row = SessionRow{s.text(0), s.integer(1), s.integer(2)};
    return out;
}

void Store::removeSession(const std::string& digest) {
    std::lock_guard lock(writeMutex_);
    Statement s = writer_->prepared("DELETE FROM sessions WHERE token_digest = ?");
    s.bind(1, digest);
    s.step();
}

void Store::purgeSessions(int64_t now, int64_t maxAge) {
    std::lock_guard lock(writeMutex_);
    Statement s = writer_->prepared("DELETE FROM sessions WHERE created_at < ?");
    s.bind(1, now - maxAge);
    s.step();
}

int64_t Store::sessionCount() {
    ReaderLease db(*this);
    Statement s = db->prepared("SELECT COUNT(*) FROM sessions");
    return s.step() ? s.integer(0) : -1;
}

} // namespace tundrix::channel
