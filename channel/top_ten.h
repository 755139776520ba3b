// The channel's top ten as small read-only JSON for the game: the all-time board's first ten, made at most
// once per TOP_TEN_CACHE_SECONDS however often it is asked for.
#pragma once
#include "channel/site.h"
#include "channel/store.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tundrix::channel {

inline constexpr int64_t TOP_TEN_CACHE_SECONDS = 30;

// The list as JSON (protocol/top_ten.h), never longer than its limit: entries that would pass it are left
// off. Nothing when the board cannot be read.
std::optional<std::string> topTenJson(Store& store, int64_t now);

// The GET route of the list. clock gives seconds since 1970 (the system clock when empty). The list is
// kept for TOP_TEN_CACHE_SECONDS; when the board cannot be read, the last list made is served, or 503
// before there is one.
Route topTenRoute(Store& store, std::function<int64_t()> clock);

} // namespace tundrix::channel
