// The channel's web site on an HTTP server: the game's score form and every page, with sessions.
#pragma once
#include "channel/rate_limit.h"
#include "channel/store.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace tundrix::channel {

// How often one address or one member may try the forms. A whole school or LAN party may share one
// address, so the address limits are wide; the member limits stop password guessing.
struct RateLimits {
    bool enabled = true;
    RateRule scorePerAddress{120, 20};
    RateRule scorePerMember{6, 1.0 / 30};
    RateRule loginPerAddress{30, 1.0 / 2};
    RateRule loginPerAccount{5, 1.0 / 60};
    RateRule signupPerAddress{10, 1.0 / 30};
};

struct SiteOptions {
    std::string contact;     // how players reach the operator (shown on the password page)
    std::string publicUrl;   // the channel's address as players reach it, for links; else the Host header
    std::string downloadUrl; // where the newest build of the game is fetched (shown on the version page)
    std::function<int64_t()> clock; // seconds since 1970; the system clock when empty
    // Told what became of each score post, for the request's log line.
    std::function<void(const httplib::Request&, const std::string&)> note;
    RateLimits limits;
    int64_t credentialLifetime = 600; // seconds a verified user name and password skip argon2id (0: never)
};

using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

// One page or form: its method ("GET", "POST", or "*" for the page of a path nothing else serves), its
// path pattern (a regular expression) and its handler.
struct Route {
    std::string method;
    std::string pattern;
    Handler handle;
};

// The site's routes, sharing one state. The store and options must outlive them. Handlers may run on
// many threads at once.
std::vector<Route> siteRoutes(Store& store, const SiteOptions& options);

// Adds the routes to server.
void installSite(httplib::Server& server, Store& store, const SiteOptions& options);

} // namespace tundrix::channel
