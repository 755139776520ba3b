// The store's password reset links: a digest of each link's token, the member it is for, until when it
// works, and whether it was used.
#include "channel/store.h"
#include "channel/store_lease.h"

namespace tundrix::channel {

bool Store::addPasswordReset(const std::string& digest, int64_t memberId, int64_t expiresAt, int64_t now) {
    std::lock_guard lock(writeMutex_);
    Transaction transaction(*writer_);
    if (!transaction.begun()) return false;
    Statement old = writer_->prepared("DELETE FROM password_resets WHERE expires_at <= ?");
    old.bind(1, now);
    old.step();
    Statement s =
        writer_->prepared("INSERT INTO password_resets (digest, member_id, expires_at) VALUES (?, ?, ?)");
    s.bind(1, digest).bind(2, memberId).bind(3, expiresAt);
    s.step();
    return !old.failed() && !s.failed() && transaction.commit();
}

Lookup<int64_t> Store::passwordReset(const std::string& digest, int64_t now) {
    ReaderLease db(*this);
    Statement s = db->prepared(
        "SELECT member_id FROM password_resets WHERE digest = ? AND used_at = 0 AND expires_at > ?");
    s.bind(1, digest).bind(2, now);
    Lookup<int64_t> out;
    if (s.step()) out.row = s.integer(0);
    out.failed = s.failed();
    return out;
}

Lookup<int64_t> Store::usePasswordReset(const std::string& digest, int64_t now) {
    std::lock_guard lock(writeMutex_);
    // One statement finds and spends the link, so two uses at once cannot both find it unused.
    Statement s =
        writer_->prepared("UPDATE password_resets SET used_at = ?2 WHERE digest = ?1 AND used_at = 0 "
                          "AND expires_at > ?2 RETURNING member_id");
    s.bind(1, digest).bind(2, now);
    Lookup<int64_t> out;
    if (s.step()) out.row = s.integer(0);
    out.failed = s.failed();
    // RETURNING gives its row before the statement has finished; stepping on completes the change.
    if (out.row) {
        s.step();
        out.failed = s.failed();
        if (out.failed) out.row.reset();
    }
    return out;
}

} // namespace tundrix::channel
