// A thin, safe hold on one SQLite connection: opening it, statements with bound values prepared once,
// transactions.
#pragma once
#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tundrix::channel {

// One statement; values are always bound, never pasted into the SQL. Made by a Database from its cache
// (reset for the next use when it goes) or on its own (finalised when it goes).
class Statement {
  public:
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement& operator=(Statement&&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    Statement& bind(int index, int64_t value);
    Statement& bind(int index, std::string_view text);
    Statement& bindNull(int index);
    Statement& bindBlob(int index, std::span<const uint8_t> bytes);
    // Runs to the next row: true while a row is there, false when done or on an error (see failed()).
    bool step();
    bool failed() const { return failed_; }
    int64_t integer(int column) const;
    std::string text(int column) const;
    bool isNull(int column) const;
    std::vector<uint8_t> blob(int column) const;

  private:
    friend class Database;
    explicit Statement(sqlite3_stmt* cached) : stmt_(cached), owned_(false), failed_(cached == nullptr) {}

    sqlite3_stmt* stmt_ = nullptr;
    bool owned_ = true;
    bool failed_ = false;
};

class Database {
  public:
    // Opens the file in WAL mode with foreign keys on and a busy time-out; with create, makes it if it is
    // missing. Nothing if it cannot be opened for writing (a read-only file included).
    static std::unique_ptr<Database> open(const std::string& path, bool create, std::string& error);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    sqlite3* handle() const { return db_; }
    // The statement for this SQL, prepared on its first use on this connection and kept. One user at a
    // time: the caller holds the connection.
    Statement prepared(std::string_view sql);
    // Runs SQL without results; false and the reason in error on failure.
    bool exec(std::string_view sql, std::string* error = nullptr);
    std::string lastError() const;
    int64_t lastInsertId() const;
    int changes() const;
    // Caps the file at this many pages, never below its present size: a full disk in miniature. A larger
    // number lifts the cap again. It holds for this connection only.
    bool limitPages(int64_t pages);
    // PRAGMA integrity_check finds nothing wrong.
    bool intact();
    // PRAGMA quick_check finds nothing wrong: every b-tree whole, in a fraction of the full check's time
    // (it leaves out whether the indexes match their tables).
    bool whole();
    // The file this connection has open is still the one at its path (not removed, renamed or replaced).
    bool inPlace();
    // The schema's version (PRAGMA user_version).
    int schemaVersion();

  private:
    explicit Database(sqlite3* db) : db_(db) {}
    sqlite3* db_;
    std::unordered_map<std::string, sqlite3_stmt*> cache_;
};

// Begins an immediate transaction; rolls back unless commit() was called.
class Transaction {
  public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    bool begun() const { return begun_; }
    bool commit();

  private:
    Database& db_;
    bool begun_ = false;
    bool done_ = false;
};

} // namespace tundrix::channel
