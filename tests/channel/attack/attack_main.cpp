// tundrix_attack: the red team's attacks on a channel server, for the benchmarks and the nginx test.
//   tundrix_attack slow HOST PORT CONNECTIONS SECONDS USER PASSWORD   slow clients while a player posts
//   tundrix_attack flood HOST PORT CONNECTIONS MIB                    header floods, one per connection
//   tundrix_attack burst HOST PORT CONNECTIONS                        connects at once, each asking a page
//   tundrix_attack pipeline HOST PORT REQUESTS                        GETs in one write on one connection
//   tundrix_attack login-timing HOST PORT EMAIL TRIES                  wrong log-ins, known address and not
// Each prints one line of "name value" pairs.
#include "attackers.h"
#include "protocol/paths.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace tundrix::attack;
using Clock = std::chrono::steady_clock;

// The game gives up on a post after a minute.
constexpr Millis GAME_LIMIT{60'000};

int slow(const Target& target, int count, int seconds, const std::string& user, const std::string& password) {
    SlowClients slow(target, count, Millis(5000));
    std::this_thread::sleep_for(Millis(2000)); // let them all connect and start
    std::vector<double> times;
    int posts = 0, answered = 0;
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    for (int32_t score = 1; Clock::now() < end; ++score) {
        const auto started = Clock::now();
        const Exchange e = exchange(
            target, formPost(tundrix::protocol::SUBMIT_PATH, gameBody(user, password, score)), GAME_LIMIT);
        ++posts;
        if (e.answered && e.status == 200) {
            ++answered;
            times.push_back(e.ms);
        }
        std::this_thread::sleep_until(started + Millis(1000));
    }
    std::sort(times.begin(), times.end());
    std::printf("slow %d open %d ended_by_server %d posts %d answered %d failed %d p50_ms %.0f max_ms %.0f\n",
                count, slow.open(), slow.endedByServer(), posts, answered, posts - answered,
                quantile(times, 0.5), times.empty() ? 0.0 : times.back());
    return 0;
}

int flood(const Target& target, int count, int mib) {
    std::vector<std::future<FloodResult>> floods;
    for (int i = 0; i < count; ++i)
        floods.push_back(std::async(std::launch::async, headerFlood, target, static_cast<size_t>(mib) << 20,
                                    size_t{8000}, Millis(300'000)));
    size_t most = 0;
    double longest = 0;
    std::string statuses;
    for (auto& f : floods) {
        const FloodResult r = f.get();
        most = std::max(most, r.sent);
        longest = std::max(longest, r.ms);
        statuses += ' ' + std::to_string(r.status) + (r.closed ? "c" : "");
    }
    std::printf("flood %d most_sent_kib %zu longest_ms %.0f statuses%s\n", count, most >> 10, longest,
                statuses.c_str());
    return 0;
}

// One wrong log-in from a fresh address (so that no limit answers for the password check): its time.
double wrongLogIn(const Target& target, const std::string& email, int source) {
    const Exchange form =
        exchange(target, "GET /logga-in/ HTTP/1.1\r\nHost: channel\r\nConnection: close\r\n\r\n",
                 Millis(10'000), source);
    std::smatch token, cookie;
    if (!std::regex_search(form.body, token, std::regex("name=\"csrf\" value=\"([0-9a-f]{64})\"")) ||
        !std::regex_search(form.head, cookie, std::regex("\r\n[Ss]et-[Cc]ookie: *([^;\r]*)")))
        return -1;
    const std::string escaped = std::regex_replace(email, std::regex("@"), "%40");
    const Exchange answer =
        exchange(target,
                 formPost("/logga-in/", "email=" + escaped + "&password=wrong-guess&csrf=" + token[1].str(),
                          "Cookie: " + cookie[1].str() + "\r\n"),
                 Millis(10'000), source);
    return answer.status == 401 ? answer.ms : -1;
}

int loginTiming(const Target& target, const std::string& email, int tries) {
    std::vector<double> known, unknown;
    for (int i = 0; i < tries; ++i) {
        const double k = wrongLogIn(target, email, 2 + (2 * i) % 249);
        const double u =
            wrongLogIn(target, "nobody" + std::to_string(i) + "@example.se", 2 + (2 * i + 1) % 249);
        if (k >= 0) known.push_back(k);
        if (u >= 0) unknown.push_back(u);
    }
    std::sort(known.begin(), known.end());
    std::sort(unknown.begin(), unknown.end());
    std::printf("login-timing known %zu p50_ms %.1f unknown %zu p50_ms %.1f\n", known.size(),
                quantile(known, 0.5), unknown.size(), quantile(unknown, 0.5));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() >= 4) {
        const Target target{a[1], std::atoi(a[2].c_str())};
        const int n = std::atoi(a[3].c_str()); // a count for every attack but the timing of log-ins
        if (a[0] == "slow" && a.size() == 7) return slow(target, n, std::atoi(a[4].c_str()), a[5], a[6]);
        if (a[0] == "flood" && a.size() == 5) return flood(target, n, std::atoi(a[4].c_str()));
        if (a[0] == "burst" && a.size() == 4) {
            const BurstResult r = burst(target, n, "/style.css", Millis(120'000));
            std::printf("burst %d answered %d failed %d p50_ms %.0f p99_ms %.0f max_ms %.0f\n", n, r.answered,
                        r.failed, r.p50, r.p99, r.max);
            return 0;
        }
        if (a[0] == "login-timing" && a.size() == 5)
            return loginTiming(target, a[3], std::atoi(a[4].c_str()));
        if (a[0] == "pipeline" && a.size() == 4) {
            std::printf("pipeline %d answered %d\n", n, pipelined(target, n, "/style.css", Millis(10'000)));
            return 0;
        }
    }
    std::fprintf(stderr,
                 "usage: tundrix_attack slow HOST PORT N SECONDS USER PASSWORD | flood HOST PORT N MIB | "
                 "burst HOST PORT N | pipeline HOST PORT N | login-timing HOST PORT EMAIL TRIES\n");
    return 2;
}
