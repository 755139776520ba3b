// The channel's HTTP server: a bounded pool of workers, time-outs, size limits and one log line per request.
#pragma once
#include "channel/connection_reaper.h"
#include "channel/site.h"
#include "channel/store.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <unordered_map>

namespace httplib {
class Server;
}

namespace tundrix::channel {

struct ServerOptions {
    std::string address = "127.0.0.1";
    int port = 8080;    // 0: any free port (see ChannelServer::port)
    size_t workers = 8; // connections served at once; more wait in line
    // Each read or write of a connection may wait this long; the whole connection (at most five
    // requests) may last connectionDeadline, however the client trickles.
    std::chrono::milliseconds readTimeout{10'000};
    std::chrono::milliseconds writeTimeout{10'000};
    std::chrono::milliseconds keepAliveTimeout{5'000};
    std::chrono::milliseconds connectionDeadline{30'000};
    size_t maxBodyBytes = 64 * 1024;
};

// "host:port" or "[v6]:port" or ":port"; false if it is none of these.
bool parseListenAddress(const std::string& text, std::string& host, int& port);

class ChannelServer {
  public:
    ChannelServer(Store& store, SiteOptions site, ServerOptions options, std::ostream& log);
    ~ChannelServer();
    ChannelServer(const ChannelServer&) = delete;
    ChannelServer& operator=(const ChannelServer&) = delete;

    // Binds the listening socket; false with the reason on failure.
    bool bind(std::string& error);
    int port() const { return port_; }
    // Serves until stop() is called (from another thread or a signal watcher).
    void run();
    void stop();

  private:
    void logRequest(const void* request, const std::string& line);

    Store& store_;
    SiteOptions site_;
    ServerOptions options_;
    std::ostream& log_;
    std::unique_ptr<httplib::Server> http_;
    int port_ = 0;
    std::unique_ptr<ConnectionReaper> reaper_;
    // When each request in flight started, and what its handler noted, for its log line.
    std::mutex pendingMutex_;
    struct Pending {
        std::chrono::steady_clock::time_point start;
        std::string note;
    };
    std::unordered_map<const void*, Pending> pending_;
};

} // namespace tundrix::channel
