// Whole submissions through libcurl to a real HTTP server on the loopback address.
#include "net/score_submission.h"
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

} // namespace

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
    EXPECT_EQ(rig.submitTo(HttpTestServer::unusedPort()), -1);
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
        EXPECT_EQ(rig.submitTo(server.port(), nullptr, 300), -2);
        EXPECT_EQ(record.resultCode, TRANSPORT_ERROR_BASE + curl::E_OPERATION_TIMEDOUT);
        EXPECT_EQ(record.exchange, HttpOutcome::TooSlow);
        EXPECT_EQ(record.versionNotice, 4);
        EXPECT_EQ(server.requests().size(), 1u);
    }
    // A server that hangs up without a word.
    HttpTestServer server({ScriptedReply::closeSilently()});
    EXPECT_EQ(rig.submitTo(server.port()), -2);
    EXPECT_EQ(record.resultCode, TRANSPORT_ERROR_BASE + curl::E_GOT_NOTHING);
    EXPECT_EQ(record.exchange, HttpOutcome::Failed);
    EXPECT_GT(std::strlen(record.message), 0u);
}

TEST_F(Submission, AMissingLibraryIsReportedRetriedAndOnceFoundKept) {
    HttpTestServer server;
    CurlHttpClient absent({"libtundrix-no-such-curl.so.4"});
    EXPECT_EQ(rig.submitTo(server.port(), &absent), -1);
    EXPECT_EQ(record.resultCode, -1);
    EXPECT_STREQ(record.message, "Kunde inte hitta libtundrix-no-such-curl.so.4");
    CurlHttpClient notCurl({"libz.so.1"});
    EXPECT_EQ(rig.submitTo(server.port(), &notCurl), -1);
    EXPECT_EQ(record.resultCode, -1);
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
    EXPECT_EQ(rig.submitTo(server.port(), &later), 0);
    EXPECT_EQ(server.requests().size(), 2u);
}

TEST(SubmissionOutcome, EachOutcomeGivesItsReturnCodeResultAndScore) {
    const auto answered = [](int status, std::string body) {
        return HttpPostResult{HttpOutcome::Answered, 0, "", status, std::move(body)};
    };
    const auto broken = [](HttpOutcome how, int code) { return HttpPostResult{how, code, "failed", 0, ""}; };
    const struct {
        const char* name;
        HttpPostResult result;
        int returned, resultCode, score; // score: the record's after a tampered 120 was posted
    } cases[] = {
        {"sent, then cut off", broken(HttpOutcome::Failed, 56), -2, TRANSPORT_ERROR_BASE + 56, -120},
        {"sent, then too slow", broken(HttpOutcome::TooSlow, 28), -2, TRANSPORT_ERROR_BASE + 28, -120},
        {"not sent at all", broken(HttpOutcome::NotConnected, 7), -1, TRANSPORT_ERROR_BASE + 7, 120},
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
