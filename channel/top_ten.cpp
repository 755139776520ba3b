// The top ten's JSON written with nlohmann's writer, and its route with the list kept for a while.
#include "channel/top_ten.h"

#include "channel/nickname.h"
#include "protocol/top_ten.h"

#include <ctime>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>

namespace tundrix::channel {

using namespace protocol;

namespace {

// Ten of the longest nicknames fit: a character is at most four bytes, and a byte at most three once
// written (a quote escaped, a stray byte replaced), with some thirty for the rest of an entry.
static_assert(TOP_TEN_ENTRIES * (NICKNAME_MAX_CHARS * 4 * 3 + 32) + 16 <= TOP_TEN_MAX_BYTES,
              "ten of the longest nicknames fit the list");

// The path as a pattern that matches it alone: a dot is any character to a regular expression.
std::string exactly(std::string_view path) {
    std::string out;
    for (const char c : path) {
        if (c == '.') out += '\\';
        out += c;
    }
    return out;
}

struct KeptList {
    std::mutex mutex;
    std::string json;   // the last list made, or empty
    int64_t madeAt = 0; // when, on the route's clock
};

} // namespace

std::optional<std::string> topTenJson(Store& store, int64_t now) {
    const auto board = store.leaderboard(Board::AllTime, now, static_cast<int>(TOP_TEN_ENTRIES));
    if (!board) return std::nullopt;
    nlohmann::json list = nlohmann::json::array();
    std::string json;
    for (const Ranked& r : *board) {
        list.push_back({{TOP_TEN_NAME, r.nickname}, {TOP_TEN_SCORE, r.score}});
        // A nickname kept before today's rules may hold bytes that are not UTF-8: they are replaced.
        std::string longer = nlohmann::json{{TOP_TEN_LIST, list}}.dump(
            -1, ' ', false, nlohmann::json::error_handler_t::replace);
        if (longer.size() > TOP_TEN_MAX_BYTES) break;
        json = std::move(longer);
    }
    if (json.empty()) json = nlohmann::json{{TOP_TEN_LIST, nlohmann::json::array()}}.dump();
    return json;
}

Route topTenRoute(Store& store, std::function<int64_t()> clock) {
    auto kept = std::make_shared<KeptList>();
    return {"GET", exactly(TOP_TEN_PATH), [&store, clock, kept](const HttpRequest&, Reply reply) {
                const int64_t now = clock ? clock() : static_cast<int64_t>(std::time(nullptr));
                std::string json;
                {
                    // One request at a time makes the list; the others meanwhile wait for it.
                    std::lock_guard lock(kept->mutex);
                    const bool fresh = !kept->json.empty() && now >= kept->madeAt &&
                                       now - kept->madeAt < TOP_TEN_CACHE_SECONDS;
                    if (!fresh) {
                        if (std::optional<std::string> made = topTenJson(store, now)) {
                            kept->json = std::move(*made);
                            kept->madeAt = now;
                        }
                    }
                    json = kept->json;
                }
                HttpResponse res;
                if (json.empty()) {
                    res.status = 503;
                    res.setHeader("Retry-After", "5");
                    res.setContent("{}", TOP_TEN_CONTENT_TYPE);
                    return reply(std::move(res));
                }
                res.setContent(std::move(json), TOP_TEN_CONTENT_TYPE);
                res.setHeader("Cache-Control", "max-age=" + std::to_string(TOP_TEN_CACHE_SECONDS));
                reply(std::move(res));
            }};
}

} // namespace tundrix::channel
