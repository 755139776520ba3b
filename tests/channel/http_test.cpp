// The real server on a free loopback port with a fresh database: the game's own client posting scores,
// and the pages with their sessions, form tokens and escaping.
#include "channel/accounts.h"
#include "channel/sessions.h"
#include "channel/site_paths.h"
#include "channel/unknown_users.h"

#include "live_channel.h"

#include <algorithm>

namespace tundrix::channel {
namespace {

using test::LiveChannel;

TEST_F(LiveChannel, TheGamesOwnPostIsAnsweredInItsTermsAndLoggedOnce) {
    std::string error;
    if (!http.ensureLoaded(error)) GTEST_SKIP() << error;
    join("\xC3\xA5sa@lumora.se", "\xC3\x85sa", "hemligt");

    EXPECT_EQ(submit("\xC3\xA5sa@lumora.se", "hemligt", 1200).resultCode, 0);
    EXPECT_EQ(submit("\xC3\xA5sa@lumora.se", "hemligt", 900).resultCode, 1);
    EXPECT_EQ(submit("\xC3\xA5sa@lumora.se", "fel", 900).resultCode, 3);
    EXPECT_EQ(submit("okand@lumora.se", "hemligt", 900).resultCode, 2);
    // Once the operator has registered a release, a build that is none of them is told to update and its
    // score is kept aside.
    ASSERT_TRUE(store->addRelease({4, 1, 2, 0}, error));
    const SubmissionRecord old = submit("\xC3\xA5sa@lumora.se", "hemligt", 1300);
    EXPECT_EQ(old.resultCode, 1);
    EXPECT_EQ(old.versionNotice, 4);

    // The leaderboard shows the nickname in UTF-8, never the address.
    const auto home = client->Get("/");
    ASSERT_TRUE(home);
    EXPECT_NE(
        home->body.find("<td class=\"nick\">\xC3\x85sa</td><td class=\"num\">1200<span class=\"unverified\""),
        std::string::npos);
    EXPECT_EQ(home->body.find("lumora.se</"), std::string::npos);
    EXPECT_EQ(home->body.find("@"), std::string::npos);

    // One line per request: time, address, method, path, status, duration, and what became of a score.
    server->stop();
    const std::string lines = log.str();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 6) << lines;
    EXPECT_TRUE(
        std::regex_search(lines, std::regex("Z 127\\.0\\.0\\.1 POST /r0003\\.asp 200 [0-9.]+ms \"member 1 "
                                            "score 1200 personal best\"\n")))
        << lines;
    EXPECT_EQ(lines.find("hemligt"), std::string::npos);
}

TEST_F(LiveChannel, SignUpLogInAndOutWithFormTokensAndFreshSessions) {
    join("anna@example.se", "Anna", "hemligt");
    const std::string annasCode = store->memberByEmail("anna@example.se").row->recruitCode;
    const auto form = client->Get("/registrera/?ref=" + annasCode);
    ASSERT_TRUE(form);
    const std::string visitorCookie = cookieOf(form);
    EXPECT_NE(form->get_header_value("Set-Cookie").find("; HttpOnly; SameSite=Lax"), std::string::npos);
    const std::string csrf = csrfOf(form->body);
    ASSERT_EQ(csrf.size(), 64u);
    EXPECT_NE(form->body.find("value=\"" + annasCode + "\""), std::string::npos); // the recruiter, filled in
    EXPECT_NE(form->body.find("<strong>Anna</strong>"), std::string::npos);

    httplib::Params fields{{"email", "bo@example.se"},
                           {"nickname", "<b>Bo</b>"},
                           {"password", "hemligt"},
                           {"password2", "hemligt"},
                           {"recruiter", annasCode}};
    // Without the form token, or with another one, nothing happens.
    EXPECT_EQ(client->Post("/registrera/", {{"Cookie", visitorCookie}}, fields)->status, 403);
    fields.emplace("csrf", std::string(64, 'a'));
    EXPECT_EQ(client->Post("/registrera/", {{"Cookie", visitorCookie}}, fields)->status, 403);
    fields.erase("csrf");
    fields.emplace("csrf", csrf);
    EXPECT_EQ(client->Post("/registrera/", fields)->status, 403); // no cookie
    const auto joined = client->Post("/registrera/", {{"Cookie", visitorCookie}}, fields);
    ASSERT_TRUE(joined);
    EXPECT_EQ(joined->status, 303);
    EXPECT_EQ(joined->get_header_value("Location"), WELCOME_PATH); // what to do next
    const std::string memberCookie = cookieOf(joined);
    EXPECT_NE(memberCookie,
              visitorCookie); // a new session on logging in: the visitor's token is worth nothing
    EXPECT_EQ(client->Get("/useradm/challenge/", {{"Cookie", visitorCookie}})->status, 303);

    // The recruiting link carries Bo's code, never his address.
    const auto challenge = client->Get("/useradm/challenge/", {{"Cookie", memberCookie}});
    ASSERT_EQ(challenge->status, 200);
    const std::string bosCode = store->memberByEmail("bo@example.se").row->recruitCode;
    EXPECT_NE(challenge->body.find("/registrera/?ref=" + bosCode + "\""), std::string::npos);
    EXPECT_EQ(challenge->body.find("bo%40"), std::string::npos);
    EXPECT_EQ(challenge->body.find("bo@"), std::string::npos);
    EXPECT_NE(challenge->body.find("&lt;b&gt;Bo&lt;/b&gt;"), std::string::npos); // the nickname, escaped
    EXPECT_EQ(challenge->body.find("<b>Bo"), std::string::npos);

    // A member's form sent with a token that no longer holds comes back with what was typed and the
    // session's token, to send again.
    const auto stale = client->Post(NICKNAME_FORM_PATH, {{"Cookie", memberCookie}},
                                    httplib::Params{{"nickname", "Bosse"}, {"csrf", std::string(64, 'a')}});
    EXPECT_EQ(stale->status, 403);
    EXPECT_NE(stale->body.find("value=\"Bosse\""), std::string::npos);
    EXPECT_EQ(csrfOf(stale->body), csrfOf(challenge->body));
    EXPECT_EQ(store->memberByEmail("bo@example.se").row->nickname, "<b>Bo</b>");

    // Anna sees her recruit by nickname; wherever "next" points, the log-in goes nowhere off this site.
    const auto annaLogin = client->Get("/logga-in/");
    const httplib::Params wrong{
        {"email", "anna@example.se"}, {"password", "fel-fel"}, {"csrf", csrfOf(annaLogin->body)}};
    EXPECT_EQ(client->Post("/logga-in/", {{"Cookie", cookieOf(annaLogin)}}, wrong)->status, 401);
    std::string annasCookie;
    for (const auto& [next, location] :
         std::vector<std::pair<std::string, std::string>>{{"//evil.example/", "/"},
                                                          {"/\t/evil.example", "/"},
                                                          {"/\\evil.example", "/"},
                                                          {"https://evil.example/", "/"},
                                                          {"/\n/evil", "/"},
                                                          {"/useradm/challenge/", "/useradm/challenge/"}}) {
        const auto page = client->Get("/logga-in/");
        const httplib::Params right{{"email", "anna@example.se"},
                                    {"password", "hemligt"},
                                    {"next", next},
                                    {"csrf", csrfOf(page->body)}};
        const auto in = client->Post("/logga-in/", {{"Cookie", cookieOf(page)}}, right);
        ASSERT_EQ(in->status, 303) << next;
        EXPECT_EQ(in->get_header_value("Location"), location) << next;
        annasCookie = cookieOf(in);
    }
    const auto annas = client->Get("/useradm/challenge/", {{"Cookie", annasCookie}});
    EXPECT_NE(annas->body.find("<td class=\"nick\">&lt;b&gt;Bo&lt;/b&gt;</td>"), std::string::npos);

    // Logging out takes the form token too, and ends the session for good.
    EXPECT_EQ(client->Post("/logga-ut/", {{"Cookie", memberCookie}}, httplib::Params{})->status, 403);
    const auto out = client->Post("/logga-ut/", {{"Cookie", memberCookie}},
                                  httplib::Params{{"csrf", csrfOf(challenge->body)}});
    EXPECT_EQ(out->status, 303);
    EXPECT_NE(out->get_header_value("Set-Cookie").find("Max-Age=0"), std::string::npos);
    EXPECT_EQ(client->Get("/useradm/challenge/", {{"Cookie", memberCookie}})->status, 303);

    // A new password ends every session the member had.
    std::string error;
    ASSERT_TRUE(setPassword(*store, store->memberByEmail("anna@example.se").row->id, "annat-pw", error))
        << error;
    EXPECT_EQ(client->Get("/useradm/challenge/", {{"Cookie", annasCookie}})->status, 303);

    // A ban ends Bo's session and refuses his log-in, told only to whoever has his password.
    const int64_t bo = store->memberByEmail("bo@example.se").row->id;
    const auto logIn = [this](const std::string& password) {
        const auto page = client->Get("/logga-in/");
        return client->Post("/logga-in/", {{"Cookie", cookieOf(page)}},
                            httplib::Params{{"email", "bo@example.se"},
                                            {"password", password},
                                            {"csrf", csrfOf(page->body)}});
    };
    const std::string bosCookie = cookieOf(logIn("hemligt"));
    ASSERT_EQ(store->setBanned(bo, true, "fusk", 0), Moderated::Done);
    EXPECT_EQ(client->Get(MEMBER_PATH, {{"Cookie", bosCookie}})->status, 303);
    const auto banned = logIn("hemligt");
    EXPECT_EQ(banned->status, 403);
    EXPECT_TRUE(banned->get_header_value("Set-Cookie").find(CookiePolicy{}.sessionName() + "=") ==
                std::string::npos);
    EXPECT_NE(banned->body.find("This account has been closed"), std::string::npos);
    const auto guessed = logIn("fel-fel");
    EXPECT_EQ(guessed->status, 401);
    EXPECT_EQ(guessed->body.find("closed"), std::string::npos);
    ASSERT_EQ(store->setBanned(bo, false, "", 0), Moderated::Done);
    EXPECT_EQ(logIn("hemligt")->status, 303);
}

TEST_F(LiveChannel, VisitorsLeaveNoRowsAndOnlyMembersHaveSessions) {
    join("anna@example.se", "Anna", "hemligt");
    for (int i = 0; i < 20; ++i)
        for (const char* path : {"/registrera/", "/logga-in/", "/"})
            ASSERT_EQ(client->Get(path)->status, 200);
    EXPECT_EQ(store->sessionCount(), 0);
    const auto page = client->Get("/logga-in/");
    const auto in = client->Post(
        "/logga-in/", {{"Cookie", cookieOf(page)}},
        httplib::Params{{"email", "anna@example.se"}, {"password", "hemligt"}, {"csrf", csrfOf(page->body)}});
    EXPECT_EQ(in->status, 303);
    EXPECT_EQ(store->sessionCount(), 1);
    // Plain HTTP: no Secure, no prefix, no HSTS (the class below has them).
    EXPECT_EQ(cookieOf(in).rfind("tundrix_session=", 0), 0u);
    EXPECT_EQ(in->get_header_value("Set-Cookie").find("Secure"), std::string::npos);
    EXPECT_FALSE(in->has_header("Strict-Transport-Security"));
}

class SecureChannel : public LiveChannel {
  protected:
    void configure() override { site.publicUrl = "https://kanal.example.se"; }
};

TEST_F(SecureChannel, CookiesAreHostOnlyAndSecureAndBrowsersAreToldToStayOnHttps) {
    join("anna@example.se", "Anna", "hemligt");
    const auto page = client->Get("/logga-in/");
    EXPECT_EQ(page->get_header_value("Strict-Transport-Security"), "max-age=31536000");
    EXPECT_EQ(page->get_header_value("Set-Cookie").rfind("__Host-tundrix_form=", 0), 0u);
    EXPECT_NE(page->get_header_value("Set-Cookie").find("; Path=/;"), std::string::npos);
    EXPECT_NE(page->get_header_value("Set-Cookie").find("; Secure"), std::string::npos);
    const auto in = client->Post(
        "/logga-in/", {{"Cookie", cookieOf(page)}},
        httplib::Params{{"email", "anna@example.se"}, {"password", "hemligt"}, {"csrf", csrfOf(page->body)}});
    ASSERT_EQ(in->status, 303);
    EXPECT_EQ(cookieOf(in).rfind("__Host-tundrix_session=", 0), 0u);
    EXPECT_NE(in->get_header_value("Set-Cookie").find("; Secure"), std::string::npos);
    EXPECT_EQ(client->Get("/useradm/challenge/", {{"Cookie", cookieOf(in)}})->status, 200);
    // The plain cookie name means nothing here.
    const std::string plain = "tundrix_session=" + cookieOf(in).substr(cookieOf(in).find('=') + 1);
    EXPECT_EQ(client->Get("/useradm/challenge/", {{"Cookie", plain}})->status, 303);
    EXPECT_NE(client->Get("/useradm/challenge/", {{"Cookie", cookieOf(in)}})
                  ->body.find("https://kanal.example.se/registrera/?ref="),
              std::string::npos);
}

// Behind a proxy that names each client, as nginx does.
class ProxiedChannel : public LiveChannel {
  protected:
    void configure() override { options.trustedProxies = {"127.0.0.1"}; }
};

TEST_F(ProxiedChannel, AfterAnUnknownUserTheSignUpPageTheGameOpensOffersThatAddressOnceToThatClientOnly) {
    std::string error;
    if (!http.ensureLoaded(error)) GTEST_SKIP() << error;
    const auto signup = [&](const char* from) {
        return from ? client->Get("/registrera/", {{"X-Real-IP", from}})->body
                    : client->Get("/registrera/")->body;
    };
    const std::string filled = "value=\"\xC3\xA5sa@lumora.se\"";
    // The game types its own code page; the page speaks UTF-8.
    EXPECT_EQ(submit("\xC3\xA5sa@lumora.se", "hemligt", 900).resultCode, 2);
    EXPECT_EQ(signup("203.0.113.9").find(filled), std::string::npos) << "another machine";
    const std::string page = signup(nullptr);
    EXPECT_NE(page.find(filled), std::string::npos) << page;
    EXPECT_NE(page.find("The address \xC3\xA5sa@lumora.se is not a member here yet"), std::string::npos);
    EXPECT_EQ(signup(nullptr).find(filled), std::string::npos) << "shown once";
    // A member's address is never remembered.
    join("bo@lumora.se", "Bo", "hemligt");
    EXPECT_EQ(submit("bo@lumora.se", "fel", 900).resultCode, 3);
    EXPECT_EQ(signup(nullptr).find("bo@lumora.se"), std::string::npos);
}

TEST(UnknownUsers, AtMostCapacityClientsEachForAtMostTheTimeKept) {
    UnknownUsers users;
    for (size_t i = 0; i <= UnknownUsers::CAPACITY; ++i)
        users.remember("client" + std::to_string(i), "user" + std::to_string(i), static_cast<double>(i) / 8);
    EXPECT_EQ(users.take("client0", 200), "") << "the oldest made room";
    EXPECT_EQ(users.take("client1", 0.125 + UnknownUsers::KEPT_SECONDS), "user1");
    EXPECT_EQ(users.take("client1", 200), "") << "taken once";
    EXPECT_EQ(users.take("client2", 1 + UnknownUsers::KEPT_SECONDS), "") << "kept too long";
}

TEST_F(LiveChannel, EveryPageTheGameOpensIsThereInBothLanguages) {
    std::string error;
    ASSERT_TRUE(store->addRelease({6, 1, 2, 0}, error));
    for (const char* path : {"/", "/registrera/", "/registrera", "/logga-in/", "/dll/",
                             "/getpass.asp?mail=a%40b.se", "/version.asp?gameid=6", "/style.css"}) {
        const auto r = client->Get(path);
        ASSERT_TRUE(r) << path;
        EXPECT_EQ(r->status, 200) << path;
        if (std::string(path) == "/style.css") continue;
        EXPECT_NE(r->body.find("lang=\"en\""), std::string::npos) << path;
        EXPECT_NE(r->body.find("/style.css"), std::string::npos) << path;
        EXPECT_EQ(r->get_header_value("Content-Type"), "text/html; charset=utf-8") << path;
    }
    EXPECT_NE(client->Get("/version.asp?gameid=6")->body.find("<strong id=\"newest\">6</strong>"),
              std::string::npos);
    EXPECT_NE(client->Get("/getpass.asp?mail=a%40b.se")->body.find("kanalen@example.se"), std::string::npos);
    const auto hostile = client->Get("/getpass.asp?mail=%3Cscript%3Ex%3C/script%3E");
    EXPECT_EQ(hostile->body.find("<script>"), std::string::npos);
    EXPECT_NE(hostile->body.find("&lt;script&gt;"), std::string::npos);
    EXPECT_EQ(client->Get("/useradm/challenge/")->get_header_value("Location"),
              "/logga-in/?next=/useradm/challenge/");
    EXPECT_EQ(client->Get("/nothing-here")->status, 404);
}

} // namespace
} // namespace tundrix::channel
