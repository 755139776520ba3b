// The score desk: every answer the game can get, the passwords it remembers and the version notice. (The
// form itself is the protocol's and the game client's tests; hostile posts are the live server's.)
#include "protocol/score_answer.h"

#include "channel_rig.h"

namespace tundrix::channel {
namespace {

constexpr int64_t NOW = 1'800'000'000;
constexpr FileIntegrity BUILD{0xDEADBEEF, 5'000'000};
const std::string ASA = "\xC3\xA5sa@lumora.se";

class Desk : public test::ChannelRig {
  protected:
    void SetUp() override {
        ChannelRig::SetUp();
        member = join(ASA, "\xC3\x85sa", "hemligt");
    }
    // Posts the game's form through the test's desk and reads the answer the way the game does.
    protocol::ParsedAnswer post(const std::string& user, const std::string& password, int32_t score) {
        return protocol::parseAnswer(
            deskAnswer(test::gameBody(user, password, score, test::QUICK_GAME_MS, BUILD), NOW));
    }
    int64_t member = 0;
};

TEST_F(Desk, AnswersEachOutcomeInTheGamesOwnTerms) {
    const protocol::ParsedAnswer unknown = post("nobody@lumora.se", "hemligt", 100);
    EXPECT_TRUE(unknown.hasResult);
    EXPECT_EQ(unknown.resultCode, 2);
    // The address is matched whatever the case of its ASCII letters; the Swedish letter arrives as one byte
    // and matches. An equal score is no new best.
    // clang-format off
    const struct { std::string user, password; int32_t score; int code; } posts[] = {
        {ASA, "fel", 100, 3},
        {"\xC3\xA5SA@Lumora.SE", "hemligt", 100, 0},
        {ASA, "hemligt", 100, 1},
        {ASA, "hemligt", 90, 1}};
    // clang-format on
    for (const auto& p : posts)
        EXPECT_EQ(post(p.user, p.password, p.score).resultCode, p.code) << p.user << " " << p.score;
    const protocol::ParsedAnswer best = post(ASA, "hemligt", 250);
    EXPECT_EQ(best.resultCode, 0);
    EXPECT_EQ(best.versionNotice, 0); // no releases known: no notice
    EXPECT_EQ(desk->takeNow("f1=zz", "127.0.0.1", NOW).status, 400);

    const auto board = *store->leaderboard(Board::AllTime, NOW, 100);
    ASSERT_EQ(board.size(), 1u);
    EXPECT_EQ(board[0].nickname, "\xC3\x85sa");
    EXPECT_EQ(board[0].score, 250);
    EXPECT_EQ(store->scoreCount(false), 4);
}

TEST_F(Desk, ARememberedPasswordCountsOnlyUntilItIsChanged) {
    EXPECT_EQ(post(ASA, "hemligt", 10).resultCode, 0);
    EXPECT_EQ(post(ASA, "hemligt", 20).resultCode, 0); // remembered
    EXPECT_EQ(post(ASA, "Hemligt", 30).resultCode, 3);
    std::string error;
    ASSERT_TRUE(setPassword(*store, member, "nytt-l\xC3\xB6sen", error)) << error;
    EXPECT_EQ(post(ASA, "hemligt", 40).resultCode, 3); // the old password is worth nothing, remembered or not
    EXPECT_EQ(post(ASA, "nytt-l\xC3\xB6sen", 50).resultCode, 0);
    EXPECT_EQ(store->scoresOf(member), (std::vector<int64_t>{10, 20, 50}));
}

TEST_F(Desk, ABuildOtherThanTheNewestGetsTheVersionNotice) {
    std::string error;
    ASSERT_TRUE(store->addRelease({2, 111, 222, NOW}, error));
    ASSERT_TRUE(store->addRelease({5, BUILD.crc, BUILD.length, NOW}, error));
    EXPECT_EQ(post(ASA, "hemligt", 10).versionNotice, 0); // the newest build

    ASSERT_TRUE(store->addRelease({7, 333, 444, NOW}, error));
    const protocol::ParsedAnswer old = post(ASA, "hemligt", 20);
    EXPECT_EQ(old.resultCode, 0);
    EXPECT_EQ(old.versionNotice, 7);
    // Even an unknown user or a wrong password hears about the new version.
    EXPECT_EQ(post("x@y.se", "hemligt", 20).versionNotice, 7);
    EXPECT_EQ(post(ASA, "fel", 20).versionNotice, 7);
    EXPECT_FALSE(store->addRelease({8, 333, 444, NOW}, error)); // the same build twice
}

} // namespace
} // namespace tundrix::channel
