// Reading the channel's top ten with nlohmann's JSON reader, which reports bad input rather than throwing.
#include "net/top_ten.h"

#include <algorithm>
#include <limits>
#include <nlohmann/json.hpp>

namespace tundrix {

using namespace protocol;

namespace {

// The name without control characters, cut on a character boundary to the longest the list shows.
// The reader has already refused strings that are not UTF-8.
std::string shownName(const std::string& name) {
    std::string out;
    for (size_t i = 0; i < name.size();) {
        const auto lead = static_cast<unsigned char>(name[i]);
        const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (out.size() + length > TOP_TEN_NAME_MAX_BYTES) break;
        const bool control =
            lead < 0x20 || lead == 0x7F ||
            (lead == 0xC2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) < 0xA0);
        if (!control) out.append(name, i, length);
        i += length;
    }
    const auto blank = out.find_first_not_of(' ');
    return blank == std::string::npos ? std::string() : out;
}

std::optional<int32_t> wholeScore(const nlohmann::json& v) {
    constexpr auto most = std::numeric_limits<int32_t>::max();
    if (v.is_number_unsigned()) {
        const auto n = v.get<uint64_t>();
        if (n <= static_cast<uint64_t>(most)) return static_cast<int32_t>(n);
    } else if (v.is_number_integer()) {
        const auto n = v.get<int64_t>();
        if (n >= 0 && n <= most) return static_cast<int32_t>(n);
    }
    return std::nullopt;
}

} // namespace

std::optional<std::vector<ChannelScore>> parseTopTen(std::string_view json) {
    if (json.size() > TOP_TEN_MAX_BYTES) return std::nullopt;
    const nlohmann::json doc = nlohmann::json::parse(json.begin(), json.end(), nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) return std::nullopt;
    const auto scores = doc.find(TOP_TEN_LIST);
    if (scores == doc.end() || !scores->is_array()) return std::nullopt;
    std::vector<ChannelScore> out;
    for (const nlohmann::json& entry : *scores) {
        if (out.size() == TOP_TEN_ENTRIES) break;
        if (!entry.is_object()) continue;
        const auto name = entry.find(TOP_TEN_NAME);
        const auto score = entry.find(TOP_TEN_SCORE);
        if (name == entry.end() || !name->is_string() || score == entry.end()) continue;
        const std::optional<int32_t> points = wholeScore(*score);
        std::string shown = shownName(name->get<std::string>());
        if (!points || shown.empty()) continue;
        out.push_back({std::move(shown), *points});
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const ChannelScore& a, const ChannelScore& b) { return a.score > b.score; });
    return out;
}

std::optional<std::vector<ChannelScore>> fetchTopTen(HttpClient& http, const ChannelAddress& channel,
                                                     long timeoutMs) {
    std::string why;
    if (!http.ensureLoaded(why)) return std::nullopt;
    HttpPostRequest request;
    request.get = true;
    request.https = channel.https;
    request.host = channel.host;
    request.port = channel.port;
    request.path = TOP_TEN_PATH;
    request.userAgent = "Tundrix";
    request.headerLine = std::string("Accept: ") + TOP_TEN_CONTENT_TYPE;
    request.maxAnswerBytes = TOP_TEN_MAX_BYTES + 1; // one more: an answer cut at the limit is refused
    request.connectTimeoutMs = timeoutMs;
    request.totalTimeoutMs = timeoutMs;
    const HttpPostResult result = http.post(request);
    if (result.outcome != HttpOutcome::Answered || result.status != 200) return std::nullopt;
    return parseTopTen(result.answer);
}

} // namespace tundrix
