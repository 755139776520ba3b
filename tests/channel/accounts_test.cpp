// Members and the operator's commands: sign-up rules, passwords, the schema, releases and the prize draw.
#include "channel/calendar.h"
#include "channel/commands.h"
#include "channel/migrations.h"
#include "channel/nickname.h"

#include "channel_rig.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <tuple>
#include <utility>

namespace tundrix::channel {
namespace {

using Accounts = test::ChannelRig;

TEST_F(Accounts, SignUpKeepsAddressesPrivateAndPasswordsSendableByTheGame) {
    const int64_t anna = join("anna@example.se", "Anna", "hemligt");
    const SignupResult bad = signUp(*store, {"not-an-address", "x", "kort", "annat", "nobody@example.se"}, 1);
    EXPECT_FALSE(bad.memberId);
    EXPECT_EQ(bad.errors.size(), 5u); // address, nickname, length, mismatch, unknown recruiter

    const auto refused = [&](SignupRequest r) { // the field named by the first refusal
        const SignupResult result = signUp(*store, r, 1);
        return result.memberId ? "added" : result.fields.front();
    };
    EXPECT_EQ(refused({"ANNA@example.se", "Other", "hemligt", "hemligt", ""}), "email");        // any case
    EXPECT_EQ(refused({"b@example.se", "anna", "hemligt", "hemligt", ""}), "nickname");         // any case
    EXPECT_EQ(refused({"c@example.se", "c@example.se", "hemligt", "hemligt", ""}), "nickname"); // an address
    EXPECT_EQ(refused({"d@example.se", "Dee", "sn\xE2\x98\x83wman!", "sn\xE2\x98\x83wman!", ""}),
              "password"); // no such byte
    EXPECT_EQ(refused({"e@example.se", "Eve", std::string(17, 'p'), std::string(17, 'p'), ""}), "password");
    EXPECT_EQ(refused({std::string(60, 'f') + "@x.se", "Fred", "hemligt", "hemligt", ""}), "email"); // > 64

    // A recruited member, a Swedish password that the game sends as single bytes, log-in both ways.
    const int64_t bo = join("  bo@example.se ", "Bo", "l\xC3\xB6sen\xC3\xA5rd", "anna@example.se");
    ASSERT_EQ(store->recruitsOf(anna)->size(), 1u);
    EXPECT_EQ(store->recruitsOf(anna)->at(0).id, bo);
    EXPECT_TRUE(logIn(*store, "bo@example.se", "l\xC3\xB6sen\xC3\xA5rd").row);
    EXPECT_TRUE(logIn(*store, " BO@example.se ", "l\xC3\xB6sen\xC3\xA5rd").row);
    EXPECT_FALSE(logIn(*store, "bo@example.se", "losenard").row);
    EXPECT_FALSE(logIn(*store, "nobody@example.se", "hemligt").row);
    EXPECT_EQ(deskAnswer(test::gameBody("bo@example.se", "l\xC3\xB6sen\xC3\xA5rd", 5)), "0\r\n");

    std::string error;
    EXPECT_FALSE(setPassword(*store, bo, "12345", error));
    EXPECT_TRUE(setPassword(*store, bo, "nytt-l\xC3\xB6sen", error)) << error;
    EXPECT_TRUE(logIn(*store, "bo@example.se", "nytt-l\xC3\xB6sen").row);
}

TEST_F(Accounts, NicknamesAreKeptInOneFormAndNobodyCanPassForAnother) {
    join("honest@example.se", "Honest", "hemligt");
    join("asa@example.se", "Asa", "hemligt");
    int n = 0;
    const auto nickname = [&](const std::string& typed) {
        std::string email = std::to_string(++n);
        email += "@example.se";
        const SignupResult r = signUp(*store, {email, typed, "hemligt", "hemligt", ""}, 1);
        if (r.memberId) return store->memberById(*r.memberId).row->nickname;
        std::string refused = "refused: ";
        refused += r.errors.front();
        return refused;
    };
    // clang-format off
    // kept: or the start of the refusal
    const struct { const char* typed; const char* kept; } cases[] = {
        {"\xC3\x85sa", "\xC3\x85sa"}, // a Swedish letter is not a look-alike
        {"\xEF\xBC\xA8\xEF\xBD\x8F\xEF\xBD\x8E\xEF\xBD\x85\xEF\xBD\x93\xEF\xBD\x94",
         "refused: Smeknamnet är upptaget"},                               // full-width
        {"\xD0\x9D\x6F\x6E\xD0\xB5st", "refused: Smeknamnet är upptaget"}, // Cyrillic letters
        {"H0nest", "refused: Smeknamnet är upptaget"},                     // a zero for the O
        {"HONEST", "refused: Smeknamnet är upptaget"},
        {"Hon\xE2\x80\x8B"
         "est",
         "refused: Smeknamnet har ett osynligt"}, // a zero-width space
        {"Honest\xE2\x80\xAE"
         "evil",
         "refused: Smeknamnet har ett osynligt"},                             // a right-to-left override
        {"Ho\xE2\x81\xA0nest", "refused: Smeknamnet har ett osynligt"},       // a word joiner
        {"\xE3\x85\xA4\xE3\x85\xA4", "refused: Smeknamnet har ett osynligt"}, // Hangul fillers
        {"Bad\xC3\x28", "refused: Smeknamnet är inte giltig text"},           // not UTF-8
        {"Za\xCC\x80\xCC\x81\xCC\x82\xCC\x83lgo", "refused: Smeknamnet har för många accenter"},
        {"\xC2\xB4"
         "Asa",
         "refused: Smeknamnet börjar med en accent"}, // an accent alone: a space and a mark
        {"\xEF\xAC\x81sk", "fisk"},                   // a ligature, in its normal form
        {"  Kalle  ", "Kalle"},
        {"W", "refused: Smeknamnet ska ha 2 till 24"},
        {"WWWWWWWWWWWWWWWWWWWWWWWW", "WWWWWWWWWWWWWWWWWWWWWWWW"},
        {"WWWWWWWWWWWWWWWWWWWWWWWWW", "refused: Smeknamnet ska ha 2 till 24"},
        {"x\xEF\xBC\xA0y", "refused: Smeknamnet får inte innehålla @"}, // a full-width @
    };
    // clang-format on
    for (const auto& c : cases) {
        const std::string got = nickname(c.typed);
        EXPECT_EQ(got.substr(0, std::string(c.kept).size()), c.kept) << c.typed;
    }
    // A nickname kept before these rules gets its look-alike key when the database is opened.
    EXPECT_EQ(nicknameKey("Honest"), nicknameKey("\xD0\x9D\x6F\x6E\xD0\xB5st"));
    EXPECT_NE(nicknameKey("\xC3\x85sa"), nicknameKey("Asa"));
    // Past 4 KiB a nickname is not even read as text: that bounds what one costs.
    std::string problem;
    for (auto [bytes, says] : {std::pair{4096, "Smeknamnet ska ha"}, {4097, "Smeknamnet är inte giltig"}})
        EXPECT_TRUE(!checkNickname(std::string(bytes, 'W'), problem) && problem.starts_with(says)) << bytes;
}

TEST_F(Accounts, ADatabaseOfTheLastReleaseKeepsItsMembersAndScoresWhenBroughtUpToDate) {
    const std::string old = (folder / "old.db").string();
    std::string error;
    {
        auto db = Database::open(old, true, error);
        ASSERT_TRUE(db) << error;
        ASSERT_TRUE(migrate(*db, error, 4)) << error; // the schema the last release wrote
        ASSERT_TRUE(
            db->exec("INSERT INTO members (id, email, nickname, password_hash, created_at, nickname_key) "
                     "VALUES (7, 'gammal@example.se', 'Gammal', 'x', 1800000000, 'gammal');"
                     "INSERT INTO scores (id, member_id, score, flagged, best_score_time, total_play_time, "
                     "speed_count, processor, build_crc, build_length, address, created_at, day, week, "
                     "verified) VALUES (3, 7, 4321, 0, 1, 1, 1, '', 0, 0, '', 1800000000, '2027-01-15', "
                     "'2027-W02', 1)",
                     &error))
            << error;
        Transaction once(*db); // commits once, and says so only once
        EXPECT_TRUE(once.commit() && !once.commit());
    }
    auto upgraded = Store::open(old, OpenMode::Existing, error);
    ASSERT_TRUE(upgraded) << error;
    const auto board = upgraded->leaderboard(Board::AllTime, 1'800'000'000, 10);
    ASSERT_TRUE(board && board->size() == 1);
    EXPECT_EQ(std::tuple(board->front().nickname, board->front().score, upgraded->memberById(7).row->banned),
              std::tuple("Gammal", 4321, false));
    EXPECT_EQ(upgraded->setScoreHidden(3, true, "", 1), Moderated::Done);
    EXPECT_TRUE(upgraded->leaderboard(Board::AllTime, 1'800'000'000, 10)->empty());
    EXPECT_TRUE(upgraded->intact());
}

// Runs the program's command line with the given standard input.
// clang-format off
struct CommandRun { int status; std::string out, err; };
// clang-format on

class Commands : public test::ChannelRig {
  protected:
    CommandRun run(std::vector<std::string> args, const std::string& input = "") {
        std::istringstream in(input);
        std::ostringstream out, err;
        CommandContext context{in, out, err, database(), false};
        args.insert(args.begin(), {"--db", database()});
        const int status = runCommand(args, context);
        return {status, out.str(), err.str()};
    }
};

TEST_F(Commands, ManageMembersAndReleasesAndDrawWinners) {
    EXPECT_EQ(run({"user", "add", "kalle@example.se"}, "hemligt\n").status, 0);
    EXPECT_EQ(run({"user", "add", "lisa@example.se", "--nickname", "Lisa, \"L\""}, "hemligt\n").status, 0);
    EXPECT_EQ(run({"user", "add", "kalle@example.se"}, "hemligt\n").status, 1); // taken
    EXPECT_EQ(run({"user", "add", "olle@example.se"}, "").status, 1);           // no password
    const CommandRun list = run({"user", "list"});
    EXPECT_NE(list.out.find("kalle@example.se\tkalle\t"), std::string::npos) << list.out;
    EXPECT_EQ(run({"user", "reset-password", "kalle@example.se"}, "annat-l\xC3\xB6sen\r\n").status, 0);
    EXPECT_TRUE(logIn(*store, "kalle@example.se", "annat-l\xC3\xB6sen").row);
    EXPECT_EQ(run({"user", "reset-password", "nobody@example.se"}, "hemligt\n").status, 1);

    EXPECT_EQ(run({"release", "add", "1", "5", "6"}).status, 2); // the game opens the page only above 1
    EXPECT_EQ(run({"release", "add", "2", "0xdeadbeef", "50"}).status, 0);
    EXPECT_EQ(run({"release", "add", "3", "12x", "5000"}).status, 2);
    const CommandRun releases = run({"release", "list"});
    EXPECT_TRUE(releases.status == 0 && test::has(releases.out, "2\t3735928559\t50\t")) << releases.out;

    EXPECT_EQ(
        run({"user", "add", "eve@example.se", "--nickname", "=HYPERLINK(\"x\";\"y\")"}, "hemligt\n").status,
        0);
    EXPECT_EQ(run({"user", "add", "+46701234567@example.se", "--nickname", "@Plus"}, "hemligt\n").status,
              1); // an @
    EXPECT_EQ(run({"user", "add", "-minus@example.se", "--nickname", "-Minus"}, "hemligt\n").status, 0);
    // A first score from the released build: registered.
    for (const auto& [user, score] : {std::pair{"kalle@example.se", 300},
                                      {"lisa@example.se", 500},
                                      {"eve@example.se", 200},
                                      {"-minus@example.se", 100}})
        ASSERT_EQ(deskAnswer(test::gameBody(
                      user, std::string(user) == "kalle@example.se" ? "annat-l\xC3\xB6sen" : "hemligt", score,
                      3000, {0xdeadbeef, 50})),
                  "0\r\n");
    // None of these scores came with its game: the draw counts none of them unless told to.
    EXPECT_EQ(run({"winners", "--day", dayOf(1'800'000'000)}).out,
              "rank,nickname,email,score,posted_at,verified\n");
    const CommandRun day = run({"winners", "--day", dayOf(1'800'000'000), "--unverified"});
    EXPECT_EQ(day.status, 0);
    EXPECT_EQ(day.out.substr(0, day.out.find("\n", day.out.find("\n") + 1) + 1),
              "rank,nickname,email,score,posted_at,verified\n1,\"Lisa, "
              "\"\"L\"\"\",lisa@example.se,500," +
                  localTime(1'800'000'000) + ",no\n");
    EXPECT_NE(day.out.find("2,kalle,kalle@example.se,300"), std::string::npos);
    // A spreadsheet opening the file shows formulas as text (OWASP's advice on CSV injection).
    EXPECT_NE(day.out.find("3,\"'=HYPERLINK(\"\"x\"\";\"\"y\"\")\",eve@example.se,200"), std::string::npos)
        << day.out;
    EXPECT_NE(day.out.find("4,\"'-Minus\",\"'-minus@example.se\",100"), std::string::npos) << day.out;
    EXPECT_NE(run({"winners", "--week", weekOf(1'800'000'000), "--unverified"})
                  .out.find("2,kalle,kalle@example.se,300"),
              std::string::npos);
    // Every command but a new channel's first start and first member wants the database there already.
    const std::string elsewhere = (folder / "elsewhere" / "channel.db").string();
    const CommandRun missing = run({"--db", elsewhere, "user", "list"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("--create"), std::string::npos) << missing.err;
    EXPECT_EQ(run({"--db", elsewhere, "serve", "--listen", "127.0.0.1:0"}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(elsewhere));
    EXPECT_EQ(run({"winners", "--day", "2026-02-30"}).status, 2);
    EXPECT_EQ(run({"winners", "--week", "2026-W54"}).status, 2);
    EXPECT_EQ(run({"winners"}).status, 2);
    EXPECT_EQ(run({"frobnicate"}).status, 2);
    EXPECT_EQ(run({"--help"}).status, 0);
}

TEST(DefaultDatabase, LivesUnderTheDataHomeOrElseTheHomeAndNowhereRelative) {
    const std::string underHome = "/h/.local/share/tundrix-channel/channel.db";
    // clang-format off
    const std::tuple<const char*, const char*, std::string> cases[] = {{"/d", "/h", "/d/tundrix-channel/channel.db"},
        {nullptr, "/h", underHome}, {"", "/h", underHome}, {"d", "/h", underHome}, {nullptr, "h", ""}, {nullptr, nullptr, ""}};
    // clang-format on
    for (const auto& [dataHome, home, path] : cases)
        EXPECT_EQ(defaultDatabasePath(dataHome, home), path) << (dataHome ? dataHome : "unset");
}

TEST_F(Commands, AWeeklyRoundCountsOnlyTheCompetitionsOwnDaysOfItsWeek) {
    // Week 2 of 2027 runs from Monday the 11th to Sunday the 17th; the competition starts on Wednesday.
    EXPECT_EQ(daysOfWeek("2027-W02"), (std::pair<std::string, std::string>{"2027-01-11", "2027-01-17"}));
    EXPECT_EQ(daysOfWeek("2026-W53"), (std::pair<std::string, std::string>{"2026-12-28", "2027-01-03"}));
    for (const auto& [user, score, day] :
         {std::tuple{"kalle@example.se", 300, "2027-01-11"}, {"lisa@example.se", 200, "2027-01-15"}}) {
        ASSERT_EQ(run({"user", "add", user}, "hemligt\n").status, 0);
        ASSERT_EQ(deskAnswer(test::gameBody(user, "hemligt", score), dayStart(day) + 43200), "0\r\n");
    }
    ASSERT_EQ(run({"competition", "add", "--kind", "weekly", "--name-sv", "Vecka", "--from", "2027-01-13",
                   "--to", "2027-01-31"})
                  .status,
              0);
    const CommandRun draw =
        run({"winners", "--competition", "1", "--week", "2027-W02", "--unverified", "--seed", "x"});
    EXPECT_EQ(draw.status, 0) << draw.err;
    EXPECT_NE(draw.out.find(",lisa,lisa@example.se,200"), std::string::npos) << draw.out;
    EXPECT_EQ(draw.out.find("kalle"), std::string::npos) << "posted before the competition began";
}

} // namespace
} // namespace tundrix::channel
