// Whole submissions through libcurl to a real HTTP server on the loopback address.
#include "net/score_submission.h"
#include "platform/curl/curl_abi.h"
#include "platform/curl/curl_http_client.h"

#include "fake_http.h"
#include "http_test_server.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace tundrix {
namespace {

using test::HttpTestServer;
using test::ReceivedRequest;
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
        record.setUserName("\xC3\xA5sa@lumora.se");
        record.setPassword("hemligt");
        record.bestScoreTime = 61000;
        record.totalPlayTime = 3600000;
    }

    // One attempt with a score of 120 to a port on the loopback address.
    int submitTo(uint16_t port, HttpClient* client = nullptr, long timeoutMs = 60000) {
        record.score = 120;
        SubmitOptions options;
        options.host = "127.0.0.1";
        options.port = port;
        options.totalTimeoutMs = timeoutMs;
        return submitScore(record, client ? *client : http, calendar, options);
    }

    SubmissionRecord record;
    CurlHttpClient http;
    test::ScriptedCalendar calendar;
};

} // namespace

TEST_F(Submission, TheServerGetsEveryFieldAndATamperedScoreIsSentAndKeptNegated) {
    HttpTestServer server;
    ASSERT_TRUE(server.running());
    EXPECT_EQ(submitTo(server.port()), 0);
    EXPECT_EQ(record.resultCode, 0);
    EXPECT_STREQ(record.message, "0");
    EXPECT_EQ(record.score, 120);
    record.tampered = true;
    EXPECT_EQ(submitTo(server.port()), 0);
    EXPECT_EQ(record.score, -120);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    const std::string exe = std::to_string(std::filesystem::file_size("/proc/self/exe"));
    for (int score : {120, -120}) {
        const ReceivedRequest& req = requests[score < 0];
        EXPECT_TRUE(req.problems.empty()) << req.problems.front();
        for (const char* line : {"POST /r0003.asp HTTP/1.1\r\n", "\r\nUser-Agent: SpelHttp\r\n",
                                 "\r\nContent-Type: application/x-www-form-urlencoded\r\n"})
            EXPECT_NE(req.head.find(line), std::string::npos) << line << " in " << req.head;
        // One Windows-1252 byte for the å; f6 is the quick calendar's speed count.
        // clang-format off
        const std::map<std::string, std::string> expected = {
            {"f1", "\xE5sa@lumora.se"}, {"f2", "10"}, {"f3", "hemligt"}, {"f4", std::to_string(score)},
            {"f5", "61000"}, {"f5b", "3600000"}, {"f6", "18"}, {"f7", "CPU UNKNOWN"}, {"f9", exe},
            {"fa", std::to_string(score) + "\xE5sa@lumora.se"}, {"fb", std::to_string(std::stoll(exe) + score)}};
        // clang-format on
        for (const auto& [name, value] : expected)
            EXPECT_EQ(req.fields.at(name), value) << name;
        EXPECT_EQ(req.fields.at("f8"), std::to_string(measureFile("/proc/self/exe").crc)); // unsigned
    }
}

TEST_F(Submission, EveryShapeOfAnswerIsReadSafely) {
    const std::string page = "<html><body>Service unavailable</body></html>";
    const struct {
        ScriptedReply reply;
        int returned, resultCode, versionNotice;
        const char* message; // nullptr: any non-empty text
        int retryAfter = 0;
    } cases[] = {
        {ScriptedReply::text("0"), 0, 0, 0, "0"},
        {ScriptedReply::text("0\r\n5\r\n"), 0, 0, 5, "0\r\n5"},
        {ScriptedReply::text("  3"), -2, 3, 0, "3"},
        {ScriptedReply::text("2"), -2, 2, 0, "2"},
        // Longer than one read: only the first 16383 bytes count, so the "7" after them is never seen.
        {ScriptedReply::text("4" + std::string(16381, ' ') + "\n7" + std::string(5000, 'x')), -2, 4, 0, "4"},
        // A one-character answer after a long one is read as that character alone.
        {ScriptedReply::text("1"), -2, 1, 0, "1"},
        // An empty answer or a page without a result is no registration: the dialog offers another try.
        {ScriptedReply::text(""), -2, ANSWER_WITHOUT_RESULT, 0, nullptr},
        {ScriptedReply::text(page), -2, ANSWER_WITHOUT_RESULT, 0, page.c_str()},
        // An error page's body is not a verdict, even when it reads "0"; the notice is left as it was.
        {ScriptedReply::text("0", 500), -2, 500, 9, nullptr},
        // Too many attempts says when to try again, in seconds or as a date; a channel that cannot store the
        // score now names no wait.
        {ScriptedReply::text("Too many attempts", 429, "Retry-After: 30\r\n"), -2, 429, 9, nullptr, 30},
        {ScriptedReply::text("Too many attempts", 429, "Retry-After: Fri, 01 Jan 2100 00:00:00 GMT\r\n"), -2,
         429, 9, nullptr, INT32_MAX},
        {ScriptedReply::text("Temporary failure", 503), -2, 503, 9, nullptr, 0},
    };
    std::vector<ScriptedReply> replies;
    for (const auto& c : cases)
        replies.push_back(c.reply);
    HttpTestServer server(replies);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.body.substr(0, 20) + " / status " + std::to_string(c.reply.status));
        record.versionNotice = 9;
        EXPECT_EQ(submitTo(server.port()), c.returned);
        EXPECT_EQ(record.resultCode, c.resultCode);
        EXPECT_EQ(record.versionNotice, c.versionNotice);
        EXPECT_STREQ(record.message, c.message ? c.message : record.message);
        EXPECT_GT(std::strlen(record.message), 0u);
        EXPECT_EQ(record.exchange, HttpOutcome::Answered);
        if (c.retryAfter == INT32_MAX)
            EXPECT_GT(record.retryAfter, 365 * 24 * 3600) << "a date some years ahead";
        else
            EXPECT_EQ(record.retryAfter, c.retryAfter);
    }
    EXPECT_EQ(server.requests().size(), std::size(cases));
}

TEST_F(Submission, TransportFailuresAreRecordedAndNeverHang) {
    // Nothing listens: nothing is sent, curl's "couldn't connect" (7) is recorded past the offset.
    record.tampered = true;
    record.versionNotice = 4;
    EXPECT_EQ(submitTo(HttpTestServer::unusedPort()), -1);
    EXPECT_EQ(record.resultCode, TRANSPORT_ERROR_BASE + curl::E_COULDNT_CONNECT);
    EXPECT_GT(std::strlen(record.message), 0u);
    EXPECT_LE(std::strlen(record.message), SubmissionRecord::ERROR_MESSAGE_MAX_CHARS);
    EXPECT_EQ(record.score, 120); // nothing was sent, so nothing was negated
    EXPECT_EQ(record.versionNotice, 4);
    EXPECT_EQ(record.exchange, HttpOutcome::NotConnected);
    record.tampered = false;
    // A server that takes the form and never answers, or answers a byte at a time: the time-out ends the
    // wait, and the record says it was reached but too slow.
    for (const ScriptedReply& reply : {ScriptedReply::hang(), ScriptedReply::trickle()}) {
        HttpTestServer server({reply});
        EXPECT_EQ(submitTo(server.port(), nullptr, 300), -2);
        EXPECT_EQ(record.resultCode, TRANSPORT_ERROR_BASE + curl::E_OPERATION_TIMEDOUT);
        EXPECT_EQ(record.exchange, HttpOutcome::TooSlow);
        EXPECT_EQ(record.versionNotice, 4);
        EXPECT_EQ(server.requests().size(), 1u);
    }
    // A server that hangs up without a word.
    HttpTestServer server({ScriptedReply::closeSilently()});
    EXPECT_EQ(submitTo(server.port()), -2);
    EXPECT_EQ(record.resultCode, TRANSPORT_ERROR_BASE + curl::E_GOT_NOTHING);
    EXPECT_EQ(record.exchange, HttpOutcome::Failed);
    EXPECT_GT(std::strlen(record.message), 0u);
}

TEST_F(Submission, AMissingLibraryIsReportedRetriedAndOnceFoundKept) {
    HttpTestServer server;
    CurlHttpClient absent({"libtundrix-no-such-curl.so.4"});
    EXPECT_EQ(submitTo(server.port(), &absent), -1);
    EXPECT_EQ(record.resultCode, -1);
    EXPECT_STREQ(record.message, "Kunde inte hitta libtundrix-no-such-curl.so.4");
    CurlHttpClient notCurl({"libz.so.1"});
    EXPECT_EQ(submitTo(server.port(), &notCurl), -1);
    EXPECT_EQ(record.resultCode, -1);
    EXPECT_STREQ(record.message, "Kunde inte hitta funktionen curl_global_init i libz.so.1");
    EXPECT_TRUE(server.requests().empty());

    // The library turns up later under the name looked for: the next attempt finds it, and it stays.
    const auto dir = std::filesystem::temp_directory_path() / ("tundrix_curl_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto link = dir / "libcurl.so.4";
    CurlHttpClient later({link.string()});
    EXPECT_EQ(submitTo(server.port(), &later), -1);
    EXPECT_EQ(std::string(record.message), "Kunde inte hitta " + link.string());
    std::filesystem::create_symlink(realCurlPath(), link);
    EXPECT_EQ(submitTo(server.port(), &later), 0);
    std::filesystem::remove_all(dir);
    EXPECT_EQ(submitTo(server.port(), &later), 0);
    EXPECT_EQ(server.requests().size(), 2u);
}

TEST(SubmissionOutcome, EachOutcomeGivesItsReturnCodeResultAndScore) {
    const auto answered = [](int status, std::string body) {
        return HttpPostResult{HttpOutcome::Answered, 0, "", status, std::move(body)};
    };
    const struct {
        const char* name;
        HttpPostResult result;
        int returned, resultCode, score; // score: the record's after a tampered 120 was posted
    } cases[] = {
        {"sent, then the connection failed",
         {HttpOutcome::Failed, 56, "recv failure", 0, ""},
         -2,
         TRANSPORT_ERROR_BASE + 56,
         -120},
        {"sent, then no answer in time",
         {HttpOutcome::TooSlow, 28, "timed out", 0, ""},
         -2,
         TRANSPORT_ERROR_BASE + 28,
         -120},
        {"not sent at all",
         {HttpOutcome::NotConnected, 7, "refused", 0, ""},
         -1,
         TRANSPORT_ERROR_BASE + 7,
         120},
        {"a redirect is no verdict", answered(300, "0"), -2, 300, -120},
        {"a status no server sends", answered(1000, "0"), -2, ANSWER_WITHOUT_RESULT, -120},
        {"a negative verdict", answered(200, "-1"), -2, -1, -120},
        {"registered", answered(299, "0"), 0, 0, -120},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SubmissionRecord record;
        record.score = 120;
        record.tampered = true;
        test::ScriptedHttp http(c.result);
        test::ScriptedCalendar calendar;
        EXPECT_EQ(submitScore(record, http, calendar, {}), c.returned);
        EXPECT_EQ(record.resultCode, c.resultCode);
        EXPECT_EQ(record.score, c.score);
    }
}

} // namespace tundrix
