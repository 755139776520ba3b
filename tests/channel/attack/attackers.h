// Clients that attack a web server the way a red team does: slow and silent connections, header floods,
// bursts of connects and pipelined requests, and the player's own post measured meanwhile.
#pragma once
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace tundrix::attack {

using Millis = std::chrono::milliseconds;

struct Target {
    std::string host = "127.0.0.1"; // an IPv4 address
    int port = 0;
};

// A request/answer exchange on a fresh connection.
struct Exchange {
    bool answered = false; // a whole answer came back
    int status = 0;        // its HTTP status
    std::string head;      // its status line and headers
    std::string body;
    double ms = 0; // from the connect to the end of the answer
};

// Sends request on a new connection and reads the answer (by its Content-Length, or until the server
// closes), within the time-out; from the loopback address 127.0.0.<source> when source is above 0.
Exchange exchange(const Target& target, const std::string& request, Millis timeout, int source = 0);

// A complete HTTP/1.1 POST of a form body, closing the connection after the answer.
std::string formPost(const std::string& path, const std::string& body, const std::string& extraHeaders = "");
// The game's own score form, built by the game's code, for a member.
std::string gameBody(const std::string& user, const std::string& password, int32_t score,
                     int32_t bestScoreTime = 5000);

// Connections that each send a request's first line and then one byte of a header every interval,
// never finishing it; one the server ends is opened again at once, so the count stays. The sources are
// spread over the loopback addresses 127.0.0.2 to 127.0.0.250 when the target is on the loopback, so
// that limits per address are not what stops them. Runs on its own thread until destroyed.
class SlowClients {
  public:
    SlowClients(Target target, int count, Millis interval)
        : thread_([this, target, count, interval] { run(target, count, interval); }) {}
    ~SlowClients() {
        stopping_ = true;
        thread_.join();
    }
    // Connections open at the moment, and how many the server has ended so far.
    int open() const { return open_; }
    int endedByServer() const { return ended_; }

  private:
    void run(const Target& target, int count, Millis interval);
    std::atomic<bool> stopping_{false};
    std::atomic<int> open_{0}, ended_{0};
    std::thread thread_; // last: it starts once the counts are there
};

// One connection sending header lines of lineBytes each until bytes are sent or the server answers
// or closes; then the header's end if it was all sent.
struct FloodResult {
    size_t sent = 0;
    int status = 0;      // what the server answered, 0 for nothing
    bool closed = false; // the server ended the connection
    double ms = 0;
};
FloodResult headerFlood(const Target& target, size_t bytes, size_t lineBytes, Millis timeout);

// count connections opened at once, each asking for path and reading the answer (from many loopback
// addresses, as above, when the target is on the loopback).
// p50, p99 and max: ms to a whole answer, over the answered ones
// clang-format off
struct BurstResult { int answered = 0, failed = 0; double p50 = 0, p99 = 0, max = 0; };
// clang-format on
BurstResult burst(const Target& target, int count, const std::string& path, Millis timeout);

// Sends request (empty: nothing at all) and never reads a byte; true if the server ended the connection
// within hold.
bool endedWhileDeaf(const Target& target, const std::string& request, Millis hold);

// count GETs of path sent in one write on one connection; gives how many whole answers came back.
int pipelined(const Target& target, int count, const std::string& path, Millis timeout);

// The value at quantile q of sorted values (0 for none).
double quantile(const std::vector<double>& sorted, double q);

} // namespace tundrix::attack
