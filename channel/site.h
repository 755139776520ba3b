// The channel's web site: the game's score form and every page, with sessions and form tokens.
#pragma once
#include "channel/http/http_types.h"
#include "channel/limits.h"
#include "channel/mail_relay.h"
#include "channel/store.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tundrix::channel {

struct SiteOptions {
    std::string contact;     // how players reach the operator (shown on the password page)
    std::string publicUrl;   // the channel's address as players reach it, for links; else the Host header
    std::string downloadUrl; // where the newest build of the game is fetched (shown on the version page)
    std::function<int64_t()> clock; // seconds since 1970; the system clock when empty
    RateLimits limits;
    int64_t credentialLifetime = 600; // seconds a verified user name and password skip argon2id (0: never)
    unsigned passwordWorkers = 0;     // threads for argon2id checks; 0: one per processor core
    MailRelay mail; // where reset links are mailed through; none configured: the password page names contact
    std::function<void(const std::string&)> log; // lines of what happened beside the requests (the mail)
};

// Whether the channel is reached over HTTPS: then its cookies are "__Host-" and Secure, and browsers are
// told to come back over HTTPS only.
bool servedSecurely(const SiteOptions& options);

using Handler = std::function<void(const HttpRequest&, Reply)>;

// One page or form: its method ("GET", "POST", or "*" for the page of a path nothing else serves), its
// path pattern (a regular expression) and its handler.
struct Route {
    std::string method;
    std::string pattern;
    Handler handle;
};

// The site's routes, sharing one state (and its threads for password checks and for keeping scores,
// which stop once the last route is gone). The store must outlive them; the options are copied.
// Handlers may run on many threads at once.
std::vector<Route> siteRoutes(Store& store, const SiteOptions& options);

} // namespace tundrix::channel
