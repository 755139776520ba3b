// Schema steps: step n takes a database from version n - 1 to version n. Never edit a step once shipped.
#include "channel/migrations.h"

#include <algorithm>
#include <array>

namespace tundrix::channel {
namespace {

constexpr std::array<const char*, 6> STEPS = {
    // 1: members, their scores, the known builds of the game and the web sessions.
    R"sql(
CREATE TABLE members (
    id            INTEGER PRIMARY KEY,
    email         TEXT NOT NULL UNIQUE COLLATE NOCASE,
    nickname      TEXT NOT NULL UNIQUE COLLATE NOCASE,
    password_hash TEXT NOT NULL,
    recruiter_id  INTEGER REFERENCES members(id),
    created_at    INTEGER NOT NULL
);
CREATE INDEX members_recruiter ON members(recruiter_id);

CREATE TABLE scores (
    id              INTEGER PRIMARY KEY,
    member_id       INTEGER NOT NULL REFERENCES members(id),
    score           INTEGER NOT NULL,
    flagged         INTEGER NOT NULL,
    flag_reason     TEXT NOT NULL DEFAULT '',
    best_score_time INTEGER NOT NULL,
    total_play_time INTEGER NOT NULL,
    speed_count     INTEGER NOT NULL,
    processor       TEXT NOT NULL,
    build_crc       INTEGER NOT NULL,
    build_length    INTEGER NOT NULL,
    address         TEXT NOT NULL,
    created_at      INTEGER NOT NULL,
    day             TEXT NOT NULL,
    week            TEXT NOT NULL
);
CREATE INDEX scores_member ON scores(member_id, flagged, score);
CREATE INDEX scores_day ON scores(day, flagged, member_id, score);
CREATE INDEX scores_week ON scores(week, flagged, member_id, score);

CREATE TABLE releases (
    version  INTEGER PRIMARY KEY,
    crc      INTEGER NOT NULL,
    length   INTEGER NOT NULL,
    added_at INTEGER NOT NULL,
    UNIQUE (crc, length)
);

CREATE TABLE sessions (
    token_digest TEXT PRIMARY KEY,
    csrf         TEXT NOT NULL,
    member_id    INTEGER REFERENCES members(id),
    created_at   INTEGER NOT NULL
);
)sql",
    // 2: leaderboards read scores best first, so a page stops after its hundred members instead of
    // grouping every score; each member's last post is remembered so that a replayed one counts once.
    R"sql(
DROP INDEX scores_day;
DROP INDEX scores_week;
CREATE INDEX scores_rank ON scores(flagged, score DESC, created_at);
CREATE INDEX scores_day_rank ON scores(day, flagged, score DESC, created_at);
CREATE INDEX scores_week_rank ON scores(week, flagged, score DESC, created_at);
ALTER TABLE members ADD COLUMN last_post TEXT NOT NULL DEFAULT '';
)sql",
    // 3: an opaque recruiting code per member (the links carried the address); when each member last
    // posted, for the posting rate; a key per nickname under which look-alikes meet (filled by the
    // program, which knows the confusable characters); visitors no longer need a session row.
    R"sql(
ALTER TABLE members ADD COLUMN recruit_code TEXT NOT NULL DEFAULT '';
UPDATE members SET recruit_code = lower(hex(randomblob(8)));
CREATE UNIQUE INDEX members_recruit_code ON members(recruit_code);
ALTER TABLE members ADD COLUMN last_post_at INTEGER NOT NULL DEFAULT 0;
UPDATE members SET last_post_at = COALESCE((SELECT MAX(created_at) FROM scores WHERE member_id = members.id), 0);
ALTER TABLE members ADD COLUMN nickname_key TEXT NOT NULL DEFAULT '';
CREATE INDEX members_nickname_key ON members(nickname_key);
CREATE INDEX sessions_member ON sessions(member_id);
DELETE FROM sessions WHERE member_id IS NULL;
)sql",
    // 4: the game's recording behind a registered score, what playing it again showed, and its run as an
    // animated picture; a score is verified once its recording reaches it. The boards read verified
    // scores first.
    R"sql(
ALTER TABLE scores ADD COLUMN verified INTEGER NOT NULL DEFAULT 0;
CREATE TABLE replays (
    score_id    INTEGER PRIMARY KEY REFERENCES scores(id),
    file        BLOB NOT NULL,
    result      INTEGER NOT NULL,
    reason      TEXT NOT NULL DEFAULT '',
    fingerprint TEXT UNIQUE,
    received_at INTEGER NOT NULL,
    checked_at  INTEGER NOT NULL DEFAULT 0,
    movie       BLOB
);
CREATE INDEX replays_result ON replays(result);
CREATE INDEX scores_verified_rank ON scores(verified, flagged, score DESC, created_at);
CREATE INDEX scores_day_verified_rank ON scores(day, verified, flagged, score DESC, created_at);
CREATE INDEX scores_week_verified_rank ON scores(week, verified, flagged, score DESC, created_at);
CREATE INDEX scores_member_claim ON scores(member_id, score, best_score_time);
)sql",
    // 5: the operator's hand: competitions with their own dates, rules and prizes; the draws made for
    // them and their winners; scores hidden from the boards and members banned from them; a line for the
    // home page until a day; and what the operator did, kept.
    R"sql(
CREATE TABLE competitions (
    id          INTEGER PRIMARY KEY,
    kind        TEXT NOT NULL,
    name_sv     TEXT NOT NULL,
    name_en     TEXT NOT NULL,
    rules_sv    TEXT NOT NULL DEFAULT '',
    rules_en    TEXT NOT NULL DEFAULT '',
    prizes_sv   TEXT NOT NULL DEFAULT '',
    prizes_en   TEXT NOT NULL DEFAULT '',
    first_day   TEXT NOT NULL,
    last_day    TEXT NOT NULL,
    winners     INTEGER NOT NULL DEFAULT 1,
    draw_among  INTEGER NOT NULL DEFAULT 0,
    ended_at    INTEGER NOT NULL DEFAULT 0,
    created_at  INTEGER NOT NULL
);
CREATE TABLE draws (
    id             INTEGER PRIMARY KEY,
    competition_id INTEGER NOT NULL REFERENCES competitions(id),
    period         TEXT NOT NULL,
    seed           TEXT NOT NULL,
    published_at   INTEGER NOT NULL,
    UNIQUE (competition_id, period)
);
CREATE TABLE draw_winners (
    draw_id   INTEGER NOT NULL REFERENCES draws(id),
    place     INTEGER NOT NULL,
    member_id INTEGER NOT NULL REFERENCES members(id),
    nickname  TEXT NOT NULL,
    result    INTEGER NOT NULL,
    PRIMARY KEY (draw_id, place)
);
ALTER TABLE scores ADD COLUMN hidden INTEGER NOT NULL DEFAULT 0;
ALTER TABLE members ADD COLUMN banned INTEGER NOT NULL DEFAULT 0;
CREATE INDEX scores_flagged ON scores(flagged, id);
CREATE TABLE announcements (
    id         INTEGER PRIMARY KEY,
    text       TEXT NOT NULL,
    until_day  TEXT NOT NULL,
    created_at INTEGER NOT NULL
);
CREATE TABLE moderation (
    id     INTEGER PRIMARY KEY,
    at     INTEGER NOT NULL,
    action TEXT NOT NULL,
    target TEXT NOT NULL,
    detail TEXT NOT NULL DEFAULT ''
);
)sql",
    // 6: password resets by a link mailed to the member: only a digest of the link's token is kept, with
    // when it stops working and when it was used.
    R"sql(
CREATE TABLE password_resets (
    digest     TEXT PRIMARY KEY,
    member_id  INTEGER NOT NULL REFERENCES members(id),
    expires_at INTEGER NOT NULL,
    used_at    INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX password_resets_expiry ON password_resets(expires_at);
)sql",
};

} // namespace

int newestSchemaVersion() {
    return static_cast<int>(STEPS.size());
}

bool migrate(Database& db, std::string& error, int upTo) {
    const int current = db.schemaVersion();
    if (current < 0) {
        error = "cannot read the schema version: " + db.lastError();
        return false;
    }
    if (current > newestSchemaVersion()) {
        error = "the database has schema version " + std::to_string(current) +
                ", newer than this program's " + std::to_string(newestSchemaVersion());
        return false;
    }
    for (int version = current + 1; version <= std::min(upTo, newestSchemaVersion()); ++version) {
        Transaction transaction(db);
        if (!transaction.begun()) {
            error = "cannot begin the schema change: " + db.lastError();
            return false;
        }
        std::string why;
        if (!db.exec(STEPS[static_cast<size_t>(version - 1)], &why) ||
            !db.exec("PRAGMA user_version = " + std::to_string(version), &why) || !transaction.commit()) {
            error =
                "schema step " + std::to_string(version) + " failed: " + (why.empty() ? db.lastError() : why);
            return false;
        }
    }
    return true;
}

} // namespace tundrix::channel
