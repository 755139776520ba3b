// Everything the channel keeps: members, scores, the known builds of the game and web sessions.
#pragma once
#include "channel/database.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tundrix::channel {

struct Member {
    int64_t id = 0;
    std::string email; // the user name in the game; never shown on public pages
    std::string nickname;
    std::string passwordHash;
    std::optional<int64_t> recruiterId;
    int64_t createdAt = 0;
};

struct NewMember {
    std::string email;
    std::string nickname;
    std::string passwordHash;
    std::optional<int64_t> recruiterId;
};

enum class AddOutcome { Added, EmailTaken, NicknameTaken, Failed };

// One submitted score as it is kept, flagged ones included.
struct ScoreEntry {
    int64_t memberId = 0;
    int32_t score = 0;
    bool flagged = false;
    std::string flagReason;
    int32_t bestScoreTime = 0;
    int32_t totalPlayTime = 0;
    int32_t speedCount = 0;
    std::string processor;
    uint32_t buildCrc = 0;
    uint32_t buildLength = 0;
    std::string address;
};

// What became of a posted score.
enum class Recorded {
    PersonalBest, // kept, the member's best so far
    Kept,         // kept (not a new best, or flagged)
    Replayed,     // the very post the member sent last: already kept, not counted twice
};

enum class Board { Today, ThisWeek, AllTime };

// A member's best score on a board.
struct Ranked {
    std::string nickname;
    std::string email; // for the operator's prize draw only
    int64_t score = 0;
    int64_t at = 0; // when the best score was posted
};

struct Release {
    int64_t version = 0;
    uint32_t crc = 0;
    uint32_t length = 0;
    int64_t addedAt = 0;
};

struct SessionRow {
    std::string csrf;
    std::optional<int64_t> memberId;
    int64_t createdAt = 0;
};

// Thread-safe: one connection, one operation at a time. Every moment is in seconds since 1970.
class Store {
  public:
    // Opens or creates the database file and brings its schema up to date.
    static std::unique_ptr<Store> open(const std::string& path, std::string& error);

    AddOutcome addMember(const NewMember& member, int64_t now, int64_t* id = nullptr);
    std::optional<Member> memberByEmail(const std::string& email);
    std::optional<Member> memberById(int64_t id);
    bool setPasswordHash(int64_t memberId, const std::string& hash);
    std::vector<Member> members();
    std::vector<Member> recruitsOf(int64_t memberId);

    // Keeps a score, unless post (a digest of what was sent) is the member's previous post again. Gives
    // what became of it (never a personal best for a flagged one), or nothing if it could not be stored
    // (a full disk among others): then nothing of it is kept.
    std::optional<Recorded> recordScore(const ScoreEntry& entry, const std::string& post, int64_t now);
    // Best unflagged score per member on a board, highest first (earliest first among equals).
    std::vector<Ranked> leaderboard(Board board, int64_t now, int limit);
    // The same for a given day ("YYYY-MM-DD") or ISO week ("YYYY-Www"), every member.
    std::vector<Ranked> standings(bool week, const std::string& key);
    int64_t scoreCount(bool flagged);
    // Every score a member has, flagged ones included, in the order they came.
    std::vector<int64_t> scoresOf(int64_t memberId);

    // Caps the database at this many pages, like a disk that is full (a larger number lifts it).
    bool limitPages(int64_t pages);
    // PRAGMA integrity_check finds nothing wrong.
    bool intact();

    // false if the version or the build (crc and length) is known already.
    bool addRelease(const Release& release, std::string& error);
    // Newest version first.
    std::vector<Release> releases();

    bool addSession(const std::string& digest, const std::string& csrf, std::optional<int64_t> memberId,
                    int64_t now);
    std::optional<SessionRow> session(const std::string& digest);
    void removeSession(const std::string& digest);
    // Drops visitors' sessions older than a day and members' older than maxAge seconds.
    void purgeSessions(int64_t now, int64_t maxAge);

  private:
    explicit Store(std::unique_ptr<Database> db) : db_(std::move(db)) {}
    std::vector<Ranked> ranked(const char* where, const std::string& key, int limit);

    std::mutex mutex_;
    std::unique_ptr<Database> db_;
};

} // namespace tundrix::channel
