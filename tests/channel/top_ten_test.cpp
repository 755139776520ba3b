// The channel's top ten as the game reads it: fetched by the game's own client from the live channel, the
// all-time board's first ten best first, kept for a while, on its exact path only.
#include "net/top_ten.h"
#include "protocol/top_ten.h"

#include "channel/nickname.h"
#include "channel/top_ten.h"
#include "live_channel.h"

#include <atomic>

namespace tundrix::channel {
namespace {

using Scores = std::vector<ChannelScore>;

// prefix, the number, suffix (built by appending: GCC 12 warns wrongly of a literal plus a number's text).
std::string numbered(std::string_view prefix, int n, std::string_view suffix = "") {
    std::string text(prefix);
    text += std::to_string(n);
    text += suffix;
    return text;
}

class TopTen : public test::LiveChannel {
  protected:
    void configure() override {
        site.clock = [this] { return now.load(); };
    }
    std::optional<Scores> fetch() {
        return fetchTopTen(http, ChannelAddress{false, "127.0.0.1", static_cast<uint16_t>(server->port())});
    }
    void score(int64_t member, int32_t points, bool flagged = false) {
        ScoreEntry entry;
        entry.memberId = member;
        entry.score = points;
        entry.flagged = flagged;
        entry.flagReason = flagged ? "altered" : "";
        ASSERT_TRUE(store->recordScore(entry, "post", now));
    }
    std::atomic<int64_t> now{1'800'000'000};
};

TEST_F(TopTen, TheBoardsFirstTenBestFirstKeptForAWhileAndTheLongestNamesFit) {
    EXPECT_EQ(fetch(), Scores{}) << "an empty board is an empty list";
    // Eleven members, one of them twice (a member's best counts), and one whose score was kept aside.
    std::vector<int64_t> members;
    for (int i = 0; i < 11; ++i) {
        members.push_back(join(numbered("m", i, "@example.se"),
                               i == 10 ? "Kål \"Bo\" \\" : numbered("Spelare ", i), "hemligt"));
        score(members.back(), 100 + 10 * i);
    }
    score(members[0], 50);
    score(members[1], 99999, true);

    EXPECT_EQ(fetch(), Scores{}) << "the list made a moment ago is still the one served";
    now += TOP_TEN_CACHE_SECONDS;
    const std::optional<Scores> ten = fetch();
    ASSERT_TRUE(ten);
    ASSERT_EQ(ten->size(), protocol::TOP_TEN_ENTRIES);
    EXPECT_EQ(ten->front(), (ChannelScore{"Kål \"Bo\" \\", 200})) << "quotes and backslashes come through";
    for (size_t i = 1; i < ten->size(); ++i) {
        EXPECT_EQ((*ten)[i].name, numbered("Spelare ", static_cast<int>(10 - i)));
        EXPECT_EQ((*ten)[i].score, static_cast<int32_t>(200 - 10 * i));
    }

    const auto answer = client->Get(protocol::TOP_TEN_PATH);
    ASSERT_TRUE(answer);
    EXPECT_EQ(std::pair(answer->status, answer->get_header_value("Content-Type")),
              std::pair(200, std::string(protocol::TOP_TEN_CONTENT_TYPE)));
    EXPECT_EQ(answer->get_header_value("Cache-Control"), "max-age=" + std::to_string(TOP_TEN_CACHE_SECONDS));
    EXPECT_LE(answer->body.size(), protocol::TOP_TEN_MAX_BYTES);
    EXPECT_TRUE(test::has(client->Get("/topplista/idag/")->body, ">Spelare 0</td>")) << "all eleven";
    for (int i = 0; i < 130; ++i) // more than one address may hold at once, one after another
        ASSERT_EQ(client->Get(protocol::TOP_TEN_PATH)->status, 200) << i;
    // Its own path alone: the dot is no wild card, and nothing is posted to it.
    std::string near = protocol::TOP_TEN_PATH;
    near[near.find('.')] = 'x';
    EXPECT_EQ(client->Get(near)->status, 404);
    EXPECT_NE(client->Post(protocol::TOP_TEN_PATH, "x", "text/plain")->status, 200);

    // Ten members ahead of them whose nicknames are as long as the rules allow, in letters of four bytes:
    // the list still fits.
    std::string longest;
    for (size_t i = 0; i + 1 < NICKNAME_MAX_CHARS; ++i)
        longest += "\xF0\x9F\x8F\x92"; // an ice hockey stick and puck
    for (int i = 0; i < 10; ++i)
        score(join(numbered("l", i, "@example.se"), numbered(longest, i), "hemligt"), 1000 + i);
    const std::optional<std::string> json = topTenJson(*store, now);
    ASSERT_TRUE(json);
    EXPECT_LE(json->size(), protocol::TOP_TEN_MAX_BYTES);
    const Scores longTen = parseTopTen(*json).value_or(Scores{});
    ASSERT_EQ(longTen.size(), 10u);
    EXPECT_EQ(longTen.front().score, 1009);
}

} // namespace
} // namespace tundrix::channel
