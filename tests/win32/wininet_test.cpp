// Whole submissions through WinInet to a real HTTP server on the loopback address: the form, every shape
// of answer, transport failures with WinInet's own numbers, a missing library, and the channel's top ten
// fetched with a GET.
#include "net/top_ten.h"
#include "platform/win32/win32_http_client.h"
#include "platform/win32/win32_program_info.h"
#include "submission_contract.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <wininet.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace tundrix {
namespace {

using test::HttpTestServer;
using test::ScriptedReply;

class WinInetSubmission : public ::testing::Test {
  protected:
    WinInetHttpClient http;
    test::SubmissionRig rig{http,
                            {.executablePath = programFilePath(), .processorType = processorTypeCode()}};
    SubmissionRecord& record = rig.record;
};

TEST_F(WinInetSubmission, TheServerGetsTheFormTheLinuxBuildSendsAndATamperedScoreIsNegated) {
    EXPECT_EQ(measureFile(programFilePath()).length, std::filesystem::file_size(programFilePath()));
    test::expectTheGamesForm(rig);
}

TEST_F(WinInetSubmission, EveryShapeOfAnswerIsReadAsOnLinux) {
    test::expectEveryAnswerRead(rig);
}

TEST_F(WinInetSubmission, TransportFailuresGiveWinInetsNumbersAndNeverHang) {
    // Nothing listens: nothing was sent, so a tampered score is not negated, and the dialog's table sees
    // WinInet's "cannot connect".
    record.tampered = true;
    record.versionNotice = 4;
    EXPECT_EQ((std::tuple{rig.submitTo(HttpTestServer::unusedPort()), record.resultCode, record.score,
                          record.versionNotice}),
              (std::tuple{-1, ERROR_INTERNET_CANNOT_CONNECT, 120, 4}));
    EXPECT_GT(std::strlen(record.message), 0u);
    record.tampered = false;
    // A server that takes the form and never answers: the time-out ends the wait.
    {
        HttpTestServer server({ScriptedReply::hang()});
        const DWORD started = GetTickCount();
        EXPECT_EQ(rig.submitTo(server.port(), nullptr, 500), -2);
        EXPECT_LT(GetTickCount() - started, 10000u);
        // Windows says "timed out" (12002), Wine "connection aborted" (12030): a transport failure.
        EXPECT_GT(record.resultCode, TRANSPORT_ERROR_BASE);
        EXPECT_LT(record.resultCode, ANSWER_WITHOUT_RESULT);
        EXPECT_EQ(server.requests().size(), 1u);
    }
    // A server that hangs up without a word: a failure past the transport offset, never a verdict.
    {
        HttpTestServer server({ScriptedReply::closeSilently()});
        EXPECT_EQ(rig.submitTo(server.port()), -2);
        EXPECT_GT(record.resultCode, TRANSPORT_ERROR_BASE);
        EXPECT_GT(std::strlen(record.message), 0u);
        EXPECT_EQ(record.exchange, HttpOutcome::Failed);
    }
    // One that answers a byte at a time, past the exchange's time, is too slow, as on Linux.
    HttpTestServer slow({ScriptedReply::trickle()});
    EXPECT_EQ(rig.submitTo(slow.port(), nullptr, 500), -2);
    EXPECT_EQ(record.exchange, HttpOutcome::TooSlow);
    EXPECT_GT(record.resultCode, TRANSPORT_ERROR_BASE);
}

TEST_F(WinInetSubmission, AWaitGivenAsADateIsNotReadAndNamesNoWait) {
    HttpTestServer server({ScriptedReply::text("", 429, "Retry-After: Wed, 21 Oct 2026 07:28:00 GMT\r\n")});
    EXPECT_EQ((std::tuple{rig.submitTo(server.port()), record.resultCode, record.retryAfter}),
              (std::tuple{-2, 429, 0}));
}

TEST_F(WinInetSubmission, AMissingLibraryOrFunctionIsNamedAndNothingIsSent) {
    HttpTestServer server;
    WinInetHttpClient absent("tundrix-no-such-wininet.dll");
    EXPECT_EQ(rig.submitTo(server.port(), &absent), -1);
    EXPECT_EQ(record.resultCode, -1);
    EXPECT_STREQ(record.message, "Kunde inte hitta WinInet.dll");
    WinInetHttpClient notWinInet("kernel32.dll");
    EXPECT_EQ(rig.submitTo(server.port(), &notWinInet), -1);
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
