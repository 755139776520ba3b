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

using Answer = protocol::ReplayAnswer;
constexpr auto code = [](Answer a) { return static_cast<int>(a); };

// A whole game played with this program's own build, which the score form measures too.
struct Played {
    Played(uint32_t seed, uint32_t script) {
        const FileIntegrity self = measureFile("/proc/self/exe");
        HeadlessGame game(seed, {protocol::GAME_ID, self.crc, self.length});
        playScriptedGame(game, script);
        score = game.world().score().get();
        time = static_cast<int32_t>(game.clock.nowMs() - game.driver.baseTime());
        file = encodeReplay(game.replay());
    }
    int32_t score = 0, time = 0;
    std::vector<uint8_t> file;
};

class Replays : public test::LiveChannel {
  protected:
    int replay(const SubmissionRecord& sent, const std::vector<uint8_t>& file) {
        return postReplay(sent, file, http, channel());
    }
};

TEST_F(Replays, ARealGameIsVerifiedShownFirstWithItsRunAndOnlyVerifiedScoresWin) {
    join("anna@lumora.se", "Anna", "hemligt");
    join("bo@lumora.se", "Bo", "hemligt");
    const Played game(7777, 3);
    const auto [score, time, file] = game;
    ASSERT_GT(score, 0);

    const SubmissionRecord anna = submit("anna@lumora.se", "hemligt", score, time);
    ASSERT_EQ(anna.resultCode, 0);
    EXPECT_EQ(replay(anna, file), code(Answer::Verified));
    EXPECT_EQ(replay(anna, file), code(Answer::Verified)) << "sent again: the first verdict stands";

    // Bo posts a better score with no game behind it, then one equal to Anna's and her recording for it.
    const SubmissionRecord forged = submit("bo@lumora.se", "hemligt", score + 500, time);
    ASSERT_LE(forged.resultCode, 1);
    EXPECT_EQ(replay(forged, {file.begin(), file.begin() + static_cast<long>(file.size() / 2)}),
              code(Answer::Unreadable));
    EXPECT_EQ(replay(forged, file), code(Answer::Unreadable)) << "sent again: that verdict stands too";
    const SubmissionRecord copied = submit("bo@lumora.se", "hemligt", score, time);
    ASSERT_LE(copied.resultCode, 1);
    EXPECT_EQ(replay(copied, file), code(Answer::DoesNotReach)) << "one game backs one score";
    SubmissionRecord never = copied;
    never.score = score + 1;
    EXPECT_EQ(replay(never, file), code(Answer::NoSuchScore));
    SubmissionRecord wrong = copied;
    wrong.setPassword("fel");
    EXPECT_EQ(replay(wrong, file), code(Answer::WrongUser));

    // The boards: Anna's verified score first with its run, Bo's better one after it, marked.
    const std::string home = client->Get("/")->body;
    const size_t annaAt = home.find(">Anna<"), boAt = home.find(">Bo<");
    ASSERT_NE(annaAt, std::string::npos);
    ASSERT_NE(boAt, std::string::npos);
    EXPECT_LT(annaAt, boAt);
    std::smatch link;
    ASSERT_TRUE(std::regex_search(home, link, std::regex("href=\"(/run/[0-9]+\\.gif)\"")));
    EXPECT_NE(home.find("Ej verifierad", boAt), std::string::npos);

    // The run plays in any browser: an animated GIF, drawn once and kept.
    const auto gif = client->Get(link[1].str());
    ASSERT_TRUE(gif);
    EXPECT_EQ(std::tuple(gif->status, gif->get_header_value("Content-Type"), gif->body.substr(0, 6)),
              std::tuple(200, std::string("image/gif"), std::string("GIF89a")));
    EXPECT_EQ(client->Get(link[1].str())->body, gif->body);
    EXPECT_TRUE(store->movie(std::stoll(link[1].str().substr(5))).has_value()) << "kept for the next visitor";
    EXPECT_EQ(client->Get("/run/999999.gif")->status, 404);

    // The prize draw: verified scores only, unless the operator asks for all.
    const auto day = store->standings(false, dayOf(std::time(nullptr)));
    ASSERT_TRUE(day);
    ASSERT_EQ(day->size(), 1u);
    EXPECT_EQ(day->front().nickname, "Anna");
    EXPECT_EQ(store->standings(false, dayOf(std::time(nullptr)), Counted::VerifiedFirst)->size(), 2u);
    // The operator sees why each disagreeing game was not verified.
    const std::vector<ReplayRow> disagreeing = store->replays(true, 10);
    ASSERT_EQ(disagreeing.size(), 2u);
    EXPECT_TRUE(test::has(disagreeing[0].reason, "backs score") && disagreeing[0].receivedAt > 0);
    EXPECT_TRUE(test::has(disagreeing[1].reason, "unreadable"));
}

TEST_F(Replays, ARecordingLeftWaitingIsPlayedAgainOnceTheChannelRunsAgain) {
    join("anna@lumora.se", "Anna", "hemligt");
    const Played game(4242, 5);
    const SubmissionRecord anna = submit("anna@lumora.se", "hemligt", game.score, game.time);
    ASSERT_EQ(anna.resultCode, 0);

    // Kept and answered "queued" (the checker was full, or the channel stopped), then the channel starts
    // again: the recording is played and its verdict filed without another post.
    const auto member = store->memberByEmail("anna@lumora.se").row;
    ASSERT_TRUE(member);
    const auto target = store->replayTarget(member->id, game.score, game.time).row;
    ASSERT_TRUE(target);
    server.reset();
    ASSERT_TRUE(store->keepReplay(target->scoreId, game.file, code(Answer::Queued), std::time(nullptr)));
    server = std::make_unique<ChannelServer>(*store, site, options, log);
    std::string error;
    ASSERT_TRUE(server->start(error)) << error;
    for (int i = 0; i < 200 && !store->waitingReplays(1).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(store->waitingReplays(1).empty());
    EXPECT_EQ(replay(anna, game.file), code(Answer::Verified)) << "its verdict stands";
}

} // namespace
} // namespace tundrix::channel
