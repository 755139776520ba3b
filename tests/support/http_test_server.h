// A small HTTP server on 127.0.0.1 for tests: takes the score form, unscrambles it and answers as a test
// scripts (odd answers, huge answers, silence).
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace tundrix::test {

// What the sockets need that Winsock and POSIX spell apart.
#ifdef _WIN32
struct Sockets {
    static constexpr int CLOEXEC = 0, NOSIGNAL = 0, SHUT_BOTH = SD_BOTH;
    static constexpr bool CLOSE_TO_WAKE = true; // accept wakes only once its socket is closed
    static int close(int fd) { return ::closesocket(static_cast<SOCKET>(fd)); }
    static int accept(int fd) {
        return static_cast<int>(::accept(static_cast<SOCKET>(fd), nullptr, nullptr));
    }
    static void receiveTimeout(int fd, int seconds) {
        const DWORD ms = static_cast<DWORD>(seconds) * 1000;
        ::setsockopt(static_cast<SOCKET>(fd), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&ms),
                     sizeof ms);
    }
    // Winsock is started once per program and left running.
    static bool ready() {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
};
#else
struct Sockets {
    static constexpr int CLOEXEC = SOCK_CLOEXEC, NOSIGNAL = MSG_NOSIGNAL, SHUT_BOTH = SHUT_RDWR;
    static constexpr bool CLOSE_TO_WAKE = false; // shutdown wakes accept; the socket is closed once unused
    static int close(int fd) { return ::close(fd); }
    static int accept(int fd) { return ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC); }
    static void receiveTimeout(int fd, int seconds) {
        const timeval t{seconds, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &t, sizeof t);
    }
    static bool ready() { return true; }
};
#endif

// One request as the server saw it.
struct ReceivedRequest {
    std::string head;                          // request line and header lines, each ending in CRLF
    std::map<std::string, std::string> fields; // f2 as sent, every other field unscrambled
    std::vector<std::string> problems;         // whatever the server found wrong with the form
};

// How to answer one request.
struct ScriptedReply {
    enum class Kind { Answer, Hang, CloseSilently, Trickle } kind = Kind::Answer;
    int status = 200;
    std::string body;
    std::string headers; // extra header lines, each ending in CRLF

    static ScriptedReply text(std::string body, int status = 200, std::string headers = {}) {
        return {Kind::Answer, status, std::move(body), std::move(headers)};
    }
    static ScriptedReply hang() { return {Kind::Hang, 0, {}, {}}; }
    static ScriptedReply closeSilently() { return {Kind::CloseSilently, 0, {}, {}}; }
    // The answer "0", a byte every 50 ms: a channel reached but too slow to answer.
    static ScriptedReply trickle() { return {Kind::Trickle, 200, "0", {}}; }
};

// A socket bound to a free port on 127.0.0.1, or -1.
inline int loopbackSocket(uint16_t& port) {
    if (!Sockets::ready()) return -1;
    const int fd = static_cast<int>(::socket(AF_INET, SOCK_STREAM | Sockets::CLOEXEC, 0));
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        Sockets::close(fd);
        return -1;
    }
    port = ntohs(addr.sin_port);
    return fd;
}

class HttpTestServer {
  public:
    // The scrambling key of the channel's server, written down here on its own so that the tests do
    // not unscramble with the code they test.
    static constexpr uint8_t KEY[8] = {0xC3, 0x5E, 0x02, 0xB7, 0x49, 0xE1, 0x6A, 0x90};

    // The n-th request gets the n-th reply, and "0" once they run out.
    explicit HttpTestServer(std::vector<ScriptedReply> replies = {})
        : replies_(std::move(replies)), listener_(loopbackSocket(port_)) {
        if (listener_ >= 0 && ::listen(listener_, 8) == 0) thread_ = std::thread([this] { serve(); });
    }
    ~HttpTestServer() {
        stop_ = true;
        ::shutdown(listener_, Sockets::SHUT_BOTH); // wakes the accepting thread
        if (Sockets::CLOSE_TO_WAKE && listener_ >= 0) Sockets::close(listener_);
        if (thread_.joinable()) thread_.join();
        if (!Sockets::CLOSE_TO_WAKE && listener_ >= 0) Sockets::close(listener_);
    }
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    bool running() const { return thread_.joinable(); }
    uint16_t port() const { return port_; }
    std::vector<ReceivedRequest> requests() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }
    // A port on 127.0.0.1 where nothing listens (bound, then released).
    static uint16_t unusedPort() {
        uint16_t port = 0;
        Sockets::close(loopbackSocket(port));
        return port;
    }

  private:
    void serve() {
        for (int fd; (fd = Sockets::accept(listener_)) >= 0; Sockets::close(fd)) {
            Sockets::receiveTimeout(fd, 5); // a client that goes silent is given up on
            handle(fd);
        }
    }

    void handle(int fd) {
        std::string data;
        ReceivedRequest req;
        size_t headEnd = std::string::npos, end = SIZE_MAX;
        char chunk[4096];
        while (data.size() < end) {
            const auto n = ::recv(fd, chunk, static_cast<int>(sizeof chunk), 0);
            if (n <= 0 || data.size() > (1u << 21)) return;
            data.append(chunk, static_cast<size_t>(n));
            if (headEnd == std::string::npos && (headEnd = data.find("\r\n\r\n")) != std::string::npos) {
                req.head = data.substr(0, headEnd + 2);
                const size_t length = req.head.find("\r\nContent-Length: ");
                end = headEnd + 4 +
                      (length == std::string::npos ? 0 : std::strtoull(&req.head[length + 18], nullptr, 10));
            }
        }
        parseForm(data.substr(headEnd + 4, end - headEnd - 4), req);
        std::unique_lock<std::mutex> lock(mutex_);
        const ScriptedReply reply =
            requests_.size() < replies_.size() ? replies_[requests_.size()] : ScriptedReply::text("0");
        requests_.push_back(req);
        lock.unlock();
        // A hanging reply gives up by itself after 20 seconds.
        for (int waited = 0; reply.kind == ScriptedReply::Kind::Hang && !stop_ && waited < 20000;
             waited += 20)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (reply.kind != ScriptedReply::Kind::Answer && reply.kind != ScriptedReply::Kind::Trickle) return;
        const std::string out =
            "HTTP/1.1 " + std::to_string(reply.status) + (reply.status == 200 ? " OK" : " Error") +
            "\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(reply.body.size()) +
            "\r\nConnection: close\r\n" + reply.headers + "\r\n" + reply.body;
        const bool trickle = reply.kind == ScriptedReply::Kind::Trickle;
        for (size_t sent = 0; sent < out.size() && !stop_;) {
            if (trickle) std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const auto n = ::send(fd, out.data() + sent, static_cast<int>(trickle ? 1 : out.size() - sent),
                                  Sockets::NOSIGNAL);
            if (n <= 0) break; // the client may hang up once it has read enough
            sent += static_cast<size_t>(n);
        }
    }

    static void parseForm(const std::string& body, ReceivedRequest& req) {
        std::istringstream in(body);
        std::string names;
        for (std::string pair; std::getline(in, pair, '&');) {
            const size_t eq = pair.find('=');
            const std::string name = pair.substr(0, eq),
                              value = eq == std::string::npos ? "" : pair.substr(eq + 1);
            names += name + " ";
            req.fields[name] = name == "f2" ? value : decode(value, name, req.problems);
        }
        if (names != "f1 f2 f3 f4 f5 f5b f6 f7 f8 f9 fa fb ")
            req.problems.push_back("fields missing or out of order: " + body);
    }

    // Unscrambles pairs of uppercase hex digits with KEY.
    static std::string decode(const std::string& hex, const std::string& name,
                              std::vector<std::string>& problems) {
        if (hex.size() % 2 != 0 || hex.find_first_not_of("0123456789ABCDEF") != std::string::npos)
            problems.push_back(name + ": not pairs of uppercase hex digits: " + hex);
        std::string out;
        for (size_t i = 0; i + 1 < hex.size(); i += 2)
            out += static_cast<char>(std::strtol(hex.substr(i, 2).c_str(), nullptr, 16) ^ KEY[(i / 2) % 8]);
        return out;
    }

    std::vector<ScriptedReply> replies_;
    uint16_t port_ = 0;
    int listener_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<ReceivedRequest> requests_;
};

} // namespace tundrix::test
