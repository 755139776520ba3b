// The channel's server: the HTTP layer, the workers that answer, the site's routes, the client address
// behind a trusted proxy, the headers every answer carries, and one log line per request.
#pragma once
#include "channel/http/http_server.h"
#include "channel/log_sink.h"
#include "channel/site.h"
#include "channel/store.h"
#include "channel/work_pool.h"

#include <memory>
#include <mutex>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

namespace tundrix::channel {

struct ServerOptions {
    std::string address = "127.0.0.1";
    int port = 8080;            // 0: any free port (see ChannelServer::port)
    unsigned workers = 0;       // threads answering requests; 0: one per processor core
    size_t queuePerWorker = 64; // requests waiting per worker; more are answered 503 at once
    HttpLimits http;
    // The reverse proxies whose word on the client's address (X-Real-IP, X-Forwarded-For) counts; they
    // are also free of the limit of connections per address.
    std::vector<std::string> trustedProxies;
};

class ChannelServer {
  public:
    ChannelServer(Store& store, SiteOptions site, ServerOptions options, std::ostream& log);
    ~ChannelServer();
    ChannelServer(const ChannelServer&) = delete;
    ChannelServer& operator=(const ChannelServer&) = delete;

    // Binds the listening socket and starts serving; false with the reason on failure.
    bool start(std::string& error);
    int port() const { return http_.port(); }
    // Stops taking requests, answers the ones in hand, closes, and writes out the log. Called by the
    // destructor too.
    void stop();

  private:
    struct CompiledRoute {
        std::string method;
        std::regex pattern;
        Handler handle;
    };
    void handle(HttpRequest request, Reply reply);
    const CompiledRoute& routeFor(const HttpRequest& request) const;
    void logLine(const HttpRequest& request, const HttpResponse& response, double ms);

    Store& store_;
    SiteOptions site_;
    ServerOptions options_;
    LogSink log_;
    std::vector<CompiledRoute> routes_;
    size_t fallback_ = 0; // the route of paths nothing else serves
    WorkPool workers_;
    HttpServer http_;
};

} // namespace tundrix::channel
