// The register dialog's fields and its post beside the window's thread: code page, lengths for typed and
// pasted text, and a post that is given up or finishes late.
#include "shell/login_fields.h"
#include "shell/submission_attempt.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace tundrix {
namespace {

TEST(LoginFields, TakeEveryCharacterOfTheCodePageAndHoldTheirLength) {
    for (uint32_t cp : {0x20u, 0x7Eu, 0xA0u, 0xE5u, 0xFFu, 0x20ACu, 0x2122u, 0x0178u, 0x0152u, 0x02DCu})
        EXPECT_TRUE(inWindows1252(cp)) << std::hex << cp;
    for (uint32_t cp : {0x00u, 0x0Au, 0x1Fu, 0x7Fu, 0x80u, 0x81u, 0x9Fu, 0x100u, 0x4E2Du, 0x1F600u})
        EXPECT_FALSE(inWindows1252(cp)) << std::hex << cp;

    // A paste is cut to the field's length in characters, not bytes; foreign and broken characters go.
    EXPECT_EQ(fieldText(std::string(200, 'a'), USER_NAME_MAX), std::string(64, 'a'));
    EXPECT_EQ(fieldText("€€€€€€€€€€€€€€€€€€€€", PASSWORD_MAX), "€€€€€€€€€€€€€€€€");
    EXPECT_EQ(fieldText("på\tkö€nж中\xff\xc3", 64), "påkö€n");
    EXPECT_EQ(fieldText("\xe2\x82", 64), "") << "a cut character";
    EXPECT_EQ(clampChars("åäöx", 3), "åäö");
    EXPECT_EQ(clampChars({std::vector<char>{'a', 'b'}.data(), 2}, 3), "ab"); // not a byte past the text
}

bool pollUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 500; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(SubmissionAttempt, ThePostRunsBesideTheCallerAndAGivenUpResultIsDropped) {
    auto inFlight = std::make_shared<std::atomic<int>>(0);
    // A post that waits until the test lets it go.
    std::promise<void> gate;
    const SubmitScore slowPost = [open = gate.get_future().share()](ScoreSubmission& s) {
        open.wait();
        s.resultCode = 2;
    };
    ScoreSubmission sent;
    sent.score = 120;

    {
        SubmissionAttempt attempt(inFlight);
        attempt.start(slowPost, sent);
        EXPECT_TRUE(attempt.running());
        EXPECT_FALSE(attempt.takeResult()) << "the caller goes on while the post waits";
        attempt.giveUp();
        EXPECT_FALSE(attempt.running());
    } // the attempt is gone before its post finishes
    EXPECT_EQ(inFlight->load(), 1);
    gate.set_value();
    EXPECT_TRUE(pollUntil([&] { return inFlight->load() == 0; })) << "the late post ends on its own";

    SubmissionAttempt attempt(inFlight);
    attempt.start(slowPost, sent);
    std::optional<ScoreSubmission> result;
    EXPECT_TRUE(pollUntil([&] { return (result = attempt.takeResult()).has_value(); }));
    EXPECT_EQ(std::pair(result->resultCode, result->score), std::pair(2, 120));
    EXPECT_FALSE(attempt.running());
    EXPECT_FALSE(attempt.takeResult()) << "a result is handed over once";
}

} // namespace
} // namespace tundrix
