// A thin, safe hold on one SQLite database file: opening it, statements with bound values, transactions.
#pragma once
#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tundrix::channel {

// One prepared statement; values are always bound, never pasted into the SQL.
class Statement {
  public:
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    Statement& bind(int index, int64_t value);
    Statement& bind(int index, std::string_view text);
    Statement& bindNull(int index);
    // Runs to the next row: true while a row is there, false when done or on an error (see failed()).
    bool step();
    bool failed() const { return failed_; }
    int64_t integer(int column) const;
    std::string text(int column) const;
    bool isNull(int column) const;

  private:
    sqlite3_stmt* stmt_ = nullptr;
    bool failed_ = false;
};

class Database {
  public:
    // Opens (creating if needed) the file in WAL mode with foreign keys on and a busy time-out.
    static std::unique_ptr<Database> open(const std::string& path, std::string& error);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    sqlite3* handle() const { return db_; }
    // Runs SQL without results; false and the reason in error on failure.
    bool exec(std::string_view sql, std::string* error = nullptr);
    std::string lastError() const;
    int64_t lastInsertId() const;
    // Caps the file at this many pages, never below its present size: a full disk in miniature. A larger
    // number lifts the cap again. It holds for this connection only.
    bool limitPages(int64_t pages);
    int64_t pageCount();
    // PRAGMA integrity_check finds nothing wrong.
    bool intact();
    // The schema's version (PRAGMA user_version).
    int schemaVersion();

  private:
    explicit Database(sqlite3* db) : db_(db) {}
    sqlite3* db_;
};

// Begins an immediate transaction; rolls back unless commit() was called.
class Transaction {
  public:
    explicit Transaction(Database& db);
    ~Transaction();
    bool begun() const { return begun_; }
    bool commit();

  private:
    Database& db_;
    bool begun_ = false;
    bool done_ = false;
};

} // namespace tundrix::channel
