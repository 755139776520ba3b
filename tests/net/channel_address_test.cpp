// The channel's address as a player or operator writes it and where the game takes it from, and the
// record's bounded text fields and the form it makes.
#include "net/channel_address.h"
#include "net/latin1_text.h"
#include "net/score_submission.h"
#include "net/submission_record.h"
#include "protocol/form_text.h"

#include "fake_http.h"

#include <gtest/gtest.h>
#include <tuple>

#include <cstring>
#include <string>

namespace tundrix {
namespace {

TEST(ChannelAddress, ReadsTheWrittenFormsAndRefusesTheRest) {
    const std::tuple<const char*, bool, const char*, uint16_t, const char*> good[] = {
        {"kanal.example.se", false, "kanal.example.se", 80, "http://kanal.example.se"},
        {" 127.0.0.1:8080\n", false, "127.0.0.1", 8080, "http://127.0.0.1:8080"},
        {"HTTP://Kanal.example.se:80/", false, "Kanal.example.se", 80, "http://Kanal.example.se"},
        {"https://kanal.example.se", true, "kanal.example.se", 443, "https://kanal.example.se"},
        {"https://kanal.example.se:8443", true, "kanal.example.se", 8443, "https://kanal.example.se:8443"},
        {"[::1]:9000", false, "::1", 9000, "http://[::1]:9000"},
        {"localhost", false, "localhost", 80, "http://localhost"},
    };
    for (const auto& [text, https, host, port, base] : good) {
        const auto a = parseChannelAddress(text);
        ASSERT_TRUE(a) << text;
        EXPECT_EQ((std::tuple{a->https, a->host, a->port, channelBaseUrl(*a)}),
                  (std::tuple{https, std::string(host), port, std::string(base)}))
            << text;
    }
    EXPECT_EQ(channelPageUrl(*parseChannelAddress("127.0.0.1:8080"), "/registrera/"),
              "http://127.0.0.1:8080/registrera/");
    EXPECT_EQ(channelPageUrl(ChannelAddress{}, "/dll/"), std::string("http://") + CHANNEL_HOST + "/dll/");

    // clang-format off
    const std::string bad[] = {"", "   ", "http://", "ftp://host", "host:0", "host:65536", "host:80x",
                               "host:", "host/path", "http://host/path", "user@host", "host?x=1", "ho st",
                               "-host", "host-", "a..b", ".host", "[::1", "[xyz]:80", "[::1]x", "[:]", "host:8080:1",
                               "http://https://host", "h\xC3\xA5st", std::string(300, 'a'),
                               std::string("host\0evil", 9)};
    // clang-format on
    for (const std::string& b : bad)
        EXPECT_FALSE(parseChannelAddress(b)) << b;
}

TEST(ChannelAddress, TheEnvironmentWinsOverTheSettingsFileWhichWinsOverTheDefault) {
    const std::optional<std::string> file = "lan-party.local:8080\n";
    EXPECT_EQ(configuredChannel(nullptr, std::nullopt), ChannelAddress{});
    EXPECT_EQ(configuredChannel(nullptr, ""), ChannelAddress{});
    EXPECT_EQ(channelBaseUrl(configuredChannel(nullptr, file)), "http://lan-party.local:8080");
    EXPECT_EQ(channelBaseUrl(configuredChannel("https://skolan.example.se", file)),
              "https://skolan.example.se");
    // A value that is no address is passed over, not half-used.
    EXPECT_EQ(channelBaseUrl(configuredChannel("not an address", file)), "http://lan-party.local:8080");
    EXPECT_EQ(configuredChannel(nullptr, std::string(CHANNEL_FILE_MAX_BYTES, 'x')), ChannelAddress{});
}

TEST(ChannelAddress, TheScorePostGoesWhereTheAddressSays) {
    test::ScriptedHttp http;
    test::ScriptedCalendar calendar;
    SubmissionRecord record;
    record.setUserName("a@b.se");
    submitScore(record, http, calendar,
                submitOptionsFor(*parseChannelAddress("https://kanal.example.se:8443/")));
    EXPECT_EQ(std::tuple(http.sent.https, http.sent.host, http.sent.port, http.sent.path),
              std::tuple(true, std::string("kanal.example.se"), 8443, std::string("/r0003.asp")));
    EXPECT_EQ(record.resultCode, 0);

    submitScore(record, http, calendar, submitOptionsFor(ChannelAddress{}));
    EXPECT_FALSE(http.sent.https);
    EXPECT_EQ(http.sent.host, CHANNEL_HOST);
    EXPECT_EQ(http.sent.port, CHANNEL_PORT);
}

TEST(Windows1252, EveryCharacterOfTheCodePageReadsAsItsByteAndBack) {
    // 0x80 to 0x9F as the code page defines them; the five bytes it leaves undefined read as '?'.
    std::string high;
    for (int b = 0x80; b < 0xA0; ++b)
        high += static_cast<char>(b);
    EXPECT_EQ(windows1252ToUtf8(high), "€?‚ƒ„…†‡ˆ‰Š‹Œ?Ž??‘’“”•–—˜™š›œ?žŸ");
    // The rest is Latin-1, at the edges of its one- and two-byte forms.
    EXPECT_EQ(windows1252ToUtf8("\x20\x7E\xA0\xBF\xC0\xC5\xFF"), " ~\u00A0¿ÀÅÿ");
    // Every character the code page has comes back as its own byte; one it lacks becomes '?'.
    for (int b = 0x20; b <= 0xFF; ++b) {
        const std::string byte(1, static_cast<char>(b)), text = windows1252ToUtf8(byte);
        if (b == 0x7F || (b >= 0x80 && b < 0xA0 && text == "?")) continue;
        EXPECT_EQ(utf8ToWindows1252(text, 1), byte) << b;
    }
    EXPECT_EQ(utf8ToWindows1252("ő😀жあ\xE2\x82", 8), "?????"); // the last one cut short
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
    EXPECT_NE(body.find("&f3=" + protocol::scrambleField(std::string(20, 'y')) + "&"), std::string::npos);
}

} // namespace
} // namespace tundrix
