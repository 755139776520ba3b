// Members and the operator's commands: sign-up rules, passwords, the schema, releases and the prize draw.
#include "channel/calendar.h"
#include "channel/commands.h"
#include "channel/migrations.h"
#include "channel/score_desk.h"
#include "net/score_submission.h"

#include "channel_rig.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tundrix::channel {
namespace {

using Accounts = test::ChannelRig;

TEST_F(Accounts, SignUpKeepsAddressesPrivateAndPasswordsSendableByTheGame) {
    const int64_t anna = join("anna@example.se", "Anna", "hemligt");
    const SignupResult bad = signUp(*store, {"not-an-address", "x", "kort", "annat", "nobody@example.se"}, 1);
    EXPECT_FALSE(bad.memberId);
    EXPECT_EQ(bad.errors.size(), 5u); // address, nickname, length, mismatch, unknown recruiter

    const auto fails = [&](SignupRequest r) { return !signUp(*store, r, 1).memberId; };
    EXPECT_TRUE(fails({"ANNA@example.se", "Other", "hemligt", "hemligt", ""}));     // the address, any case
    EXPECT_TRUE(fails({"b@example.se", "anna", "hemligt", "hemligt", ""}));         // the nickname, any case
    EXPECT_TRUE(fails({"c@example.se", "c@example.se", "hemligt", "hemligt", ""})); // an address as nickname
    EXPECT_TRUE(
        fails({"d@example.se", "Dee", "sn\xE2\x98\x83wman!", "sn\xE2\x98\x83wman!", ""})); // no such byte
    EXPECT_TRUE(fails({"e@example.se", "Eve", std::string(17, 'p'), std::string(17, 'p'), ""})); // > 16
    EXPECT_TRUE(fails({std::string(60, 'f') + "@x.se", "Fred", "hemligt", "hemligt", ""}));      // > 64

    // A recruited member, a Swedish password that the game sends as single bytes, log-in both ways.
    const int64_t bo = join("  bo@example.se ", "Bo", "l\xC3\xB6sen\xC3\xA5rd", "anna@example.se");
    ASSERT_EQ(store->recruitsOf(anna).size(), 1u);
    EXPECT_EQ(store->recruitsOf(anna)[0].id, bo);
    EXPECT_TRUE(logIn(*store, "bo@example.se", "l\xC3\xB6sen\xC3\xA5rd"));
    EXPECT_FALSE(logIn(*store, "bo@example.se", "losenard"));
    EXPECT_FALSE(logIn(*store, "nobody@example.se", "hemligt"));
    SubmissionRecord record;
    record.setUserName("bo@example.se");
    record.setPassword("l\xC3\xB6sen\xC3\xA5rd");
    record.score = 5;
    EXPECT_EQ(takeScore(*store, buildSubmissionBody(record, {}), "::1", 1).text, "0\r\n");

    std::string error;
    EXPECT_FALSE(setPassword(*store, bo, "12345", error));
    EXPECT_TRUE(setPassword(*store, bo, "nytt-l\xC3\xB6sen", error)) << error;
    EXPECT_TRUE(logIn(*store, "bo@example.se", "nytt-l\xC3\xB6sen"));
}

TEST_F(Accounts, TheSchemaIsVersionedAndANewerDatabaseIsRefused) {
    join("anna@example.se", "Anna", "hemligt");
    store.reset();
    std::string error;
    store = Store::open(database(), error); // reopening migrates nothing and keeps the data
    ASSERT_TRUE(store) << error;
    EXPECT_EQ(store->members().size(), 1u);
    store.reset();

    auto db = Database::open(database(), error);
    ASSERT_TRUE(db);
    {
        Statement mode(db->handle(), "PRAGMA journal_mode");
        ASSERT_TRUE(mode.step());
        EXPECT_EQ(mode.text(0), "wal");
    }
    EXPECT_EQ(db->schemaVersion(), newestSchemaVersion());
    ASSERT_TRUE(db->exec("PRAGMA user_version = 99"));
    db.reset();
    EXPECT_FALSE(Store::open(database(), error));
    EXPECT_NE(error.find("newer"), std::string::npos);
}

// Runs the program's command line with the given standard input.
struct CommandRun {
    int status;
    std::string out, err;
};

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
    EXPECT_TRUE(logIn(*store, "kalle@example.se", "annat-l\xC3\xB6sen"));
    EXPECT_EQ(run({"user", "reset-password", "nobody@example.se"}, "hemligt\n").status, 1);

    EXPECT_EQ(run({"release", "add", "1", "5", "6"}).status, 2); // the game opens the page only above 1
    EXPECT_EQ(run({"release", "add", "2", "0xdeadbeef", "5000"}).status, 0);
    EXPECT_EQ(run({"release", "add", "3", "12x", "5000"}).status, 2);
    EXPECT_NE(run({"release", "list"}).out.find("2\t3735928559\t5000\t"), std::string::npos);

    for (const auto& [user, score] : {std::pair{"kalle@example.se", 300}, {"lisa@example.se", 500}}) {
        SubmissionRecord r;
        r.setUserName(user);
        r.setPassword(std::string(user) == "lisa@example.se" ? "hemligt" : "annat-l\xC3\xB6sen");
        r.score = score;
        // A first score, from a build other than the newest release (2): registered, with the notice.
        ASSERT_EQ(takeScore(*store, buildSubmissionBody(r, {}), "127.0.0.1", 1'800'000'000).text,
                  "0\r\n2\r\n");
    }
    const CommandRun day = run({"winners", "--day", dayOf(1'800'000'000)});
    EXPECT_EQ(day.status, 0);
    EXPECT_EQ(day.out.substr(0, day.out.find("\n", day.out.find("\n") + 1) + 1),
              "rank,nickname,email,score,posted_at\n1,\"Lisa, "
              "\"\"L\"\"\",lisa@example.se,500,2027-01-15T08:00:00Z\n");
    EXPECT_NE(run({"winners", "--week", weekOf(1'800'000'000)}).out.find("2,kalle,kalle@example.se,300"),
              std::string::npos);
    EXPECT_EQ(run({"winners", "--day", "2026-02-30"}).status, 2);
    EXPECT_EQ(run({"winners", "--week", "2026-W54"}).status, 2);
    EXPECT_EQ(run({"winners"}).status, 2);
    EXPECT_EQ(run({"frobnicate"}).status, 2);
    EXPECT_EQ(run({"--help"}).status, 0);
}

} // namespace
} // namespace tundrix::channel
