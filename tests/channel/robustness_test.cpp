// The live server under attack and under faults: slow, silent, deaf and flooding clients, bursts of
// connects and pipelined requests; a full disk, a damaged or vanished database. It keeps serving the
// others, and what it answered as registered is never lost; what it cannot keep it says so.
#include "attack/attackers.h"
#include "channel/migrations.h"
#include "protocol/score_answer.h"

#include "live_channel.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <future>
#include <thread>

namespace tundrix::channel {
namespace {

using namespace std::chrono_literals;

// This process's resident memory, in KiB.
long residentKib() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

class Attacked : public test::LiveChannel {
  protected:
    void configure() override {
        options.http.idleTimeout = 1s;
        options.http.lifetime = 2s;
    }
    attack::Target target() const { return {"127.0.0.1", server->port()}; }
};

TEST_F(Attacked, SlowSilentDeafAndTricklingClientsNeverHoldAPlayersPost) {
    join("anna@example.se", "Anna", "hemligt");
    // Three hundred clients trickling a header a byte at a time, from many addresses, and two that send a
    // byte faster than the idle time-out allows for, for longer than a connection may live.
    attack::SlowClients slow(target(), 300, 500ms);
    attack::SlowClients tricklers(target(), 2, 200ms);
    // One says nothing at all; one asks for more pages than the buffers between them hold, and never
    // reads them (the server, blocked, lets go, throwing away the requests it has not read).
    std::string many;
    for (int i = 0; i < 20000; ++i)
        many += "GET /registrera/ HTTP/1.1\r\nHost: x\r\n\r\n";
    auto deaf = std::async(std::launch::async, attack::endedWhileDeaf, target(), many, 8s);
    auto silent = std::async(std::launch::async, attack::endedWhileDeaf, target(), "", 8s);
    std::this_thread::sleep_for(1s);

    // A player's post on a fresh connection, given the game's own ten seconds and more, and the home page.
    for (int32_t score = 100; score <= 300; score += 100) {
        const attack::Exchange post = attack::exchange(
            target(), attack::formPost("/r0003.asp", attack::gameBody("anna@example.se", "hemligt", score)),
            10s);
        ASSERT_TRUE(post.answered) << score;
        EXPECT_EQ(post.status, 200);
        EXPECT_EQ(protocol::parseAnswer(post.body).resultCode, 0);
        EXPECT_EQ(client->Get("/")->status, 200);
    }
    std::this_thread::sleep_for(3s);
    // The server ended the tricklers at the end of their connections' lifetime, and the slow ones too.
    EXPECT_GE(tricklers.endedByServer(), 2);
    EXPECT_GE(slow.endedByServer(), 100);
    EXPECT_TRUE(deaf.get());
    EXPECT_TRUE(silent.get());
}

TEST_F(Attacked, HeaderFloodsBurstsAndPipelinesAreRefusedOrAnsweredCleanly) {
    // Each flood is cut off within the connection's memory and answered 431; the server does not grow.
    const long before = residentKib();
    std::atomic<long> peak{before};
    std::atomic<bool> flooding{true};
    std::thread watch([&] {
        while (flooding) {
            peak = std::max(peak.load(), residentKib());
            std::this_thread::sleep_for(5ms);
        }
    });
    std::vector<std::future<attack::FloodResult>> floods;
    for (int i = 0; i < 4; ++i)
        floods.push_back(std::async(std::launch::async, attack::headerFlood, target(), 32u << 20, 8000, 20s));
    for (auto& f : floods) {
        const attack::FloodResult r = f.get();
        EXPECT_EQ(r.status, 431);
        EXPECT_TRUE(r.closed);
        EXPECT_LT(r.sent, 32u << 20); // cut off long before the end
    }
    flooding = false;
    watch.join();
    EXPECT_LT(peak - before, 64 * 1024) << "KiB grown during the floods";

    // A thousand connects at once from many addresses: every one answered.
    EXPECT_EQ(attack::burst(target(), 1000, "/style.css", 30s).answered, 1000);
    // Seven pipelined requests get seven answers.
    EXPECT_EQ(attack::pipelined(target(), 7, "/style.css", 10s), 7);

    // Requests that are not HTTP/1 as the channel speaks it.
    // clang-format off
    const struct { std::string request; int status; } refused[] = {
        {"GET / HTTP/2.0\r\nHost: x\r\n\r\n", 505},
        {"POST /r0003.asp HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\nContent-Length: 7\r\n\r\nabcde", 400},
        {"POST /r0003.asp HTTP/1.1\r\nHost: x\r\nContent-Length: 1073741824\r\n\r\nabc", 413},
        {"POST /r0003.asp HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n" +
             std::string("20000\r\n") + std::string(0x20000, 'f') + "\r\n0\r\n\r\n",
         413},
        {"GET / HTTP/1.1\r\n\r\n", 400}, // HTTP/1.1 without a Host
    };
    // clang-format on
    for (const auto& r : refused) {
        const attack::Exchange e = attack::exchange(target(), r.request, 10s);
        EXPECT_TRUE(e.answered) << r.request.substr(0, 40);
        EXPECT_EQ(e.status, r.status) << r.request.substr(0, 40);
    }
}

class FullDisk : public test::LiveChannel {
  protected:
    void configure() override { site.limits.enabled = false; }
};

TEST_F(FullDisk, TheGameIsToldToTryAgainNothingAnsweredIsLostAndPostsWorkOnceThereIsRoom) {
    const int64_t id = join("anna@example.se", "Anna", "hemligt");
    ASSERT_EQ(submit("anna@example.se", "hemligt", 1).resultCode, 0);
    ASSERT_TRUE(store->limitPages(1)); // never below the present size: the file may not grow any more

    std::vector<int64_t> answered{1};
    int32_t refusedWith = 0;
    for (int32_t n = 2; n < 3000 && refusedWith == 0; ++n) {
        const SubmissionRecord r = submit("anna@example.se", "hemligt", 2 + n % 1000);
        if (r.resultCode == 0 || r.resultCode == 1) {
            answered.push_back(2 + n % 1000);
        } else {
            refusedWith = r.resultCode;
        }
    }
    // Not a verdict of the game's table (0 to 3, -1): the register dialog offers another try.
    EXPECT_EQ(refusedWith, 503);
    EXPECT_EQ(store->scoresOf(id), answered);
    EXPECT_TRUE(store->intact());
    EXPECT_EQ(client->Get("/")->status, 200); // the leaderboards are still read

    ASSERT_TRUE(store->limitPages(1'000'000));
    EXPECT_EQ(submit("anna@example.se", "hemligt", 1500).resultCode, 0);
    answered.push_back(1500);
    EXPECT_EQ(store->scoresOf(id), answered);
    EXPECT_TRUE(store->intact());
}

// Overwrites the middle of the members table's first page, as a failing disk might.
void damageMembers(const std::string& path) {
    std::string error;
    int64_t page = 0, size = 0;
    {
        auto db = Database::open(path, false, error);
        ASSERT_TRUE(db) << error;
        // Everything into the file itself first, so the damage is what the next read finds.
        ASSERT_TRUE(db->exec("PRAGMA wal_checkpoint(TRUNCATE)", &error)) << error;
        Statement root(db->handle(), "SELECT rootpage FROM sqlite_schema WHERE name = 'members'");
        ASSERT_TRUE(root.step());
        page = root.integer(0);
        Statement pageSize(db->handle(), "PRAGMA page_size");
        ASSERT_TRUE(pageSize.step());
        size = pageSize.integer(0);
    }
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp((page - 1) * size + 8);
    const std::string garbage(static_cast<size_t>(size) - 16, '\xA5');
    file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
}

using Faults = test::ChannelRig;

TEST_F(Faults, AMissingDamagedReadOnlyOrNewerDatabaseStopsTheStartLoudly) {
    join("anna@example.se", "Anna", "hemligt");
    store.reset();
    std::string error;
    // Missing: only an explicit creation makes a new one.
    EXPECT_FALSE(Store::open((folder / "gone" / "channel.db").string(), OpenMode::Existing, error));
    EXPECT_NE(error.find("--create"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "gone"));
    // The one made is in WAL mode at the newest schema; a schema newer than this program's is refused.
    const std::string made = (folder / "new" / "channel.db").string();
    EXPECT_TRUE(Store::open(made, OpenMode::Create, error)) << error;
    {
        auto db = Database::open(made, false, error);
        ASSERT_TRUE(db) << error;
        {
            Statement mode(db->handle(), "PRAGMA journal_mode");
            ASSERT_TRUE(mode.step());
            EXPECT_EQ(mode.text(0), "wal");
        }
        EXPECT_EQ(db->schemaVersion(), newestSchemaVersion());
        ASSERT_TRUE(db->exec("PRAGMA user_version = 99"));
    }
    EXPECT_FALSE(Store::open(made, OpenMode::Existing, error));
    EXPECT_NE(error.find("newer"), std::string::npos);

    // Read-only: refused, not served with every post failing. Root may write anyway, so the check runs in
    // a child that has given up root.
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all |
                                             std::filesystem::perms::others_exec |
                                             std::filesystem::perms::others_read);
    std::filesystem::permissions(database(),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::others_read);
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        std::string why;
        const bool opened = Store::open(database(), OpenMode::Existing, why) != nullptr;
        _exit(!opened && why.find("read-only") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    std::filesystem::permissions(database(),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    // Damaged: found at the start, before anyone is told "unknown user". Undamaged, it opens with its data.
    store = Store::open(database(), OpenMode::Existing, error);
    ASSERT_TRUE(store && store->members().size() == 1) << error;
    store.reset();
    damageMembers(database());
    EXPECT_FALSE(Store::open(database(), OpenMode::Existing, error));
    EXPECT_NE(error.find("damaged"), std::string::npos) << error;
}

using WhileServing = test::LiveChannel;

TEST_F(WhileServing, AReadErrorIsAnsweredTryAgainNeverUnknownUser) {
    join("anna@example.se", "Anna", "hemligt");
    ASSERT_EQ(submit("anna@example.se", "hemligt", 100).resultCode, 0);
    // The members' table damaged under the running server; a write by another program (the operator's
    // release command, say) makes the server read the file afresh.
    damageMembers(database());
    std::string error;
    auto db = Database::open(database(), false, error);
    ASSERT_TRUE(db && db->exec("INSERT INTO releases (version, crc, length, added_at) VALUES (9, 1, 2, 0)"));
    db.reset();
    EXPECT_EQ(submit("anna@example.se", "hemligt", 200).resultCode, 503);
    server->stop();
    EXPECT_TRUE(test::has(log.str(), "POST /r0003.asp 503 "));
    EXPECT_TRUE(test::has(log.str(), "\"the members cannot be read\""));
}

TEST_F(WhileServing, PostsAreRefusedOnceTheDatabasesFolderIsGone) {
    join("anna@example.se", "Anna", "hemligt");
    ASSERT_EQ(submit("anna@example.se", "hemligt", 100).resultCode, 0);
    // The server has its files open still, but nothing it would write there could ever be read again.
    std::filesystem::remove_all(folder);
    EXPECT_EQ(submit("anna@example.se", "hemligt", 300).resultCode, 503);
    server->stop();
    EXPECT_TRUE(test::has(log.str(), "\"not stored\""));
}

} // namespace
} // namespace tundrix::channel
