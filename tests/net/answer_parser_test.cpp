// The server's answer turned into result code, version notice and message, for every shape it takes.
#include "net/answer_parser.h"

#include <gtest/gtest.h>

#include <string>

namespace tundrix {

TEST(AnswerParser, ReadsTheChannelServersAnswers) {
    const ParsedAnswer zero = parseAnswer("0");
    EXPECT_TRUE(zero.hasResult);
    EXPECT_EQ(zero.resultCode, 0);
    EXPECT_EQ(zero.versionNotice, 0);
    EXPECT_EQ(zero.message, "0");

    const ParsedAnswer withVersion = parseAnswer("0\r\n5\r\n");
    EXPECT_EQ(withVersion.resultCode, 0);
    EXPECT_EQ(withVersion.versionNotice, 5);
    EXPECT_EQ(withVersion.message, "0\r\n5");

    const ParsedAnswer padded = parseAnswer("  3");
    EXPECT_EQ(padded.resultCode, 3);
    EXPECT_EQ(padded.message, "3");

    EXPECT_EQ(parseAnswer("2").resultCode, 2);
    EXPECT_EQ(parseAnswer("\t\r\n-1 \r\n").resultCode, -1);
    EXPECT_EQ(parseAnswer("+7").resultCode, 7);
    EXPECT_EQ(parseAnswer("1 Registrerad\r\n 12").versionNotice, 12);
}

TEST(AnswerParser, AnswersWithoutANumberSayWhatTheyLack) {
    const ParsedAnswer empty = parseAnswer("");
    EXPECT_FALSE(empty.hasResult);
    EXPECT_EQ(empty.resultCode, 0);
    EXPECT_EQ(empty.versionNotice, 0);
    EXPECT_EQ(empty.message, "");

    EXPECT_FALSE(parseAnswer(" \r\n\t ").hasResult);
    EXPECT_FALSE(parseAnswer("-").hasResult);
    const ParsedAnswer page = parseAnswer("<html>\n3</html>");
    EXPECT_FALSE(page.hasResult);
    EXPECT_EQ(page.versionNotice, 3);
    // A second line without a number gives no notice.
    EXPECT_EQ(parseAnswer("0\r\nnew").versionNotice, 0);
}

TEST(AnswerParser, StaysWithinBoundsWhateverArrives) {
    // The message keeps at most 255 characters of a long answer.
    const ParsedAnswer longAnswer = parseAnswer("1" + std::string(1000, 'x'));
    EXPECT_EQ(longAnswer.resultCode, 1);
    EXPECT_EQ(longAnswer.message.size(), 255u);

    // Numbers too large for 32 bits are clamped instead of wrapping into another meaning.
    EXPECT_EQ(parseAnswer("99999999999999999999").resultCode, INT32_MAX);
    EXPECT_EQ(parseAnswer("-99999999999999999999").resultCode, INT32_MIN);
    EXPECT_EQ(parseAnswer("0\n99999999999").versionNotice, INT32_MAX);

    // The text ends at a NUL, as the answer is text.
    const ParsedAnswer nul = parseAnswer(std::string("3\0\n9", 4));
    EXPECT_EQ(nul.resultCode, 3);
    EXPECT_EQ(nul.versionNotice, 0);
    EXPECT_EQ(nul.message, "3");
}

} // namespace tundrix
