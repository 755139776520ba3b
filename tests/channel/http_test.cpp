// The real server on a free loopback port with a fresh database: the game's own client posting scores,
// and the pages with their sessions, form tokens and escaping.
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
    ASSERT_TRUE(store->addRelease({4, 1, 2, 0}, error));
    const SubmissionRecord old = submit("\xC3\xA5sa@lumora.se", "hemligt", 1300);
    EXPECT_EQ(old.resultCode, 0);
    EXPECT_EQ(old.versionNotice, 4);

    // The leaderboard shows the nickname in UTF-8, never the address.
    const auto home = client->Get("/");
    ASSERT_TRUE(home);
    EXPECT_NE(home->body.find("<td>\xC3\x85sa</td><td class=\"num\">1300</td>"), std::string::npos);
    EXPECT_EQ(home->body.find("lumora.se</"), std::string::npos);
    EXPECT_EQ(home->body.find("@"), std::string::npos);

    // One line per request: time, address, method, path, status, duration, and what became of a score.
    server->stop();
    thread.join();
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
    const auto form = client->Get("/registrera/?ref=anna%40example.se");
    ASSERT_TRUE(form);
    const std::string visitorCookie = cookieOf(form);
    EXPECT_NE(form->get_header_value("Set-Cookie").find("; HttpOnly; SameSite=Lax"), std::string::npos);
    const std::string csrf = csrfOf(form->body);
    ASSERT_EQ(csrf.size(), 64u);
    EXPECT_NE(form->body.find("value=\"anna@example.se\""), std::string::npos); // the recruiter, filled in

    httplib::Params fields{{"email", "bo@example.se"},
                           {"nickname", "<b>Bo</b>"},
                           {"password", "hemligt"},
                           {"password2", "hemligt"},
                           {"recruiter", "anna@example.se"}};
    // Without the form token, or with another one, nothing happens.
    EXPECT_EQ(client->Post("/registrera/", {{"Cookie", visitorCookie}}, fields)->status, 403);
    fields.emplace("csrf", std::string(64, 'a'));
    EXPECT_EQ(client->Post("/registrera/", {{"Cookie", visitorCookie}}, fields)->status, 403);
    fields.erase("csrf");
    fields.emplace("csrf", csrf);
    EXPECT_EQ(client->Post("/registrera/", fields)->status, 403); // no session cookie
    const auto joined = client->Post("/registrera/", {{"Cookie", visitorCookie}}, fields);
    ASSERT_TRUE(joined);
    EXPECT_EQ(joined->status, 303);
    EXPECT_EQ(joined->get_header_value("Location"), "/useradm/challenge/");
    const std::string memberCookie = cookieOf(joined);
    EXPECT_NE(memberCookie, visitorCookie); // a new session on logging in: the old token is worth nothing
    EXPECT_EQ(client->Get("/useradm/challenge/", {{"Cookie", visitorCookie}})->status, 303);

    const auto challenge = client->Get("/useradm/challenge/", {{"Cookie", memberCookie}});
    ASSERT_EQ(challenge->status, 200);
    EXPECT_NE(challenge->body.find("/registrera/?ref=bo%40example.se"), std::string::npos);
    EXPECT_NE(challenge->body.find("&lt;b&gt;Bo&lt;/b&gt;"), std::string::npos); // the nickname, escaped
    EXPECT_EQ(challenge->body.find("<b>Bo"), std::string::npos);

    // Anna sees her recruit by nickname.
    const auto annaLogin = client->Get("/logga-in/");
    const httplib::Params wrong{
        {"email", "anna@example.se"}, {"password", "fel-fel"}, {"csrf", csrfOf(annaLogin->body)}};
    EXPECT_EQ(client->Post("/logga-in/", {{"Cookie", cookieOf(annaLogin)}}, wrong)->status, 401);
    const httplib::Params right{{"email", "anna@example.se"},
                                {"password", "hemligt"},
                                {"next", "//evil.example/"},
                                {"csrf", csrfOf(annaLogin->body)}};
    const auto in = client->Post("/logga-in/", {{"Cookie", cookieOf(annaLogin)}}, right);
    ASSERT_EQ(in->status, 303);
    EXPECT_EQ(in->get_header_value("Location"), "/"); // never off to another site
    const auto annas = client->Get("/useradm/challenge/", {{"Cookie", cookieOf(in)}});
    EXPECT_NE(annas->body.find("<td>&lt;b&gt;Bo&lt;/b&gt;</td>"), std::string::npos);

    // Logging out takes the form token too, and ends the session for good.
    EXPECT_EQ(client->Post("/logga-ut/", {{"Cookie", memberCookie}}, httplib::Params{})->status, 403);
    const auto out = client->Post("/logga-ut/", {{"Cookie", memberCookie}},
                                  httplib::Params{{"csrf", csrfOf(challenge->body)}});
    EXPECT_EQ(out->status, 303);
    EXPECT_NE(out->get_header_value("Set-Cookie").find("Max-Age=0"), std::string::npos);
    EXPECT_EQ(client->Get("/useradm/challenge/", {{"Cookie", memberCookie}})->status, 303);
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
