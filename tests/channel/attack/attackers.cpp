// The attacking clients on plain non-blocking sockets and poll, many connections on one thread.
#include "attackers.h"

#include "net/score_submission.h"
#include "protocol/paths.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace tundrix::attack {
namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Lets this process hold as many sockets as its hard limit allows.
void raiseFileLimit() {
    static std::once_flag once;
    std::call_once(once, [] {
        rlimit limit{};
        if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
            limit.rlim_cur = limit.rlim_max;
            setrlimit(RLIMIT_NOFILE, &limit);
        }
    });
}

// A non-blocking socket connecting to the target, from 127.0.0.<source> when source is above 0;
// -1 if none could be made.
int startConnect(const Target& target, int source) {
    raiseFileLimit();
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (source > 0) {
        sockaddr_in from{};
        from.sin_family = AF_INET;
        from.sin_addr.s_addr = htonl(0x7F000000u | static_cast<uint32_t>(source));
        if (bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0) {
            close(fd);
            return -1;
        }
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(target.port));
    if (inet_pton(AF_INET, target.host.c_str(), &to.sin_addr) != 1 ||
        (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 && errno != EINPROGRESS)) {
        close(fd);
        return -1;
    }
    return fd;
}

bool onLoopback(const Target& target) {
    return target.host.rfind("127.", 0) == 0;
}

// Waits for events on one socket until the deadline; the events seen, 0 on time-out.
short waitFor(int fd, short events, Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now()).count();
    if (left <= 0) return 0;
    pollfd p{fd, events, 0};
    return poll(&p, 1, static_cast<int>(left)) == 1 ? p.revents : 0;
}

// Whether a socket that polled writable has connected, and whether it does by the deadline.
bool connectedNow(int fd) {
    int error = 0;
    socklen_t size = sizeof error;
    return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}
bool connected(int fd, Clock::time_point deadline) {
    return (waitFor(fd, POLLOUT, deadline) & POLLOUT) && connectedNow(fd);
}

bool sendAll(int fd, std::string_view bytes, Clock::time_point deadline) {
    while (!bytes.empty()) {
        const ssize_t n = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n > 0) {
            bytes.remove_prefix(static_cast<size_t>(n));
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!(waitFor(fd, POLLOUT, deadline) & POLLOUT)) return false;
        } else {
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
        if (n > 0) {
            into.append(buffer, static_cast<size_t>(n));
            continue;
        }
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

// One answer at the start of text: its status and its whole length, if it is all there.
struct Parsed {
    int status = 0;
    size_t length = 0;
    bool complete = false;
};

Parsed parseAnswer(std::string_view text, bool closed) {
    Parsed p;
    const size_t end = text.find("\r\n\r\n");
    if (text.rfind("HTTP/1.", 0) != 0 || text.size() < 12) return p;
    p.status = std::atoi(std::string(text.substr(9, 3)).c_str());
    if (end == std::string_view::npos) return p;
    std::string head(text.substr(0, end));
    std::transform(head.begin(), head.end(), head.begin(), [](unsigned char c) { return std::tolower(c); });
    const size_t at = head.find("\r\ncontent-length:");
    if (at == std::string::npos) {
        p.complete = closed;
        p.length = text.size();
        return p;
    }
    p.length = end + 4 + std::strtoul(head.c_str() + at + 17, nullptr, 10);
    p.complete = text.size() >= p.length;
    return p;
}

} // namespace

double quantile(const std::vector<double>& sorted, double q) {
    if (sorted.empty()) return 0;
    return sorted[std::min(sorted.size() - 1, static_cast<size_t>(q * static_cast<double>(sorted.size())))];
}

Exchange exchange(const Target& target, const std::string& request, Millis timeout, int source) {
    Exchange out;
    const auto start = Clock::now();
    const auto deadline = start + timeout;
    const int fd = startConnect(target, source);
    if (fd < 0) return out;
    std::string answer;
    // The server may answer (and close) before it has taken the whole request: read what it said anyway.
    if (connected(fd, deadline)) {
        sendAll(fd, request, deadline);
        for (;;) {
            const bool open = readSome(fd, answer);
            const Parsed p = parseAnswer(answer, !open);
            if (p.complete) {
                out.answered = true;
                out.status = p.status;
                const size_t head = answer.find("\r\n\r\n") + 4;
                out.head = answer.substr(0, head);
                out.body = answer.substr(head, p.length - head);
                break;
            }
            if (!open || !(waitFor(fd, POLLIN, deadline) & (POLLIN | POLLHUP | POLLERR))) break;
        }
    }
    out.ms = msSince(start);
    close(fd);
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
    struct Conn {
        int fd = -1;
        bool started = false; // the first line is out
    };
    std::vector<Conn> conns(static_cast<size_t>(count));
    const bool spread = onLoopback(target);
    // A connection the server ended is counted, once it had started, and opened again.
    auto reopen = [&](size_t i, bool ended) {
        if (ended && conns[i].started) ++ended_;
        if (conns[i].fd >= 0) close(conns[i].fd);
        conns[i] = {startConnect(target, spread ? 2 + static_cast<int>(i % 249) : 0), false};
    };
    for (size_t i = 0; i < conns.size(); ++i)
        reopen(i, false);
    const std::string first =
        std::string("POST ") + protocol::SUBMIT_PATH + " HTTP/1.1\r\nHost: channel\r\nX-Slow: ";
    std::vector<pollfd> polls(conns.size());
    while (!stopping_) {
        // One byte on every connection, then a wait of one interval that watches for ends.
        int up = 0;
        for (size_t i = 0; i < conns.size(); ++i) {
            Conn& c = conns[i];
            if (c.fd < 0) {
                reopen(i, false);
                continue;
            }
            const std::string_view bytes = c.started ? std::string_view("a") : std::string_view(first);
            const ssize_t n = send(c.fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n == static_cast<ssize_t>(bytes.size())) {
                c.started = true;
                ++up;
            } else if (n < 0 && errno != EAGAIN && errno != ENOTCONN && errno != EWOULDBLOCK) {
                reopen(i, true);
            }
        }
        open_ = up;
        const auto until = Clock::now() + interval;
        while (!stopping_ && Clock::now() < until) {
            for (size_t i = 0; i < conns.size(); ++i)
                polls[i] = {conns[i].fd, POLLIN, 0};
            const int ready = poll(polls.data(), polls.size(), 100);
            for (size_t i = 0; ready > 0 && i < conns.size(); ++i) {
                std::string ignored;
                if ((polls[i].revents & (POLLIN | POLLHUP | POLLERR)) &&
                    (!readSome(conns[i].fd, ignored) || !ignored.empty()))
                    reopen(i, true);
            }
        }
    }
    for (Conn& c : conns)
        if (c.fd >= 0) close(c.fd);
}

FloodResult headerFlood(const Target& target, size_t bytes, size_t lineBytes, Millis timeout) {
    FloodResult out;
    const auto start = Clock::now();
    const auto deadline = start + timeout;
    const int fd = startConnect(target, 0);
    if (fd < 0) return out;
    std::string answer;
    bool open = connected(fd, deadline) && sendAll(fd, "GET / HTTP/1.1\r\nHost: channel\r\n", deadline);
    const std::string filler(lineBytes > 16 ? lineBytes - 16 : 1, 'a');
    for (size_t line = 0; open && out.sent < bytes && Clock::now() < deadline; ++line) {
        char name[16];
        std::snprintf(name, sizeof name, "X-F%07zu: ", line % 10'000'000);
        const std::string text = name + filler + "\r\n";
        open = sendAll(fd, text, deadline) && readSome(fd, answer) && answer.empty();
        if (open) out.sent += text.size();
    }
    if (open) sendAll(fd, "\r\n", deadline);
    // Whatever the server says (or whether it just closes), within the time left.
    while (parseAnswer(answer, false).status == 0 && (waitFor(fd, POLLIN, deadline) & (POLLIN | POLLHUP))) {
        if (!readSome(fd, answer)) {
            out.closed = true;
            break;
        }
    }
    out.status = parseAnswer(answer, false).status;
    if (!out.closed) {
        std::string more;
        out.closed =
            (waitFor(fd, POLLIN, std::min(deadline, Clock::now() + Millis(2000))) & (POLLIN | POLLHUP)) &&
            !readSome(fd, more);
    }
    out.ms = msSince(start);
    close(fd);
    return out;
}

BurstResult burst(const Target& target, int count, const std::string& path, Millis timeout) {
    struct Conn {
        int fd;
        bool sent = false, done = false;
        std::string answer{};
    };
    const auto start = Clock::now();
    const auto deadline = start + timeout;
    const std::string request = "GET " + path + " HTTP/1.1\r\nHost: channel\r\nConnection: close\r\n\r\n";
    std::vector<Conn> conns;
    for (int i = 0; i < count; ++i)
        conns.push_back({startConnect(target, onLoopback(target) ? 2 + i % 249 : 0)});
    std::vector<double> times; // of the answered ones
    int failed = 0;
    const auto fail = [&failed](Conn& c) {
        c.done = true;
        ++failed;
    };
    for (Conn& c : conns)
        if (c.fd < 0) fail(c);
    std::vector<pollfd> polls;
    std::vector<Conn*> polled;
    while (static_cast<int>(times.size()) + failed < count && Clock::now() < deadline) {
        polls.clear();
        polled.clear();
        for (Conn& c : conns) {
            if (c.done) continue;
            polls.push_back({c.fd, static_cast<short>(c.sent ? POLLIN : POLLOUT), 0});
            polled.push_back(&c);
        }
        if (poll(polls.data(), polls.size(), 100) <= 0) continue;
        for (size_t k = 0; k < polls.size(); ++k) {
            Conn& c = *polled[k];
            if (polls[k].revents == 0) continue;
            if (!c.sent) {
                c.sent = true;
                if (!connectedNow(c.fd) || !sendAll(c.fd, request, deadline)) fail(c);
                continue;
            }
            const bool open = readSome(c.fd, c.answer);
            const Parsed p = parseAnswer(c.answer, !open);
            if (p.complete && p.status > 0) {
                c.done = true;
                times.push_back(msSince(start));
            } else if (!open) {
                fail(c);
            }
        }
    }
    for (Conn& c : conns)
        if (c.fd >= 0) close(c.fd);
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
    const int fd = startConnect(target, 0);
    if (fd < 0) return false;
    bool ended = false;
    if (connected(fd, deadline)) {
        std::string_view left = request;
        while (!ended && Clock::now() < deadline) {
            if (!left.empty()) {
                const ssize_t n = send(fd, left.data(), left.size(), MSG_NOSIGNAL);
                if (n > 0) left.remove_prefix(static_cast<size_t>(n));
                if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) ended = true;
            }
            // Never reading: only an error or a hang-up says the server let go.
            pollfd p{fd, POLLRDHUP, 0};
            ended = ended || (poll(&p, 1, 50) == 1 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)));
        }
    }
    close(fd);
    return ended;
}

int pipelined(const Target& target, int count, const std::string& path, Millis timeout) {
    const auto deadline = Clock::now() + timeout;
    const int fd = startConnect(target, 0);
    if (fd < 0) return 0;
    std::string requests;
    for (int i = 0; i < count; ++i)
        requests += "GET " + path + " HTTP/1.1\r\nHost: channel\r\n\r\n";
    int answers = 0;
    std::string stream;
    if (connected(fd, deadline) && sendAll(fd, requests, deadline)) {
        bool open = true;
        while (answers < count && open && (waitFor(fd, POLLIN, deadline) & (POLLIN | POLLHUP))) {
            open = readSome(fd, stream);
            for (Parsed p = parseAnswer(stream, !open); p.complete && p.status > 0;
                 p = parseAnswer(stream, !open)) {
                ++answers;
                stream.erase(0, p.length);
            }
        }
    }
    close(fd);
    return answers;
}

} // namespace tundrix::attack
