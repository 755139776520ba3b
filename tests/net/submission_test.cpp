// Whole submissions through libcurl to a real HTTP server on the loopback address, the values measured for
// them (processor speed count, processor text, program file CRC), and the channel's top ten: every shape of
// answer read safely, and fetched with a GET from a stand-in channel.
#include "net/measurements.h"
#include "net/score_submission.h"
#include "net/top_ten.h"
#include "platform/curl/curl_abi.h"
#include "platform/curl/curl_http_client.h"

#include "fake_http.h"
#include "http_test_server.h"
#include "submission_contract.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tundrix {
namespace {

using test::HttpTestServer;
using test::ScriptedReply;

// The real libcurl's file, or empty where the machine has none.
std::string realCurlPath() {
    void* h = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!h) h = dlopen("libcurl-gnutls.so.4", RTLD_NOW | RTLD_LOCAL);
    link_map* map = nullptr;
    return h && dlinfo(h, RTLD_DI_LINKMAP, &map) == 0 && map ? map->l_name : "";
}

class Submission : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* proxy : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
            unsetenv(proxy);
        if (realCurlPath().empty()) GTEST_SKIP() << "libcurl is not installed";
    }
    CurlHttpClient http;
    test::SubmissionRig rig{http};
    SubmissionRecord& record = rig.record;
};

TEST_F(Submission, TheServerGetsEveryFieldAndATamperedScoreIsSentAndKeptNegated) {
    test::expectTheGamesForm(rig);
}

TEST_F(Submission, EveryShapeOfAnswerIsReadSafely) {
    test::expectEveryAnswerRead(rig);
    // A wait given as a date is counted from now.
    HttpTestServer server(
        {ScriptedReply::text("Too many attempts", 429, "Retry-After: Fri, 01 Jan 2100 00:00:00 GMT\r\n")});
    EXPECT_EQ(rig.submitTo(server.port()), -2);
    EXPECT_GT(record.retryAfter, 365 * 24 * 3600) << "a date some years ahead";
}

TEST_F(Submission, TransportFailuresAreRecordedAndNeverHang) {
    // Nothing listens: nothing is sent, curl's "couldn't connect" (7) is recorded past the offset.
    record.tampered = true;
    record.versionNotice = 4;
    EXPECT_EQ((std::pair{rig.submitTo(HttpTestServer::unusedPort()), record.resultCode}),
              std::pair(-1, TRANSPORT_ERROR_BASE + curl::E_COULDNT_CONNECT));
    EXPECT_GT(std::strlen(record.message), 0u);
    EXPECT_LE(std::strlen(record.message), SubmissionRecord::ERROR_MESSAGE_MAX_CHARS);
    // Nothing was sent, so nothing was negated.
    EXPECT_EQ(std::tuple(record.score, record.versionNotice, record.exchange),
              std::tuple(120, 4, HttpOutcome::NotConnected));
    record.tampered = false;
    // A server that takes the form and never answers, or answers a byte at a time: the time-out ends the
    // wait, and the record says it was reached but too slow.
    for (const ScriptedReply& reply : {ScriptedReply::hang(), ScriptedReply::trickle()}) {
        HttpTestServer server({reply});
        EXPECT_EQ((std::tuple{rig.submitTo(server.port(), nullptr, 300), record.resultCode, record.exchange,
                              record.versionNotice, server.requests().size()}),
                  (std::tuple{-2, TRANSPORT_ERROR_BASE + curl::E_OPERATION_TIMEDOUT, HttpOutcome::TooSlow, 4,
                              size_t{1}}));
    }
    // A server that hangs up without a word.
    HttpTestServer server({ScriptedReply::closeSilently()});
    EXPECT_EQ((std::tuple{rig.submitTo(server.port()), record.resultCode, record.exchange}),
              (std::tuple{-2, TRANSPORT_ERROR_BASE + curl::E_GOT_NOTHING, HttpOutcome::Failed}));
    EXPECT_GT(std::strlen(record.message), 0u);
}

TEST_F(Submission, AMissingLibraryIsReportedRetriedAndOnceFoundKept) {
    HttpTestServer server;
    CurlHttpClient absent({"libtundrix-no-such-curl.so.4"});
    EXPECT_EQ((std::pair{rig.submitTo(server.port(), &absent), record.resultCode}), std::pair(-1, -1));
    EXPECT_STREQ(record.message, "Kunde inte hitta libtundrix-no-such-curl.so.4");
    CurlHttpClient notCurl({"libz.so.1"});
    EXPECT_EQ((std::pair{rig.submitTo(server.port(), &notCurl), record.resultCode}), std::pair(-1, -1));
    EXPECT_STREQ(record.message, "Kunde inte hitta funktionen curl_global_init i libz.so.1");
    EXPECT_TRUE(server.requests().empty());

    // The library turns up later under the name looked for: the next attempt finds it, and it stays.
    const auto dir = std::filesystem::temp_directory_path() / ("tundrix_curl_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto link = dir / "libcurl.so.4";
    CurlHttpClient later({link.string()});
    EXPECT_EQ(rig.submitTo(server.port(), &later), -1);
    EXPECT_EQ(std::string(record.message), "Kunde inte hitta " + link.string());
    std::filesystem::create_symlink(realCurlPath(), link);
    EXPECT_EQ(rig.submitTo(server.port(), &later), 0);
    std::filesystem::remove_all(dir);
    EXPECT_EQ((std::pair{rig.submitTo(server.port(), &later), server.requests().size()}),
              std::pair(0, size_t{2}));
}

TEST(SubmissionOutcome, EachOutcomeGivesItsReturnCodeResultAndScore) {
    const auto answered = [](int status, std::string body) {
        return HttpPostResult{HttpOutcome::Answered, 0, "", status, std::move(body)};
    };
    const auto broken = [](HttpOutcome how, int code) { return HttpPostResult{how, code, "failed", 0, ""}; };
    // score: the record's after a tampered 120 was posted.
    // clang-format off
    const struct { const char* name; HttpPostResult result; int returned, resultCode, score; } cases[] = {
        {"sent, then cut off", broken(HttpOutcome::Failed, 56), -2, TRANSPORT_ERROR_BASE + 56, -120},
        {"sent, then too slow", broken(HttpOutcome::TooSlow, 28), -2, TRANSPORT_ERROR_BASE + 28, -120},
        {"not sent at all", broken(HttpOutcome::NotConnected, 7), -1, TRANSPORT_ERROR_BASE + 7, 120},
        {"no HTTP library", broken(HttpOutcome::LibraryMissing, 0), -1, -1, 120},
        {"a redirect is no verdict", answered(300, "0"), -2, 300, -120},
        {"a status no server sends", answered(1000, "0"), -2, ANSWER_WITHOUT_RESULT, -120},
        {"the lowest status there is", answered(100, "0"), -2, 100, -120},
        {"nor one below it", answered(99, "0"), -2, ANSWER_WITHOUT_RESULT, -120},
        {"nor the highest", answered(999, "0"), -2, 999, -120},
        {"a negative verdict", answered(200, "-1"), -2, -1, -120},
        {"registered", answered(299, "0"), 0, 0, -120},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SubmissionRecord record;
        record.score = 120;
        record.tampered = true;
        test::ScriptedHttp http(c.result);
        test::ScriptedCalendar calendar;
        EXPECT_EQ((std::tuple{submitScore(record, http, calendar, {}), record.resultCode, record.score}),
                  (std::tuple{c.returned, c.resultCode, c.score}));
    }
}

TEST(ProcessorSpeedCount, CountsReadingsOverTheSecondsAfterAFreshSecondAndSurvivesAClockSetBack) {
    // Readings 0..19 show 1000 and 1001; the wait ends at the first 1002 (reading 20). Reading 21 is
    // t1 = 1002; readings 22..39 show 1002 or 1003 and are counted; reading 40 shows 1004.
    test::ScriptedCalendar slow({1000});
    EXPECT_EQ(processorSpeedCount(slow), 18);
    EXPECT_EQ(slow.reads, 41u);
    test::ScriptedCalendar fast({1000}, 1000);
    EXPECT_EQ(processorSpeedCount(fast), 1998);

    // Set back an hour while waiting for the fresh second: the wait starts over from the new time.
    test::ScriptedCalendar backInWait({5000, 5000, 1400, 1400, 1401, 1402, 1402, 1402, 1403, 1404});
    EXPECT_EQ(processorSpeedCount(backInWait), 2);
    // Set back while counting: the count ends there.
    test::ScriptedCalendar backInCount({5000, 5002, 5002, 5002, 5002, 100});
    EXPECT_EQ(processorSpeedCount(backInCount), 2);
}

TEST(ProcessorDescription, NamesTheKnownProcessorTypes) {
    const std::pair<int, const char*> cases[] = {{386, "CPU INTEL 386"},     {486, "CPU INTEL 486"},
                                                 {586, "CPU INTEL PENTIUM"}, {4000, "CPU MIPS R4000"},
                                                 {21064, "CPU ALPHA 21064"}, {8664, "CPU UNKNOWN"}};
    for (auto [type, text] : cases)
        EXPECT_EQ(processorDescription(type), text);
}

TEST(MeasureFile, GivesTheCrc32AndLengthOrZeroes) {
    const auto dir = std::filesystem::temp_directory_path() / ("tundrix_net_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto path = (dir / "check.bin").string();
    { std::ofstream(path, std::ios::binary) << "123456789"; }
    EXPECT_EQ(measureFile(path).crc, 0xCBF43926u); // the CRC-32 check value
    EXPECT_EQ(measureFile(path).length, 9u);
    // Larger than one read chunk: the length counts every byte.
    { std::ofstream(path, std::ios::binary) << std::string(200000, 'z'); }
    EXPECT_EQ(measureFile(path).length, 200000u);
    const FileIntegrity missing = measureFile((dir / "absent").string());
    EXPECT_EQ(missing.crc, 0u);
    EXPECT_EQ(missing.length, 0u);
    // The running program can read itself.
    EXPECT_EQ(measureFile("/proc/self/exe").length, std::filesystem::file_size("/proc/self/exe"));
    std::filesystem::remove_all(dir);
}

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
    // clang-format off
    const struct { const char* what; std::string json; std::optional<Scores> read; } cases[] = {
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
        {"control characters taken out", "{\"scores\":[{\"name\":\"a\\u0000b\\n\\u001f\\u0085c\",\"score\":1}]}",
         Scores{{"abc", 1}}},
        {"a long name cut on a character", list({{std::string(31, 'x').append("Ö"), "1"}}),
         Scores{{std::string(31, 'x'), 1}}},
        {"a three-byte character that fits", list({{std::string(29, 'x').append("€"), "1"}}),
         Scores{{std::string(29, 'x').append("€"), 1}}},
        {"a four-byte character that does not", list({{std::string(29, 'x').append("😀"), "1"}}),
         Scores{{std::string(29, 'x'), 1}}},
        {"a no-break space kept, DEL and a C1 control taken out",
         "{\"scores\":[{\"name\":\"a\\u00a0b\\u007fc\\u009fd\",\"score\":1}]}", Scores{{"a\u00A0bcd", 1}}},
        {"minus nought is nought", R"({"scores":[{"name":"a","score":-0}]})", Scores{{"a", 0}}},
        {"not JSON", "<html>oops</html>", std::nullopt},
        {"cut short", R"({"scores":[{"name":"a","sco)", std::nullopt},
        {"a list alone", R"([{"name":"a","score":1}])", std::nullopt},
        {"scores not a list", R"({"scores":{"name":"a"}})", std::nullopt},
        {"not UTF-8", "{\"scores\":[{\"name\":\"\xff\",\"score\":1}]}", std::nullopt},
        {"deeply nested", std::string(5000, '[') + std::string(5000, ']'), std::nullopt},
        {"longer than a list may be", list({{std::string(protocol::TOP_TEN_MAX_BYTES, 'x'), "1"}}),
         std::nullopt},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(parseTopTen(c.json), c.read) << c.what;
}

// The request the top ten is fetched with, and every way it cannot be had. (The real client's GET to the
// real channel is the channel's top-ten test; its time-outs and failures are the submissions' above.)
TEST(TopTen, FetchedWithAGetWithinItsTimeOutAndNothingWhenItCannotBeHad) {
    const ChannelAddress channel{false, "127.0.0.1", 8080};
    test::ScriptedHttp listed(
        {HttpOutcome::Answered, 0, "", 200, R"({"scores":[{"name":"Bo","score":77}]})"});
    EXPECT_EQ(fetchTopTen(listed, channel, 300), (Scores{{"Bo", 77}}));
    EXPECT_EQ(std::tuple(listed.sent.get, listed.sent.path, listed.sent.connectTimeoutMs,
                         listed.sent.totalTimeoutMs),
              std::tuple(true, std::string(protocol::TOP_TEN_PATH), 300L, 300L));
    for (const HttpPostResult& failed :
         {HttpPostResult{HttpOutcome::Answered, 0, "", 404, R"({"scores":[]})"},
          HttpPostResult{HttpOutcome::Answered, 0, "", 200, "0"},
          HttpPostResult{HttpOutcome::TooSlow, 28, "slow", 0, ""},
          HttpPostResult{HttpOutcome::NotConnected, 7, "offline", 0, ""}}) {
        test::ScriptedHttp http(failed);
        EXPECT_EQ(fetchTopTen(http, channel), std::nullopt) << failed.status << " " << failed.errorText;
        EXPECT_GT(http.sent.totalTimeoutMs, 0) << "by default a bounded wait too";
    }
}

} // namespace
} // namespace tundrix
