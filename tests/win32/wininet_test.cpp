// Whole submissions through WinInet to a real HTTP server on the loopback address: the form, every shape
// of answer, transport failures with WinInet's own numbers, a missing library, and the channel's top ten
// fetched with a GET.
#include "fake_http.h"
#include "http_test_server.h"
#include "net/measurements.h"
#include "net/score_submission.h"
#include "net/top_ten.h"
#include "platform/win32/win32_http_client.h"
#include "platform/win32/win32_program_info.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <wininet.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tundrix {
namespace {

using test::HttpTestServer;
using test::ReceivedRequest;
using test::ScriptedReply;

class WinInetSubmission : public ::testing::Test {
  protected:
    void SetUp() override {
        record.setUserName("\xC3\xA5sa@lumora.se");
        record.setPassword("hemligt");
        record.bestScoreTime = 61000;
        record.totalPlayTime = 3600000;
    }
    int submitTo(uint16_t port, HttpClient* client = nullptr, long timeoutMs = 60000) {
        record.score = 120;
        SubmitOptions options;
        options.host = "127.0.0.1";
        options.port = port;
        options.totalTimeoutMs = timeoutMs;
        options.executablePath = programFilePath();
        options.processorType = processorTypeCode();
        return submitScore(record, client ? *client : http, calendar, options);
    }
    SubmissionRecord record;
    WinInetHttpClient http;
    test::ScriptedCalendar calendar;
};

TEST_F(WinInetSubmission, TheServerGetsTheFormTheLinuxBuildSendsAndATamperedScoreIsNegated) {
    HttpTestServer server;
    ASSERT_TRUE(server.running());
    EXPECT_EQ(submitTo(server.port()), 0);
    EXPECT_EQ(record.resultCode, 0);
    EXPECT_STREQ(record.message, "0");
    record.tampered = true;
    EXPECT_EQ(submitTo(server.port()), 0);
    EXPECT_EQ(record.score, -120);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    const FileIntegrity exe = measureFile(programFilePath());
    ASSERT_GT(exe.length, 0u);
    EXPECT_EQ(exe.length, std::filesystem::file_size(programFilePath()));
    for (int score : {120, -120}) {
        const ReceivedRequest& req = requests[score < 0];
        EXPECT_TRUE(req.problems.empty()) << req.problems.front();
        for (const char* line : {"POST /r0003.asp HTTP/1.1\r\n", "\r\nUser-Agent: SpelHttp\r\n",
                                 "\r\nContent-Type: application/x-www-form-urlencoded\r\n"})
            EXPECT_NE(req.head.find(line), std::string::npos) << line << " in " << req.head;
        // The x86-64 processor's code (8664) is none the table knows.
        // clang-format off
        const std::map<std::string, std::string> expected = {
            {"f1", "\xE5sa@lumora.se"}, {"f2", "10"}, {"f3", "hemligt"}, {"f4", std::to_string(score)},
            {"f5", "61000"}, {"f5b", "3600000"}, {"f6", "18"}, {"f7", "CPU UNKNOWN"},
            {"f8", std::to_string(exe.crc)}, {"f9", std::to_string(exe.length)},
            {"fa", std::to_string(score) + "\xE5sa@lumora.se"}, {"fb", std::to_string(exe.length + score)}};
        // clang-format on
        for (const auto& [name, value] : expected)
            EXPECT_EQ(req.fields.at(name), value) << name;
    }
}

TEST_F(WinInetSubmission, EveryShapeOfAnswerIsReadAsOnLinux) {
    const std::string page = "<html><body>Service unavailable</body></html>";
    const struct {
        ScriptedReply reply;
        int returned, resultCode, versionNotice;
        const char* message; // nullptr: any non-empty text
    } cases[] = {
        {ScriptedReply::text("0"), 0, 0, 0, "0"},
        {ScriptedReply::text("0\r\n5\r\n"), 0, 0, 5, "0\r\n5"},
        {ScriptedReply::text("  3"), -2, 3, 0, "3"},
        // Longer than the limit: only the first 16383 bytes count, however many reads they take.
        {ScriptedReply::text("4" + std::string(16381, ' ') + "\n7" + std::string(5000, 'x')), -2, 4, 0, "4"},
        {ScriptedReply::text("1"), -2, 1, 0, "1"},
        {ScriptedReply::text(""), -2, ANSWER_WITHOUT_RESULT, 0, nullptr},
        {ScriptedReply::text(page), -2, ANSWER_WITHOUT_RESULT, 0, page.c_str()},
        // An error page's body is not a verdict, even when it reads "0"; the notice is left as it was.
        {ScriptedReply::text("0", 500), -2, 500, 9, nullptr},
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
    }
    EXPECT_EQ(server.requests().size(), std::size(cases));
}

TEST_F(WinInetSubmission, TransportFailuresGiveWinInetsNumbersAndNeverHang) {
    // Nothing listens: nothing was sent, so a tampered score is not negated, and the dialog's table sees
    // WinInet's "cannot connect".
    record.tampered = true;
    record.versionNotice = 4;
    EXPECT_EQ(submitTo(HttpTestServer::unusedPort()), -1);
    EXPECT_EQ(record.resultCode, ERROR_INTERNET_CANNOT_CONNECT);
    EXPECT_GT(std::strlen(record.message), 0u);
    EXPECT_EQ(record.score, 120);
    EXPECT_EQ(record.versionNotice, 4);
    record.tampered = false;
    // A server that takes the form and never answers: the time-out ends the wait.
    {
        HttpTestServer server({ScriptedReply::hang()});
        const DWORD started = GetTickCount();
        EXPECT_EQ(submitTo(server.port(), nullptr, 500), -2);
        EXPECT_LT(GetTickCount() - started, 10000u);
        // Windows says "timed out" (12002), Wine "connection aborted" (12030): a transport failure.
        EXPECT_GT(record.resultCode, TRANSPORT_ERROR_BASE);
        EXPECT_LT(record.resultCode, ANSWER_WITHOUT_RESULT);
        EXPECT_EQ(server.requests().size(), 1u);
    }
    // A server that hangs up without a word: a failure past the transport offset, never a verdict.
    {
        HttpTestServer server({ScriptedReply::closeSilently()});
        EXPECT_EQ(submitTo(server.port()), -2);
        EXPECT_GT(record.resultCode, TRANSPORT_ERROR_BASE);
        EXPECT_GT(std::strlen(record.message), 0u);
        EXPECT_EQ(record.exchange, HttpOutcome::Failed);
    }
    // One that answers a byte at a time, past the exchange's time, is too slow, as on Linux.
    HttpTestServer slow({ScriptedReply::trickle()});
    EXPECT_EQ(submitTo(slow.port(), nullptr, 500), -2);
    EXPECT_EQ(record.exchange, HttpOutcome::TooSlow);
    EXPECT_GT(record.resultCode, TRANSPORT_ERROR_BASE);
}

TEST_F(WinInetSubmission, TooManyAttemptsPassesOnTheWaitTheChannelAsksFor) {
    HttpTestServer server({ScriptedReply::text("", 429, "Retry-After: 90\r\n"), ScriptedReply::text("", 429),
                           ScriptedReply::text("", 429, "Retry-After: Wed, 21 Oct 2026 07:28:00 GMT\r\n")});
    for (int wait : {90, 0, 0}) {
        EXPECT_EQ(submitTo(server.port()), -2);
        EXPECT_EQ(record.resultCode, 429);
        EXPECT_EQ(record.retryAfter, wait);
    }
}

TEST_F(WinInetSubmission, AMissingLibraryOrFunctionIsNamedAndNothingIsSent) {
    HttpTestServer server;
    WinInetHttpClient absent("tundrix-no-such-wininet.dll");
    EXPECT_EQ(submitTo(server.port(), &absent), -1);
    EXPECT_EQ(record.resultCode, -1);
    EXPECT_STREQ(record.message, "Kunde inte hitta WinInet.dll");
    WinInetHttpClient notWinInet("kernel32.dll");
    EXPECT_EQ(submitTo(server.port(), &notWinInet), -1);
    EXPECT_STREQ(record.message, "Kunde inte hitta funktionen InternetOpenA i WinInet.dll");
    EXPECT_TRUE(server.requests().empty());
}

TEST(WinInetTopTen, FetchedWithAGetEachTimeAndNothingWhenItCannotBeHad) {
    HttpTestServer server({ScriptedReply::text(R"({"scores":[{"name":"Bo","score":77}]})"),
                           ScriptedReply::text(R"({"scores":[{"name":"Bo","score":78}]})"),
                           ScriptedReply::text(R"({"scores":[]})", 404), ScriptedReply::hang()});
    ASSERT_TRUE(server.running());
    WinInetHttpClient http;
    ChannelAddress channel{false, "127.0.0.1", server.port()};
    using Scores = std::vector<ChannelScore>;
    EXPECT_EQ(fetchTopTen(http, channel), (Scores{{"Bo", 77}}));
    EXPECT_EQ(fetchTopTen(http, channel), (Scores{{"Bo", 78}})) << "asked again, not read from a cache";
    ASSERT_EQ(server.requests().size(), 2u);
    EXPECT_EQ(
        server.requests()[0].head.rfind(std::string("GET ") + protocol::TOP_TEN_PATH + " HTTP/1.1\r\n", 0),
        0u)
        << server.requests()[0].head;
    EXPECT_TRUE(server.requests()[0].fields.empty()) << "a GET sends no form";
    EXPECT_EQ(fetchTopTen(http, channel), std::nullopt) << "a 404";
    const DWORD before = GetTickCount();
    EXPECT_EQ(fetchTopTen(http, channel, 300), std::nullopt) << "a channel that does not answer";
    EXPECT_LT(GetTickCount() - before, 5000u) << "its own time-out";
    channel.port = HttpTestServer::unusedPort();
    EXPECT_EQ(fetchTopTen(http, channel), std::nullopt) << "offline";
}

} // namespace
} // namespace tundrix
