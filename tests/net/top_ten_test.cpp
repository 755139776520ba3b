// The channel's top ten: every shape of answer read safely, and fetched with a GET from a stand-in channel.
#include "net/top_ten.h"
#include "platform/curl/curl_http_client.h"

#include "http_test_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

namespace tundrix {
namespace {

using Scores = std::vector<ChannelScore>;

TEST(TopTen, EveryShapeOfAnswerIsReadSafely) {
    const auto list = [](const std::vector<std::pair<std::string, std::string>>& entries) {
        std::string json = R"({"scores":[)";
        for (const auto& [name, score] : entries) {
            if (json.back() == '}') json += ',';
            json.append(R"({"name":")").append(name).append(R"(","score":)").append(score).append("}");
        }
        return json.append("]}");
    };
    std::vector<std::pair<std::string, std::string>> eleven;
    Scores firstTen;
    for (int i = 0; i < 11; ++i) {
        eleven.emplace_back(std::string(1, static_cast<char>('a' + i)), std::to_string(100 - i));
        if (i < 10) firstTen.push_back({eleven.back().first, 100 - i});
    }
    const struct {
        const char* what;
        std::string json;
        std::optional<Scores> read;
    } cases[] = {
        {"the channel's answer", R"({"scores":[{"name":"Åsa","score":900},{"name":"Bo","score":12}]})",
         Scores{{"Åsa", 900}, {"Bo", 12}}},
        {"an empty list", R"({"scores":[]})", Scores{}},
        {"unknown fields beside", R"({"v":2,"scores":[{"name":"a","score":1,"when":"x"}]})",
         Scores{{"a", 1}}},
        {"out of order", R"({"scores":[{"name":"a","score":1},{"name":"b","score":5}]})",
         Scores{{"b", 5}, {"a", 1}}},
        {"more than ten: the first ten", list(eleven), firstTen},
        {"bad entries passed over",
         R"({"scores":[1,{"name":5,"score":1},{"name":"neg","score":-1},{"name":"big","score":2147483648},)"
         R"({"name":"half","score":1.5},{"name":"str","score":"9"},{"name":"","score":3},{"score":4},)"
         R"({"name":"   ","score":3},{"name":"ok","score":2147483647}]})",
         Scores{{"ok", 2147483647}}},
        {"control characters taken out", "{\"scores\":[{\"name\":\"a\\u0000b\\n\\u0085c\",\"score\":1}]}",
         Scores{{"abc", 1}}},
        {"a long name cut on a character", list({{std::string(31, 'x').append("Ö"), "1"}}),
         Scores{{std::string(31, 'x'), 1}}},
        {"not JSON", "<html>oops</html>", std::nullopt},
        {"cut short", R"({"scores":[{"name":"a","sco)", std::nullopt},
        {"a list alone", R"([{"name":"a","score":1}])", std::nullopt},
        {"scores not a list", R"({"scores":{"name":"a"}})", std::nullopt},
        {"not UTF-8", "{\"scores\":[{\"name\":\"\xff\",\"score\":1}]}", std::nullopt},
        {"deeply nested", std::string(5000, '[') + std::string(5000, ']'), std::nullopt},
        {"longer than a list may be", list({{std::string(protocol::TOP_TEN_MAX_BYTES, 'x'), "1"}}),
         std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseTopTen(c.json), c.read) << c.what;
}

TEST(TopTen, FetchedFromTheChannelWithAGetAndNothingWhenItCannotBeHad) {
    for (const char* proxy : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
        unsetenv(proxy);
    CurlHttpClient http;
    std::string why;
    if (!http.ensureLoaded(why)) GTEST_SKIP() << why;
    using test::ScriptedReply;
    test::HttpTestServer server({ScriptedReply::text(R"({"scores":[{"name":"Bo","score":77}]})"),
                                 ScriptedReply::text(R"({"scores":[]})", 404), ScriptedReply::text("0"),
                                 ScriptedReply::hang()});
    ASSERT_TRUE(server.running());
    ChannelAddress channel{false, "127.0.0.1", server.port()};
    EXPECT_EQ(fetchTopTen(http, channel), (Scores{{"Bo", 77}}));
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(
        server.requests()[0].head.rfind(std::string("GET ") + protocol::TOP_TEN_PATH + " HTTP/1.1\r\n", 0),
        0u)
        << server.requests()[0].head;
    EXPECT_EQ(fetchTopTen(http, channel), std::nullopt) << "a 404";
    EXPECT_EQ(fetchTopTen(http, channel), std::nullopt) << "an answer that is no list";
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(fetchTopTen(http, channel, 300), std::nullopt) << "a channel that does not answer";
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(3)) << "its own time-out";
    channel.port = test::HttpTestServer::unusedPort();
    EXPECT_EQ(fetchTopTen(http, channel), std::nullopt) << "offline";
}

} // namespace
} // namespace tundrix
