// The channel's web site on an HTTP server: the game's score form and every page, with sessions.
#pragma once
#include "channel/store.h"

#include <cstdint>
#include <functional>
#include <string>

namespace httplib {
class Server;
struct Request;
} // namespace httplib

namespace tundrix::channel {

struct SiteOptions {
    std::string contact;     // how players reach the operator (shown on the password page)
    std::string publicUrl;   // the channel's address as players reach it, for links; else the Host header
    std::string downloadUrl; // where the newest build of the game is fetched (shown on the version page)
    std::function<int64_t()> clock; // seconds since 1970; the system clock when empty
    // Told what became of each score post, for the request's log line.
    std::function<void(const httplib::Request&, const std::string&)> note;
};

// Adds the routes to server. The store and options must outlive it. Handlers may run on many threads.
void installSite(httplib::Server& server, Store& store, const SiteOptions& options);

} // namespace tundrix::channel
