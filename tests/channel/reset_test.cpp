// A forgotten password through the real server and a real SMTP relay: the mailed link works once and for
// an hour, the answer is the same for every address, and a relay that is down costs no request anything.
#include "channel/password_resets.h"
#include "channel/sessions.h"
#include "channel/site_paths.h"
#include "protocol/paths.h"

#include "live_channel.h"
#include "smtp_sink.h"

#include <atomic>
#include <mutex>

namespace tundrix::channel {
namespace {

class MailingChannel : public test::LiveChannel {
  protected:
    void configure() override {
        sinkRuns = withSink && sink.start(folder / "mail");
        site.mail.host = "127.0.0.1";
        site.mail.port = sinkRuns ? sink.port : relayPort();
        site.mail.tls = MailTls::Off;
        site.mail.from = "kanalen@example.se";
        site.publicUrl = "http://kanalen.test";
        site.clock = [this] { return clock.load(); };
        site.log = [this](const std::string& line) {
            std::lock_guard lock(linesMutex);
            lines += line + "\n";
        };
    }
    virtual int relayPort() { return 0; }

    std::string logged() {
        std::lock_guard lock(linesMutex);
        return lines;
    }
    // The log once it holds text, or what it holds after a few seconds.
    std::string loggedOnce(const std::string& text) {
        for (int i = 0; i < 500 && logged().find(text) == std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return logged();
    }

    // The password page's form sent with an address, as a browser sends it.
    httplib::Result askFor(const std::string& email) {
        const auto form = client->Get(protocol::PASSWORD_HELP_PATH);
        return client->Post(protocol::PASSWORD_HELP_PATH, {{"Cookie", cookieOf(form)}},
                            httplib::Params{{"email", email}, {"csrf", csrfOf(form->body)}});
    }
    // The link's path in a mail, on this server.
    static std::string linkIn(const std::string& mail) {
        std::smatch m;
        return std::regex_search(mail, m,
                                 std::regex("http://kanalen\\.test(/nytt-losenord/\\?t=[0-9a-f]{64})"))
                   ? m[1].str()
                   : "";
    }
    httplib::Result choose(const std::string& link, const std::string& password, const std::string& again) {
        const auto form = client->Get(link);
        return client->Post(NEW_PASSWORD_PATH, {{"Cookie", cookieOf(form)}},
                            httplib::Params{{RESET_TOKEN, link.substr(link.find('=') + 1)},
                                            {"password", password},
                                            {"password2", again},
                                            {"csrf", csrfOf(form->body)}});
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
    std::string error;
    if (!http.ensureLoaded(error)) GTEST_SKIP() << error;
    join("anna@example.se", "Anna", "hemligt");
    const auto page = client->Get(protocol::passwordHelpPage("anna@example.se"));
    EXPECT_NE(page->body.find("value=\"anna@example.se\""),
              std::string::npos); // the game's address, filled in
    const auto login = client->Get("/logga-in/");
    const std::string annasOtherSession = cookieOf(client->Post(
        "/logga-in/", {{"Cookie", cookieOf(login)}},
        httplib::Params{
            {"email", "anna@example.se"}, {"password", "hemligt"}, {"csrf", csrfOf(login->body)}}));

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
    EXPECT_EQ(mails[0].rfind("To: anna@example.se\n", 0), 0u) << mails[0];
    EXPECT_NE(mails[0].find("Hej Anna!"), std::string::npos);
    const std::string link = linkIn(mails[0]);
    ASSERT_FALSE(link.empty()) << mails[0];

    // Mistyped, the form comes back and the link still works; then it sets the password, logs this
    // browser in afresh and ends Anna's other session.
    EXPECT_EQ(choose(link, "nytt-pw", "nytt-pv")->status, 400);
    const auto chosen = choose(link, "nytt-pw", "nytt-pw");
    ASSERT_EQ(chosen->status, 303);
    EXPECT_EQ(chosen->get_header_value("Location"), std::string(MEMBER_PATH) + "?klart=losenord");
    EXPECT_EQ(client->Get(MEMBER_PATH, {{"Cookie", cookieOf(chosen)}})->status, 200);
    EXPECT_EQ(client->Get(MEMBER_PATH, {{"Cookie", annasOtherSession}})->status, 303);
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
    const std::string mailed = logged();
    EXPECT_NE(mailed.find("password reset: no member has the address typed, none sent"), std::string::npos)
        << mailed;
    EXPECT_NE(mailed.find("password reset: a link mailed to member 1"), std::string::npos) << mailed;
    EXPECT_NE(mailed.find("password reset: too many asked for one address, none sent"), std::string::npos)
        << mailed;
    // The requests' log has the pages' paths, never a link's token.
    server->stop();
    EXPECT_NE(log.str().find("GET /nytt-losenord/ 200"), std::string::npos) << log.str();
    EXPECT_EQ(log.str().find(late.substr(late.find('=') + 1)), std::string::npos) << log.str();
}

// Nothing listens where the relay should be.
class ChannelWithoutRelay : public MailingChannel {
  protected:
    ChannelWithoutRelay() { withSink = false; }
    int relayPort() override { return 1; }
};

TEST_F(ChannelWithoutRelay, AskingIsAnsweredAtOnceAndTheFailureLogged) {
    join("bo@example.se", "Bo", "hemligt");
    EXPECT_EQ(askFor("bo@example.se")->status, 200);
    const std::string log = loggedOnce("did not go");
    EXPECT_NE(log.find("password reset: the mail to member 1 did not go: "), std::string::npos) << log;
    // The channel serves on.
    EXPECT_EQ(client->Get("/")->status, 200);
}

} // namespace
} // namespace tundrix::channel
