// A game's recording sent after its score, through the game's own client to the real server: a real game
// is verified and shown first with its run, the same game cannot back a second score, and the prize draw
// counts verified scores only.
#include "bots/headless_game.h"
#include "channel/calendar.h"
#include "net/replay_post.h"
#include "protocol/paths.h"
#include "protocol/replay_post.h"
#include "replay/replay_codec.h"

#include "live_channel.h"

namespace tundrix::channel {
namespace {

class Replays : public test::LiveChannel {
  protected:
    SubmitOptions channel() const {
        const auto address = parseChannelAddress("http://127.0.0.1:" + std::to_string(server->port()) + "/");
        return submitOptionsFor(*address);
    }
    // The score form as the register dialog sends it, with the game's time.
    SubmissionRecord post(const std::string& user, const std::string& password, int32_t score, int32_t time) {
        SubmissionRecord record;
        record.setUserName(user);
        record.setPassword(password);
        record.score = score;
        record.bestScoreTime = time;
        submitScore(record, http, calendar, channel());
        return record;
    }
    int replay(const SubmissionRecord& sent, const std::vector<uint8_t>& file) {
        return postReplay(sent, file, http, channel());
    }
};

using Answer = protocol::ReplayAnswer;
constexpr auto code = [](Answer a) { return static_cast<int>(a); };

TEST_F(Replays, ARealGameIsVerifiedShownFirstWithItsRunAndOnlyVerifiedScoresWin) {
    std::string error;
    if (!http.ensureLoaded(error)) GTEST_SKIP() << error;
    join("anna@lumora.se", "Anna", "hemligt");
    join("bo@lumora.se", "Bo", "hemligt");

    // The game played with this program's own build, which the score form measures too.
    const FileIntegrity self = measureFile("/proc/self/exe");
    HeadlessGame game(7777, {protocol::GAME_ID, self.crc, self.length});
    playScriptedGame(game, 3);
    const int32_t score = game.world().score().get();
    const auto time = static_cast<int32_t>(game.clock.nowMs() - game.driver.baseTime());
    const std::vector<uint8_t> file = encodeReplay(game.replay());
    ASSERT_GT(score, 0);

    const SubmissionRecord anna = post("anna@lumora.se", "hemligt", score, time);
    ASSERT_EQ(anna.resultCode, 0);
    EXPECT_EQ(replay(anna, file), code(Answer::Verified));
    EXPECT_EQ(replay(anna, file), code(Answer::Verified)) << "sent again: the first verdict stands";

    // Bo posts a better score with no game behind it, then one equal to Anna's and her recording for it.
    const SubmissionRecord forged = post("bo@lumora.se", "hemligt", score + 500, time);
    ASSERT_LE(forged.resultCode, 1);
    std::vector<uint8_t> damaged = file;
    damaged.resize(damaged.size() / 2);
    EXPECT_EQ(replay(forged, damaged), code(Answer::Unreadable));
    const SubmissionRecord copied = post("bo@lumora.se", "hemligt", score, time);
    ASSERT_LE(copied.resultCode, 1);
    EXPECT_EQ(replay(copied, file), code(Answer::DoesNotReach)) << "one game backs one score";
    SubmissionRecord never = copied;
    never.score = score + 1;
    EXPECT_EQ(replay(never, file), code(Answer::NoSuchScore));
    SubmissionRecord wrong = copied;
    wrong.setPassword("fel");
    EXPECT_EQ(replay(wrong, file), code(Answer::WrongUser));

    // The boards: Anna's verified score first with its run, Bo's better one after it, marked.
    const auto home = client->Get("/");
    ASSERT_TRUE(home);
    const size_t annaAt = home->body.find(">Anna<"), boAt = home->body.find(">Bo<");
    ASSERT_NE(annaAt, std::string::npos);
    ASSERT_NE(boAt, std::string::npos);
    EXPECT_LT(annaAt, boAt);
    const std::regex run("href=\"(/run/[0-9]+\\.gif)\"");
    std::smatch link;
    ASSERT_TRUE(std::regex_search(home->body, link, run));
    EXPECT_NE(home->body.find("Ej verifierad", boAt), std::string::npos);

    // The run plays in any browser: an animated GIF, drawn once and kept.
    const auto gif = client->Get(link[1].str());
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->status, 200);
    EXPECT_EQ(gif->get_header_value("Content-Type"), "image/gif");
    EXPECT_EQ(gif->body.substr(0, 6), "GIF89a");
    const auto again = client->Get(link[1].str());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->body, gif->body);
    EXPECT_EQ(client->Get("/run/999999.gif")->status, 404);

    // The prize draw: verified scores only, unless the operator asks for all.
    const auto day = store->standings(false, dayOf(std::time(nullptr)));
    ASSERT_TRUE(day);
    ASSERT_EQ(day->size(), 1u);
    EXPECT_EQ(day->front().nickname, "Anna");
    const auto all = store->standings(false, dayOf(std::time(nullptr)), Counted::VerifiedFirst);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->size(), 2u);
    // The operator sees why each disagreeing game was not verified.
    const std::vector<ReplayRow> disagreeing = store->replays(true, 10);
    ASSERT_EQ(disagreeing.size(), 2u);
    EXPECT_NE(disagreeing[0].reason.find("backs score"), std::string::npos) << disagreeing[0].reason;
    EXPECT_NE(disagreeing[1].reason.find("unreadable"), std::string::npos) << disagreeing[1].reason;
}

} // namespace
} // namespace tundrix::channel
