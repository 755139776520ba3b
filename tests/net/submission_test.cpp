// Whole submissions through libcurl to a real HTTP server on the loopback address.
#include "net/score_submission.h"
#include "platform/curl_abi.h"
#include "platform/curl_http_client.h"

#include "http_test_server.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace tundrix {
namespace {

using test::HttpTestServer;
using test::ScriptedReply;

// A calendar whose seconds pass every ten readings, so the speed count takes no real time (and is 18).
class QuickCalendar : public CalendarClock {
  public:
    int64_t nowSeconds() override { return reads_++ / 10; }

  private:
    int64_t reads_ = 0;
};

// The real libcurl's file, or empty where the machine has none.
std::string realCurlPath() {
    void* h = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!h) h = dlopen("libcurl-gnutls.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!h) return {};
    link_map* map = nullptr;
    dlinfo(h, RTLD_DI_LINKMAP, &map);
    return map ? map->l_name : "";
}

class Submission : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* proxy : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
            unsetenv(proxy);
        if (realCurlPath().empty()) GTEST_SKIP() << "libcurl is not installed";
        record.setUserName("\xC3\xA5sa@lumora.se");
        record.setPassword("hemligt");
        record.score = 120;
        record.bestScoreTime = 61000;
        record.totalPlayTime = 3600000;
    }

    SubmitOptions at(const HttpTestServer& server) {
        SubmitOptions options;
        options.host = "127.0.0.1";
        options.port = server.port();
        return options;
    }

    int submitTo(HttpTestServer& server, const std::string& user = "") {
        if (!user.empty()) record.setUserName(user);
        record.score = 120;
        return submitScore(record, http, calendar, at(server));
    }

    SubmissionRecord record;
    CurlHttpClient http;
    QuickCalendar calendar;
};

const std::map<std::string, std::string> MEMBERS = {{"\xE5sa@lumora.se", "hemligt"}, {"bo@lumora.se", "pw"}};

} // namespace

TEST_F(Submission, AMemberIsRegisteredAndTheServerGetsEveryFieldBack) {
    HttpTestServer server(test::channelPolicy(MEMBERS));
    ASSERT_TRUE(server.running());

    EXPECT_EQ(submitScore(record, http, calendar, at(server)), 0);
    EXPECT_EQ(record.resultCode, 0);
    EXPECT_EQ(record.versionNotice, 0);
    EXPECT_STREQ(record.message, "0");
    EXPECT_EQ(record.score, 120);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& req = requests[0];
    EXPECT_TRUE(req.problems.empty()) << req.problems.front();
    EXPECT_EQ(req.method, "POST");
    EXPECT_EQ(req.target, "/r0003.asp");
    EXPECT_EQ(req.headers.at("user-agent"), "SpelHttp");
    EXPECT_EQ(req.headers.at("content-type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(req.fields.at("f1"), "\xE5sa@lumora.se"); // one Windows-1252 byte for the å
    EXPECT_EQ(req.fields.at("f2"), "10");
    EXPECT_EQ(req.fields.at("f3"), "hemligt");
    EXPECT_EQ(req.fields.at("f4"), "120");
    EXPECT_EQ(req.fields.at("f5"), "61000");
    EXPECT_EQ(req.fields.at("f5b"), "3600000");
    EXPECT_EQ(req.fields.at("f6"), "18");
    EXPECT_EQ(req.fields.at("f7"), "CPU UNKNOWN");
    EXPECT_NE(req.fields.at("f8"), "0");
    EXPECT_EQ(req.fields.at("f9"), std::to_string(std::filesystem::file_size("/proc/self/exe")));
    EXPECT_EQ(req.fields.at("fa"), "120\xE5sa@lumora.se");
    EXPECT_EQ(std::stoll(req.fields.at("fb")), std::stoll(req.fields.at("f9")) + 120);
}

TEST_F(Submission, TheChannelsVerdictsReachTheRecord) {
    HttpTestServer server(test::channelPolicy(MEMBERS, 5));
    // Unknown user: the dialog will offer the registration page.
    EXPECT_EQ(submitTo(server, "okand@lumora.se"), -2);
    EXPECT_EQ(record.resultCode, 2);
    EXPECT_EQ(record.versionNotice, 5);
    // Wrong password: the password page.
    record.setPassword("fel");
    EXPECT_EQ(submitTo(server, "bo@lumora.se"), -2);
    EXPECT_EQ(record.resultCode, 3);
    // Right password, with a newer version announced on the second line.
    record.setPassword("pw");
    EXPECT_EQ(submitTo(server), 0);
    EXPECT_EQ(record.resultCode, 0);
    EXPECT_EQ(record.versionNotice, 5);
    EXPECT_STREQ(record.message, "0\r\n5");
    EXPECT_EQ(server.requests().size(), 3u);
}

TEST_F(Submission, ATamperedScoreIsSentNegatedAndStaysNegatedInTheRecord) {
    HttpTestServer server(test::channelPolicy(MEMBERS));
    record.tampered = true;
    EXPECT_EQ(submitScore(record, http, calendar, at(server)), 0);
    EXPECT_EQ(record.score, -120);
    const auto req = server.requests().at(0);
    EXPECT_EQ(req.fields.at("f4"), "-120");
    EXPECT_EQ(req.fields.at("fa"), "-120\xE5sa@lumora.se");
    EXPECT_EQ(std::stoll(req.fields.at("fb")), std::stoll(req.fields.at("f9")) - 120);
}

TEST_F(Submission, EveryShapeOfAnswerIsReadSafely) {
    std::vector<ScriptedReply> replies = {
        ScriptedReply::text("0"),
        ScriptedReply::text("0\r\n5\r\n"),
        ScriptedReply::text("  3"),
        ScriptedReply::text("2"),
        // Longer than one read: only the first 16383 bytes count, so the "7" after them is never seen.
        ScriptedReply::text("4" + std::string(16381, ' ') + "\n7" + std::string(5000, 'x')),
        // A one-character answer after a long one is read as that character alone.
        ScriptedReply::text("1"),
        ScriptedReply::text(""),
        ScriptedReply::text("<html><body>Service unavailable</body></html>"),
        ScriptedReply::text("0", 500),
    };
    std::atomic<size_t> next{0};
    HttpTestServer server([&](const test::ReceivedRequest&) { return replies.at(next++); });

    EXPECT_EQ(submitTo(server), 0);
    EXPECT_EQ(record.resultCode, 0);
    EXPECT_EQ(record.versionNotice, 0);

    EXPECT_EQ(submitTo(server), 0);
    EXPECT_EQ(record.resultCode, 0);
    EXPECT_EQ(record.versionNotice, 5);

    EXPECT_EQ(submitTo(server), -2);
    EXPECT_EQ(record.resultCode, 3);
    EXPECT_EQ(record.versionNotice, 0);

    EXPECT_EQ(submitTo(server), -2);
    EXPECT_EQ(record.resultCode, 2);

    EXPECT_EQ(submitTo(server), -2);
    EXPECT_EQ(record.resultCode, 4);
    EXPECT_EQ(record.versionNotice, 0);
    EXPECT_STREQ(record.message, "4");

    EXPECT_EQ(submitTo(server), -2);
    EXPECT_EQ(record.resultCode, 1);
    EXPECT_STREQ(record.message, "1");

    // An empty answer or a page without a result is no registration: the dialog offers another try.
    EXPECT_EQ(submitTo(server), -2);
    EXPECT_EQ(record.resultCode, ANSWER_WITHOUT_RESULT);
    EXPECT_GT(std::strlen(record.message), 0u);
    EXPECT_EQ(submitTo(server), -2);
    EXPECT_EQ(record.resultCode, ANSWER_WITHOUT_RESULT);
    EXPECT_STREQ(record.message, "<html><body>Service unavailable</body></html>");

    // An error page's body is not a verdict, even when it reads "0".
    record.versionNotice = 9;
    EXPECT_EQ(submitTo(server), -2);
    EXPECT_EQ(record.resultCode, 500);
    EXPECT_EQ(record.versionNotice, 9);
    EXPECT_EQ(next, replies.size());
}

TEST_F(Submission, TransportFailuresAreRecordedAndNeverHang) {
    // Nothing listens: nothing is sent, curl's "couldn't connect" (7) is recorded past the offset.
    {
        SubmitOptions options;
        options.host = "127.0.0.1";
        options.port = HttpTestServer::unusedPort();
        record.tampered = true;
        record.versionNotice = 4;
        EXPECT_EQ(submitScore(record, http, calendar, options), -1);
        EXPECT_EQ(record.resultCode, TRANSPORT_ERROR_BASE + curl::E_COULDNT_CONNECT);
        EXPECT_GT(std::strlen(record.message), 0u);
        EXPECT_LE(std::strlen(record.message), SubmissionRecord::ERROR_MESSAGE_MAX_CHARS);
        EXPECT_EQ(record.score, 120); // nothing was sent, so nothing was negated
        EXPECT_EQ(record.versionNotice, 4);
        record.tampered = false;
    }
    // A server that takes the form and never answers: the time-out ends the wait.
    {
        HttpTestServer server([](const test::ReceivedRequest&) { return ScriptedReply::hang(); });
        SubmitOptions options = at(server);
        options.totalTimeoutMs = 300;
        EXPECT_EQ(submitScore(record, http, calendar, options), -2);
        EXPECT_EQ(record.resultCode, TRANSPORT_ERROR_BASE + curl::E_OPERATION_TIMEDOUT);
        EXPECT_EQ(record.versionNotice, 4);
        EXPECT_EQ(server.requests().size(), 1u);
    }
    // A server that hangs up without a word.
    {
        HttpTestServer server([](const test::ReceivedRequest&) { return ScriptedReply::closeSilently(); });
        EXPECT_EQ(submitTo(server), -2);
        EXPECT_EQ(record.resultCode, TRANSPORT_ERROR_BASE + curl::E_GOT_NOTHING);
        EXPECT_GT(std::strlen(record.message), 0u);
    }
}

TEST_F(Submission, AMissingLibraryIsReportedRetriedAndOnceFoundKept) {
    HttpTestServer server(test::channelPolicy(MEMBERS));

    CurlHttpClient absent({"libtundrix-no-such-curl.so.4"});
    EXPECT_EQ(submitScore(record, absent, calendar, at(server)), -1);
    EXPECT_EQ(record.resultCode, -1);
    EXPECT_STREQ(record.message, "Kunde inte hitta libtundrix-no-such-curl.so.4");

    CurlHttpClient notCurl({"libz.so.1"});
    EXPECT_EQ(submitScore(record, notCurl, calendar, at(server)), -1);
    EXPECT_EQ(record.resultCode, -1);
    EXPECT_STREQ(record.message, "Kunde inte hitta funktionen curl_global_init i libz.so.1");
    EXPECT_TRUE(server.requests().empty());

    // The library turns up later under the name looked for: the next attempt finds it, and it stays.
    const auto dir = std::filesystem::temp_directory_path() / ("tundrix_curl_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto link = dir / "libcurl.so.4";
    CurlHttpClient later({link.string()});
    EXPECT_EQ(submitScore(record, later, calendar, at(server)), -1);
    EXPECT_EQ(std::string(record.message), "Kunde inte hitta " + link.string());
    std::filesystem::create_symlink(realCurlPath(), link);
    EXPECT_EQ(submitScore(record, later, calendar, at(server)), 0);
    std::filesystem::remove_all(dir);
    EXPECT_EQ(submitScore(record, later, calendar, at(server)), 0);
    EXPECT_EQ(server.requests().size(), 2u);
}

} // namespace tundrix
