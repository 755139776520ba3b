// Recorded games played again: the same world frame for frame, the file read back whole, and damaged or
// altered recordings refused.
#include "bots/headless_game.h"
#include "feedback/feedback_world.h"
#include "game/world_digest.h"
#include "replay/replay_codec.h"
#include "replay/replay_movie.h"
#include "replay/replay_player.h"
#include "resources/embedded_resources.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <set>
#include <zlib.h>

namespace tundrix {
namespace {

// A whole game recorded the way the program records it, with the digest of the live world after every frame.
// With feedback the program's world watches and draws over the game and the recording stays the game's.
struct RecordedGame : HeadlessGame {
    explicit RecordedGame(bool feedback = false, PlayMode mode = PlayMode::Original)
        : HeadlessGame(7777, {10, 0x12345678u, 654321u}, feedback ? withFeedback() : Wrap{}, mode) {
        eachFrame = [this](GameWorld& w) { digests.push_back(worldDigest(w)); };
    }
    Wrap withFeedback() {
        return [this](std::unique_ptr<GameWorld> game) -> std::unique_ptr<World> {
            return std::make_unique<FeedbackWorld>(std::move(game), resources,
                                                   [this] { return world().score().get(); });
        };
    }
    std::vector<uint64_t> digests;
};

TEST(Replay, AWholeGamePlaysAgainFrameForFrameFromItsFileInTheModeItWasPlayedIn) {
    const struct {
        bool feedback;
        PlayMode mode;
        char mark;
    } cases[] = {{false, PlayMode::Original, '1'}, {true, PlayMode::Easier, '2'}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.feedback ? "an Easier game with feedback" : "the bare game");
        RecordedGame g(c.feedback, c.mode);
        playScriptedGame(g, 0, 6000); // the Original game is over long before; the Easier one plays on
        ASSERT_GT(g.world().score().get(), 0) << "the raids scored";
        const std::vector<uint8_t> file = encodeReplay(g.replay());
        EXPECT_EQ(file[3], c.mark) << "an Original game is written as it always was";

        std::string why;
        const auto replay = decodeReplay(file, why);
        ASSERT_TRUE(replay) << why;
        EXPECT_EQ(replay->build, (ReplayBuild{10, 0x12345678u, 654321u}));
        EXPECT_EQ(replay->mode, c.mode);
        std::vector<uint64_t> digests;
        const ReplayVerdict verdict =
            verifyReplay(*replay, g.resources, [&](GameWorld& w) { digests.push_back(worldDigest(w)); });
        EXPECT_TRUE(verdict.consistent) << verdict.problem;
        ASSERT_EQ(digests.size(), g.digests.size());
        for (size_t i = 0; i < digests.size(); ++i)
            ASSERT_EQ(digests[i], g.digests[i]) << "the worlds part at frame " << i;
        EXPECT_EQ(
            std::tuple(verdict.score, verdict.gameOver, verdict.tampered, verdict.mode, verdict.updates),
            std::tuple(g.world().score().get(), g.world().gameOver(), false, c.mode, g.digests.size()));
        const double minutes = verdict.updates / (25.0 * 60);
        RecordProperty("replay_bytes_per_minute", static_cast<int>(file.size() / minutes));
        EXPECT_LT(file.size() / minutes, 8000.0) << "a minute of play takes a few kilobytes at most";

        // Played the other way, the same keys and clock make another game, or none the recording fits.
        Replay other = *replay;
        other.mode = c.mode == PlayMode::Original ? PlayMode::Easier : PlayMode::Original;
        const ReplayVerdict wrong = verifyReplay(other, g.resources);
        EXPECT_TRUE(!wrong.consistent || wrong.score != verdict.score || wrong.updates != verdict.updates ||
                    wrong.periodsPlayed != verdict.periodsPlayed)
            << "the mode changes the game";

        // Worlds that differ only in whether a figure is marked or shown, in the rink's last cell or in the
        // points of the raid's path, have other digests.
        Player& p = g.world().player();
        uint64_t seen[5] = {worldDigest(g.world())};
        p.marked = !p.marked, seen[1] = worldDigest(g.world());
        p.visible = !p.visible, seen[2] = worldDigest(g.world());
        g.world().rink().setCellAtIndex(RINK_CELLS - 1, CellClaimed), seen[3] = worldDigest(g.world());
        g.world().rink().pathPush(100, 100), seen[4] = worldDigest(g.world());
        EXPECT_EQ(std::set<uint64_t>(std::begin(seen), std::end(seen)).size(), 5u);
    }
}

TEST(Replay, AnAlteredRecordingIsCaughtWhereItStopsMatchingTheGame) {
    RecordedGame g;
    playScriptedGame(g);
    const Replay& good = g.replay();
    Replay extra = good; // a step that claims a clock reading the game never takes
    for (ReplayEntry& e : extra.entries)
        if (e.step == ReplayStep::Draw) {
            e.step = ReplayStep::Update;
            break;
        }
    EXPECT_FALSE(verifyReplay(extra, g.resources).consistent);

    Replay shortKeys = good; // the keys of the last update taken away
    for (auto e = shortKeys.entries.rbegin(); e != shortKeys.entries.rend(); ++e)
        if (e->step == ReplayStep::Update && e->keys > 0) {
            e->keys -= 1;
            break;
        }
    EXPECT_FALSE(verifyReplay(shortKeys, g.resources).consistent);

    Replay late = good; // the world's seed taken from a later clock reading
    late.readings.insert(late.readings.begin(), good.readings.front() - 40);
    late.entries.front().readings += 1;
    EXPECT_FALSE(verifyReplay(late, g.resources).consistent);
}

std::vector<uint8_t> packed(const std::vector<uint8_t>& body, uint32_t gameId = 10) {
    std::vector<uint8_t> out(REPLAY_MAGIC, REPLAY_MAGIC + 4);
    for (uint32_t v : {gameId, 0u, 0u})
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    uLongf n = compressBound(static_cast<uLong>(body.size()));
    std::vector<uint8_t> z(n);
    compress2(z.data(), &n, body.data(), static_cast<uLong>(body.size()), 9);
    out.insert(out.end(), z.begin(), z.begin() + static_cast<long>(n));
    return out;
}

// A TXR1 file turned into one that names a mode.
std::vector<uint8_t> withMode(uint8_t mode, std::vector<uint8_t> file) {
    file[3] = '2';
    file.insert(file.begin() + 16, mode);
    return file;
}

TEST(Replay, TheReaderRefusesDamagedTruncatedAndOverlongFiles) {
    RecordedGame g;
    g.step(200);
    const std::vector<uint8_t> file = encodeReplay(g.replay());
    // The keyboard's fields (no arrow held), the blink count, then the steps.
    const std::vector<uint8_t> keyboard = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0};
    const auto with = [&](std::vector<uint8_t> steps) {
        std::vector<uint8_t> body = keyboard;
        body.insert(body.end(), steps.begin(), steps.end());
        return packed(body);
    };
    std::vector<uint8_t> zeros(40u << 20, 0);
    // clang-format off
    const struct { const char* what; std::vector<uint8_t> bytes; const char* why; } cases[] = {
        {"empty", {}, "not a replay"},
        {"another magic", {'T', 'X', 'R', '9', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "not a replay"},
        {"a mode mark and no mode", {'T', 'X', 'R', '2', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "cut short"},
        {"a mode named that is never named", withMode(0, with({1, 0, 0})), "does not know"},
        {"a mode of no kind", withMode(7, with({1, 0, 0})), "does not know"},
        {"cut in the middle",
         std::vector<uint8_t>(file.begin(), file.begin() + static_cast<long>(file.size() / 2)), "damaged"},
        {"a bit flipped in the stream",
         [&] {
             auto f = file;
             f[f.size() / 2] ^= 0x10;
             return f;
         }(),
         "damaged"},
        {"a decompression bomb", packed(zeros), "inflates past"},
        {"no steps", with({0}), "no game"},
        {"an update before the world", with({1, 2, 0, 0}), "begin with its world"},
        {"a world built twice", with({2, 1, 0, 0, 1, 0, 0}), "begin with its world"},
        {"a step of no kind", with({1, 0}), "no known kind"},
        {"the clock running backwards", with({2, 1, 2, 100, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 0}), "backwards"},
        {"too many readings in one step", with({1, 1, 65, 0}), "too often"},
        {"a count beyond 32 bits", with({0xFF, 0xFF, 0xFF, 0xFF, 0x7F}), "more steps"},
        {"cut inside a step", with({1, 1, 3, 5}), "cut short"},
        {"bytes after the last step", with({1, 1, 0, 0, 9}), "after its last step"},
    };
    // clang-format on
    for (const auto& c : cases) {
        std::string why;
        EXPECT_FALSE(decodeReplay(c.bytes, why)) << c.what;
        EXPECT_NE(why.find(c.why), std::string::npos) << c.what << ": " << why;
    }
    ReplayLimits small;
    small.maxUpdates = 50;
    std::string why;
    EXPECT_FALSE(decodeReplay(file, why, small)) << "a game longer than the limit";
    EXPECT_NE(why.find("longer than a game"), std::string::npos) << why;
    EXPECT_TRUE(decodeReplay(file, why)) << why;
}

// Reads a GIF from memory.
int readFrom(GifFileType* gif, GifByteType* into, int n) {
    auto* in = static_cast<std::pair<const std::vector<uint8_t>*, size_t>*>(gif->UserData);
    n = std::min(n, static_cast<int>(in->first->size() - in->second));
    std::copy_n(in->first->data() + in->second, n, into);
    in->second += static_cast<size_t>(n);
    return n;
}

TEST(Replay, ARunPlaysAsAnAnimatedPictureOfTheGamesOwnFrames) {
    HeadlessGame g;
    playScriptedGame(g, 3, 1500); // a minute of it
    const Movie movie = renderMovie(g.replay(), g.resources);
    ASSERT_TRUE(movie.problem.empty()) << movie.problem;
    EXPECT_EQ(movie.frames, g.replay().updates()) << "one picture per frame of the game";

    std::pair<const std::vector<uint8_t>*, size_t> in{&movie.gif, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&in, readFrom, &error);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    EXPECT_EQ(std::pair(gif->SWidth, gif->SHeight), std::pair(440, 300));
    // Every picture drawn over the ones before, its transparent pixels leaving them be, for as long as its
    // delay says: four hundredths of a second a frame.
    std::vector<uint8_t> shown(440 * 300);
    int hundredths = 0;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        GraphicsControlBlock control{};
        DGifSavedExtensionToGCB(gif, i, &control);
        hundredths += control.DelayTime;
        const GifImageDesc& d = image.ImageDesc;
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x) {
                const GifByteType v = image.RasterBits[y * d.Width + x];
                if (v != control.TransparentColor)
                    shown[static_cast<size_t>((d.Top + y) * 440 + d.Left + x)] = v;
            }
    }
    EXPECT_EQ(hundredths, static_cast<int>(movie.frames) * 4);
    EXPECT_LT(gif->ImageCount, static_cast<int>(movie.frames)) << "equal frames are shown as one";
    DGifCloseFile(gif, &error);
    // The last picture is the game's own last frame.
    g.world().draw();
    EXPECT_EQ(shown, g.video.frame);
}

} // namespace
} // namespace tundrix
