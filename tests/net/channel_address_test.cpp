// The channel's address as a player or operator writes it, and where the game takes it from.
#include "net/channel_address.h"
#include "net/score_submission.h"

#include "fake_http.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tundrix {
namespace {

TEST(ChannelAddress, ReadsTheWrittenFormsAndRefusesTheRest) {
    const struct {
        const char* text;
        bool https;
        const char* host;
        uint16_t port;
        const char* base;
    } good[] = {
        {"kanal.example.se", false, "kanal.example.se", 80, "http://kanal.example.se"},
        {" 127.0.0.1:8080\n", false, "127.0.0.1", 8080, "http://127.0.0.1:8080"},
        {"HTTP://Kanal.example.se:80/", false, "Kanal.example.se", 80, "http://Kanal.example.se"},
        {"https://kanal.example.se", true, "kanal.example.se", 443, "https://kanal.example.se"},
        {"https://kanal.example.se:8443", true, "kanal.example.se", 8443, "https://kanal.example.se:8443"},
        {"[::1]:9000", false, "::1", 9000, "http://[::1]:9000"},
        {"localhost", false, "localhost", 80, "http://localhost"},
    };
    for (const auto& g : good) {
        const auto a = parseChannelAddress(g.text);
        ASSERT_TRUE(a) << g.text;
        EXPECT_EQ(a->https, g.https) << g.text;
        EXPECT_EQ(a->host, g.host) << g.text;
        EXPECT_EQ(a->port, g.port) << g.text;
        EXPECT_EQ(channelBaseUrl(*a), g.base) << g.text;
    }
    EXPECT_EQ(channelPageUrl(*parseChannelAddress("127.0.0.1:8080"), "/registrera/"),
              "http://127.0.0.1:8080/registrera/");
    EXPECT_EQ(channelPageUrl(ChannelAddress{}, "/dll/"), std::string("http://") + CHANNEL_HOST + "/dll/");

    // clang-format off
    const std::string bad[] = {"", "   ", "http://", "ftp://host", "host:0", "host:65536", "host:80x",
                               "host:", "host/path", "http://host/path", "user@host", "host?x=1", "ho st",
                               "-host", "host-", "a..b", ".host", "[::1", "[xyz]:80", "[::1]x", "host:8080:1",
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
    EXPECT_TRUE(http.sent.https);
    EXPECT_EQ(http.sent.host, "kanal.example.se");
    EXPECT_EQ(http.sent.port, 8443);
    EXPECT_EQ(http.sent.path, "/r0003.asp");
    EXPECT_EQ(record.resultCode, 0);

    submitScore(record, http, calendar, submitOptionsFor(ChannelAddress{}));
    EXPECT_FALSE(http.sent.https);
    EXPECT_EQ(http.sent.host, CHANNEL_HOST);
    EXPECT_EQ(http.sent.port, CHANNEL_PORT);
}

} // namespace
} // namespace tundrix
