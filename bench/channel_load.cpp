// The channel's load client: members posting scores through the game's own form builder and answer
// reader, one connection per post like the game. The steps, run by channel_load.sh and the others:
//   channel_load prepare DB MEMBERS                   signs the members up (before the server starts)
//   channel_load post PORT MEMBERS SECONDS FIRST LOG  every member posts for SECONDS; appends to LOG
//   channel_load verify DB MEMBERS LOG...             every answered post is kept exactly once
//   channel_load fill DB MEMBERS SCORES               a big database: scores spread over the last year
//   channel_load argon2 CHECKS                        what one password check costs the server
//   channel_load bare mhd|httplib                     an HTTP server that answers "0" to every request,
//                                                     on our HTTP layer or on cpp-httplib: the ceiling
// Each post carries its own number in the speed count (f6), by which it is found again: the scores
// themselves stay within what the rules allow for the short game each post reports.
#include "channel/accounts.h"
#include "channel/calendar.h"
#include "channel/credential_cache.h"
#include "channel/crypto.h"
#include "channel/http/http_server.h"
#include "channel/store.h"
#include "net/score_submission.h"
#include "protocol/paths.h"
#include "protocol/score_answer.h"

#include "attack/attackers.h"

#include <httplib.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
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

struct Post {
    int member;
    int32_t id;        // sent as the speed count
    bool acknowledged; // answered 0 or 1
    int status;        // HTTP status, 0 if no answer came
    double ms;
};

int post(int port, int members, double seconds, int32_t first, const std::string& logPath) {
    std::vector<std::vector<Post>> done(static_cast<size_t>(members));
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    std::vector<std::thread> threads;
    for (int m = 0; m < members; ++m) {
        threads.emplace_back([&, m] {
            SubmissionRecord record;
            record.setUserName(emailOf(m));
            record.setPassword(PASSWORD);
            for (int32_t n = 0; Clock::now() < end; ++n) {
                const int32_t id = first + n;
                record.score = 1 + id % SCORES;
                record.bestScoreTime = GAME_MS;
                const std::string body = buildSubmissionBody(record, {id, "CPU UNKNOWN", {1234, 5'000'000}});
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
                done[static_cast<size_t>(m)].push_back({m, id, ack, status, e.ms});
                if (!e.answered)
                    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the server is down
            }
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
    if (a.size() == 6 && a[0] == "post")
        return post(std::stoi(a[1]), std::stoi(a[2]), std::stod(a[3]), std::stoi(a[4]), a[5]);
    if (a.size() == 2 && a[0] == "argon2") return argon2(std::stoi(a[1]));
    if (a.size() == 4 && a[0] == "fill") return fill(a[1], std::stoi(a[2]), std::stoi(a[3]));
    if (a.size() >= 4 && a[0] == "verify") return verify(a[1], std::stoi(a[2]), {a.begin() + 3, a.end()});
    if (a.size() == 2 && a[0] == "bare") return bare(a[1]);
    std::fprintf(stderr,
                 "usage: channel_load prepare DB MEMBERS | post PORT MEMBERS SECONDS FIRST LOG | "
                 "verify DB MEMBERS LOG... | fill DB MEMBERS SCORES | argon2 CHECKS | bare mhd|httplib\n");
    return 2;
}
