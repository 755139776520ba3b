// Everything the channel keeps: members, scores, the known builds of the game and members' sessions.
#pragma once
#include "channel/competition.h"
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
    bool banned = false;     // kept off the boards and the draws by the operator
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
    int64_t memberId = 0;
    int64_t rank = 0;  // 0 until rankTies numbers the board
    bool tied = false; // shares its rank with a neighbour
};

// Numbers a board best first: equal results (and the same verified mark) share a rank, the next one
// after them skips as many ("1, =2, =2, 4").
void rankTies(std::vector<Ranked>& board);

// One of a member's own scores, for their page.
struct OwnScore {
    int64_t scoreId = 0;
    int64_t score = 0;
    int64_t at = 0;
    bool verified = false;
    bool counted = true; // neither flagged nor hidden
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

// A recording kept but not played again yet, with what its score's form claimed.
struct WaitingReplay {
    int64_t scoreId = 0;
    int32_t score = 0;
    int32_t bestScoreTime = 0;
    uint32_t buildCrc = 0;
    uint32_t buildLength = 0;
    std::vector<uint8_t> file;
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

// A score the checks flagged, for the operator.
struct FlaggedScore {
    int64_t scoreId = 0;
    std::string nickname;
    std::string email;
    int64_t score = 0;
    std::string reason;
    int64_t at = 0;
    bool hidden = false;
};

// One thing the operator did to a score or a member.
struct ModerationEntry {
    int64_t at = 0;
    std::string action; // "score hide", "member ban", ...
    std::string target; // what it was done to
    std::string detail;
};

// What a moderation step found.
enum class Moderated { Done, NotFound, Taken, Failed };

struct Announcement {
    std::string text;
    std::string untilDay; // shown up to and including this day
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
    Lookup<Member> memberByNickname(const std::string& nickname); // in any case
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
    // Best unflagged score per member on a board (hidden scores and banned members left out), highest first
    // (earliest first among equals): every member with a verified score at their best verified one first,
    // then the others.
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
    // Up to limit recordings still waiting to be played again, the oldest first.
    std::vector<WaitingReplay> waitingReplays(int limit);
    // Every recording, newest first; only those not verified when disagreeing is set.
    std::vector<ReplayRow> replays(bool disagreeing, int limit);
    // A verified score's recording, and its run as an animated picture once made.
    std::optional<std::vector<uint8_t>> verifiedReplay(int64_t scoreId);
    std::optional<std::vector<uint8_t>> movie(int64_t scoreId);
    bool keepMovie(int64_t scoreId, std::span<const uint8_t> gif);
    int64_t scoreCount(bool flagged);
    // A member's scores, best first (latest first among equals), at most limit.
    std::optional<std::vector<OwnScore>> ownScores(int64_t memberId, int limit);
    // Changes a member's own nickname; Taken when another member's (or its look-alike) is the same.
    Moderated setNickname(int64_t memberId, const std::string& nickname, const std::string& nicknameKey);
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

    // The operator's moderation; each change and its entry in the log are kept together or not at all.
    Moderated setScoreHidden(int64_t scoreId, bool hidden, const std::string& reason, int64_t now);
    Moderated deleteScore(int64_t scoreId, const std::string& reason, int64_t now);
    // A ban also ends the member's sessions.
    Moderated setBanned(int64_t memberId, bool banned, const std::string& reason, int64_t now);
    // Taken when another member's nickname or its look-alike key is the same.
    Moderated renameMember(int64_t memberId, const std::string& nickname, const std::string& nicknameKey,
                           const std::string& reason, int64_t now);
    // Newest first, at most limit of them.
    std::optional<std::vector<FlaggedScore>> flaggedScores(int limit);
    std::optional<std::vector<ModerationEntry>> moderationLog(int limit);

    // Gives the new competition's number; logged with the operator's moderation.
    std::optional<int64_t> addCompetition(const Competition& competition, int64_t now);
    // Newest first.
    std::optional<std::vector<Competition>> competitions();
    Lookup<Competition> competition(int64_t id);
    Moderated endCompetition(int64_t id, int64_t now);
    // Best unflagged, unhidden score per member posted within the days (inclusive), best first, at most
    // limit (the draw's ranking; verified scores only unless told otherwise).
    std::optional<std::vector<Ranked>>
    standingsBetween(const std::string& firstDay, const std::string& lastDay, Counted counted, int limit);
    // Members who joined within the days and the recruiter of each, as (recruiter, recruits) counts,
    // most first (the earliest to reach the count first among equals).
    std::optional<std::vector<std::pair<Member, int64_t>>>
    recruitCounts(const std::string& firstDay, const std::string& lastDay, int limit);
    // Taken when that round was published already.
    Moderated publishDraw(const Draw& draw);
    // The published draws of a competition, newest round first.
    std::optional<std::vector<Draw>> draws(int64_t competitionId, int limit);

    // Logged with the operator's moderation.
    bool addAnnouncement(const Announcement& announcement, int64_t now);
    // The lines whose last day is this day or later, newest first, at most limit.
    std::optional<std::vector<Announcement>> announcements(const std::string& today, int limit);

    // A consistent copy of the whole database in a new file, made while the channel serves (SQLite's
    // online backup); false with the reason if it cannot be made. An existing file is not overwritten.
    bool backup(const std::string& file, std::string& error);

    // Keeps a reset link's token digest for the member until expiresAt, dropping links that expired.
    bool addPasswordReset(const std::string& digest, int64_t memberId, int64_t expiresAt, int64_t now);
    // The member whose unused, unexpired link this is (failed: the database could not be read).
    Lookup<int64_t> passwordReset(const std::string& digest, int64_t now);
    // The same, and the link used up in the same step: a second use finds nothing.
    Lookup<int64_t> usePasswordReset(const std::string& digest, int64_t now);

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
                                              Counted counted = Counted::VerifiedFirst,
                                              const std::string& key2 = "");
    bool fillNicknameKeys(std::string& error);
    // Files what the operator did; the caller holds the writer inside a transaction.
    bool logModeration(const ModerationEntry& entry);

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
