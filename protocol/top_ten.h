// The channel's top ten as the game fetches it: a small read-only JSON list, named once for both sides.
#pragma once
#include <cstddef>

namespace tundrix::protocol {

// GET TOP_TEN_PATH answers {"scores":[{"name":"…","score":123},…]}: the all-time board, best first.
inline constexpr char TOP_TEN_PATH[] = "/top10.json";
inline constexpr char TOP_TEN_LIST[] = "scores";
inline constexpr char TOP_TEN_NAME[] = "name";
inline constexpr char TOP_TEN_SCORE[] = "score";
inline constexpr char TOP_TEN_CONTENT_TYPE[] = "application/json";
// At most this many entries, in at most this many bytes.
inline constexpr size_t TOP_TEN_ENTRIES = 10;
inline constexpr size_t TOP_TEN_MAX_BYTES = 8192;

} // namespace tundrix::protocol
