// What both of the game's HTTP clients (libcurl on Linux, WinInet on Windows) must do alike with a score:
// send the same form and read every shape of answer the same way. Each client's suite calls these checks.
#pragma once
#include "fake_http.h"
#include "http_test_server.h"
#include "net/measurements.h"
#include "net/score_submission.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tundrix::test {

// A member's record with a best score of 120, posted through one client to a port on the loopback address.
struct SubmissionRig {
    explicit SubmissionRig(HttpClient& client, SubmitOptions base = {})
        : http(client), options(std::move(base)) {
        record.setUserName("\xC3\xA5sa@lumora.se");
        record.setPassword("hemligt");
        record.bestScoreTime = 61000;
        record.totalPlayTime = 3600000;
        options.host = "127.0.0.1";
    }
    int submitTo(uint16_t port, HttpClient* client = nullptr, long timeoutMs = 60000) {
        record.score = 120;
        SubmitOptions o = options;
        o.port = port;
        o.totalTimeoutMs = timeoutMs;
        return submitScore(record, client ? *client : http, calendar, o);
    }
    HttpClient& http;
    SubmitOptions options;
    SubmissionRecord record;
    ScriptedCalendar calendar;
};

// The form, field by field, once as it is and once tampered (the score sent and kept negated). The program
// file is measured as the client sends it; the x86-64 processor's code is none the table knows.
inline void expectTheGamesForm(SubmissionRig& rig) {
    HttpTestServer server;
    ASSERT_TRUE(server.running());
    EXPECT_EQ(rig.submitTo(server.port()), 0);
    EXPECT_EQ(rig.record.resultCode, 0);
    EXPECT_STREQ(rig.record.message, "0");
    EXPECT_EQ(rig.record.score, 120);
    rig.record.tampered = true;
    EXPECT_EQ(rig.submitTo(server.port()), 0);
    EXPECT_EQ(rig.record.score, -120);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    const FileIntegrity exe = measureFile(rig.options.executablePath);
    ASSERT_GT(exe.length, 0u);
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
            {"f5", "61000"}, {"f5b", "3600000"}, {"f6", "18"}, {"f7", "CPU UNKNOWN"},
            {"f8", std::to_string(exe.crc)}, {"f9", std::to_string(exe.length)},
            {"fa", std::to_string(score) + "\xE5sa@lumora.se"}, {"fb", std::to_string(exe.length + score)}};
        // clang-format on
        for (const auto& [name, value] : expected)
            EXPECT_EQ(req.fields.at(name), value) << name;
    }
}

// Every shape of answer, from one server that answers each post with the next of them.
inline void expectEveryAnswerRead(SubmissionRig& rig) {
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
        // Longer than the limit: only the first 16383 bytes count, however many reads they take, so the
        // "7" after them is never seen.
        {ScriptedReply::text("4" + std::string(16381, ' ') + "\n7" + std::string(5000, 'x')), -2, 4, 0, "4"},
        // A one-character answer after a long one is read as that character alone.
        {ScriptedReply::text("1"), -2, 1, 0, "1"},
        // An empty answer or a page without a result is no registration: the dialog offers another try.
        {ScriptedReply::text(""), -2, ANSWER_WITHOUT_RESULT, 0, nullptr},
        {ScriptedReply::text(page), -2, ANSWER_WITHOUT_RESULT, 0, page.c_str()},
        // An error page's body is not a verdict, even when it reads "0"; the notice is left as it was.
        {ScriptedReply::text("0", 500), -2, 500, 9, nullptr},
        // Too many attempts says when to try again; a channel that cannot store the score now names no wait.
        {ScriptedReply::text("Too many attempts", 429, "Retry-After: 30\r\n"), -2, 429, 9, nullptr, 30},
        {ScriptedReply::text("Too many attempts", 429), -2, 429, 9, nullptr, 0},
        {ScriptedReply::text("Temporary failure", 503), -2, 503, 9, nullptr, 0},
    };
    std::vector<ScriptedReply> replies;
    for (const auto& c : cases)
        replies.push_back(c.reply);
    HttpTestServer server(replies);
    SubmissionRecord& record = rig.record;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.body.substr(0, 20) + " / status " + std::to_string(c.reply.status));
        record.versionNotice = 9;
        EXPECT_EQ(rig.submitTo(server.port()), c.returned);
        EXPECT_EQ(record.resultCode, c.resultCode);
        EXPECT_EQ(record.versionNotice, c.versionNotice);
        EXPECT_STREQ(record.message, c.message ? c.message : record.message);
        EXPECT_GT(std::strlen(record.message), 0u);
        EXPECT_EQ(record.exchange, HttpOutcome::Answered);
        EXPECT_EQ(record.retryAfter, c.retryAfter);
    }
    EXPECT_EQ(server.requests().size(), std::size(cases));
}

} // namespace tundrix::test
