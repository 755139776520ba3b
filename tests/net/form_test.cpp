// The record's bounded text fields, and the form it makes.
#include "net/score_submission.h"
#include "net/submission_record.h"
#include "protocol/form_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace tundrix {

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
    EXPECT_NE(body.find("&f3=" + protocol::scrambleField(std::string(20, 'y')) + "&"), std::string::npos);
}

} // namespace tundrix
