// The register dialog's submission through the poster: every field reaches the form, the verdict comes
// back, and only a registered score sends its game after it. And the top ten fetched beside the window.
#include "shell/score_post.h"
#include "shell/top_ten_fetch.h"

#include "fake_http.h"
#include "protocol/paths.h"
#include "protocol/score_form.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include <string>
#include <tuple>
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

TEST(ScorePost, EveryFieldReachesTheFormTheVerdictComesBackAndOnlyARegisteredScoreSendsItsGame) {
    using H = HttpOutcome;
    const struct {
        HttpPostResult answer;
        bool tampered;
        int resultCode, versionNotice;
        HttpOutcome exchange;
        int retryAfter;
        bool gameSent;
    } cases[] = {
        // clang-format off
        {{H::Answered, 0, "", 200, "0"}, false, 0, 0, H::Answered, 0, true},
        {{H::Answered, 0, "", 200, "1\n3"}, true, 1, 3, H::Answered, 0, true},
        {{H::Answered, 0, "", 200, "2"}, true, 2, 0, H::Answered, 0, false},
        {{H::Answered, 0, "", 429, "", 42}, false, 429, 1, H::Answered, 42, false},
        {{H::NotConnected, 7, "refused", 0, ""}, false, TRANSPORT_ERROR_BASE + 7, 1, H::NotConnected, 0, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer.answer + " / " + std::to_string(c.answer.status));
        RecordingHttp http(c.answer);
        test::ScriptedCalendar calendar;
        ScoreSubmission s;
        s.userName = "elsa@example.se", s.password = "snöboll", s.score = 4321, s.bestScoreTime = 98765;
        s.totalPlayTime = 3'600'123, s.replay = {1, 2, 3}, s.tampered = c.tampered;
        postSubmission(SubmitOptions{}, http, calendar, s);

        ASSERT_EQ(http.sent.size(), c.gameSent ? 2u : 1u);
        ASSERT_EQ(http.sent.front().path, protocol::SUBMIT_PATH);
        std::string why;
        std::vector<std::string> problems;
        const auto form = protocol::decodeScoreForm(http.sent.front().body, why, problems);
        ASSERT_TRUE(form) << why;
        EXPECT_EQ(form->userName, "elsa@example.se");
        EXPECT_EQ(form->password, "sn\xF6"
                                  "boll"); // Windows-1252, as the channel reads it
        EXPECT_EQ(form->score, c.tampered ? -4321 : 4321);
        EXPECT_EQ(form->bestScoreTime, 98765);
        EXPECT_EQ(form->totalPlayTime, 3'600'123);

        EXPECT_EQ(std::tuple(s.resultCode, s.versionNotice, s.exchange, s.retryAfterSeconds),
                  std::tuple(c.resultCode, c.versionNotice, c.exchange, c.retryAfter));
        EXPECT_EQ(http.sent.back().path, c.gameSent ? protocol::REPLAY_PATH : protocol::SUBMIT_PATH);
        EXPECT_EQ(s.replayAnswer != -1, c.gameSent);
    }
}

// One fetch at a time; a fetch that gets nothing leaves the last list that came.
TEST(TopTenFetch, OneFetchAtATimeAndTheLastListThatCameStays) {
    std::promise<void> go;
    const std::shared_future<void> gate = go.get_future().share();
    std::atomic<int> calls = 0;
    TopTenFetch top([gate, &calls]() -> std::optional<std::vector<ChannelScore>> {
        gate.wait();
        if (++calls > 1) return std::nullopt;
        return std::vector<ChannelScore>{{"Bo", 77}};
    });
    const auto settled = [&top] {
        for (int i = 0; i < 10000 && top.running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return !top.running();
    };
    top.start(), top.start();
    EXPECT_TRUE(top.running() && top.latest().empty());
    go.set_value();
    ASSERT_TRUE(settled());
    top.start();
    ASSERT_TRUE(settled());
    EXPECT_EQ(std::pair(calls.load(), top.latest()), std::pair(2, std::vector<ChannelScore>{{"Bo", 77}}));
    TopTenFetch none({});
    none.start();
    EXPECT_FALSE(none.running());
}

} // namespace
} // namespace tundrix
