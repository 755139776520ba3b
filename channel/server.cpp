// From a request off the wire to its route on a worker, and from the route's answer back out with the
// common headers and one log line.
#include "channel/server.h"

#include "channel/client_address.h"
#include "protocol/replay_post.h"

#include <chrono>
#include <ctime>

namespace tundrix::channel {
namespace {

using Clock = std::chrono::steady_clock;

std::string timestamp() {
    const std::time_t t = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&t, &utc);
    char out[32];
    std::strftime(out, sizeof out, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return out;
}

// Keeps a log field on one line and free of quotes.
std::string oneLine(std::string_view text) {
    std::string out;
    for (char c : text.substr(0, 200))
        out += (static_cast<unsigned char>(c) < 0x20 || c == '"') ? '?' : c;
    return out;
}

} // namespace

ChannelServer::ChannelServer(Store& store, SiteOptions site, ServerOptions options, std::ostream& log)
    : store_(store), site_(std::move(site)), options_(std::move(options)), log_(log),
      workers_(options_.workers,
               options_.queuePerWorker * (options_.workers ? options_.workers : coreCount())),
      http_(
          [this] {
              HttpLimits limits = options_.http;
              limits.unlimitedAddresses = options_.trustedProxies;
              limits.largerBodies.emplace_back(protocol::REPLAY_PATH, protocol::REPLAY_POST_MAX_BYTES);
              return limits;
          }(),
          [this](HttpRequest request, Reply reply) { handle(std::move(request), std::move(reply)); }) {
    if (!site_.log)
        site_.log = [this](const std::string& text) {
            log_.line(timestamp() + " - \"" + oneLine(text) + "\"\n");
        };
    for (Route& route : siteRoutes(store_, site_)) {
        if (route.method == "*") fallback_ = routes_.size();
        routes_.push_back({route.method, std::regex(route.pattern), std::move(route.handle)});
    }
}

ChannelServer::~ChannelServer() {
    stop();
}

bool ChannelServer::start(std::string& error) {
    return http_.start(options_.address, options_.port, error);
}

void ChannelServer::stop() {
    http_.stop();
    log_.flush();
}

const ChannelServer::CompiledRoute& ChannelServer::routeFor(const HttpRequest& request) const {
    const std::string& method = request.method == "HEAD" ? std::string("GET") : request.method;
    for (const CompiledRoute& route : routes_) {
        if (route.method == method && std::regex_match(request.path, route.pattern)) return route;
    }
    return routes_[fallback_];
}

void ChannelServer::handle(HttpRequest request, Reply reply) {
    request.client = clientAddress(request.peer, request.header("X-Real-IP"),
                                   request.header("X-Forwarded-For"), options_.trustedProxies);
    const auto start = Clock::now();
    auto held = std::make_shared<const HttpRequest>(std::move(request));
    const bool secure = servedSecurely(site_);
    Reply finish = [this, held, reply, start, secure](HttpResponse response) {
        response.setHeader("X-Content-Type-Options", "nosniff");
        response.setHeader("X-Frame-Options", "DENY");
        response.setHeader("Referrer-Policy", "same-origin");
        response.setHeader("Content-Security-Policy", "default-src 'self'; form-action 'self'");
        if (secure) response.setHeader("Strict-Transport-Security", "max-age=31536000");
        logLine(*held, response, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        reply(std::move(response));
    };
    const CompiledRoute& route = routeFor(*held);
    if (!workers_.submit([&route, held, finish] { route.handle(*held, finish); })) {
        HttpResponse busy;
        busy.status = 503;
        busy.setHeader("Retry-After", "1");
        busy.setContent("Upptaget / Busy, try again\r\n", "text/plain; charset=utf-8");
        busy.note = "every worker busy";
        finish(std::move(busy));
    }
}

void ChannelServer::logLine(const HttpRequest& request, const HttpResponse& response, double ms) {
    const auto tenths = static_cast<long long>(ms * 10);
    std::string line = timestamp() + " " + request.client + " " + oneLine(request.method) + " " +
                       oneLine(request.path) + " " + std::to_string(response.status) + " " +
                       std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "ms" +
                       (response.note.empty() ? "" : " \"" + oneLine(response.note) + "\"") + "\n";
    log_.line(std::move(line));
}

} // namespace tundrix::channel
