// The attacking clients on plain non-blocking sockets and poll, many connections on one thread.
#include "attackers.h"

#include "net/score_submission.h"
#include "protocol/paths.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace tundrix::attack {
namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The source of the i-th of many connections: 127.0.0.2 to 127.0.0.250 in turn when the target is on the
// loopback, so that limits per address are not what stops them; any address (0) otherwise.
int spread(const Target& target, size_t i) {
    return target.host.rfind("127.", 0) == 0 ? 2 + static_cast<int>(i % 249) : 0;
}

// A non-blocking socket connecting to the target, from 127.0.0.<source> when source is above 0;
// -1 if none could be made. The first lets this process hold as many sockets as its hard limit allows.
int startConnect(const Target& target, int source) {
    static const bool raised = [] {
        rlimit limit{};
        if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return false;
        limit.rlim_cur = limit.rlim_max;
        return setrlimit(RLIMIT_NOFILE, &limit) == 0;
    }();
    (void)raised;
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in from{}, to{};
    from.sin_family = to.sin_family = AF_INET;
    from.sin_addr.s_addr = htonl(0x7F000000u | static_cast<uint32_t>(source));
    to.sin_port = htons(static_cast<uint16_t>(target.port));
    if ((source > 0 && bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0) ||
        inet_pton(AF_INET, target.host.c_str(), &to.sin_addr) != 1 ||
        (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 && errno != EINPROGRESS)) {
        close(fd);
        return -1;
    }
    return fd;
}

// Waits for events on one socket until the deadline; the events seen, 0 on time-out.
short waitFor(int fd, short events, Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now()).count();
    pollfd p{fd, events, 0};
    return left > 0 && poll(&p, 1, static_cast<int>(left)) == 1 ? p.revents : 0;
}

// Whether a socket that polled writable has connected.
bool connectedNow(int fd) {
    int error = 0;
    socklen_t size = sizeof error;
    return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

// A connection to the target made by the deadline (fd -1 when none was), closed when it goes.
struct Connection {
    Connection(const Target& target, int source, Clock::time_point deadline)
        : fd(startConnect(target, source)) {
        if (fd >= 0 && !((waitFor(fd, POLLOUT, deadline) & POLLOUT) && connectedNow(fd))) {
            close(fd);
            fd = -1;
        }
    }
    ~Connection() {
        if (fd >= 0) close(fd);
    }
    int fd;
};

bool sendAll(int fd, std::string_view bytes, Clock::time_point deadline) {
    while (!bytes.empty()) {
        const ssize_t n = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n > 0) {
            bytes.remove_prefix(static_cast<size_t>(n));
        } else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK) ||
                   !(waitFor(fd, POLLOUT, deadline) & POLLOUT)) {
            return false;
        }
    }
    return true;
}

// Reads what has arrived; false once the peer has closed or failed.
bool readSome(int fd, std::string& into) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        into.append(buffer, static_cast<size_t>(n));
    }
}

// One answer at the start of text: its status and its whole length, if it is all there.
// clang-format off
struct Parsed { int status = 0; size_t length = 0; bool complete = false; };
// clang-format on

Parsed parseAnswer(std::string_view text, bool closed) {
    Parsed p;
    const size_t end = text.find("\r\n\r\n");
    if (text.rfind("HTTP/1.", 0) != 0 || text.size() < 12) return p;
    p.status = std::atoi(std::string(text.substr(9, 3)).c_str());
    if (end == std::string_view::npos) return p;
    std::string head(text.substr(0, end));
    std::transform(head.begin(), head.end(), head.begin(), [](unsigned char c) { return std::tolower(c); });
    const size_t at = head.find("\r\ncontent-length:");
    // Without a length the answer ends where the server closes.
    p.length =
        at == std::string::npos ? text.size() : end + 4 + std::strtoul(head.c_str() + at + 17, nullptr, 10);
    p.complete = at == std::string::npos ? closed : text.size() >= p.length;
    return p;
}

// The whole answers that come on a connection until there are count, the server closes or the deadline
// passes.
std::vector<std::string> readAnswers(int fd, size_t count, Clock::time_point deadline) {
    std::vector<std::string> answers;
    std::string stream;
    for (bool open = true; open && answers.size() < count;) {
        open = readSome(fd, stream);
        for (Parsed p = parseAnswer(stream, !open); p.complete && p.status > 0 && answers.size() < count;
             p = parseAnswer(stream, !open)) {
            answers.push_back(stream.substr(0, p.length));
            stream.erase(0, p.length);
        }
        open =
            open && answers.size() < count && (waitFor(fd, POLLIN, deadline) & (POLLIN | POLLHUP | POLLERR));
    }
    return answers;
}

} // namespace

double quantile(const std::vector<double>& sorted, double q) {
    if (sorted.empty()) return 0;
    return sorted[std::min(sorted.size() - 1, static_cast<size_t>(q * static_cast<double>(sorted.size())))];
}

Exchange exchange(const Target& target, const std::string& request, Millis timeout, int source) {
    Exchange out;
    const auto start = Clock::now();
    const Connection c(target, source, start + timeout);
    // The server may answer (and close) before it has taken the whole request: read what it said anyway.
    if (c.fd >= 0) {
        sendAll(c.fd, request, start + timeout);
        if (const auto answers = readAnswers(c.fd, 1, start + timeout); !answers.empty()) {
            const size_t head = answers[0].find("\r\n\r\n") + 4;
            out.answered = true;
            out.status = parseAnswer(answers[0], true).status;
            out.head = answers[0].substr(0, head);
            out.body = answers[0].substr(head);
        }
    }
    out.ms = msSince(start);
    return out;
}

std::string formPost(const std::string& path, const std::string& body, const std::string& extraHeaders) {
    return "POST " + path + " HTTP/1.1\r\nHost: channel\r\nContent-Type: " + protocol::FORM_CONTENT_TYPE +
           "\r\nConnection: close\r\n" + extraHeaders + "Content-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

std::string gameBody(const std::string& user, const std::string& password, int32_t score,
                     int32_t bestScoreTime) {
    SubmissionRecord record;
    record.setUserName(user);
    record.setPassword(password);
    record.score = score;
    record.bestScoreTime = bestScoreTime;
    record.totalPlayTime = bestScoreTime;
    return buildSubmissionBody(record, {1000, "CPU UNKNOWN", {1234, 5'000'000}});
}

void SlowClients::run(const Target& target, int count, Millis interval) {
    // A poll entry per connection, and whether its first line is out.
    std::vector<pollfd> conns(static_cast<size_t>(count), pollfd{-1, POLLIN, 0});
    std::vector<bool> started(conns.size());
    // A connection the server ended is counted, once it had started, and opened again.
    auto reopen = [&](size_t i, bool ended) {
        if (ended && started[i]) ++ended_;
        if (conns[i].fd >= 0) close(conns[i].fd);
        conns[i].fd = startConnect(target, spread(target, i));
        started[i] = false;
    };
    for (size_t i = 0; i < conns.size(); ++i)
        reopen(i, false);
    const std::string first =
        std::string("POST ") + protocol::SUBMIT_PATH + " HTTP/1.1\r\nHost: channel\r\nX-Slow: ";
    while (!stopping_) {
        // One byte on every connection, then a wait of one interval that watches for ends.
        int up = 0;
        for (size_t i = 0; i < conns.size(); ++i) {
            if (conns[i].fd < 0) {
                reopen(i, false);
                continue;
            }
            const std::string_view bytes = started[i] ? std::string_view("a") : std::string_view(first);
            const ssize_t n = send(conns[i].fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n == static_cast<ssize_t>(bytes.size())) {
                started[i] = true;
                ++up;
            } else if (n < 0 && errno != EAGAIN && errno != ENOTCONN && errno != EWOULDBLOCK) {
                reopen(i, true);
            }
        }
        open_ = up;
        for (const auto until = Clock::now() + interval; !stopping_ && Clock::now() < until;) {
            if (poll(conns.data(), conns.size(), 100) <= 0) continue;
            for (size_t i = 0; i < conns.size(); ++i) {
                std::string ignored;
                if ((conns[i].revents & (POLLIN | POLLHUP | POLLERR)) &&
                    (!readSome(conns[i].fd, ignored) || !ignored.empty()))
                    reopen(i, true);
            }
        }
    }
    for (const pollfd& c : conns)
        if (c.fd >= 0) close(c.fd);
}

FloodResult headerFlood(const Target& target, size_t bytes, size_t lineBytes, Millis timeout) {
    FloodResult out;
    const auto start = Clock::now();
    const auto deadline = start + timeout;
    const Connection c(target, 0, deadline);
    std::string answer;
    bool open = c.fd >= 0 && sendAll(c.fd, "GET / HTTP/1.1\r\nHost: channel\r\n", deadline);
    const std::string filler(lineBytes > 16 ? lineBytes - 16 : 1, 'a');
    for (size_t line = 0; open && out.sent < bytes && Clock::now() < deadline; ++line) {
        char name[16];
        std::snprintf(name, sizeof name, "X-F%07zu: ", line % 10'000'000);
        const std::string text = name + filler + "\r\n";
        open = sendAll(c.fd, text, deadline) && readSome(c.fd, answer) && answer.empty();
        if (open) out.sent += text.size();
    }
    if (open) sendAll(c.fd, "\r\n", deadline);
    // Whatever the server says, and whether it ends the connection, by the deadline or within two seconds
    // of its answer.
    for (auto until = deadline; c.fd >= 0 && !out.closed;) {
        if (parseAnswer(answer, false).status != 0) until = std::min(until, Clock::now() + Millis(2000));
        if (!(waitFor(c.fd, POLLIN, until) & (POLLIN | POLLHUP))) break;
        out.closed = !readSome(c.fd, answer);
    }
    out.status = parseAnswer(answer, false).status;
    out.ms = msSince(start);
    return out;
}

BurstResult burst(const Target& target, int count, const std::string& path, Millis timeout) {
    const auto start = Clock::now();
    const auto deadline = start + timeout;
    const std::string request = "GET " + path + " HTTP/1.1\r\nHost: channel\r\nConnection: close\r\n\r\n";
    // A poll entry per connection, writable until the request is out, then readable; -1 once it is done.
    std::vector<pollfd> conns(static_cast<size_t>(count));
    std::vector<int> fds(conns.size());
    std::vector<std::string> answers(conns.size());
    for (size_t i = 0; i < conns.size(); ++i)
        conns[i] = {fds[i] = startConnect(target, spread(target, i)), POLLOUT, 0};
    std::vector<double> times; // of the answered ones
    const auto busy = [&] {
        return std::any_of(conns.begin(), conns.end(), [](const pollfd& c) { return c.fd >= 0; });
    };
    while (busy() && Clock::now() < deadline) {
        if (poll(conns.data(), conns.size(), 100) <= 0) continue;
        for (size_t i = 0; i < conns.size(); ++i) {
            pollfd& c = conns[i];
            if (c.fd < 0 || c.revents == 0) continue;
            if (c.events == POLLOUT) {
                c.events = POLLIN;
                if (!connectedNow(c.fd) || !sendAll(c.fd, request, deadline)) c.fd = -1;
                continue;
            }
            const bool open = readSome(c.fd, answers[i]);
            const Parsed p = parseAnswer(answers[i], !open);
            if (p.complete && p.status > 0) times.push_back(msSince(start));
            if ((p.complete && p.status > 0) || !open) c.fd = -1;
        }
    }
    for (const int fd : fds)
        if (fd >= 0) close(fd);
    std::sort(times.begin(), times.end());
    BurstResult out;
    out.answered = static_cast<int>(times.size());
    out.failed = count - out.answered;
    out.p50 = quantile(times, 0.5);
    out.p99 = quantile(times, 0.99);
    out.max = times.empty() ? 0 : times.back();
    return out;
}

bool endedWhileDeaf(const Target& target, const std::string& request, Millis hold) {
    const auto deadline = Clock::now() + hold;
    const Connection c(target, 0, deadline);
    std::string_view left = request;
    bool ended = false;
    while (c.fd >= 0 && !ended && Clock::now() < deadline) {
        const ssize_t n = left.empty() ? 0 : send(c.fd, left.data(), left.size(), MSG_NOSIGNAL);
        if (n > 0) left.remove_prefix(static_cast<size_t>(n));
        // Never reading: only an error or a hang-up says the server let go.
        pollfd p{c.fd, POLLRDHUP, 0};
        ended = (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) ||
                (poll(&p, 1, 50) == 1 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)));
    }
    return ended;
}

int pipelined(const Target& target, int count, const std::string& path, Millis timeout) {
    const auto deadline = Clock::now() + timeout;
    std::string requests;
    for (int i = 0; i < count; ++i)
        requests += "GET " + path + " HTTP/1.1\r\nHost: channel\r\n\r\n";
    const Connection c(target, 0, deadline);
    return c.fd >= 0 && sendAll(c.fd, requests, deadline)
               ? static_cast<int>(readAnswers(c.fd, static_cast<size_t>(count), deadline).size())
               : 0;
}

} // namespace tundrix::attack
