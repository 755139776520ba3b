// The channel's load client: members posting scores through the game's own form builder and answer
// reader, one connection per post like the game. The steps, run by channel_load.sh and the others:
//   channel_load prepare DB MEMBERS                   signs the members up (before the server starts)
//   channel_load post PORT MEMBERS SECONDS FIRST LOG [warm]
//                                                     every member posts for SECONDS; appends to LOG
//   channel_load verify DB MEMBERS LOG...             every answered post is kept exactly once
//   channel_load fill DB MEMBERS SCORES               a big database: scores spread over the last year
//   channel_load argon2 CHECKS                        what one password check costs the server
//   channel_load sync FILE WRITES                     what one durable write of a page costs on this disk
//   channel_load bare mhd|httplib                     an HTTP server that answers "0" to every request,
//                                                     on our HTTP layer or on cpp-httplib: the ceiling
//   channel_load verified PORT MEMBERS SECONDS GAMES  every member plays GAMES whole games first, then
//                                                     posts each one's score and its recording, as the
//                                                     game does after a registration
// Each post carries its own number in the speed count (f6), by which it is found again: the scores
// themselves stay within what the rules allow for the short game each post reports.
#include "bots/headless_game.h"
#include "channel/accounts.h"
#include "channel/calendar.h"
#include "channel/credential_cache.h"
#include "channel/crypto.h"
#include "channel/http/http_server.h"
#include "channel/store.h"
#include "net/score_submission.h"
#include "protocol/paths.h"
#include "protocol/replay_post.h"
#include "protocol/score_answer.h"
#include "replay/replay_codec.h"

#include "attack/attackers.h"

#include <fcntl.h>
#include <httplib.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <barrier>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace tundrix;
using Clock = std::chrono::steady_clock;

constexpr char PASSWORD[] = "bench-pass";
// The game time each post reports, and the scores that fit in it under the rules.
constexpr int32_t GAME_MS = 5000;
constexpr int32_t SCORES = 3000;
// The build every post names, and every recorded game is made with.
constexpr FileIntegrity BUILD{1234, 5'000'000};

std::string emailOf(int member) {
    return "bench" + std::to_string(member) + "@example.se";
}

int prepare(const std::string& db, int members) {
    std::string error;
    if (!channel::initCrypto()) return 1;
    auto store = channel::Store::open(db, channel::OpenMode::Create, error);
    if (!store) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    // One hash for all: signing up hundreds of members one argon2id check at a time is not what is measured.
    const auto hash = channel::hashPassword(PASSWORD);
    for (int m = 0; m < members; ++m) {
        const std::string nickname = "bench" + std::to_string(m);
        if (store->addMember({emailOf(m), nickname, nickname, *hash, std::nullopt}, 1'800'000'000) !=
            channel::AddOutcome::Added)
            return 1;
    }
    return 0;
}

// Scores as many members would have posted them over a year, in one transaction (the schema is the
// store's own: it is opened first, which creates it).
int fill(const std::string& db, int members, int scores) {
    if (prepare(db, members) != 0) return 1;
    sqlite3* handle = nullptr;
    if (sqlite3_open(db.c_str(), &handle) != SQLITE_OK) return 1;
    sqlite3_exec(handle, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(
        handle,
        "INSERT INTO scores (member_id, score, flagged, best_score_time, total_play_time, "
        "speed_count, processor, build_crc, build_length, address, created_at, day, week) "
        "VALUES (?, ?, ?, 60000, 3600000, 1000, 'CPU UNKNOWN', 1234, 5000000, '127.0.0.1', ?, ?, ?)",
        -1, &insert, nullptr);
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    uint64_t random = 0x9E3779B97F4A7C15u;
    auto next = [&random] {
        random ^= random << 13;
        random ^= random >> 7;
        random ^= random << 17;
        return random;
    };
    for (int i = 0; i < scores; ++i) {
        const int64_t at = now - static_cast<int64_t>(next() % (365 * 24 * 3600));
        sqlite3_bind_int64(insert, 1, 1 + static_cast<int64_t>(next() % static_cast<uint64_t>(members)));
        sqlite3_bind_int64(insert, 2, static_cast<int64_t>(next() % 50'000));
        sqlite3_bind_int64(insert, 3, next() % 100 == 0); // one in a hundred flagged
        sqlite3_bind_int64(insert, 4, at);
        const std::string day = channel::dayOf(at), week = channel::weekOf(at);
        sqlite3_bind_text(insert, 5, day.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 6, week.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(insert) != SQLITE_DONE) return 1;
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    const bool ok = sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(handle);
    return ok ? 0 : 1;
}

int argon2(int checks) {
    if (!channel::initCrypto() || checks < 1) return 1;
    const auto hash = channel::hashPassword(PASSWORD);
    const auto start = Clock::now();
    for (int i = 0; i < checks; ++i) {
        if (!channel::verifyPassword(*hash, PASSWORD)) return 1;
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / checks;
    channel::CredentialCache cache;
    cache.remember("a@b.se", PASSWORD, *hash, 0);
    const auto cached = Clock::now();
    for (int i = 0; i < checks * 1000; ++i) {
        if (!cache.known("a@b.se", PASSWORD, *hash, 1)) return 1;
    }
    const double us =
        std::chrono::duration<double, std::micro>(Clock::now() - cached).count() / (checks * 1000);
    std::printf("argon2id check (%s): %.1f ms on one core; a remembered pair: %.2f us\n",
                hash->substr(0, 29).c_str(), ms, us);
    return 0;
}

// Appends a page and waits for it to reach the disk, as each commit does with the log: the least a post
// that is answered only once it is durable has to wait.
int sync(const std::string& path, int writes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0 || writes < 1) return 1;
    const std::vector<char> page(4096, 'x');
    const auto start = Clock::now();
    for (int i = 0; i < writes; ++i) {
        if (::write(fd, page.data(), page.size()) != static_cast<ssize_t>(page.size()) ||
            ::fdatasync(fd) != 0) {
            ::close(fd);
            return 1;
        }
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / writes;
    ::close(fd);
    ::unlink(path.c_str());
    std::printf(
        "a 4 KiB write made durable (fdatasync): %.2f ms; one client waiting for each: %.0f posts/s\n", ms,
        1000.0 / ms);
    return 0;
}

struct Post {
    int member;
    int32_t id;        // sent as the speed count
    bool acknowledged; // answered 0 or 1
    int status;        // HTTP status, 0 if no answer came
    double ms;
    bool counted; // made while the time ran
};

// warm: each member's first post (its full password check) is made before the time starts, and counted
// only in the log, so the figures are of the steady state.
int post(int port, int members, double seconds, int32_t first, const std::string& logPath, bool warm) {
    std::vector<std::vector<Post>> done(static_cast<size_t>(members));
    Clock::time_point end;
    std::barrier started(members, [&]() noexcept {
        end = Clock::now() +
              std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    });
    std::vector<std::thread> threads;
    for (int m = 0; m < members; ++m) {
        threads.emplace_back([&, m] {
            SubmissionRecord record;
            record.setUserName(emailOf(m));
            record.setPassword(PASSWORD);
            auto postOnce = [&](int32_t id, bool counted) {
                record.score = 1 + id % SCORES;
                record.bestScoreTime = GAME_MS;
                const std::string body = buildSubmissionBody(record, {id, "CPU UNKNOWN", BUILD});
                // Each post from another loopback address, as players come from many: limits per address
                // (nginx's among them) are not what is measured.
                const int source =
                    2 + static_cast<int>((static_cast<uint32_t>(id) * 7u + static_cast<uint32_t>(m)) % 249u);
                const attack::Exchange e =
                    attack::exchange({"127.0.0.1", port}, attack::formPost(protocol::SUBMIT_PATH, body),
                                     std::chrono::seconds(30), source);
                const int status = e.answered ? e.status : 0;
                const protocol::ParsedAnswer a = protocol::parseAnswer(e.answered ? e.body : "");
                const bool ack = status == 200 && a.hasResult && (a.resultCode == 0 || a.resultCode == 1);
                done[static_cast<size_t>(m)].push_back({m, id, ack, status, e.ms, counted});
                if (!e.answered)
                    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the server is down
            };
            int32_t n = 0;
            if (warm) postOnce(first + n++, false);
            started.arrive_and_wait();
            while (Clock::now() < end)
                postOnce(first + n++, true);
        });
    }
    for (auto& t : threads)
        t.join();

    std::ofstream log(logPath, std::ios::app);
    std::vector<double> latency;
    std::map<int, int> byStatus;
    size_t acks = 0;
    for (const auto& list : done) {
        for (const Post& p : list) {
            log << (p.acknowledged ? "A " : "S ") << p.member << " " << p.id << "\n";
            if (!p.counted) continue;
            acks += p.acknowledged;
            ++byStatus[p.status];
            if (p.status != 0) latency.push_back(p.ms);
        }
    }
    std::sort(latency.begin(), latency.end());
    auto at = [&](double q) {
        return latency.empty()
                   ? 0.0
                   : latency[std::min(latency.size() - 1, static_cast<size_t>(q * latency.size()))];
    };
    std::printf("posts %zu acknowledged %zu per_second %.1f p50_ms %.1f p99_ms %.1f max_ms %.1f statuses",
                latency.size(), acks, static_cast<double>(acks) / seconds, at(0.50), at(0.99),
                latency.empty() ? 0.0 : latency.back());
    for (const auto& [status, count] : byStatus)
        std::printf(" %d:%d", status, count);
    std::printf("\n");
    return 0;
}

// A whole game a member played, as its score form and its recording say it.
struct PlayedGame {
    int32_t score = 0;
    int32_t time = 0; // ms from the start to the best score, as the form sends it
    std::vector<uint8_t> file;
};

std::vector<PlayedGame> playGames(int member, int count) {
    std::vector<PlayedGame> games;
    for (int i = 0; i < count; ++i) {
        const auto seed = static_cast<uint32_t>(member * 1000 + i);
        HeadlessGame game(10'000 + seed * 37, {protocol::GAME_ID, BUILD.crc, BUILD.length});
        playScriptedGame(game, seed);
        PlayedGame g;
        g.score = game.world().score().get();
        g.time = static_cast<int32_t>(game.clock.nowMs() - game.driver.baseTime());
        g.file = encodeReplay(game.replay());
        if (g.score > 0) games.push_back(std::move(g));
    }
    return games;
}

// Score posts followed by their recordings, as many as the members played, or until the time is up; the
// channel answers each recording only once it has played it again (or given up on it).
int verified(int port, int members, double seconds, int games) {
    // One after another: a game draws on the program's one screen.
    std::vector<std::vector<PlayedGame>> played;
    for (int m = 0; m < members; ++m)
        played.push_back(playGames(m, games));
    size_t bytes = 0, count = 0;
    for (const auto& list : played) {
        for (const PlayedGame& g : list)
            bytes += g.file.size();
        count += list.size();
    }
    std::printf("games %zu recording_bytes_mean %.0f\n", count, count ? double(bytes) / count : 0.0);

    struct Pair {
        bool acknowledged = false;
        int replayAnswer = -1; // -1: no answer read
        double scoreMs = 0, replayMs = 0;
    };
    std::vector<std::vector<Pair>> done(static_cast<size_t>(members));
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    std::vector<std::thread> threads;
    for (int m = 0; m < members; ++m) {
        threads.emplace_back([&, m] {
            SubmissionRecord record;
            record.setUserName(emailOf(m));
            record.setPassword(PASSWORD);
            int32_t id = m * 100'000;
            for (const PlayedGame& g : played[static_cast<size_t>(m)]) {
                if (Clock::now() >= end) break;
                record.score = g.score;
                record.bestScoreTime = g.time;
                const int source = 2 + static_cast<int>((static_cast<uint32_t>(id) * 7u) % 249u);
                const std::string form = buildSubmissionBody(record, {++id, "CPU UNKNOWN", BUILD});
                Pair p;
                const attack::Exchange e =
                    attack::exchange({"127.0.0.1", port}, attack::formPost(protocol::SUBMIT_PATH, form),
                                     std::chrono::seconds(30), source);
                const protocol::ParsedAnswer a = protocol::parseAnswer(e.answered ? e.body : "");
                p.acknowledged = e.answered && e.status == 200 && a.hasResult && a.resultCode <= 1;
                p.scoreMs = e.ms;
                if (p.acknowledged) {
                    const auto body =
                        protocol::encodeReplayPost({emailOf(m), PASSWORD, g.score, g.time, g.file});
                    const attack::Exchange r =
                        attack::exchange({"127.0.0.1", port}, attack::formPost(protocol::REPLAY_PATH, *body),
                                         std::chrono::seconds(30), source);
                    const auto answer =
                        protocol::readReplayAnswer(r.answered && r.status == 200 ? r.body : "");
                    p.replayAnswer = answer ? static_cast<int>(*answer) : -r.status - 1;
                    p.replayMs = r.ms;
                }
                done[static_cast<size_t>(m)].push_back(p);
            }
        });
    }
    for (auto& t : threads)
        t.join();
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();

    std::vector<double> scoreMs, replayMs;
    std::map<int, int> answers;
    size_t acks = 0, verifiedCount = 0;
    for (const auto& list : done) {
        for (const Pair& p : list) {
            acks += p.acknowledged;
            scoreMs.push_back(p.scoreMs);
            if (p.acknowledged) {
                replayMs.push_back(p.replayMs);
                ++answers[p.replayAnswer];
                verifiedCount += p.replayAnswer == static_cast<int>(protocol::ReplayAnswer::Verified);
            }
        }
    }
    auto at = [](std::vector<double>& v, double q) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v[std::min(v.size() - 1, static_cast<size_t>(q * v.size()))];
    };
    std::printf(
        "seconds %.1f scores %zu per_second %.1f verified %zu verified_per_second %.1f score_p50_ms %.1f "
        "score_p99_ms %.1f replay_p50_ms %.1f replay_p99_ms %.1f answers",
        elapsed, acks, acks / elapsed, verifiedCount, verifiedCount / elapsed, at(scoreMs, 0.5),
        at(scoreMs, 0.99), at(replayMs, 0.5), at(replayMs, 0.99));
    for (const auto& [answer, n] : answers)
        std::printf(" %d:%d", answer, n);
    std::printf("\n");
    return 0;
}

int verify(const std::string& db, int members, const std::vector<std::string>& logs) {
    std::map<int, std::set<int64_t>> sent, acked;
    for (const std::string& path : logs) {
        std::ifstream in(path);
        char kind = 0;
        int member = 0;
        int64_t id = 0;
        while (in >> kind >> member >> id) {
            sent[member].insert(id);
            if (kind == 'A') acked[member].insert(id);
        }
    }
    std::string error;
    if (!channel::initCrypto()) return 1;
    auto store = channel::Store::open(db, channel::OpenMode::Existing, error);
    if (!store) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    sqlite3* handle = nullptr;
    if (sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return 1;
    sqlite3_stmt* rows = nullptr;
    sqlite3_prepare_v2(handle, "SELECT speed_count, score, flagged FROM scores WHERE member_id = ?", -1,
                       &rows, nullptr);
    size_t kept = 0, ackCount = 0, faults = 0, flagged = 0;
    std::map<std::string, int64_t> best;
    for (const auto& r :
         store->leaderboard(channel::Board::AllTime, 0, -1).value_or(std::vector<channel::Ranked>{}))
        best[r.email] = r.score;
    for (int m = 0; m < members; ++m) {
        const auto member = store->memberByEmail(emailOf(m)).row;
        if (!member) return 1;
        std::multiset<int64_t> stored;
        int64_t top = -1;
        sqlite3_bind_int64(rows, 1, member->id);
        while (sqlite3_step(rows) == SQLITE_ROW) {
            stored.insert(sqlite3_column_int64(rows, 0));
            if (sqlite3_column_int64(rows, 2) == 0) {
                top = std::max<int64_t>(top, sqlite3_column_int64(rows, 1));
            } else {
                ++flagged;
            }
        }
        sqlite3_reset(rows);
        kept += stored.size();
        ackCount += acked[m].size();
        for (int64_t id : acked[m]) {
            if (stored.count(id) != 1) {
                std::printf("LOST or doubled: member %d post %lld kept %zu times\n", m,
                            static_cast<long long>(id), stored.count(id));
                ++faults;
            }
        }
        for (int64_t id : stored) {
            if (!sent[m].count(id) || stored.count(id) != 1) {
                std::printf("UNEXPECTED: member %d post %lld\n", m, static_cast<long long>(id));
                ++faults;
            }
        }
        const int64_t board = best.count(emailOf(m)) ? best[emailOf(m)] : -1;
        if (board != top) {
            std::printf("BEST differs: member %d board %lld kept %lld\n", m, static_cast<long long>(board),
                        static_cast<long long>(top));
            ++faults;
        }
    }
    sqlite3_finalize(rows);
    sqlite3_close(handle);
    const bool intact = store->intact();
    std::printf("acknowledged %zu kept %zu flagged %zu faults %zu integrity %s\n", ackCount, kept, flagged,
                faults, intact ? "ok" : "BROKEN");
    return faults == 0 && intact ? 0 : 1;
}

// Serves "0" to every request until SIGINT or SIGTERM, on our HTTP layer or on cpp-httplib.
int bare(const std::string& which) {
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    int signal = 0;
    if (which == "mhd") {
        channel::HttpServer server({}, [](channel::HttpRequest, channel::Reply reply) {
            channel::HttpResponse answer;
            answer.setContent("0\r\n", "text/plain; charset=utf-8");
            reply(std::move(answer));
        });
        std::string error;
        if (!server.start("127.0.0.1", 0, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        std::printf("listening on http://127.0.0.1:%d/\n", server.port());
        std::fflush(stdout);
        sigwait(&stop, &signal);
        return 0;
    }
    if (which == "httplib") {
        httplib::Server server;
        server.Post(protocol::SUBMIT_PATH, [](const httplib::Request&, httplib::Response& res) {
            res.set_content("0\r\n", "text/plain; charset=utf-8");
        });
        const int port = server.bind_to_any_port("127.0.0.1");
        std::printf("listening on http://127.0.0.1:%d/\n", port);
        std::fflush(stdout);
        std::thread serving([&server] { server.listen_after_bind(); });
        sigwait(&stop, &signal);
        server.stop();
        serving.join();
        return 0;
    }
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() == 3 && a[0] == "prepare") return prepare(a[1], std::stoi(a[2]));
    if ((a.size() == 6 || (a.size() == 7 && a[6] == "warm")) && a[0] == "post")
        return post(std::stoi(a[1]), std::stoi(a[2]), std::stod(a[3]), std::stoi(a[4]), a[5], a.size() == 7);
    if (a.size() == 2 && a[0] == "argon2") return argon2(std::stoi(a[1]));
    if (a.size() == 3 && a[0] == "sync") return sync(a[1], std::stoi(a[2]));
    if (a.size() == 4 && a[0] == "fill") return fill(a[1], std::stoi(a[2]), std::stoi(a[3]));
    if (a.size() >= 4 && a[0] == "verify") return verify(a[1], std::stoi(a[2]), {a.begin() + 3, a.end()});
    if (a.size() == 2 && a[0] == "bare") return bare(a[1]);
    if (a.size() == 5 && a[0] == "verified")
        return verified(std::stoi(a[1]), std::stoi(a[2]), std::stod(a[3]), std::stoi(a[4]));
    std::fprintf(stderr,
                 "usage: channel_load prepare DB MEMBERS | post PORT MEMBERS SECONDS FIRST LOG [warm] | "
                 "verify DB MEMBERS LOG... | fill DB MEMBERS SCORES | argon2 CHECKS | sync FILE WRITES | "
                 "bare mhd|httplib | "
                 "verified PORT MEMBERS SECONDS GAMES\n");
    return 2;
}
