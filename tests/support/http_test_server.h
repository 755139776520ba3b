// A small HTTP server on 127.0.0.1 for tests: takes the score form, unscrambles it and answers like the
// channel's server, or in whatever way a test scripts (odd answers, huge answers, silence).
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tundrix::test {

// One request as the server saw it.
struct ReceivedRequest {
    std::string method;
    std::string target;
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;
    std::vector<std::string> fieldNames;       // in the order they came
    std::map<std::string, std::string> fields; // f2 as sent, every other field unscrambled
    std::vector<std::string> problems;         // whatever the server found wrong with the form
};

// How to answer one request.
struct ScriptedReply {
    enum class Kind { Answer, Hang, CloseSilently } kind = Kind::Answer;
    int status = 200;
    std::string body;

    static ScriptedReply text(std::string body, int status = 200) {
        return {Kind::Answer, status, std::move(body)};
    }
    static ScriptedReply hang() { return {Kind::Hang, 0, {}}; }
    static ScriptedReply closeSilently() { return {Kind::CloseSilently, 0, {}}; }
};

class HttpTestServer {
  public:
    using Policy = std::function<ScriptedReply(const ReceivedRequest&)>;

    // The scrambling key of the channel's server, written down here on its own so that the tests do
    // not unscramble with the code they test.
    static constexpr uint8_t KEY[8] = {0xC3, 0x5E, 0x02, 0xB7, 0x49, 0xE1, 0x6A, 0x90};
    static constexpr const char* FIELD_ORDER[12] = {"f1", "f2", "f3", "f4", "f5", "f5b",
                                                    "f6", "f7", "f8", "f9", "fa", "fb"};

    explicit HttpTestServer(Policy policy) : policy_(std::move(policy)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        int yes = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            ::listen(listener_, 8) != 0) {
            ::close(listener_);
            listener_ = -1;
            return;
        }
        socklen_t len = sizeof addr;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { serve(); });
    }

    ~HttpTestServer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (listener_ >= 0) ::close(listener_);
    }

    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    bool running() const { return listener_ >= 0; }
    uint16_t port() const { return port_; }

    std::vector<ReceivedRequest> requests() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

    // Unscrambles hex digits with KEY; adds to problems when they are not uppercase hex pairs.
    static std::string decode(const std::string& hex, std::vector<std::string>& problems,
                              const std::string& name) {
        std::string out;
        if (hex.size() % 2 != 0) problems.push_back(name + ": odd number of digits");
        auto digit = [&](char c) -> int {
            if (c >= '0' && c <= '9') return c - '0';
            if (c >= 'A' && c <= 'F') return c - 'A' + 10;
            problems.push_back(name + ": not an uppercase hex digit: " + std::string(1, c));
            return 0;
        };
        for (size_t i = 0; i + 1 < hex.size(); i += 2) {
            const int byte = digit(hex[i]) * 16 + digit(hex[i + 1]);
            out += static_cast<char>(byte ^ KEY[(i / 2) % 8]);
        }
        return out;
    }

    // A port on 127.0.0.1 where nothing listens (bound, then released).
    static uint16_t unusedPort() {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
        ::close(fd);
        return ntohs(addr.sin_port);
    }

  private:
    static constexpr int SILENCE_LIMIT_MS = 20000; // a hanging reply gives up by itself after this

    void serve() {
        while (!stop_) {
            pollfd p{listener_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            handle(fd);
            ::close(fd);
        }
    }

    // Reads into buffer until it holds `want` bytes or the peer stops; false on silence or close.
    bool readUntil(int fd, std::string& buffer, const std::function<bool()>& enough) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!enough()) {
            if (stop_ || std::chrono::steady_clock::now() > deadline || buffer.size() > (1u << 20))
                return false;
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            char chunk[4096];
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0) return false;
            buffer.append(chunk, static_cast<size_t>(n));
        }
        return true;
    }

    void handle(int fd) {
        std::string data;
        if (!readUntil(fd, data, [&] { return data.find("\r\n\r\n") != std::string::npos; })) return;
        ReceivedRequest req;
        const size_t headEnd = data.find("\r\n\r\n");
        parseHead(data.substr(0, headEnd), req);
        const size_t length =
            std::min<size_t>(1u << 20, std::strtoull(req.headers["content-length"].c_str(), nullptr, 10));
        if (!readUntil(fd, data, [&] { return data.size() >= headEnd + 4 + length; })) return;
        req.body = data.substr(headEnd + 4, length);
        parseForm(req);

        ScriptedReply reply = policy_(req);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(req);
        }
        if (reply.kind == ScriptedReply::Kind::CloseSilently) return;
        if (reply.kind == ScriptedReply::Kind::Hang) {
            for (int waited = 0; !stop_ && waited < SILENCE_LIMIT_MS; waited += 20)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return;
        }
        std::string out =
            "HTTP/1.1 " + std::to_string(reply.status) + " " + (reply.status == 200 ? "OK" : "Error") +
            "\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(reply.body.size()) +
            "\r\nConnection: close\r\n\r\n" + reply.body;
        size_t sent = 0;
        while (sent < out.size()) {
            const ssize_t n = ::send(fd, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break; // the client may hang up once it has read enough
            sent += static_cast<size_t>(n);
        }
    }

    static void parseHead(const std::string& head, ReceivedRequest& req) {
        size_t lineEnd = head.find("\r\n");
        const std::string requestLine = head.substr(0, lineEnd);
        const size_t sp1 = requestLine.find(' ');
        const size_t sp2 = requestLine.find(' ', sp1 + 1);
        req.method = requestLine.substr(0, sp1);
        req.target = requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
        while (lineEnd != std::string::npos) {
            const size_t start = lineEnd + 2;
            lineEnd = head.find("\r\n", start);
            const std::string line =
                head.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
            const size_t colon = line.find(':');
            if (colon == std::string::npos) continue;
            std::string name = line.substr(0, colon);
            for (char& c : name)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            size_t valueStart = colon + 1;
            while (valueStart < line.size() && line[valueStart] == ' ')
                ++valueStart;
            req.headers[name] = line.substr(valueStart);
        }
    }

    static void parseForm(ReceivedRequest& req) {
        size_t pos = 0;
        while (pos <= req.body.size()) {
            size_t amp = req.body.find('&', pos);
            if (amp == std::string::npos) amp = req.body.size();
            const std::string pair = req.body.substr(pos, amp - pos);
            const size_t eq = pair.find('=');
            const std::string name = pair.substr(0, eq);
            const std::string value = eq == std::string::npos ? "" : pair.substr(eq + 1);
            req.fieldNames.push_back(name);
            req.fields[name] = name == "f2" ? value : decode(value, req.problems, name);
            pos = amp + 1;
        }
        std::vector<std::string> expected(std::begin(FIELD_ORDER), std::end(FIELD_ORDER));
        if (req.fieldNames != expected) req.problems.push_back("fields missing or out of order: " + req.body);
    }

    Policy policy_;
    int listener_ = -1;
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<ReceivedRequest> requests_;
};

// The channel's own checks: a known member with the right password and a form that holds together
// gets "0"; an unknown user "2"; a wrong password "3"; a form that does not add up "-5". An optional
// version number is sent on a second line.
inline HttpTestServer::Policy channelPolicy(std::map<std::string, std::string> members, int version = 0) {
    return [members = std::move(members), version](const ReceivedRequest& req) {
        auto field = [&](const char* name) {
            auto it = req.fields.find(name);
            return it == req.fields.end() ? std::string() : it->second;
        };
        std::string verdict;
        auto member = members.find(field("f1"));
        if (req.method != "POST" || req.target != "/r0003.asp" || !req.problems.empty()) {
            verdict = "-5";
        } else if (member == members.end()) {
            verdict = "2";
        } else if (member->second != field("f3")) {
            verdict = "3";
        } else {
            // fa repeats the score and the user name; fb is the program length plus the score.
            auto number = [&](const char* name) { return std::strtoll(field(name).c_str(), nullptr, 10); };
            const bool consistent = field("fa") == field("f4") + field("f1") &&
                                    number("fb") == number("f9") + number("f4") && field("f2") == "10";
            verdict = consistent ? "0" : "-5";
        }
        if (version > 0) verdict += "\r\n" + std::to_string(version) + "\r\n";
        return ScriptedReply::text(verdict);
    };
}

} // namespace tundrix::test
