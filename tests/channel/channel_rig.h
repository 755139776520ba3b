// A fresh channel database in a folder of its own, removed afterwards, members signed up the usual way, and
// the game's own score form.
#pragma once
#include "channel/accounts.h"
#include "channel/crypto.h"
#include "channel/score_desk.h"
#include "channel/store.h"
#include "net/score_submission.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace tundrix::channel::test {

// A short game: the time the tests' posts report, so that their scores stay within what the rules allow.
inline constexpr int32_t QUICK_GAME_MS = 3000;

// The record the game's register dialog fills in, for a user, password, score and game time.
inline SubmissionRecord gameRecord(const std::string& user, const std::string& password, int32_t score,
                                   int32_t gameMs = QUICK_GAME_MS) {
    SubmissionRecord record;
    record.setUserName(user);
    record.setPassword(password);
    record.score = score;
    record.bestScoreTime = gameMs;
    return record;
}

// The body the game itself sends (its own builder), for a user, password, score and game time.
inline std::string gameBody(const std::string& user, const std::string& password, int32_t score,
                            int32_t gameMs = QUICK_GAME_MS, FileIntegrity build = {1234, 5'000'000},
                            const std::string& processor = "CPU UNKNOWN") {
    return buildSubmissionBody(gameRecord(user, password, score, gameMs), {1000, processor, build});
}

// Whether text holds part; the text is shown when the expectation fails.
inline ::testing::AssertionResult has(const std::string& text, const std::string& part) {
    return (text.find(part) != std::string::npos ? ::testing::AssertionSuccess()
                                                 : ::testing::AssertionFailure())
           << "\"" << part << "\" in: " << text.substr(0, 2000);
}

class ChannelRig : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(initCrypto());
        char pattern[] = "/tmp/tundrix-channel-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        std::string error;
        store = Store::open(database(), OpenMode::Create, error);
        ASSERT_NE(store, nullptr) << error;
    }
    void TearDown() override {
        desk.reset();
        store.reset();
        std::error_code ignored;
        if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
    }
    std::string database() const { return (folder / "channel.db").string(); }

    int64_t join(const std::string& email, const std::string& nickname, const std::string& password,
                 const std::string& recruiter = "") {
        const SignupResult r =
            signUp(*store, {email, nickname, password, password, recruiter}, 1'800'000'000);
        EXPECT_TRUE(r.memberId) << (r.errors.empty() ? "" : r.errors.front());
        return r.memberId.value_or(0);
    }
    // The answer of the test's score desk (one for the whole test, as a server has) to a body posted at a
    // time.
    std::string deskAnswer(const std::string& body, int64_t now = 1'800'000'000) {
        if (!desk) desk = std::make_unique<ScoreDesk>(*store, DeskOptions{}, nullptr);
        return desk->takeNow(body, "127.0.0.1", now).text;
    }

    std::filesystem::path folder;
    std::unique_ptr<Store> store;
    std::unique_ptr<ScoreDesk> desk;
};

} // namespace tundrix::channel::test
