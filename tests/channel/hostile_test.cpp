// Hostile input against the live server: injected SQL, stored HTML, forged forms, planted sessions,
// password guessing, replayed and forged score posts, over-long user names.
#include "channel/rate_limit.h"
#include "channel/sessions.h"
#include "protocol/form_text.h"
#include "protocol/score_form.h"

#include "live_channel.h"

namespace tundrix::channel {
namespace {

using test::gameBody;
using test::has;
using Hostile = test::LiveChannel;

TEST_F(Hostile, InjectedSqlInEveryFieldIsKeptAsPlainText) {
    const std::string drop = "x');DROP TABLE scores;--"; // as long as a nickname may be
    const std::string always = "' OR '1'='1";
    join("anna@example.se", "Anna", "hemligt");

    // Sign-up: every field carries SQL; the ones the rules allow are kept as typed. A quoted recruiter is
    // no such recruiter: the quote is not a way in.
    for (const auto& [recruiter, status] :
         {std::pair{"anna@example.se' OR 1=1 --", 400}, {"anna@example.se", 303}})
        EXPECT_EQ(send("/registrera/", visit("/registrera/"),
                       {{"email", "o'brien--@example.se"},
                        {"nickname", drop},
                        {"password", always},
                        {"password2", always},
                        {"recruiter", recruiter}})
                      ->status,
                  status)
            << recruiter;
    const auto kept = store->memberByEmail("o'brien--@example.se").row;
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->nickname, drop);

    // Log-in: neither field opens an account.
    EXPECT_EQ((std::tuple{logIn(always, always)->status, logIn("anna@example.se' --", "x")->status}),
              (std::tuple{401, 401}));

    // The score form: a quoted user name is unknown, a quoted password is wrong, the processor text is kept.
    EXPECT_EQ(answerTo(gameBody(always, "hemligt", 5)), 2);
    EXPECT_EQ(answerTo(gameBody("anna@example.se", always, 5)), 3);
    EXPECT_EQ(
        answerTo(gameBody("o'brien--@example.se", always, 700, test::QUICK_GAME_MS, {1234, 5'000'000}, drop)),
        0);

    // The query parameters of the pages.
    for (const std::string path : {"/getpass.asp?mail=%27%20OR%201%3D1--", "/version.asp?gameid=1%27--",
                                   "/registrera/?ref=%27);DROP%20TABLE%20members;--"})
        EXPECT_EQ(client->Get(path)->status, 200) << path;

    EXPECT_EQ((std::tuple{store->members().size(), store->scoresOf(kept->id), store->intact()}),
              (std::tuple{2u, std::vector<int64_t>{700}, true}));
    const auto board = *store->leaderboard(Board::AllTime, 0, 10);
    ASSERT_EQ(board.size(), 1u);
    EXPECT_EQ(board[0].nickname, drop);
}

TEST_F(Hostile, StoredHtmlInNamesAndRecruiterFieldsIsShownEscaped) {
    const std::string script = "<script>x()</script>";
    const std::string image = "\"><img src=x onerror=alert(1)>";
    ScoreEntry entry;
    entry.memberId = join("eve@example.se", script, "hemligt");
    entry.score = 10;
    ASSERT_TRUE(store->recordScore(entry, "one", 0));
    const std::string home = client->Get("/")->body;
    EXPECT_TRUE(!has(home, "<script>") && has(home, "&lt;script&gt;x()&lt;/script&gt;"));

    // The recruiter field comes back into a refused sign-up form; a link's unknown code is not echoed at all.
    const std::string linked = client->Get("/registrera/?ref=" + protocol::queryEscape(image))->body;
    EXPECT_FALSE(has(linked, "onerror"));
    const std::string refused = send("/registrera/", visit("/registrera/"),
                                     {{"email", "x@y.se"},
                                      {"nickname", script},
                                      {"password", "a"},
                                      {"password2", "b"},
                                      {"recruiter", image}})
                                    ->body;
    EXPECT_TRUE(!has(refused, "<img") && !has(refused, "<script>") &&
                has(refused, "&quot;&gt;&lt;img src=x onerror=alert(1)&gt;"));
    // (A member's and a recruit's nicknames on the challenge page: the live sign-up test.)
}

TEST_F(Hostile, EveryFormRefusesAForeignOrMissingFormTokenAndAPlantedSessionNeverLogsIn) {
    join("anna@example.se", "Anna", "hemligt");
    const auto in = logIn("anna@example.se", "hemligt");
    ASSERT_EQ(in->status, 303);
    const std::pair member{cookieOf(in), csrfOf(page("/", cookieOf(in))->body)};
    const auto other = visit("/registrera/");

    const httplib::Params signup{
        {"email", "bo@example.se"}, {"nickname", "Bo"}, {"password", "hemligt"}, {"password2", "hemligt"}};
    const httplib::Params credentials{{"email", "anna@example.se"}, {"password", "hemligt"}};
    for (const auto& [path, fields] : std::vector<std::pair<std::string, httplib::Params>>{
             {"/registrera/", signup}, {"/logga-in/", credentials}, {"/logga-ut/", {}}}) {
        // No token, an empty one, another session's, and a right token without its session's cookie.
        EXPECT_EQ(client->Post(path, {{"Cookie", member.first}}, fields)->status, 403) << path;
        EXPECT_EQ(send(path, {member.first, ""}, fields)->status, 403) << path;
        EXPECT_EQ(send(path, {member.first, other.second}, fields)->status, 403) << path;
        EXPECT_EQ(send(path, {"", member.second}, fields)->status, 403) << path;
    }
    EXPECT_FALSE(store->memberByEmail("bo@example.se").row);
    EXPECT_EQ(page("/useradm/challenge/", member.first)->status, 200); // still logged in

    // A made-up token is not taken up: the server hands out its own.
    const std::string madeUp = CookiePolicy{}.sessionName() + "=" + std::string(64, 'a');
    const auto form = page("/logga-in/", madeUp);
    EXPECT_NE(cookieOf(form), madeUp);
    EXPECT_EQ(send("/logga-in/", {madeUp, csrfOf(form->body)}, credentials)->status, 403);

    // A real visitor's session, planted in the victim's browser, stays a visitor's after she logs in.
    const auto planted = visit();
    const auto victim = send("/logga-in/", planted, credentials);
    ASSERT_EQ(victim->status, 303);
    EXPECT_NE(cookieOf(victim), planted.first);
    EXPECT_EQ(page("/useradm/challenge/", planted.first)->status, 303);
    EXPECT_EQ(page("/useradm/challenge/", cookieOf(victim))->status, 200);
}

TEST_F(Hostile, PasswordGuessingOnTheWebIsStoppedPerAccount) {
    join("anna@example.se", "Anna", "hemligt");
    // The web log-in: five wrong guesses at the user name as it is looked up, however it is spelt; a client
    // may claim any address it likes, but from a stranger the claim counts for nothing.
    std::vector<int> statuses;
    for (const char* spelling : {"anna@example.se", " anna@example.se", "ANNA@example.se  ",
                                 "Anna@Example.SE\t", "anna@example.se    ", "  anna@EXAMPLE.se"}) {
        const std::string n = std::to_string(statuses.size());
        statuses.push_back(send("/logga-in/", visit(), {{"email", spelling}, {"password", "guess-" + n}},
                                {{"X-Real-IP", "192.0.2." + n}})
                               ->status);
    }
    EXPECT_EQ(statuses, (std::vector<int>{401, 401, 401, 401, 401, 429}));
    // Then even the right password waits, on a readable page.
    const auto blocked = logIn("anna@example.se", "hemligt");
    EXPECT_EQ(
        (std::tuple{blocked->status, std::stoi(blocked->get_header_value("Retry-After")) >= 1,
                    blocked->get_header_value("Content-Type"), has(blocked->body, "Too many attempts")}),
        (std::tuple{429, true, "text/html; charset=utf-8", true}));
}

class HostileLimits : public Hostile {
  protected:
    void configure() override {
        site.limits.scorePerAddress = {3, 0.001};
        site.limits.signupPerAddress = {2, 0.001};
    }
};

// Two at once, one more every two seconds, two keys remembered: a third key pushes out the one unused
// longest, which comes back with a full allowance.
TEST(RateLimiter, RefillsAtItsPaceAndForgetsTheKeyUnusedLongest) {
    RateLimiter limits({2, 0.5, 2});
    EXPECT_EQ((std::tuple{limits.take("a", 0), limits.take("a", 0), limits.take("a", 0),
                          limits.waitSeconds("a", 0), limits.take("a", 2), limits.take("b", 2),
                          limits.take("c", 2), limits.allows("b", 2), limits.take("a", 2), limits.keys()}),
              (std::tuple{true, true, false, 2, true, true, true, true, true, 2u}));
}

TEST_F(HostileLimits, OneAddressIsSlowedOnTheScoreFormAndTheSignUpForm) {
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(postScore(gameBody("nobody@example.se", "hemligt", i))->status, 200);
    const auto score = postScore(gameBody("nobody@example.se", "hemligt", 4));
    EXPECT_EQ(score->status, 429);
    EXPECT_FALSE(
        protocol::parseAnswer(score->body).hasResult); // no number: nothing the game reads as a verdict

    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(send("/registrera/", visit("/registrera/"), {{"email", "bad"}})->status, 400);
    const auto signup = send("/registrera/", visit("/registrera/"), {{"email", "bad"}});
    EXPECT_EQ(signup->status, 429);
    EXPECT_TRUE(has(signup->body, "lang=\"en\"") && has(signup->body, " 17 minutes")) << "1000 s, rounded up";
}

TEST_F(Hostile, TheSamePostTwiceInARowCountsOnce) {
    join("anna@example.se", "Anna", "hemligt");
    const std::string first = gameBody("anna@example.se", "hemligt", 500);
    // Again: registered, not counted again; after another game, the same score again is a new game's.
    EXPECT_EQ((std::tuple{answerTo(first), answerTo(first),
                          answerTo(gameBody("anna@example.se", "hemligt", 400)), answerTo(first)}),
              (std::tuple{0, 1, 1, 1}));
    EXPECT_EQ(store->scoresOf(store->memberByEmail("anna@example.se").row->id),
              (std::vector<int64_t>{500, 400, 500}));
}

TEST_F(Hostile, ScoresThatBreakTheFieldChecksAreRefusedOrKeptAside) {
    join("anna@example.se", "Anna", "hemligt");
    const std::string good = gameBody("anna@example.se", "hemligt", 900);
    auto with = [&good](const std::string& name, const std::string& value) {
        std::string body = good;
        const size_t at = body.find("&" + name + "=") + name.size() + 2;
        return body.replace(at, body.find('&', at) - at, value);
    };
    // Not a form at all (each way the form can be broken is the protocol's test), or a body beyond what the
    // game ever sends: refused (the game offers another try).
    for (const std::string& body : {with("f4", protocol::scrambleField("12x")), std::string(70'000, 'A')}) {
        const auto r = postScore(body);
        ASSERT_TRUE(r);
        EXPECT_GE(r->status, 400) << body.substr(0, 80);
        EXPECT_FALSE(protocol::parseAnswer(r->body).hasResult);
    }
    // A form that reads but does not add up, or the game's own sign that its counters were altered (a
    // negated score): kept aside, never ranked, and the sender is not told.
    EXPECT_EQ((std::tuple{answerTo(with("fb", protocol::scrambleField("5"))),
                          answerTo(gameBody("anna@example.se", "hemligt", -99999)), store->scoreCount(true),
                          store->leaderboard(Board::AllTime, 0, 10)->empty()}),
              (std::tuple{1, 1, 2, true}));
}

TEST_F(Hostile, AUserNameOfExactlySixtyFourBytesWorksAndALongerOneIsRefused) {
    const std::string domain = "@example.se";
    const std::string exact = std::string(64 - domain.size(), 'a') + domain;
    // 64 characters with a Swedish letter: two bytes in UTF-8, one in the game's code page.
    const std::string swedish = "\xC3\xA5" + std::string(63 - domain.size(), 'b') + domain;
    const std::string longer = "c" + exact;
    for (const std::string& email : {exact, swedish, longer})
        EXPECT_EQ(webSignUp(email, email.substr(0, 10))->status, email == longer ? 400 : 303) << email;
    EXPECT_EQ((std::tuple{bool(store->memberByEmail(longer).row), answerTo(gameBody(exact, "hemligt", 10)),
                          answerTo(gameBody(swedish, "hemligt", 10))}),
              (std::tuple{false, 0, 0}));
    // The game cuts what is typed at 64; a longer name can only come from elsewhere, and is refused.
    std::string forged = gameBody(exact, "hemligt", 10);
    forged.replace(3, forged.find('&') - 3, protocol::scrambleField(std::string(65, 'a')));
    EXPECT_EQ(postScore(forged)->status, 400);
}

TEST_F(Hostile, ScoresTheRulesDoNotAllowAreKeptAsideWithTheirReasonAndNeverRanked) {
    join("anna@example.se", "Anna", "hemligt");
    const auto forged = [](int32_t score, int32_t gameMs) {
        return gameBody("anna@example.se", "hemligt", score, gameMs);
    };
    // The red team's post, six times within milliseconds; an hour-long game posted right after another
    // post; a negative game time; a build the operator never released, once releases are known.
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(answerTo(forged(INT32_MAX - i, 1)), 1);
    EXPECT_EQ((std::tuple{answerTo(forged(500, 3'600'000)), answerTo(forged(10, -5))}), (std::tuple{1, 1}));
    std::string error;
    ASSERT_TRUE(store->addRelease({2, 77, 88, 0}, error));
    EXPECT_EQ(answerTo(forged(600, test::QUICK_GAME_MS)), 1);
    EXPECT_EQ(answerTo(gameBody("anna@example.se", "hemligt", 650, test::QUICK_GAME_MS, {77, 89})), 1);
    EXPECT_TRUE(store->leaderboard(Board::AllTime, 0, 10)->empty());

    const auto flagged = *store->flaggedScores(10); // the newest first
    ASSERT_EQ(flagged.size(), 10u);
    EXPECT_TRUE(has(flagged[9].reason, "score 2147483647 beyond the 0 the rules allow in 0.0 s of play") &&
                has(flagged[3].reason, "a game of 3600.0 s but the member's previous post came 0 s ago") &&
                has(flagged[2].reason, "a negative game time"));
    EXPECT_EQ(std::tuple(flagged[1].reason, flagged[0].reason),
              std::tuple("a build the operator has not released", "a build the operator has not released"))
        << "the released build's checksum with another length is another build";

    // The released build's plausible score is ranked.
    EXPECT_EQ(answerTo(gameBody("anna@example.se", "hemligt", 700, test::QUICK_GAME_MS, {77, 88})), 0);
    EXPECT_EQ(store->leaderboard(Board::AllTime, 0, 10)->at(0).score, 700);
}

using BehindProxy = test::ProxiedChannel;

TEST_F(BehindProxy, AGuesserElsewhereNeverLocksTheMemberOutAndEachClientHasItsOwnAllowance) {
    join("anna@example.se", "Anna", "hemligt");
    // Someone who knows Anna's address guesses from elsewhere until refused.
    int refused = 0;
    for (int i = 0; i < 12; ++i)
        refused += postScore(gameBody("anna@example.se", "guess-" + std::to_string(i), 5),
                             {{"X-Real-IP", "203.0.113.9"}})
                       ->status == 429;
    EXPECT_EQ(refused, 6);
    // There, even the right password waits: an HTTP error without a number, which the game's register dialog
    // answers with "try again".
    const auto locked = postScore(gameBody("anna@example.se", "hemligt", 5), {{"X-Real-IP", "203.0.113.9"}});
    EXPECT_EQ(locked->status, 429);
    EXPECT_FALSE(protocol::parseAnswer(locked->body).hasResult);
    // Anna's own game, from her address, is registered.
    EXPECT_EQ(submit("anna@example.se", "hemligt", 300).resultCode, 0);
    // Neither does a right password from the guesser's address count against anyone.
    const auto fine = postScore(gameBody("anna@example.se", "hemligt", 200), {{"X-Real-IP", "198.51.100.7"}});
    EXPECT_TRUE(fine->status == 200 && !fine->has_header("Retry-After")) << "and it need not wait";
    EXPECT_EQ(store->scoreCount(false), 2);

    // A class behind one school address: bad sign-ups first, then the newcomers still join.
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(send("/registrera/", visit("/registrera/"), {{"email", "bad"}})->status, 400);
    for (const std::string nick : {"Klass1", "Klass2"})
        EXPECT_EQ(webSignUp(nick + "@skola.se", nick)->status, 303) << nick;
}

} // namespace
} // namespace tundrix::channel
