// Feeds arbitrary requests to every handler of the channel's site, without a socket: the method and
// route, the client's address, the Cookie and Host headers, the query and the body all come from the
// fuzzer's bytes, read by the server's own field reader.
#include "channel/crypto.h"
#include "channel/http/form_fields.h"
#include "channel/site.h"
#include "channel/store.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <future>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The site over a database in memory-backed storage, so that every synced commit stays cheap; the
// database's files go at exit.
struct Site {
    static inline const std::string path = "/dev/shm/tundrix-site-fuzz-" + std::to_string(getpid()) + ".db";
    Site() {
        using namespace tundrix::channel;
        if (!initCrypto()) std::abort();
        std::string error;
        store = Store::open(path, OpenMode::Create, error);
        if (!store) std::abort();
        std::atexit([] {
            for (const char* end : {"", "-wal", "-shm"})
                unlink((path + end).c_str());
        });
        options.clock = [] { return int64_t{1'800'000'000}; };
        options.passwordWorkers = 1;
        routes = siteRoutes(*store, options);
    }
    std::unique_ptr<tundrix::channel::Store> store;
    tundrix::channel::SiteOptions options;
    std::vector<tundrix::channel::Route> routes;
};

// The next piece of the input, up to a NUL byte.
std::string_view piece(std::string_view& input) {
    const size_t nul = input.find('\0');
    const std::string_view out = input.substr(0, nul);
    input = nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tundrix::channel;
    if (size < 2) return 0;
    static const Site& s = *new Site; // never destroyed: a handler's thread may outlive the run
    const Route& route = s.routes[data[0] % s.routes.size()];
    std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);

    HttpRequest req;
    req.method = route.method == "*" ? "GET" : route.method;
    req.client = req.peer = std::string(piece(input)).substr(0, 40);
    req.headers.emplace_back("Cookie", std::string(piece(input)));
    req.headers.emplace_back("Host", std::string(piece(input)));
    const std::string query(piece(input));
    req.body = std::string(input);
    if (req.method == "POST") req.headers.emplace_back("Content-Type", "application/x-www-form-urlencoded");
    readTarget(req, route.pattern + "?" + query);

    // Every handler answers exactly once (some from another thread), with a real status.
    std::promise<int> answered;
    std::future<int> status = answered.get_future();
    route.handle(req, [&answered](HttpResponse res) { answered.set_value(res.status); });
    const int got = status.get();
    if (got < 100 || got > 599) std::abort();
    return 0;
}
