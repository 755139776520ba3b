// Feeds arbitrary requests to every handler of the channel's site, without a socket: the method and
// route, the Cookie header, the query or form fields and the body all come from the fuzzer's bytes.
#include "channel/crypto.h"
#include "channel/site.h"
#include "channel/store.h"

#include <httplib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Site {
    std::string path;
    std::unique_ptr<tundrix::channel::Store> store;
    tundrix::channel::SiteOptions options;
    std::vector<tundrix::channel::Route> routes;
};

Site& site() {
    static Site* s = [] {
        auto* made = new Site;
        if (!tundrix::channel::initCrypto()) std::abort();
        // A database in memory-backed storage, so that every synced commit stays cheap.
        made->path = "/dev/shm/tundrix-site-fuzz-" + std::to_string(getpid()) + ".db";
        std::string error;
        made->store = tundrix::channel::Store::open(made->path, error);
        if (!made->store) std::abort();
        std::atexit([] {
            for (const char* end : {"", "-wal", "-shm"})
                unlink((site().path + end).c_str());
        });
        made->options.clock = [] { return int64_t{1'800'000'000}; };
        made->routes = tundrix::channel::siteRoutes(*made->store, made->options);
        return made;
    }();
    return *s;
}

// The next piece of the input, up to a NUL byte.
std::string_view piece(std::string_view& input) {
    const size_t nul = input.find('\0');
    const std::string_view out = input.substr(0, nul);
    input = nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    Site& s = site();
    const auto& route = s.routes[data[0] % s.routes.size()];
    std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);

    httplib::Request req;
    req.method = route.method == "*" ? "GET" : route.method;
    req.path = route.pattern;
    req.remote_addr = std::string(piece(input)).substr(0, 40);
    req.set_header("Cookie", std::string(piece(input)));
    req.set_header("Host", std::string(piece(input)));
    const std::string query(piece(input));
    httplib::detail::parse_query_text(query, req.params);
    req.body = std::string(input);
    if (req.method == "POST") httplib::detail::parse_query_text(req.body, req.params);

    httplib::Response res;
    res.status = route.method == "*" ? 404 : -1;
    route.handle(req, res);
    // A handler leaves the status alone (the server makes it 200) or sets a real one.
    if (res.status != -1 && (res.status < 100 || res.status > 599)) std::abort();
    return 0;
}
