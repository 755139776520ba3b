// The channel's answers as it writes them and as the game reads them, in every shape they take.
#include "protocol/replay_post.h"
#include "protocol/score_answer.h"

#include <gtest/gtest.h>

#include <string>

namespace tundrix::protocol {

TEST(ScoreAnswer, ReadsEveryShapeOfAnswerWithinBounds) {
    // clang-format off
    const struct {
        std::string answer;
        bool hasResult;
        int32_t resultCode, versionNotice;
        std::string message; // the answer trimmed of white space, up to a NUL
    } cases[] = {
        {"0", true, 0, 0, "0"}, {"0\r\n5\r\n", true, 0, 5, "0\r\n5"}, {"  3", true, 3, 0, "3"},
        {"\t\r\n-1 \r\n", true, -1, 0, "-1"}, {"+7", true, 7, 0, "+7"}, {"0\n\t5", true, 0, 5, "0\n\t5"},
        {"1 Registrerad\r\n 12", true, 1, 12, "1 Registrerad\r\n 12"}, {"4\t", true, 4, 0, "4"},
        // Without a number there is no result, yet a second line's number is still the notice.
        {"", false, 0, 0, ""}, {" \r\n\t ", false, 0, 0, ""}, {"-", false, 0, 0, "-"},
        {"<html>\n3</html>", false, 0, 3, "<html>\n3</html>"},
        {"0\r\nnew", true, 0, 0, "0\r\nnew"}, // a second line without a number gives no notice
        // Numbers too large for 32 bits are clamped instead of wrapping into another meaning.
        {"99999999999999999999", true, INT32_MAX, 0, "99999999999999999999"},
        {"-99999999999999999999", true, INT32_MIN, 0, "-99999999999999999999"},
        {"0\n99999999999", true, 0, INT32_MAX, "0\n99999999999"},
        // The text ends at a NUL, as the answer is text.
        {std::string("3\0\n9", 4), true, 3, 0, "3"},
    };
    // clang-format on
    for (const auto& c : cases) {
        const ParsedAnswer p = parseAnswer(c.answer);
        EXPECT_EQ(std::tuple(p.hasResult, p.resultCode, p.versionNotice, p.message),
                  std::tuple(c.hasResult, c.resultCode, c.versionNotice, std::string(c.message)))
            << c.answer;
    }
    // The message keeps the first 255 characters of a long answer.
    const ParsedAnswer longAnswer = parseAnswer("1" + std::string(1000, 'x'));
    EXPECT_EQ(longAnswer.resultCode, 1);
    EXPECT_EQ(longAnswer.message, "1" + std::string(ANSWER_MESSAGE_MAX_CHARS - 1, 'x'));
}

TEST(ScoreAnswer, WhatTheChannelWritesTheGameReadsBack) {
    for (const auto code : {ScoreAnswer::PersonalBest, ScoreAnswer::Registered, ScoreAnswer::UnknownUser,
                            ScoreAnswer::WrongPassword}) {
        for (const int64_t newer : {0, 1, 7}) {
            const ParsedAnswer read = parseAnswer(answerText(code, newer));
            EXPECT_TRUE(read.hasResult);
            EXPECT_EQ(read.resultCode, static_cast<int32_t>(code));
            EXPECT_EQ(read.versionNotice, newer > 1 ? newer : 0); // a version of 1 or less is no notice
        }
    }
    // The replay post's answers: each of the list, and nothing outside it.
    for (int32_t n = 0; n <= REPLAY_ANSWER_LAST; ++n)
        EXPECT_EQ(readReplayAnswer(replayAnswerText(static_cast<ReplayAnswer>(n))),
                  static_cast<ReplayAnswer>(n));
    for (const char* other : {"7\r\n", "-1", "", "<html>", "99999999999"})
        EXPECT_FALSE(readReplayAnswer(other)) << other;
}

} // namespace tundrix::protocol
