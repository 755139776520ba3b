// The register dialog's submission through the poster: every field reaches the form, the verdict comes
// back, and only a registered score sends its game after it.
#include "shell/score_post.h"

#include "fake_http.h"
#include "protocol/paths.h"
#include "protocol/score_form.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace tundrix {
namespace {

// Answers every post with the same result and keeps each request in order.
class RecordingHttp : public HttpClient {
  public:
    explicit RecordingHttp(HttpPostResult result) : result_(std::move(result)) {}
    bool ensureLoaded(std::string&) override { return true; }
    HttpPostResult post(const HttpPostRequest& r) override {
        sent.push_back(r);
        return result_;
    }
    std::vector<HttpPostRequest> sent;

  private:
    HttpPostResult result_;
};

ScoreSubmission aSubmission() {
    ScoreSubmission s;
    s.userName = "elsa@example.se";
    s.password = "snöboll";
    s.score = 4321;
    s.bestScoreTime = 98765;
    s.totalPlayTime = 3'600'123;
    s.replay = {1, 2, 3};
    return s;
}

TEST(ScorePost, EveryFieldOfTheSubmissionReachesTheForm) {
    for (const bool tampered : {false, true}) {
        RecordingHttp http({HttpOutcome::Answered, 0, "", 200, "1"});
        test::ScriptedCalendar calendar;
        ScoreSubmission s = aSubmission();
        s.tampered = tampered;
        postSubmission(SubmitOptions{}, http, calendar, s);

        ASSERT_FALSE(http.sent.empty());
        ASSERT_EQ(http.sent.front().path, protocol::SUBMIT_PATH);
        std::string why;
        std::vector<std::string> problems;
        const auto form = protocol::decodeScoreForm(http.sent.front().body, why, problems);
        ASSERT_TRUE(form) << why;
        EXPECT_EQ(form->userName, "elsa@example.se");
        EXPECT_EQ(form->password, "sn\xF6"
                                  "boll") // Windows-1252, as the channel reads it
            << tampered;
        EXPECT_EQ(form->score, tampered ? -4321 : 4321);
        EXPECT_EQ(form->bestScoreTime, 98765);
        EXPECT_EQ(form->totalPlayTime, 3'600'123);
    }
}

TEST(ScorePost, TheVerdictComesBackAndOnlyARegisteredScoreSendsItsGame) {
    struct Case {
        HttpPostResult answer;
        int resultCode;
        int versionNotice;
        HttpOutcome exchange;
        int retryAfter;
        bool gameSent;
    };
    const Case cases[] = {
        {{HttpOutcome::Answered, 0, "", 200, "0"}, 0, 0, HttpOutcome::Answered, 0, true},
        {{HttpOutcome::Answered, 0, "", 200, "1\n3"}, 1, 3, HttpOutcome::Answered, 0, true},
        {{HttpOutcome::Answered, 0, "", 200, "2"}, 2, 0, HttpOutcome::Answered, 0, false},
        {{HttpOutcome::Answered, 0, "", 429, "", 42}, 429, 1, HttpOutcome::Answered, 42, false},
        {{HttpOutcome::NotConnected, 7, "refused", 0, ""},
         TRANSPORT_ERROR_BASE + 7,
         1,
         HttpOutcome::NotConnected,
         0,
         false},
    };
    for (const Case& c : cases) {
        RecordingHttp http(c.answer);
        test::ScriptedCalendar calendar;
        ScoreSubmission s = aSubmission();
        postSubmission(SubmitOptions{}, http, calendar, s);
        const std::string row = c.answer.answer + " / " + std::to_string(c.answer.status);
        EXPECT_EQ(s.resultCode, c.resultCode) << row;
        EXPECT_EQ(s.versionNotice, c.versionNotice) << row;
        EXPECT_EQ(s.exchange, c.exchange) << row;
        EXPECT_EQ(s.retryAfterSeconds, c.retryAfter) << row;
        ASSERT_EQ(http.sent.size(), c.gameSent ? 2u : 1u) << row;
        if (c.gameSent) {
            EXPECT_EQ(http.sent.back().path, protocol::REPLAY_PATH) << row;
            EXPECT_NE(s.replayAnswer, -1) << row;
        } else {
            EXPECT_EQ(s.replayAnswer, -1) << row;
        }
    }
}

} // namespace
} // namespace tundrix
