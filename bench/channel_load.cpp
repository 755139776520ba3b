// The channel's load client: members posting scores through the game's own form builder and answer
// reader, one connection per post like the game. Three steps, run by channel_load.sh:
//   channel_load prepare DB MEMBERS                   signs the members up (before the server starts)
//   channel_load post PORT MEMBERS SECONDS FIRST LOG  every member posts for SECONDS; appends to LOG
//   channel_load verify DB MEMBERS LOG...             every answered post is kept exactly once
//   channel_load fill DB MEMBERS SCORES               a big database: scores spread over the last year
//   channel_load argon2 CHECKS                        what one password check costs the server
#include "channel/accounts.h"
#include "channel/calendar.h"
#include "channel/credential_cache.h"
#include "channel/crypto.h"
#include "channel/store.h"
#include "net/answer_parser.h"
#include "net/score_submission.h"

#include <httplib.h>

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

std::string emailOf(int member) {
    return "bench" + std::to_string(member) + "@example.se";
}

int prepare(const std::string& db, int members) {
    std::string error;
    if (!channel::initCrypto()) return 1;
    auto store = channel::Store::open(db, error);
    if (!store) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    // One hash for all: signing up hundreds of members one argon2id check at a time is not what is measured.
    const auto hash = channel::hashPassword(PASSWORD);
    for (int m = 0; m < members; ++m) {
        if (store->addMember({emailOf(m), "bench" + std::to_string(m), *hash, std::nullopt}, 1'800'000'000) !=
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
    int32_t score;
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
            httplib::Client client("127.0.0.1", port);
            client.set_connection_timeout(5);
            client.set_read_timeout(30);
            SubmissionRecord record;
            record.setUserName(emailOf(m));
            record.setPassword(PASSWORD);
            for (int32_t n = 0; Clock::now() < end; ++n) {
                record.score = first + n;
                record.bestScoreTime = 60'000 + n;
                const std::string body =
                    buildSubmissionBody(record, {1000, "CPU UNKNOWN", {1234, 5'000'000}});
                const auto start = Clock::now();
                const auto res = client.Post(SUBMIT_PATH, body, "application/x-www-form-urlencoded");
                const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                const int status = res ? res->status : 0;
                const ParsedAnswer a = parseAnswer(res ? res->body : "");
                const bool ack = status == 200 && a.hasResult && (a.resultCode == 0 || a.resultCode == 1);
                done[static_cast<size_t>(m)].push_back({m, record.score, ack, status, ms});
                if (!res) std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the server is down
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
            log << (p.acknowledged ? "A " : "S ") << p.member << " " << p.score << "\n";
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
        int64_t score = 0;
        while (in >> kind >> member >> score) {
            sent[member].insert(score);
            if (kind == 'A') acked[member].insert(score);
        }
    }
    std::string error;
    if (!channel::initCrypto()) return 1;
    auto store = channel::Store::open(db, error);
    if (!store) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    size_t kept = 0, ackCount = 0, faults = 0;
    std::map<std::string, int64_t> best;
    for (const auto& r : store->leaderboard(channel::Board::AllTime, 0, -1))
        best[r.email] = r.score;
    for (int m = 0; m < members; ++m) {
        const auto member = store->memberByEmail(emailOf(m));
        if (!member) return 1;
        const std::vector<int64_t> scores = store->scoresOf(member->id);
        const std::multiset<int64_t> stored(scores.begin(), scores.end());
        kept += scores.size();
        ackCount += acked[m].size();
        for (int64_t s : acked[m]) {
            if (stored.count(s) != 1) {
                std::printf("LOST or doubled: member %d score %lld kept %zu times\n", m,
                            static_cast<long long>(s), stored.count(s));
                ++faults;
            }
        }
        for (int64_t s : stored) {
            if (!sent[m].count(s) || stored.count(s) != 1) {
                std::printf("UNEXPECTED: member %d score %lld\n", m, static_cast<long long>(s));
                ++faults;
            }
        }
        const int64_t top = scores.empty() ? -1 : *std::max_element(scores.begin(), scores.end());
        const int64_t board = best.count(emailOf(m)) ? best[emailOf(m)] : -1;
        if (board != top || (!acked[m].empty() && top < *acked[m].rbegin())) {
            std::printf("BEST differs: member %d board %lld kept %lld\n", m, static_cast<long long>(board),
                        static_cast<long long>(top));
            ++faults;
        }
    }
    const bool intact = store->intact();
    std::printf("acknowledged %zu kept %zu faults %zu integrity %s\n", ackCount, kept, faults,
                intact ? "ok" : "BROKEN");
    return faults == 0 && intact ? 0 : 1;
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
    std::fprintf(stderr, "usage: channel_load prepare DB MEMBERS | post PORT MEMBERS SECONDS FIRST LOG | "
                         "verify DB MEMBERS LOG... | fill DB MEMBERS SCORES | argon2 CHECKS\n");
    return 2;
}
