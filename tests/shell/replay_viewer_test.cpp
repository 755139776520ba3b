// Recorded games shown at the pace they were played: every recorded picture once, one frame each 40 ms
// whatever the clock ticks, the time the game stood still left out, the end of the game, Escape, a
// replay that stops matching, and the tamper flag as it was; and the player's replay files.
#include "bots/headless_game.h"
#include "shell/replay_files.h"
#include "shell/replay_viewer.h"
#include "temp_dir.h"

#include "platform/headless/fake_clock.h"
#include "platform/headless/recording_video.h"
#include "platform/headless/silent_audio.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

namespace tundrix {
namespace {

namespace fs = std::filesystem;

// A short game as the program records it: the title, then play with a pause of three seconds in it.
struct ShortGame : HeadlessGame {
    ShortGame() { playScriptedGame(*this, 0, 300); }
};

size_t count(const Replay& r, ReplayStep step) {
    return static_cast<size_t>(std::count_if(r.entries.begin(), r.entries.end(),
                                             [&](const ReplayEntry& e) { return e.step == step; }));
}

struct Screen {
    headless::FakeClock clock{123456};
    headless::SilentAudio audio;
    headless::RecordingVideo video;
};

TEST(ReplayViewer, ShowsEveryRecordedPictureOneFrameEach40MsWhateverTheClockTicks) {
    ShortGame g;
    const Replay& replay = g.replay();
    for (const uint32_t tick : {40u, 7u, 25u, 90u}) {
        SCOPED_TRACE("the window's clock ticks by " + std::to_string(tick) + " ms");
        Screen s;
        ReplayViewer viewer(replay, g.resources, s.audio, s.video, s.clock);
        const uint32_t began = s.clock.nowMs();
        int lastPresents = 0;
        std::vector<uint32_t> shownAt;
        while (viewer.advance()) {
            if (s.video.presents != lastPresents) shownAt.push_back(s.clock.nowMs() - began);
            lastPresents = s.video.presents;
            // The window waits only until the next frame is due, and not at all once it is.
            const uint32_t wait = 40 - (s.clock.nowMs() - began) % 40, waitBefore = viewer.msToNextFrame();
            s.clock.advance(tick);
            if (tick <= 40) {
                EXPECT_EQ(waitBefore, wait);
                EXPECT_EQ(viewer.msToNextFrame(), wait > tick ? wait - tick : 0);
            }
        }
        EXPECT_TRUE(viewer.problem().empty()) << viewer.problem();
        EXPECT_EQ(viewer.pictures(), count(replay, ReplayStep::Draw));
        EXPECT_EQ(s.video.frame, g.video.frame) << "the replay ends on the game's own last picture";
        const uint32_t frames = static_cast<uint32_t>(count(replay, ReplayStep::Update));
        const uint32_t ended = s.clock.nowMs() - began;
        // A clock slower than the frames (a busy machine) slows the replay down and skips nothing.
        EXPECT_GE(ended, (frames - 1) * 40);
        if (tick <= 40) {
            // Each picture within one tick of its frame's time, no two in one frame, and the whole replay as
            // long as its frames: the minute the game stood still is not shown.
            for (size_t i = 0; i < shownAt.size(); ++i) {
                EXPECT_LT(shownAt[i] % 40, tick) << "picture " << i << " at " << shownAt[i] << " ms";
                EXPECT_TRUE(i == 0 || shownAt[i] / 40 > shownAt[i - 1] / 40) << "picture " << i;
            }
            EXPECT_LT(ended, (frames - 1) * 40 + 2 * tick);
        }
    }
}

TEST(ReplayViewer, EscapeStopsItAndTheTamperFlagIsAsBeforeOnceItHasGone) {
    ShortGame g;
    for (const bool flag : {false, true}) {
        tamperFlag = flag;
        {
            Screen s;
            ReplayViewer viewer(g.replay(), g.resources, s.audio, s.video, s.clock);
            for (int i = 0; i < 30; ++i) {
                viewer.advance();
                s.clock.advance(40);
            }
            EXPECT_FALSE(tamperFlag) << "the replayed game's own flag, cleared as it was built";
            viewer.stop();
            const int presents = s.video.presents;
            EXPECT_EQ(
                (std::tuple{viewer.playing(), viewer.advance(), s.video.presents, viewer.problem().empty()}),
                (std::tuple{false, false, presents, true}));
            tamperFlag = !flag; // whatever the replayed game did to it
        }
        EXPECT_EQ(tamperFlag, flag);
    }
    tamperFlag = false;
}

TEST(ReplayViewer, AReplayThatStopsMatchingEndsWithTheReasonAndAFinishedGameSoonAfterItsEnd) {
    ShortGame g;
    Replay altered = g.replay();
    // A step past the middle claims a clock reading the game never takes.
    size_t draws = 0;
    for (ReplayEntry& e : altered.entries)
        if (e.step == ReplayStep::Draw && ++draws == 150) {
            e.step = ReplayStep::Update;
            break;
        }
    Screen s;
    ReplayViewer viewer(altered, g.resources, s.audio, s.video, s.clock);
    while (viewer.advance())
        s.clock.advance(40);
    EXPECT_FALSE(viewer.problem().empty());
    EXPECT_GE(viewer.pictures(), 140u) << "shown up to where it parts from the game";
    EXPECT_NE(replayProblemText(viewer.problem()).find(viewer.problem()), std::string::npos);

    // A whole game, and then ten minutes of its finished picture: the replay ends two seconds after it.
    HeadlessGame whole;
    playScriptedGame(whole);
    ASSERT_TRUE(whole.world().gameOver());
    whole.step(15000);
    Screen w;
    ReplayViewer end(whole.replay(), whole.resources, w.audio, w.video, w.clock);
    uint32_t frames = 0;
    while (end.advance()) {
        w.clock.advance(40);
        ++frames;
    }
    EXPECT_TRUE(end.problem().empty()) << end.problem();
    EXPECT_LT(frames, count(whole.replay(), ReplayStep::Update) - 14000);
}

using test::TempDir;

TEST(ReplayFiles, TheLastGameIsSavedBesideTheSettingsAndReadBack) {
    ShortGame g;
    TempDir dir;
    const fs::path folder = dir.path / "lumora" / "tundrix";
    std::string message;
    ASSERT_TRUE(saveLastGame(folder, g.replay(), message));
    EXPECT_NE(message.find((folder / LAST_GAME_FILE).string()), std::string::npos) << message;
    EXPECT_NE(message.find("sparades"), std::string::npos);
    EXPECT_NE(message.find("saved"), std::string::npos);
    std::string why;
    const std::optional<Replay> back = readReplayFile(folder / LAST_GAME_FILE, why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(std::tuple(back->entries.size(), back->readings, back->keys),
              std::tuple(g.replay().entries.size(), g.replay().readings, g.replay().keys));

    // No folder to write in: a file stands where the folder would be, or none is known.
    const fs::path blocked = dir.write("blocked", {1});
    for (const fs::path& where : {blocked / "tundrix", fs::path()}) {
        EXPECT_FALSE(saveLastGame(where, g.replay(), message)) << where;
        EXPECT_NE(message.find("could not be saved"), std::string::npos);
    }
}

TEST(ReplayFiles, AnythingButAReplayIsRefusedInBothLanguages) {
    ShortGame g;
    TempDir dir;
    const std::vector<uint8_t> good = encodeReplay(g.replay());
    const fs::path fifo = dir.path / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ReplayLimits small;
    small.maxFileBytes = good.size() - 1;
    struct Case {
        fs::path file;
        ReplayLimits limits;
        std::string says;
    };
    const Case cases[] = {
        {dir.path / "missing.txr", {}, "could not be opened"},
        {dir.path, {}, "could not be opened"},
        {fifo, {}, "could not be opened"}, // read without waiting for a writer
        {dir.write("empty.txr", {}), {}, "not a replay"},
        {dir.write("text.txr", {'h', 'e', 'l', 'l', 'o'}), {}, "not a replay"},
        {dir.write("cut.txr", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2)),
         {},
         "not a replay"},
        {dir.write("large.txr", good), small, "too large"},
    };
    for (const Case& c : cases) {
        std::string why;
        EXPECT_FALSE(readReplayFile(c.file, why, c.limits)) << c.file;
        EXPECT_NE(why.find(c.says), std::string::npos) << c.file << ": " << why;
        EXPECT_TRUE(why.find("Filen") != std::string::npos || why.find("ingen repris") != std::string::npos)
            << "and in Swedish: " << why;
    }
    small.maxFileBytes = good.size(); // one that just fits is read
    std::string why;
    EXPECT_TRUE(readReplayFile(dir.write("fits.txr", good), why, small)) << why;
}

TEST(ReplayFiles, TypedPastedAndDroppedPathsNameTheirFile) {
    // clang-format off
    const std::pair<std::string, std::string> paths[] = {
        {"/home/anna/last-game.txr", "/home/anna/last-game.txr"}, {"  /tmp/a b.txr \n", "/tmp/a b.txr"},
        {"'/tmp/a b.txr'", "/tmp/a b.txr"}, {"\"/tmp/å.txr\"", "/tmp/å.txr"},
        {"file:///home/anna/my%20game%C3%A5.txr", "/home/anna/my gameå.txr"}, {"file://localhost/tmp/x%3F.txr", "/tmp/x?.txr"},
        {"file:///tmp/100%.txr", "/tmp/100%.txr"}, {"file:///tmp/%zz%4", "/tmp/%zz%4"}, {"   ", ""}};
    // clang-format on
    for (const auto& [typed, path] : paths)
        EXPECT_EQ(replayPathOf(typed), path) << typed;

    // Cut between characters, never inside one.
    for (auto [text, bytes, cut] : {std::tuple{"/tmp/åäö", 7, "/tmp/å"},
                                    {"/tmp/åäö", 8, "/tmp/å"},
                                    {"/tmp/åäö", 9, "/tmp/åä"},
                                    {"/tmp", 9, "/tmp"},
                                    {"€", 2, ""}})
        EXPECT_EQ(clampUtf8(text, bytes), cut) << text << bytes;
}

} // namespace
} // namespace tundrix
