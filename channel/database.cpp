// SQLite opened in WAL mode, statements with bound values prepared once per connection, scoped
// transactions.
#include "channel/database.h"

namespace tundrix::channel {

Statement::Statement(sqlite3* db, std::string_view sql) {
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        failed_ = true;
    }
}

Statement::Statement(Statement&& other) noexcept
    : stmt_(other.stmt_), owned_(other.owned_), failed_(other.failed_) {
    other.stmt_ = nullptr;
}

Statement::~Statement() {
    if (!stmt_) return;
    if (owned_) {
        sqlite3_finalize(stmt_);
    } else {
        // Ends the statement's read (a read left open would hold the log back) and clears the values.
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
}

Statement& Statement::bind(int index, int64_t value) {
    if (stmt_ && sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) failed_ = true;
    return *this;
}

Statement& Statement::bind(int index, std::string_view text) {
    if (stmt_ && sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                                   SQLITE_TRANSIENT) != SQLITE_OK)
        failed_ = true;
    return *this;
}

Statement& Statement::bindNull(int index) {
    if (stmt_ && sqlite3_bind_null(stmt_, index) != SQLITE_OK) failed_ = true;
    return *this;
}

Statement& Statement::bindBlob(int index, std::span<const uint8_t> bytes) {
    // A zero-length blob still binds as a blob, never as NULL.
    static const uint8_t none = 0;
    if (stmt_ && sqlite3_bind_blob64(stmt_, index, bytes.empty() ? &none : bytes.data(), bytes.size(),
                                     SQLITE_TRANSIENT) != SQLITE_OK)
        failed_ = true;
    return *this;
}

bool Statement::step() {
    if (!stmt_ || failed_) return false;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) failed_ = true;
    return false;
}

int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

std::string Statement::text(int column) const {
    const auto* p = sqlite3_column_text(stmt_, column);
    return p ? std::string(reinterpret_cast<const char*>(p),
                           static_cast<size_t>(sqlite3_column_bytes(stmt_, column)))
             : std::string();
}

std::vector<uint8_t> Statement::blob(int column) const {
    const auto* p = static_cast<const uint8_t*>(sqlite3_column_blob(stmt_, column));
    return p ? std::vector<uint8_t>(p, p + sqlite3_column_bytes(stmt_, column)) : std::vector<uint8_t>();
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

std::unique_ptr<Database> Database::open(const std::string& path, bool create, std::string& error) {
    sqlite3* handle = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_FULLMUTEX;
    if (sqlite3_open_v2(path.c_str(), &handle, flags, nullptr) != SQLITE_OK) {
        error = handle ? sqlite3_errmsg(handle) : "out of memory";
        sqlite3_close(handle);
        return nullptr;
    }
    std::unique_ptr<Database> db(new Database(handle));
    // SQLite quietly opens a file it may not write for reading only; the channel would then answer every
    // score with "try again" while looking well.
    if (sqlite3_db_readonly(handle, "main") == 1) {
        error = "the database file is read-only";
        return nullptr;
    }
    sqlite3_busy_timeout(handle, 5000);
    sqlite3_extended_result_codes(handle, 1);
    // WAL lets the pages read while a score is written. FULL syncs the log at every commit, so a score
    // the game was told is registered survives a crash of the server and a power cut alike (NORMAL
    // would survive only the crash).
    if (!db->exec("PRAGMA journal_mode=WAL", &error) || !db->exec("PRAGMA synchronous=FULL", &error) ||
        !db->exec("PRAGMA foreign_keys=ON", &error))
        return nullptr;
    Statement mode(handle, "PRAGMA journal_mode");
    if (!mode.step() || mode.text(0) != "wal") {
        error = "the database cannot use write-ahead logging";
        return nullptr;
    }
    return db;
}

Database::~Database() {
    for (auto& [sql, stmt] : cache_)
        sqlite3_finalize(stmt);
    sqlite3_close_v2(db_);
}

Statement Database::prepared(std::string_view sql) {
    const auto it = cache_.find(std::string(sql));
    if (it != cache_.end()) return Statement(it->second);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &stmt,
                           nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return Statement(static_cast<sqlite3_stmt*>(nullptr));
    }
    cache_.emplace(std::string(sql), stmt);
    return Statement(stmt);
}

bool Database::exec(std::string_view sql, std::string* error) {
    char* message = nullptr;
    const std::string text(sql);
    if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return true;
    if (error) *error = message ? message : "unknown SQLite error";
    sqlite3_free(message);
    return false;
}

std::string Database::lastError() const {
    return sqlite3_errmsg(db_);
}

int64_t Database::lastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

int Database::changes() const {
    return sqlite3_changes(db_);
}

bool Database::limitPages(int64_t pages) {
    Statement s(db_, "PRAGMA max_page_count = " + std::to_string(pages));
    s.step();
    return !s.failed();
}

bool Database::intact() {
    Statement s(db_, "PRAGMA integrity_check");
    return s.step() && s.text(0) == "ok" && !s.step() && !s.failed();
}

bool Database::whole() {
    Statement s(db_, "PRAGMA quick_check");
    return s.step() && s.text(0) == "ok" && !s.step() && !s.failed();
}

bool Database::inPlace() {
    int moved = 0;
    return sqlite3_file_control(db_, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved == 0;
}

int Database::schemaVersion() {
    Statement s(db_, "PRAGMA user_version");
    return s.step() ? static_cast<int>(s.integer(0)) : -1;
}

Transaction::Transaction(Database& db) : db_(db) {
    begun_ = db_.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (begun_ && !done_) db_.exec("ROLLBACK");
}

bool Transaction::commit() {
    if (!begun_ || done_) return false;
    done_ = db_.exec("COMMIT");
    return done_;
}

} // namespace tundrix::channel
