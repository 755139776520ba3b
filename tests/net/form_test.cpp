// The scrambled form: field encoding, the body's twelve fields, and the record's bounded text fields.
#include "net/field_encoding.h"
#include "net/score_submission.h"
#include "net/submission_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>

namespace tundrix {

TEST(FieldEncoding, ScramblesEachByteWithTheKeyByteOfItsPosition) {
    // 'a' (61) XOR C3 = A2, 'b' (62) XOR 5E = 3C, 'c' (63) XOR 02 = 61.
    EXPECT_EQ(encodeField("abc"), "A23C61");
    EXPECT_EQ(encodeField(""), "");
    // The same byte at positions 0 and 8 gives the same digits; at 0 and 1 different ones.
    const std::string nine = encodeField("AAAAAAAAA");
    ASSERT_EQ(nine.size(), 18u);
    EXPECT_EQ(nine.substr(0, 2), nine.substr(16, 2));
    EXPECT_NE(nine.substr(0, 2), nine.substr(2, 2));
    // Bytes above 127 (a Swedish letter in Windows-1252) are scrambled like any other: E5 XOR C3 = 26.
    EXPECT_EQ(encodeField("\xE5"), "26");
    EXPECT_TRUE(std::regex_match(encodeField("\x01\xFF zZ~"), std::regex("[0-9A-F]{12}")));
    // The value is text: it ends at a NUL.
    EXPECT_EQ(encodeField(std::string("ab\0cd", 5)), encodeField("ab"));
}

TEST(SubmissionBody, HoldsTheTwelveFieldsInOrder) {
    SubmissionRecord record;
    record.setUserName("abc");
    record.setPassword("pw");
    record.score = 120;
    record.bestScoreTime = 45000;
    record.totalPlayTime = 900000;
    const std::string body = buildSubmissionBody(record, {1234, "CPU UNKNOWN", {0xDEADBEEF, 5000}});
    // The CRC is sent unsigned; fa is the score and the user name, fb the program length plus the score.
    const std::string expected =
        "f1=" + encodeField("abc") + "&f2=10&f3=" + encodeField("pw") + "&f4=" + encodeField("120") +
        "&f5=" + encodeField("45000") + "&f5b=" + encodeField("900000") + "&f6=" + encodeField("1234") +
        "&f7=" + encodeField("CPU UNKNOWN") + "&f8=" + encodeField("3735928559") +
        "&f9=" + encodeField("5000") + "&fa=" + encodeField("120abc") + "&fb=" + encodeField("5120");
    EXPECT_EQ(body, expected);
}

TEST(SubmissionRecord, StoresTypedTextAsWindows1252WithinItsFields) {
    SubmissionRecord record;
    // Swedish letters become single bytes; the euro sign has its own byte; the rest becomes '?'.
    record.setUserName("\xC3\xA5s\xC3\xA4\xC3\xB6@lumora.se \xE2\x82\xAC \xE4\xB8\xAD");
    EXPECT_STREQ(record.userName, "\xE5s\xE4\xF6@lumora.se \x80 ?");
    EXPECT_EQ(record.userNameUtf8(), "\xC3\xA5s\xC3\xA4\xC3\xB6@lumora.se \xE2\x82\xAC ?");
    // Malformed UTF-8 and control characters never reach the server as raw bytes.
    record.setPassword(std::string("a\xFF\xC3(b\0c\tz", 9));
    EXPECT_STREQ(record.password, "a?\?(bcz");
    // An overlong encoding is malformed; DEL and the C1 controls are controls too.
    record.setPassword("\xC1\x81x\x7F\xC2\x85y");
    EXPECT_STREQ(record.password, "?xy");
    record.setPassword("\xC3\xBF"); // the last letter of the code page, y with diaeresis
    EXPECT_STREQ(record.password, "\xFF");

    // However long the input, the fields keep their limits and their NUL.
    record.setUserName(std::string(5000, 'u'));
    EXPECT_EQ(std::strlen(record.userName), SubmissionRecord::USER_NAME_MAX_CHARS);
    record.setPassword(std::string(300, '\xC3'));
    EXPECT_LE(std::strlen(record.password), SubmissionRecord::PASSWORD_MAX_CHARS);
    std::string manyLetters;
    for (int i = 0; i < 100; ++i)
        manyLetters += "\xC3\xA4";
    record.setPassword(manyLetters);
    EXPECT_EQ(std::string(record.password), std::string(16, '\xE4'));
    record.setMessage(std::string(1000, 'm'), SubmissionRecord::ANSWER_MESSAGE_MAX_CHARS);
    EXPECT_EQ(std::strlen(record.message), 255u);

    // A bounded copy always ends in a NUL within the field and clears the rest, also after a NUL.
    char small[4];
    copyBounded(small, sizeof small, "abcdef", 10);
    EXPECT_EQ(std::string(small, 4), std::string("abc\0", 4));
    char padded[6];
    std::memset(padded, 'x', sizeof padded);
    copyBounded(padded, sizeof padded, std::string("ab\0cd", 5), 10);
    EXPECT_EQ(std::string(padded, 6), std::string(6, '\0').replace(0, 2, "ab"));

    // A field written behind the setters' back without its NUL is still read within bounds.
    std::memset(record.userName, 'x', sizeof record.userName);
    std::memset(record.password, 'y', sizeof record.password);
    const std::string body = buildSubmissionBody(record, {});
    EXPECT_NE(body.find("&f3=" + encodeField(std::string(20, 'y')) + "&"), std::string::npos);
}

} // namespace tundrix
