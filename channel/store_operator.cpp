// The operator's side of the store: hiding, deleting and banning with their log, the home page's
// announcements (logged too), and the online backup.
#include "channel/store.h"
#include "channel/store_lease.h"

#include <filesystem>

namespace tundrix::channel {
namespace {

// One change by one statement, its rows counted: none changed means nothing had that number.
Moderated changed(Database& db, Statement& s) {
    s.step();
    if (s.failed()) return Moderated::Failed;
    return db.changes() > 0 ? Moderated::Done : Moderated::NotFound;
}

// Gives the member another nickname, unless another member has it or one that looks like it (inside the
// caller's transaction).
Moderated renameIn(Database& db, int64_t memberId, const std::string& nickname,
                   const std::string& nicknameKey) {
    {
        Statement taken = db.prepared(
            "SELECT 1 FROM members WHERE id != ?1 AND (nickname = ?2 COLLATE NOCASE OR nickname_key = ?3)");
        taken.bind(1, memberId).bind(2, nickname).bind(3, nicknameKey);
        if (taken.step()) return Moderated::Taken;
        if (taken.failed()) return Moderated::Failed;
    }
    Statement s = db.prepared("UPDATE members SET nickname = ?, nickname_key = ? WHERE id = ?");
    s.bind(1, nickname).bind(2, nicknameKey).bind(3, memberId);
    return changed(db, s);
}

} // namespace

bool Store::logModeration(const ModerationEntry& e) {
    Statement s =
        writer_->prepared("INSERT INTO moderation (at, action, target, detail) VALUES (?, ?, ?, ?)");
    s.bind(1, e.at).bind(2, e.action).bind(3, e.target).bind(4, e.detail);
    s.step();
    return !s.failed();
}

Moderated Store::setScoreHidden(int64_t scoreId, bool hidden, const std::string& reason, int64_t now) {
    std::lock_guard lock(writeMutex_);
    Transaction transaction(*writer_);
    if (!transaction.begun()) return Moderated::Failed;
    Statement s = writer_->prepared("UPDATE scores SET hidden = ? WHERE id = ?");
    s.bind(1, hidden ? 1 : 0).bind(2, scoreId);
    const Moderated m = changed(*writer_, s);
    if (m != Moderated::Done) return m;
    if (!logModeration(
            {now, hidden ? "score hide" : "score show", "score " + std::to_string(scoreId), reason}) ||
        !transaction.commit())
        return Moderated::Failed;
    return Moderated::Done;
}

Moderated Store::deleteScore(int64_t scoreId, const std::string& reason, int64_t now) {
    std::lock_guard lock(writeMutex_);
    Transaction transaction(*writer_);
    if (!transaction.begun()) return Moderated::Failed;
    std::string what;
    {
        Statement s = writer_->prepared(
            "SELECT m.nickname, s.score FROM scores s JOIN members m ON m.id = s.member_id WHERE s.id = ?");
        s.bind(1, scoreId);
        if (!s.step()) return s.failed() ? Moderated::Failed : Moderated::NotFound;
        what = s.text(0) + " " + std::to_string(s.integer(1));
    }
    Statement replay = writer_->prepared("DELETE FROM replays WHERE score_id = ?");
    replay.bind(1, scoreId);
    replay.step();
    if (replay.failed()) return Moderated::Failed;
    Statement s = writer_->prepared("DELETE FROM scores WHERE id = ?");
    s.bind(1, scoreId);
    const Moderated m = changed(*writer_, s);
    if (m != Moderated::Done) return m;
    if (!logModeration({now, "score delete", "score " + std::to_string(scoreId),
                        what + (reason.empty() ? "" : ": " + reason)}) ||
        !transaction.commit())
        return Moderated::Failed;
    return Moderated::Done;
}

Moderated Store::setBanned(int64_t memberId, bool banned, const std::string& reason, int64_t now) {
    std::lock_guard lock(writeMutex_);
    Transaction transaction(*writer_);
    if (!transaction.begun()) return Moderated::Failed;
    Statement s = writer_->prepared("UPDATE members SET banned = ? WHERE id = ?");
    s.bind(1, banned ? 1 : 0).bind(2, memberId);
    const Moderated m = changed(*writer_, s);
    if (m != Moderated::Done) return m;
    if (banned) {
        Statement sessions = writer_->prepared("DELETE FROM sessions WHERE member_id = ?");
        sessions.bind(1, memberId);
        sessions.step();
        if (sessions.failed()) return Moderated::Failed;
    }
    if (!logModeration(
            {now, banned ? "member ban" : "member unban", "member " + std::to_string(memberId), reason}) ||
        !transaction.commit())
        return Moderated::Failed;
    return Moderated::Done;
}

Moderated Store::setNickname(int64_t memberId, const std::string& nickname, const std::string& nicknameKey) {
    std::lock_guard lock(writeMutex_);
    Transaction transaction(*writer_);
    if (!transaction.begun()) return Moderated::Failed;
    const Moderated m = renameIn(*writer_, memberId, nickname, nicknameKey);
    if (m != Moderated::Done) return m;
    return transaction.commit() ? Moderated::Done : Moderated::Failed;
}

Moderated Store::renameMember(int64_t memberId, const std::string& nickname, const std::string& nicknameKey,
                              const std::string& reason, int64_t now) {
    std::lock_guard lock(writeMutex_);
    Transaction transaction(*writer_);
    if (!transaction.begun()) return Moderated::Failed;
    std::string old;
    {
        Statement s = writer_->prepared("SELECT nickname FROM members WHERE id = ?");
        s.bind(1, memberId);
        if (!s.step()) return s.failed() ? Moderated::Failed : Moderated::NotFound;
        old = s.text(0);
    }
    const Moderated m = renameIn(*writer_, memberId, nickname, nicknameKey);
    if (m != Moderated::Done) return m;
    if (!logModeration({now, "member rename", "member " + std::to_string(memberId),
                        old + " -> " + nickname + (reason.empty() ? "" : ": " + reason)}) ||
        !transaction.commit())
        return Moderated::Failed;
    return Moderated::Done;
}

std::optional<std::vector<FlaggedScore>> Store::flaggedScores(int limit) {
    ReaderLease db(*this);
    Statement s = db->prepared("SELECT s.id, m.nickname, m.email, s.score, s.flag_reason, s.created_at, "
                               "s.hidden FROM scores s JOIN members m ON m.id = s.member_id "
                               "WHERE s.flagged = 1 ORDER BY s.id DESC LIMIT ?");
    s.bind(1, limit);
    std::vector<FlaggedScore> out;
    while (s.step())
        out.push_back(
            {s.integer(0), s.text(1), s.text(2), s.integer(3), s.text(4), s.integer(5), s.integer(6) != 0});
    if (s.failed()) return std::nullopt;
    return out;
}

std::optional<std::vector<ModerationEntry>> Store::moderationLog(int limit) {
    ReaderLease db(*this);
    Statement s = db->prepared("SELECT at, action, target, detail FROM moderation ORDER BY id DESC LIMIT ?");
    s.bind(1, limit);
    std::vector<ModerationEntry> out;
    while (s.step())
        out.push_back({s.integer(0), s.text(1), s.text(2), s.text(3)});
    if (s.failed()) return std::nullopt;
    return out;
}

bool Store::addAnnouncement(const Announcement& a, int64_t now) {
    std::lock_guard lock(writeMutex_);
    Transaction transaction(*writer_);
    if (!transaction.begun()) return false;
    Statement s =
        writer_->prepared("INSERT INTO announcements (text, until_day, created_at) VALUES (?, ?, ?)");
    s.bind(1, a.text).bind(2, a.untilDay).bind(3, now);
    s.step();
    return !s.failed() && logModeration({now, "announce", "until " + a.untilDay, a.text}) &&
           transaction.commit();
}

std::optional<std::vector<Announcement>> Store::announcements(const std::string& today, int limit) {
    ReaderLease db(*this);
    Statement s = db->prepared(
        "SELECT text, until_day FROM announcements WHERE until_day >= ? ORDER BY id DESC LIMIT ?");
    s.bind(1, today).bind(2, limit);
    std::vector<Announcement> out;
    while (s.step())
        out.push_back({s.text(0), s.text(1)});
    if (s.failed()) return std::nullopt;
    return out;
}

bool Store::backup(const std::string& file, std::string& error) {
    std::error_code ignored;
    if (std::filesystem::exists(file, ignored)) {
        error = file + " is there already";
        return false;
    }
    // Written beside its place and moved there once whole, so a half-made copy never passes for one.
    const std::string part = file + ".part";
    std::filesystem::remove(part, ignored);
    sqlite3* target = nullptr;
    if (sqlite3_open_v2(part.c_str(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        error = "cannot make " + part + ": " + (target ? sqlite3_errmsg(target) : "out of memory");
        sqlite3_close(target);
        return false;
    }
    bool ok = false;
    {
        ReaderLease db(*this);
        sqlite3_backup* copy = sqlite3_backup_init(target, "main", db->handle(), "main");
        if (copy) {
            // All pages in one step: one read transaction, so the copy is one moment's database even
            // while the server writes beside it.
            const int stepped = sqlite3_backup_step(copy, -1);
            sqlite3_backup_finish(copy);
            ok = stepped == SQLITE_DONE;
        }
        if (!ok) error = sqlite3_errmsg(target);
    }
    // The copy keeps no journal of its own beside it: one file is the whole of it.
    if (ok && sqlite3_exec(target, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        ok = false;
        error = sqlite3_errmsg(target);
    }
    if (sqlite3_close(target) != SQLITE_OK && ok) {
        ok = false;
        error = "cannot close " + part;
    }
    if (ok) {
        std::filesystem::rename(part, file, ignored);
        ok = !ignored;
        if (!ok) error = "cannot move " + part + " to " + file + ": " + ignored.message();
    }
    if (!ok) std::filesystem::remove(part, ignored);
    return ok;
}

} // namespace tundrix::channel
