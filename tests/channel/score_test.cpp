// The score form as the game builds it, read back by the channel, and every answer the game can get.
#include "channel/score_desk.h"
#include "net/score_submission.h"
#include "protocol/form_text.h"
#include "protocol/score_answer.h"
#include "protocol/score_form.h"

#include "channel_rig.h"

#include <gtest/gtest.h>

namespace tundrix::channel {
namespace {

constexpr int64_t NOW = 1'800'000'000;
constexpr uint32_t BUILD_CRC = 0xDEADBEEF;
constexpr uint32_t BUILD_LENGTH = 5'000'000;

// The body the game itself would send (its own builder), for a user, password and score.
std::string gameBody(const std::string& user, const std::string& password, int32_t score) {
    SubmissionRecord record;
    record.setUserName(user);
    record.setPassword(password);
    record.score = score;
    record.bestScoreTime = 3000; // a short game: its scores stay within what the rules allow
    record.totalPlayTime = 3'600'000;
    return buildSubmissionBody(record, {1234, "CPU UNKNOWN", {BUILD_CRC, BUILD_LENGTH}});
}

// Swaps one field's value in a body.
std::string withField(std::string body, const std::string& name, const std::string& value) {
    const size_t at = body.find(name + "=");
    const size_t end = body.find('&', at);
    return body.replace(at + name.size() + 1,
                        end == std::string::npos ? std::string::npos : end - at - name.size() - 1, value);
}

// The record the game fills, as the channel reads it (the form's own rules are the protocol's tests).
TEST(ScoreForm, ReadsEveryFieldOfTheGamesRecord) {
    std::string why;
    std::vector<std::string> problems;
    const auto form =
        protocol::decodeScoreForm(gameBody("\xC3\xA5sa@lumora.se", "hemligt", 4321), why, problems);
    ASSERT_TRUE(form) << why;
    EXPECT_EQ(form->userName, "\xE5sa@lumora.se"); // the game's single-byte code page
    EXPECT_EQ(form->password, "hemligt");
    EXPECT_EQ(form->score, 4321);
    EXPECT_EQ(form->bestScoreTime, 3000);
    EXPECT_EQ(form->totalPlayTime, 3'600'000);
    EXPECT_EQ(form->speedCount, 1234);
    EXPECT_EQ(form->processor, "CPU UNKNOWN");
    EXPECT_EQ(form->buildCrc, BUILD_CRC);
    EXPECT_EQ(form->buildLength, BUILD_LENGTH);
    EXPECT_TRUE(problems.empty());

    // A negative (altered) score still adds up: the game negates it before building fa and fb.
    SubmissionRecord tampered;
    tampered.setUserName("a@b.se");
    tampered.score = -120;
    ASSERT_TRUE(protocol::decodeScoreForm(buildSubmissionBody(tampered, {1, "CPU UNKNOWN", {7, 100}}), why,
                                          problems));
    EXPECT_TRUE(problems.empty());
}

class Desk : public test::ChannelRig {
  protected:
    void SetUp() override {
        ChannelRig::SetUp();
        member = join("\xC3\xA5sa@lumora.se", "\xC3\x85sa", "hemligt");
        desk = std::make_unique<ScoreDesk>(*store, DeskOptions{}, nullptr);
    }
    void TearDown() override {
        desk.reset();
        ChannelRig::TearDown();
    }
    // Posts through the desk and reads the answer the way the game does.
    protocol::ParsedAnswer post(const std::string& body, int* status = nullptr) {
        const DeskAnswer a = desk->takeNow(body, "127.0.0.1", NOW);
        if (status) *status = a.status;
        return protocol::parseAnswer(a.text);
    }
    int64_t member = 0;
    std::unique_ptr<ScoreDesk> desk;
};

TEST_F(Desk, AnswersEachOutcomeInTheGamesOwnTerms) {
    const protocol::ParsedAnswer unknown = post(gameBody("nobody@lumora.se", "hemligt", 100));
    EXPECT_TRUE(unknown.hasResult);
    EXPECT_EQ(unknown.resultCode, 2);
    EXPECT_EQ(post(gameBody("\xC3\xA5sa@lumora.se", "fel", 100)).resultCode, 3);
    // The address is matched whatever the case of its ASCII letters; the Swedish letter arrives as one byte
    // and matches.
    EXPECT_EQ(post(gameBody("\xC3\xA5SA@Lumora.SE", "hemligt", 100)).resultCode, 0);
    EXPECT_EQ(post(gameBody("\xC3\xA5sa@lumora.se", "hemligt", 100)).resultCode, 1); // equal: not a new best
    EXPECT_EQ(post(gameBody("\xC3\xA5sa@lumora.se", "hemligt", 90)).resultCode, 1);
    const protocol::ParsedAnswer best = post(gameBody("\xC3\xA5sa@lumora.se", "hemligt", 250));
    EXPECT_EQ(best.resultCode, 0);
    EXPECT_EQ(best.versionNotice, 0); // no releases known: no notice

    int status = 0;
    post("f1=zz", &status);
    EXPECT_EQ(status, 400);

    const auto board = *store->leaderboard(Board::AllTime, NOW, 100);
    ASSERT_EQ(board.size(), 1u);
    EXPECT_EQ(board[0].nickname, "\xC3\x85sa");
    EXPECT_EQ(board[0].score, 250);
    EXPECT_EQ(store->scoreCount(false), 4);
}

TEST_F(Desk, AlteredOrInconsistentScoresAreKeptAsideAndNeverRanked) {
    SubmissionRecord record;
    record.setUserName("\xC3\xA5sa@lumora.se");
    record.setPassword("hemligt");
    record.score = -99999; // the game's sign that its counters were altered
    EXPECT_EQ(post(buildSubmissionBody(record, {1, "CPU UNKNOWN", {1, 2}})).resultCode, 1);
    const std::string forged =
        withField(gameBody("\xC3\xA5sa@lumora.se", "hemligt", 88888), "fb", protocol::scrambleField("1"));
    EXPECT_EQ(post(forged).resultCode, 1);

    EXPECT_EQ(store->scoreCount(true), 2);
    EXPECT_TRUE(store->leaderboard(Board::AllTime, NOW, 100)->empty());
    // A real score afterwards is the member's first ranked one: a personal best.
    EXPECT_EQ(post(gameBody("\xC3\xA5sa@lumora.se", "hemligt", 10)).resultCode, 0);
}

TEST_F(Desk, ARememberedPasswordCountsOnlyUntilItIsChanged) {
    auto post = [&](const std::string& password, int32_t score) {
        return protocol::parseAnswer(
                   desk->takeNow(gameBody("\xC3\xA5sa@lumora.se", password, score), "::1", NOW).text)
            .resultCode;
    };
    EXPECT_EQ(post("hemligt", 10), 0);
    EXPECT_EQ(post("hemligt", 20), 0); // remembered
    EXPECT_EQ(post("Hemligt", 30), 3);
    std::string error;
    ASSERT_TRUE(setPassword(*store, member, "nytt-l\xC3\xB6sen", error)) << error;
    EXPECT_EQ(post("hemligt", 40), 3); // the old password is worth nothing, remembered or not
    EXPECT_EQ(post("nytt-l\xC3\xB6sen", 50), 0);
    EXPECT_EQ(store->scoresOf(member), (std::vector<int64_t>{10, 20, 50}));
}

TEST_F(Desk, ABuildOtherThanTheNewestGetsTheVersionNotice) {
    std::string error;
    ASSERT_TRUE(store->addRelease({2, 111, 222, NOW}, error));
    ASSERT_TRUE(store->addRelease({5, BUILD_CRC, BUILD_LENGTH, NOW}, error));
    EXPECT_EQ(post(gameBody("\xC3\xA5sa@lumora.se", "hemligt", 10)).versionNotice, 0); // the newest build

    ASSERT_TRUE(store->addRelease({7, 333, 444, NOW}, error));
    const protocol::ParsedAnswer old = post(gameBody("\xC3\xA5sa@lumora.se", "hemligt", 20));
    EXPECT_EQ(old.resultCode, 0);
    EXPECT_EQ(old.versionNotice, 7);
    // Even an unknown user or a wrong password hears about the new version.
    EXPECT_EQ(post(gameBody("x@y.se", "hemligt", 20)).versionNotice, 7);
    EXPECT_FALSE(store->addRelease({8, 333, 444, NOW}, error)); // the same build twice
}

} // namespace
} // namespace tundrix::channel
