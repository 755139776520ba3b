// A forgotten password through the real server and a real SMTP relay: the mailed link works once and for
// an hour, the answer is the same for every address, and a relay that is down costs no request anything.
#include "channel/mail_relay.h"
#include "channel/password_resets.h"
#include "channel/sessions.h"
#include "channel/site_paths.h"
#include "protocol/paths.h"

#include "http_test_server.h"
#include "live_channel.h"
#include "smtp_sink.h"

#include <atomic>
#include <mutex>

namespace tundrix::channel {
namespace {

using test::has;

class MailingChannel : public test::LiveChannel {
  protected:
    void configure() override {
        sinkRuns = withSink && sink.start(folder / "mail");
        site.mail.host = "127.0.0.1";
        site.mail.port = sinkRuns ? sink.port : 1; // nothing listens on 1
        site.mail.tls = MailTls::Off;
        site.mail.from = "kanalen@example.se";
        site.publicUrl = "http://kanalen.test";
        site.clock = [this] { return clock.load(); };
        site.log = [this](const std::string& line) {
            std::lock_guard lock(linesMutex);
            lines += line + "\n";
        };
    }
    // The log once it holds text, or what it holds after a few seconds.
    std::string logged(const std::string& text = "") {
        for (int i = 0; i < 500; ++i) {
            if (std::lock_guard lock(linesMutex); has(lines, text)) return lines;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::lock_guard lock(linesMutex);
        return lines;
    }
    // The password page's form sent with an address, as a browser sends it.
    httplib::Result askFor(const std::string& email) {
        return send(protocol::PASSWORD_HELP_PATH, visit(protocol::PASSWORD_HELP_PATH), {{"email", email}});
    }
    // The link's path in a mail, on this server.
    static std::string linkIn(const std::string& mail) {
        std::smatch m;
        std::regex_search(mail, m, std::regex("http://kanalen\\.test(/nytt-losenord/\\?t=[0-9a-f]{64})"));
        return m.empty() ? "" : m[1].str();
    }
    httplib::Result choose(const std::string& link, const std::string& password, const std::string& again) {
        return send(
            NEW_PASSWORD_PATH, visit(link),
            {{RESET_TOKEN, link.substr(link.find('=') + 1)}, {"password", password}, {"password2", again}});
    }

    bool withSink = true;
    test::SmtpSink sink;
    bool sinkRuns = false;
    std::atomic<int64_t> clock{1'800'000'000};
    std::mutex linesMutex;
    std::string lines;
};

TEST_F(MailingChannel, TheMailedLinkSetsANewPasswordOnceWithinAnHourAndEndsTheOtherSessions) {
    if (!sinkRuns) GTEST_SKIP() << "no /usr/bin/python3 with aiosmtpd for the SMTP sink";
    join("anna@example.se", "Anna", "hemligt");
    // The game's address, filled in.
    EXPECT_TRUE(
        has(client->Get(protocol::passwordHelpPage("anna@example.se"))->body, "value=\"anna@example.se\""));
    const std::string annasOtherSession = cookieOf(logIn("anna@example.se", "hemligt"));

    // A stranger's address and a member's get the same page; only the member's mail goes, after the
    // stranger's request has been dealt with.
    const auto stranger = askFor("okand@example.se");
    const auto member = askFor("Anna@Example.se");
    ASSERT_EQ(stranger->status, 200);
    ASSERT_EQ(member->status, 200);
    EXPECT_EQ(std::regex_replace(stranger->body, std::regex("okand@example\\.se"), "X"),
              std::regex_replace(member->body, std::regex("Anna@Example\\.se"), "X"));
    std::vector<std::string> mails = sink.waitFor(1);
    ASSERT_EQ(mails.size(), 1u);
    // To Anna, the letter, and the date it was sent as mail writes dates.
    EXPECT_TRUE(mails[0].starts_with("To: anna@example.se\n") && has(mails[0], "Hej Anna!") &&
                std::regex_search(mails[0], std::regex("\nDate: [A-Z][a-z]{2}, \\d\\d [A-Z][a-z]{2} 20\\d\\d "
                                                       "\\d\\d:\\d\\d:\\d\\d \\+0000\n")))
        << mails[0];
    const std::string link = linkIn(mails[0]);
    ASSERT_FALSE(link.empty()) << mails[0];

    // Mistyped, the form comes back and the link still works; then it sets the password, logs this
    // browser in afresh and ends Anna's other session.
    EXPECT_EQ(choose(link, "nytt-pw", "nytt-pv")->status, 400);
    const auto chosen = choose(link, "nytt-pw", "nytt-pw");
    ASSERT_EQ(chosen->status, 303);
    EXPECT_EQ(chosen->get_header_value("Location"), std::string(MEMBER_PATH) + "?klart=losenord");
    EXPECT_EQ(page(MEMBER_PATH, cookieOf(chosen))->status, 200);
    EXPECT_EQ(page(MEMBER_PATH, annasOtherSession)->status, 303);
    EXPECT_EQ(submit("anna@example.se", "nytt-pw", 900).resultCode, 0);
    EXPECT_EQ(submit("anna@example.se", "hemligt", 900).resultCode, 3);

    // Used, it is dead; so is a new one once its hour is over, and a token nobody was given.
    EXPECT_EQ(client->Get(link)->status, 410);
    EXPECT_EQ(choose(link, "tredje-pw", "tredje-pw")->status, 410);
    askFor("anna@example.se");
    mails = sink.waitFor(2);
    ASSERT_EQ(mails.size(), 2u);
    const std::string late = linkIn(mails[1]);
    EXPECT_EQ(client->Get(late)->status, 200);
    clock += RESET_LINK_SECONDS;
    EXPECT_EQ(client->Get(late)->status, 410);
    EXPECT_EQ(choose(late, "tredje-pw", "tredje-pw")->status, 410);
    EXPECT_EQ(client->Get(std::string(NEW_PASSWORD_PATH) + "?t=" + std::string(64, 'a'))->status, 410);
    EXPECT_EQ(submit("anna@example.se", "nytt-pw", 800).resultCode, 1);

    // One address's mailbox gets a few links, then none for a while (the page says the same); Bo's mail,
    // asked for after them, comes next.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(askFor("anna@example.se")->status, 200);
    join("bo@example.se", "Bo", "hemligt");
    askFor("bo@example.se");
    mails = sink.waitFor(4);
    ASSERT_EQ(mails.size(), 4u);
    EXPECT_EQ(mails[3].rfind("To: bo@example.se\n", 0), 0u) << mails[3];
    for (const char* line : {"no member has the address typed, none sent", "a link mailed to member 1",
                             "too many asked for one address, none sent"})
        EXPECT_TRUE(has(logged(line), std::string("password reset: ") + line));
    // The requests' log has the pages' paths, never a link's token.
    server->stop();
    EXPECT_TRUE(has(log.str(), "GET /nytt-losenord/ 200"));
    EXPECT_FALSE(has(log.str(), late.substr(late.find('=') + 1)));
}

// Nothing listens where the relay should be.
class ChannelWithoutRelay : public MailingChannel {
  protected:
    ChannelWithoutRelay() { withSink = false; }
};

TEST_F(ChannelWithoutRelay, AskingIsAnsweredAtOnceAndTheFailureLogged) {
    join("bo@example.se", "Bo", "hemligt");
    EXPECT_EQ(askFor("bo@example.se")->status, 200);
    EXPECT_TRUE(has(logged("did not go"), "password reset: the mail to member 1 did not go: "));
    // The channel serves on.
    EXPECT_EQ(client->Get("/")->status, 200);
}

// Neither an address nor the subject may carry what could end a header or start another.
TEST(MailMessage, OnlyPlainAddressesAndAOneLineSubjectAreMailedAndAStopEndsASend) {
    MailRelay relay, other;
    relay.from = "kanalen@example.se";
    // clang-format off
    const std::string refused[] = {"a b@x.se", "a\x7F@x.se", "a\x1F@x.se", "<a@x.se>", "a@b@x.se", "@x.se", "a@",
        "a\"@x.se", "a,b@x.se", "a;b@x.se", "a\\b@x.se", "a(b)@x.se", std::string(250, 'a') + "@x.se"};
    // clang-format on
    for (const std::string& to : refused) {
        other.from = to;
        EXPECT_FALSE(mailMessage(relay, {to, "Hej", "text\n"}, 0) ||
                     mailMessage(other, {"anna@example.se", "Hej", "text\n"}, 0))
            << to;
    }
    EXPECT_FALSE(mailMessage(relay, {"anna@example.se", "Hej\nBcc: x@x.se", "text\n"}, 0));
    EXPECT_TRUE(mailMessage(relay, {"anna@exämple.se", "Hej", "text\n"}, 0));
    // A stop asked for ends a send at once, even to a relay that never says a word.
    tundrix::test::HttpTestServer silent;
    relay.host = "127.0.0.1", relay.port = silent.port(), relay.tls = MailTls::Off;
    std::string error;
    EXPECT_FALSE(sendMail(relay, {"anna@example.se", "Hej", "text\n"}, 0, std::atomic<bool>(true), error));
    EXPECT_NE(error.find("aborted"), std::string::npos) << error;
}

} // namespace
} // namespace tundrix::channel
