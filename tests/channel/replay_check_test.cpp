// The channel plays a registered score's game again: a real game is verified, and every way a recording
// can lie about its score is caught with its reason; the checker's queue is bounded.
#include "bots/headless_game.h"
#include "channel/replay_check.h"
#include "replay/replay_codec.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <latch>

namespace tundrix {
namespace {

constexpr ReplayBuild BUILD{10, 0xCAFEF00Du, 424242u};

struct PlayedGame {
    PlayedGame() {
        playScriptedGame(game, 3);
        // The best score's time as the shell takes it when the game has ended.
        bestScoreTime = static_cast<int32_t>(game.clock.nowMs() - game.driver.baseTime());
        file = encodeReplay(game.replay());
        claim.scoreId = 7;
        claim.score = game.world().score().get();
        claim.bestScoreTime = bestScoreTime;
        claim.build = BUILD;
    }
    HeadlessGame game{7777, BUILD};
    std::vector<uint8_t> file;
    ReplayClaim claim;
    int32_t bestScoreTime = 0;
};

PlayedGame& played() {
    static PlayedGame g;
    return g;
}

TEST(ReplayCheck, ARealGameIsVerifiedAndEveryLieIsCaughtWithItsReason) {
    const PlayedGame& g = played();
    ASSERT_GT(g.claim.score, 0);
    using R = ReplayCheck::Result;
    const auto claimWith = [&](auto change) {
        ReplayClaim c = g.claim;
        change(c);
        return c;
    };
    const auto replayWith = [&](auto change) {
        Replay r = g.game.replay();
        change(r);
        return encodeReplay(r);
    };
    std::vector<uint8_t> cut(g.file.begin(), g.file.begin() + static_cast<long>(g.file.size() / 2));
    // clang-format off
    const struct { const char* what; std::vector<uint8_t> file; ReplayClaim claim; R result;
                   const char* reason; } cases[] = {
        {"the game as played", g.file, g.claim, R::Verified, ""},
        {"a higher score claimed", g.file, claimWith([](ReplayClaim& c) { c.score += 25; }), R::Mismatch,
         "reaches"},
        {"a lower score claimed", g.file, claimWith([](ReplayClaim& c) { c.score -= 1; }), R::Mismatch,
         "reaches"},
        {"a tampered game's negated score", g.file, claimWith([](ReplayClaim& c) { c.score = -c.score; }),
         R::Mismatch, "changed from outside"},
        {"a time before the score was made", g.file, claimWith([](ReplayClaim& c) { c.bestScoreTime = 0; }),
         R::Mismatch, "game's time"},
        {"a time long after the game", g.file, claimWith([](ReplayClaim& c) { c.bestScoreTime += 100000; }),
         R::Mismatch, "game's time"},
        {"another build", g.file, claimWith([](ReplayClaim& c) { c.build.crc ^= 1; }), R::Mismatch,
         "another build"},
        {"an easier game", replayWith([](Replay& r) { r.mode = PlayMode::Easier; }), g.claim, R::Mismatch,
         "not an Original game"},
        {"a file cut in half", cut, g.claim, R::Unreadable, "unreadable"},
        {"no file", {}, g.claim, R::Unreadable, "unreadable"},
        // The game ends before the recording does: the last steps are missing.
        {"the end left off", replayWith([](Replay& r) { r.entries.resize(r.entries.size() / 2); }), g.claim,
         R::Mismatch, ""},
        // Every reading after the first halved towards it: a period that lasts twice as many frames.
        {"a slowed clock", replayWith([](Replay& r) {
             for (uint32_t& ms : r.readings)
                 ms = r.readings.front() + (ms - r.readings.front()) / 2;
         }),
         g.claim, R::Mismatch, ""},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ReplayCheck check = checkReplay(c.file, c.claim, g.game.resources);
        EXPECT_EQ(check.result, c.result) << check.reason;
        if (c.result == R::Verified)
            EXPECT_TRUE(check.reason.empty()) << check.reason;
        else
            EXPECT_NE(check.reason.find(c.reason), std::string::npos) << check.reason;
    }
}

TEST(ReplayCheck, AGameRecordedThroughTheRealWindowIsVerified) {
    // Played by the end-to-end test through the real window and posted after its registration: score 1,
    // its time as the form sent it. A change to the rules that makes it play otherwise fails here, and
    // then a channel built from it could not verify the released game's scores.
    std::ifstream in(std::string(TUNDRIX_TEST_DATA) + "/real_window_game.txr", std::ios::binary);
    const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    ASSERT_FALSE(file.empty());
    std::string why;
    const std::optional<Replay> replay = decodeReplay(file, why);
    ASSERT_TRUE(replay) << why;
    ReplayClaim claim;
    claim.score = 1;
    claim.bestScoreTime = 196367;
    claim.build = replay->build;
    const ReplayCheck check = checkReplay(file, claim, played().game.resources);
    EXPECT_EQ(check.result, ReplayCheck::Result::Verified) << check.reason;
    EXPECT_EQ(check.verdict.periodsPlayed, 3);
}

TEST(ReplayCheck, OneGameAtATimeFromAQueueOfBoundedLength) {
    const PlayedGame& g = played();
    std::latch release(1);
    std::vector<int64_t> done;
    {
        ReplayChecker checker(
            g.game.resources,
            [&](const ReplayClaim& claim, const ReplayCheck&) {
                release.wait();
                done.push_back(claim.scoreId);
            },
            2);
        std::vector<std::shared_future<ReplayCheck>> taken;
        // The first game is taken off the queue and held in its report; two more wait; the fourth is refused.
        for (int64_t id = 1; id <= 4; ++id) {
            ReplayClaim claim = g.claim;
            claim.scoreId = id;
            auto ticket = checker.submit(g.file, claim);
            if (id == 1)
                while (checker.queued() != 0)
                    std::this_thread::yield();
            if (id <= 3) {
                ASSERT_TRUE(ticket) << id;
                taken.push_back(*ticket);
            } else {
                EXPECT_FALSE(ticket) << "a full queue turns the game away";
            }
        }
        release.count_down();
        for (auto& t : taken)
            EXPECT_EQ(t.get().result, ReplayCheck::Result::Verified);
    }
    EXPECT_EQ(done, (std::vector<int64_t>{1, 2, 3}));
}

} // namespace
} // namespace tundrix
