// The channel's HTTP server: event-driven connections with every cost a stranger can cause bounded,
// handing each complete request to a handler that answers whenever it is ready.
#pragma once
#include "channel/http/http_types.h"

#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tundrix::channel {

struct HttpLimits {
    // A request's line and headers, and the buffers of its connection, fit in this much memory; a
    // request that needs more is answered 431 (too many or too long headers) and closed.
    size_t connectionMemory = 16 * 1024;
    size_t maxBodyBytes = 64 * 1024; // a longer body is answered 413
    // Paths that take a longer body, and how long (a path as the request line has it, without a query).
    std::vector<std::pair<std::string, size_t>> largerBodies;
    unsigned maxConnections = 10'000; // never more than the descriptors allow
    // Connections open at once from one address, except from the addresses below.
    unsigned perAddressConnections = 128;
    std::vector<std::string> unlimitedAddresses; // the trusted proxies: they bring many clients
    // A connection that sends nothing for this long is closed.
    std::chrono::seconds idleTimeout{10};
    // A connection older than this is closed unless a request of its is being answered, however busily
    // it trickles bytes (not those of the unlimited addresses).
    std::chrono::seconds lifetime{60};
    int backlog = 4096;   // connects waiting to be accepted (the system may cap it)
    unsigned threads = 0; // threads running the connections; 0: one per processor core
};

class HttpServer {
  public:
    HttpServer(HttpLimits limits, HttpHandler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds host:port (port 0: any free one) and starts serving; false with the reason on failure.
    bool start(const std::string& host, int port, std::string& error);
    int port() const;
    // Stops taking connections, waits (a few seconds at most) for the answers still being made, and
    // closes every connection.
    void stop();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace tundrix::channel
