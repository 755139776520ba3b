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

using test::has;
using test::LiveChannel;

TEST_F(LiveChannel, TheGamesOwnPostIsAnsweredInItsTermsAndLoggedOnce) {
    join("\xC3\xA5sa@lumora.se", "\xC3\x85sa", "hemligt");

    EXPECT_EQ(submit("\xC3\xA5sa@lumora.se", "hemligt", 1200).resultCode, 0);
    EXPECT_EQ(submit("okand@lumora.se", "hemligt", 900).resultCode, 2);

    // The leaderboard shows the nickname in UTF-8, never the address.
    const std::string home = client->Get("/")->body;
    EXPECT_TRUE(
        has(home, "<td class=\"nick\">\xC3\x85sa</td><td class=\"num\">1200<span class=\"unverified\""));
    EXPECT_FALSE(has(home, "lumora.se</") || has(home, "@"));

    // One line per request: time, address, method, path, status, duration, and what became of a score.
    server->stop();
    const std::string lines = log.str();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 3) << lines;
    EXPECT_TRUE(
        std::regex_search(lines, std::regex("Z 127\\.0\\.0\\.1 POST /r0003\\.asp 200 [0-9.]+ms \"member 1 "
                                            "score 1200 personal best\"\n")))
        << lines;
    EXPECT_FALSE(has(lines, "hemligt"));
}

TEST_F(LiveChannel, SignUpLogInAndOutWithFormTokensAndFreshSessions) {
    join("anna@example.se", "Anna", "hemligt");
    const std::string annasCode = store->memberByEmail("anna@example.se").row->recruitCode;
    const auto form = client->Get("/registrera/?ref=" + annasCode);
    ASSERT_TRUE(form);
    const std::string visitorCookie = cookieOf(form);
    EXPECT_TRUE(has(form->get_header_value("Set-Cookie"), "; HttpOnly; SameSite=Lax"));
    ASSERT_EQ(csrfOf(form->body).size(), 64u);
    // The recruiter, filled in.
    EXPECT_TRUE(has(form->body, "value=\"" + annasCode + "\"") && has(form->body, "<strong>Anna</strong>"));

    // Signing up logs in with a new session: the visitor's token is worth nothing.
    const auto joined = send("/registrera/", {visitorCookie, csrfOf(form->body)},
                             {{"email", "bo@example.se"},
                              {"nickname", "<b>Bo</b>"},
                              {"password", "hemligt"},
                              {"password2", "hemligt"},
                              {"recruiter", annasCode}});
    ASSERT_TRUE(joined);
    EXPECT_EQ(joined->status, 303);
    EXPECT_EQ(joined->get_header_value("Location"), WELCOME_PATH); // what to do next
    const std::string memberCookie = cookieOf(joined);
    EXPECT_NE(memberCookie, visitorCookie);
    EXPECT_EQ(page("/useradm/challenge/", visitorCookie)->status, 303);

    // The recruiting link carries Bo's code, never his address.
    const auto challenge = page("/useradm/challenge/", "theme=dark; " + memberCookie); // with another's
    ASSERT_EQ(challenge->status, 200);
    const std::string bosCode = store->memberByEmail("bo@example.se").row->recruitCode;
    EXPECT_TRUE(has(challenge->body, "/registrera/?ref=" + bosCode + "\""));
    EXPECT_FALSE(has(challenge->body, "bo%40") || has(challenge->body, "bo@"));
    // The nickname, escaped.
    EXPECT_TRUE(has(challenge->body, "&lt;b&gt;Bo&lt;/b&gt;") && !has(challenge->body, "<b>Bo"));

    // A member's form sent with a token that no longer holds comes back with what was typed and the
    // session's token, to send again.
    const auto stale =
        send(NICKNAME_FORM_PATH, {memberCookie, std::string(64, 'a')}, {{"nickname", "Bosse"}});
    EXPECT_EQ(stale->status, 403);
    EXPECT_TRUE(has(stale->body, "value=\"Bosse\""));
    EXPECT_EQ(csrfOf(stale->body), csrfOf(challenge->body));
    EXPECT_EQ(store->memberByEmail("bo@example.se").row->nickname, "<b>Bo</b>");

    // Anna sees her recruit by nickname; wherever "next" points, the log-in goes nowhere off this site.
    std::string annasCookie;
    for (const auto& [next, location] :
         std::vector<std::pair<std::string, std::string>>{{"//evil.example/", "/"},
                                                          {"/\t/evil.example", "/"},
                                                          {"/\\evil.example", "/"},
                                                          {"https://evil.example/", "/"},
                                                          {"/\n/evil", "/"},
                                                          {"/useradm/challenge/", "/useradm/challenge/"}}) {
        const auto in = logIn("anna@example.se", "hemligt", next);
        ASSERT_EQ(in->status, 303) << next;
        EXPECT_EQ(in->get_header_value("Location"), location) << next;
        annasCookie = cookieOf(in);
    }
    EXPECT_TRUE(
        has(page("/useradm/challenge/", annasCookie)->body, "<td class=\"nick\">&lt;b&gt;Bo&lt;/b&gt;</td>"));

    // Logging out ends the session for good.
    const auto out = send("/logga-ut/", {memberCookie, csrfOf(challenge->body)}, {});
    EXPECT_TRUE(out->status == 303 && has(out->get_header_value("Set-Cookie"), "Max-Age=0"));
    EXPECT_EQ(page("/useradm/challenge/", memberCookie)->status, 303);

    // A new password ends every session the member had.
    std::string error;
    ASSERT_TRUE(setPassword(*store, store->memberByEmail("anna@example.se").row->id, "annat-pw", error))
        << error;
    EXPECT_EQ(page("/useradm/challenge/", annasCookie)->status, 303);

    // A ban ends Bo's session and refuses his log-in, told only to whoever has his password.
    const int64_t bo = store->memberByEmail("bo@example.se").row->id;
    const std::string bosCookie = cookieOf(logIn("bo@example.se", "hemligt"));
    ASSERT_EQ(store->setBanned(bo, true, "fusk", 0), Moderated::Done);
    EXPECT_EQ(page(MEMBER_PATH, bosCookie)->status, 303);
    const auto banned = logIn("bo@example.se", "hemligt");
    EXPECT_TRUE(banned->status == 403 && has(banned->body, "This account has been closed") &&
                !has(banned->get_header_value("Set-Cookie"), CookiePolicy{}.sessionName() + "="));
    const auto guessed = logIn("bo@example.se", "fel-fel");
    EXPECT_TRUE(guessed->status == 401 && !has(guessed->body, "closed"));
    ASSERT_EQ(store->setBanned(bo, false, "", 0), Moderated::Done);
    EXPECT_EQ(logIn("bo@example.se", "hemligt")->status, 303);
}

class SecureChannel : public LiveChannel {
  protected:
    void configure() override { site.publicUrl = "https://kanal.example.se"; }
};

TEST_F(SecureChannel, CookiesAreHostOnlyAndSecureAndBrowsersAreToldToStayOnHttps) {
    join("anna@example.se", "Anna", "hemligt");
    const auto form = client->Get("/logga-in/");
    EXPECT_EQ(form->get_header_value("Strict-Transport-Security"), "max-age=31536000");
    EXPECT_EQ(form->get_header_value("Set-Cookie").rfind("__Host-tundrix_form=", 0), 0u);
    EXPECT_TRUE(has(form->get_header_value("Set-Cookie"), "; Path=/;") &&
                has(form->get_header_value("Set-Cookie"), "; Secure"));
    const auto in = send("/logga-in/", {cookieOf(form), csrfOf(form->body)},
                         {{"email", "anna@example.se"}, {"password", "hemligt"}});
    ASSERT_EQ(in->status, 303);
    EXPECT_EQ(cookieOf(in).rfind("__Host-tundrix_session=", 0), 0u);
    EXPECT_TRUE(has(in->get_header_value("Set-Cookie"), "; Secure"));
    const auto challenge = page("/useradm/challenge/", cookieOf(in));
    EXPECT_TRUE(challenge->status == 200 &&
                has(challenge->body, "https://kanal.example.se/registrera/?ref="));
    // The plain cookie name means nothing here.
    const std::string plain = "tundrix_session=" + cookieOf(in).substr(cookieOf(in).find('=') + 1);
    EXPECT_EQ(page("/useradm/challenge/", plain)->status, 303);
}

using test::ProxiedChannel;

TEST_F(ProxiedChannel, AfterAnUnknownUserTheSignUpPageTheGameOpensOffersThatAddressOnceToThatClientOnly) {
    const auto signup = [&](const char* from) {
        return from ? client->Get("/registrera/", {{"X-Real-IP", from}})->body
                    : client->Get("/registrera/")->body;
    };
    const std::string filled = "value=\"\xC3\xA5sa@lumora.se\"";
    // The game types its own code page; the page speaks UTF-8.
    EXPECT_EQ(submit("\xC3\xA5sa@lumora.se", "hemligt", 900).resultCode, 2);
    EXPECT_FALSE(has(signup("203.0.113.9"), filled)) << "another machine";
    const std::string form = signup(nullptr);
    EXPECT_TRUE(has(form, filled) && has(form, "The address \xC3\xA5sa@lumora.se is not a member here yet"));
    EXPECT_FALSE(has(signup(nullptr), filled)) << "shown once";
    // A member's address is never remembered.
    join("bo@lumora.se", "Bo", "hemligt");
    EXPECT_EQ(submit("bo@lumora.se", "fel", 900).resultCode, 3);
    EXPECT_FALSE(has(signup(nullptr), "bo@lumora.se"));
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

TEST_F(LiveChannel, EveryPageTheGameOpensIsThereInBothLanguagesAndVisitorsLeaveNoSessions) {
    std::string error;
    ASSERT_TRUE(store->addRelease({6, 1, 2, 0}, error));
    for (const std::string path : {"/", "/registrera/", "/registrera", "/logga-in/", "/dll/",
                                   "/getpass.asp?mail=a%40b.se", "/version.asp?gameid=6", "/style.css"}) {
        const auto r = client->Get(path);
        ASSERT_TRUE(r) << path;
        EXPECT_EQ(r->status, 200) << path;
        if (path == "/style.css") continue;
        EXPECT_TRUE(has(r->body, "lang=\"en\"") && has(r->body, "/style.css")) << path;
        EXPECT_EQ(r->get_header_value("Content-Type"), "text/html; charset=utf-8") << path;
    }
    EXPECT_TRUE(has(client->Get("/version.asp?gameid=6")->body, "<strong id=\"newest\">6</strong>"));
    EXPECT_TRUE(has(client->Get("/getpass.asp?mail=a%40b.se")->body, "kanalen@example.se"));
    const std::string hostile = client->Get("/getpass.asp?mail=%3cscript%3ex%3C/script%3E")->body;
    EXPECT_TRUE(!has(hostile, "<script>") && has(hostile, "&lt;script&gt;"));
    EXPECT_EQ(client->Get("/useradm/challenge/")->get_header_value("Location"),
              "/logga-in/?next=/useradm/challenge/");
    EXPECT_EQ(client->Get("/nothing-here")->status, 404);

    // Visitors leave no rows; only a member's log-in makes a session, here on plain HTTP: no Secure, no
    // prefix, no HSTS (the secure channel's test has them).
    EXPECT_EQ(store->sessionCount(), 0);
    join("anna@example.se", "Anna", "hemligt");
    const auto in = logIn("anna@example.se", "hemligt");
    EXPECT_EQ((std::tuple{in->status, store->sessionCount(), cookieOf(in).rfind("tundrix_session=", 0)}),
              (std::tuple{303, 1, 0u}));
    EXPECT_FALSE(has(in->get_header_value("Set-Cookie"), "Secure") ||
                 in->has_header("Strict-Transport-Security"));
}

} // namespace
} // namespace tundrix::channel
