// The channel's leaderboard as the game shows it: a small read-only JSON the channel serves, read with care.
#pragma once
#include "net/channel_address.h"
#include "platform/http_client.h"
#include "protocol/top_ten.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tundrix {

// The longest name the list shows: a longer one is cut on a character boundary.
inline constexpr size_t TOP_TEN_NAME_MAX_BYTES = 32;
// The whole fetch, connection included: the list is a nicety and never worth a long wait.
inline constexpr long TOP_TEN_TIMEOUT_MS = 4000;

struct ChannelScore {
    std::string name; // UTF-8, no control characters, at most TOP_TEN_NAME_MAX_BYTES
    int32_t score = 0;
    bool operator==(const ChannelScore&) const = default;
};

// The entries of the answer (see protocol/top_ten.h), best first, at most TOP_TEN_ENTRIES: an entry without a
// usable name or with a score that is not a whole number from 0 to 2^31 - 1 is passed over. Nothing when the
// text is not JSON of that shape or is longer than TOP_TEN_MAX_BYTES. Pure: any bytes at all give a result.
std::optional<std::vector<ChannelScore>> parseTopTen(std::string_view json);

// Asks the channel for its top ten (a GET, bounded in size and time); nothing offline, on any failure or
// on an answer other than 200 with a list.
std::optional<std::vector<ChannelScore>> fetchTopTen(HttpClient& http, const ChannelAddress& channel,
                                                     long timeoutMs = TOP_TEN_TIMEOUT_MS);

} // namespace tundrix
