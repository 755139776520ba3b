// Everything the channel keeps: members, scores, the known builds of the game and members' sessions.
#pragma once
#include "channel/database.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tundrix::channel {

// A look-up that tells "not there" apart from "could not be read" (a damaged file, a disk error): the
// second must never pass for the first.
template <class T> struct Lookup {
    std::optional<T> row;
    bool failed = false;
};

struct Member {
    int64_t id = 0;
    std::string email; // the user name in the game; never shown on public pages
    std::string nickname;
    std::string passwordHash;
    std::optional<int64_t> recruiterId;
    int64_t createdAt = 0;
    std::string recruitCode; // what the recruiting link carries instead of the address
    int64_t lastPostAt = 0;  // when a score of theirs was last kept (0: never)
};

struct NewMember {
    std::string email;
    std::string nickname;
    std::string nicknameKey; // equal for nicknames that look alike
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

// A score waiting to be kept, with a digest of what was sent (to know the same post sent again).
struct PendingScore {
    ScoreEntry entry;
    std::string post;
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
    int64_t at = 0;        // when the best score was posted
    bool verified = false; // the game's recording was played again and reaches it
    int64_t scoreId = 0;
};

// Which boards count: verified scores first and the others after them, or verified ones alone.
enum class Counted { VerifiedFirst, VerifiedOnly };

// A registered score a recording may back.
struct ReplayTarget {
    int64_t scoreId = 0;
    uint32_t buildCrc = 0;
    uint32_t buildLength = 0;
    std::optional<int> result; // what became of the recording already sent for it, if any
};

// A recording as the operator sees it.
struct ReplayRow {
    int64_t scoreId = 0;
    std::string nickname;
    int64_t score = 0;
    int result = 0; // the replay post's answer (0 verified)
    std::string reason;
    int64_t receivedAt = 0;
};

struct Release {
    int64_t version = 0;
    uint32_t crc = 0;
    uint32_t length = 0;
    int64_t addedAt = 0;
};

struct SessionRow {
    std::string csrf;
    int64_t memberId = 0;
    int64_t createdAt = 0;
};

enum class OpenMode {
    Existing, // the file must be there: a missing one is an error, never quietly a new empty channel
    Create,   // made (with its folder) if it is missing
};

// Thread-safe. Writes go through one connection, one at a time; reads through a few others, beside the
// writes (WAL). Every moment is in seconds since 1970.
class Store {
  public:
    // Opens the database file, checks that it is whole and writable, and brings its schema up to date.
    static std::unique_ptr<Store> open(const std::string& path, OpenMode mode, std::string& error);
    ~Store();

    AddOutcome addMember(const NewMember& member, int64_t now, int64_t* id = nullptr);
    Lookup<Member> memberByEmail(const std::string& email);
    Lookup<Member> memberById(int64_t id);
    Lookup<Member> memberByRecruitCode(const std::string& code);
    // Sets the hash and ends every session of the member (a reset locks out whoever knew the old one).
    bool setPasswordHash(int64_t memberId, const std::string& hash);
    std::vector<Member> members();
    std::optional<std::vector<Member>> recruitsOf(int64_t memberId);

    // Keeps the scores in one transaction with one sync, each unless its post is the member's previous
    // post again. For each: what became of it (never a personal best for a flagged one); all nothing if
    // they could not be stored (a full disk, a file removed under the server): then none of them is kept.
    std::vector<std::optional<Recorded>> recordScores(const std::vector<PendingScore>& scores, int64_t now);
    std::optional<Recorded> recordScore(const ScoreEntry& entry, const std::string& post, int64_t now);
    // Best unflagged score per member on a board, highest first (earliest first among equals): every
    // member with a verified score at their best verified one first, then the others.
    std::optional<std::vector<Ranked>> leaderboard(Board board, int64_t now, int limit);
    // The same for a given day ("YYYY-MM-DD") or ISO week ("YYYY-Www"), every member.
    std::optional<std::vector<Ranked>> standings(bool week, const std::string& key,
                                                 Counted counted = Counted::VerifiedOnly);

    // The member's latest registered score with that score and best-score time.
    Lookup<ReplayTarget> replayTarget(int64_t memberId, int32_t score, int32_t bestScoreTime);
    // Keeps a score's recording, not yet checked; false if it cannot be stored or one is kept already.
    bool keepReplay(int64_t scoreId, std::span<const uint8_t> file, int result, int64_t now);
    // Files what playing it again showed; a verified one marks its score verified, unless the same game
    // (its fingerprint) backs another score already: then it is filed as not reaching it. Gives the
    // result filed, nothing if it could not be stored.
    std::optional<int> fileReplayCheck(int64_t scoreId, int result, std::string reason,
                                       const std::string& fingerprint, int64_t now);
    // Every recording, newest first; only those not verified when disagreeing is set.
    std::vector<ReplayRow> replays(bool disagreeing, int limit);
    // A verified score's recording, and its run as an animated picture once made.
    std::optional<std::vector<uint8_t>> verifiedReplay(int64_t scoreId);
    std::optional<std::vector<uint8_t>> movie(int64_t scoreId);
    bool keepMovie(int64_t scoreId, std::span<const uint8_t> gif);
    int64_t scoreCount(bool flagged);
    // Every score a member has, flagged ones included, in the order they came.
    std::vector<int64_t> scoresOf(int64_t memberId);

    // Caps the database at this many pages, like a disk that is full (a larger number lifts it).
    bool limitPages(int64_t pages);
    // PRAGMA integrity_check finds nothing wrong.
    bool intact();
    // The database file is still where it was opened (not removed or replaced while serving).
    bool inPlace();

    // false if the version or the build (crc and length) is known already.
    bool addRelease(const Release& release, std::string& error);
    // Newest version first. Read again at most every RELEASES_FRESH, so a release added by the
    // command line counts within that time.
    std::optional<std::vector<Release>> releases();
    static constexpr std::chrono::seconds RELEASES_FRESH{2};

    bool addSession(const std::string& digest, const std::string& csrf, int64_t memberId, int64_t now);
    Lookup<SessionRow> session(const std::string& digest);
    void removeSession(const std::string& digest);
    // Drops sessions older than maxAge seconds.
    void purgeSessions(int64_t now, int64_t maxAge);
    int64_t sessionCount();

  private:
    class ReaderLease;
    explicit Store(std::unique_ptr<Database> writer, const std::string& path);
    std::optional<std::vector<Ranked>> ranked(const char* where, const std::string& key, int limit,
                                              Counted counted = Counted::VerifiedFirst);
    bool fillNicknameKeys(std::string& error);

    std::string path_;
    std::mutex writeMutex_;
    std::unique_ptr<Database> writer_;
    std::mutex readersMutex_;
    std::condition_variable readerFree_;
    std::vector<std::unique_ptr<Database>> readers_;
    std::vector<Database*> idleReaders_;

    std::mutex releasesMutex_;
    std::optional<std::vector<Release>> releases_;
    std::chrono::steady_clock::time_point releasesRead_;
};

} // namespace tundrix::channel
