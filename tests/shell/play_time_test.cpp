// The settings files: the parsers, where the folder is, the write-then-rename update, what stands in a
// file's place, temporary files left by a killed write, and the play time added by copies running at once.
#include "shell/play_time.h"
#include "shell/play_time_tally.h"
#include "temp_dir.h"

#include "platform/headless/fake_clock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace tundrix {
namespace {

namespace fs = std::filesystem;
using namespace std::string_view_literals;

using test::TempDir;

// Settings in a fresh folder.
struct SettingsFiles : ::testing::Test {
    TempDir tmp;
    const Settings settings{settingsFolder(tmp.path.c_str(), nullptr)};

    // Reads beside the test with a named pipe nobody writes to in `file`'s place, which would block a plain
    // open for ever; nullopt (and a failure) if the read waited.
    template <class Read>
    auto withoutWaiting(const char* file, Read read) -> std::optional<decltype(read())> {
        fs::remove(settings.folder() / file);
        EXPECT_EQ(::mkfifo((settings.folder() / file).c_str(), 0600), 0);
        auto reading = std::async(std::launch::async, read);
        if (reading.wait_for(std::chrono::seconds(10)) == std::future_status::ready) return reading.get();
        // Let the blocked reader go before failing.
        const int fd = ::open((settings.folder() / file).c_str(), O_RDWR);
        ADD_FAILURE() << "reading a named pipe blocked";
        reading.wait();
        ::close(fd);
        return std::nullopt;
    }
};

TEST(SettingsText, PlayTimeIsAWholeDecimal32BitNumberZoomOneTwoOrThreeAndTheFolderUnderTheConfigHome) {
    EXPECT_EQ(parsePlayTime("  90000\n"), 90000u);
    // Corrupt or foreign content reads as 0.
    for (std::string_view bad : {""sv, "\n"sv, "4294967296"sv, "99999999999"sv, "-5"sv, "+5"sv, "12 34"sv,
                                 "12a"sv, "0x10"sv, "1e5"sv, "\xff\xfe"sv, "12\0003"sv /* a NUL inside */}) {
        EXPECT_EQ(parsePlayTime(bad), 0u) << bad;
    }
    // What is written reads back.
    for (uint32_t v : {0u, 1u, 90000u, 4294967295u})
        EXPECT_EQ(parsePlayTime(formatPlayTime(v)), v);

    const std::pair<const char*, int> zooms[] = {{"2\n", 2}, {"3", 3},  {"1", 1},  {"", 1},   {"0", 1},
                                                 {"4", 1},   {"22", 1}, {"-2", 1}, {"two", 1}};
    for (auto [text, zoom] : zooms)
        EXPECT_EQ(parseZoom(text), zoom) << text;

    // The folder follows the config home's rules.
    EXPECT_EQ(settingsFolder("/x/cfg", "/home/anna"), fs::path("/x/cfg/lumora/tundrix"));
    for (const char* xdg : {static_cast<const char*>(nullptr), "", "relative"})
        EXPECT_EQ(settingsFolder(xdg, "/home/anna"), fs::path("/home/anna/.config/lumora/tundrix")) << xdg;
    EXPECT_TRUE(settingsFolder(nullptr, nullptr).empty());
    EXPECT_TRUE(settingsFolder("", "relative").empty());
}

TEST_F(SettingsFiles, FirstRunReadsDefaultsThenWrittenValuesReadBackWithNoTemporaryFilesLeft) {
    EXPECT_EQ(settings.readPlayTime(), 0u) << "no file yet";
    EXPECT_EQ(settings.readZoom(), 1);

    ASSERT_TRUE(settings.writePlayTime(90000));
    ASSERT_TRUE(settings.writePlayTime(120000)); // replaces the old total
    EXPECT_EQ(settings.readPlayTime(), 120000u);
    ASSERT_TRUE(settings.writeZoom(3));
    EXPECT_FALSE(settings.writeZoom(7));
    EXPECT_EQ(settings.readZoom(), 3);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(settings.folder()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"time", "zoom"}));

    // A damaged, empty or huge file reads as 0 (a huge one is not read whole) and is replaced at the next
    // quit.
    for (const std::string& damaged : {std::string("garbage\n"), std::string(), std::string(100000, '7')}) {
        std::ofstream(settings.folder() / "time", std::ios::trunc) << damaged;
        EXPECT_EQ(settings.readPlayTime(), 0u) << damaged.size() << " bytes";
    }
    errno = EINTR; // left over from an earlier call: the write and the read still end
    ASSERT_TRUE(settings.writePlayTime(5));
    errno = EINTR;
    EXPECT_EQ(settings.readPlayTime(), 5u);
}

// One copy of the game: its own clock, its tally over the shared settings folder.
struct Copy {
    Copy(const Settings& settings, uint32_t start)
        : clock(start), tally(clock, settings.readPlayTime(),
                              [&settings](uint32_t ms) { return settings.addPlayTime(ms); }) {}
    headless::FakeClock clock;
    PlayTimeTally tally;
};

TEST_F(SettingsFiles, UnwritableOrMissingPlacesAreSkippedQuietlyAndTheTallyKeepsTheTimeToAdd) {
    // The config "folder" is a file: nothing can be created below it.
    const fs::path blocker = tmp.path / "blocker";
    std::ofstream(blocker) << "x";
    // Nor can anything be created in /proc, even by root; and an empty folder is no place.
    for (const Settings& s : {Settings(settingsFolder(blocker.c_str(), nullptr)), Settings(fs::path("/proc")),
                              Settings(fs::path())}) {
        EXPECT_EQ((std::tuple{s.writePlayTime(1234), s.writeZoom(2), s.readPlayTime(), s.readZoom()}),
                  (std::tuple{false, false, 0u, 1}))
            << s.folder();
        // The time that could not be added stays in the total, wrapping like the clock.
        Copy copy(s, 0xFFFFF000u);
        copy.clock.advance(0x2000);
        copy.tally.addNow();
        EXPECT_EQ(copy.tally.total(), 0x2000u) << s.folder();
    }
}

TEST_F(SettingsFiles, OnlyRegularFilesAreReadAndNothingWaitsAndVolumeIsFullUntilChosen) {
    ASSERT_TRUE(settings.writeZoom(2));
    ASSERT_TRUE(settings.writeFullScreen(true));
    EXPECT_TRUE(settings.readFullScreen());
    ASSERT_TRUE(settings.writeFullScreen(false));
    EXPECT_FALSE(settings.readFullScreen());
    EXPECT_EQ(settings.readVolume(), VolumeLevel{}) << "full volume, not muted, before any choice";
    for (VolumeLevel level : {VolumeLevel{2, false}, VolumeLevel{3, true}, VolumeLevel{0, true}}) {
        ASSERT_TRUE(settings.writeVolume(level));
        EXPECT_EQ(settings.readVolume(), level);
    }
    std::ofstream(settings.folder() / "volume", std::ios::trunc) << "loud\n";
    EXPECT_EQ(settings.readVolume(), VolumeLevel{}) << "a damaged file reads as full volume";
    EXPECT_FALSE(settings.readChannel());
    std::ofstream(settings.folder() / "channel") << "lan-party.local:8080\n";
    EXPECT_EQ(settings.readChannel(), "lan-party.local:8080\n");

    // A pipe is no file, and a folder neither.
    fs::remove(settings.folder() / "time");
    fs::create_directory(settings.folder() / "time");
    EXPECT_EQ(withoutWaiting("zoom", [&] { return std::pair(settings.readZoom(), settings.readPlayTime()); }),
              std::pair(1, 0u));
    EXPECT_EQ(withoutWaiting("volume", [&] { return settings.readVolume(); }), VolumeLevel{});
    EXPECT_EQ(withoutWaiting("channel", [&] { return settings.readChannel().has_value(); }), false);
    // The write replaces the pipe with a file by its rename, so nothing waits for a reader either.
    ASSERT_TRUE(settings.writeVolume({1, true}));
    EXPECT_TRUE(fs::is_regular_file(settings.folder() / "volume"));
    EXPECT_EQ(settings.readVolume(), (VolumeLevel{1, true}));
    EXPECT_FALSE(Settings{fs::path()}.writeVolume({1, false})) << "no settings folder, nothing written";
}

TEST_F(SettingsFiles, TemporaryFilesOfAKilledWriteGoAtTheNextStart) {
    ASSERT_TRUE(settings.writePlayTime(5));
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(2);
    const char* const names[] = {"time.Ab12Cd",   "zoom.XyZ987",   "fullscreen.q1w2e3",
                                 "volume.Vv1234",                                  // stale: go
                                 "time.fresh1",                                    // being written now
                                 "notes.Ab12Cd",  "time.toolong1", "time.ab-12c"}; // not ours
    for (const char* name : names) {
        std::ofstream(settings.folder() / name) << "1";
        if (std::string_view(name) != "time.fresh1") fs::last_write_time(settings.folder() / name, old);
    }
    settings.removeStaleTemporaries();
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(settings.folder()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"notes.Ab12Cd", "time", "time.ab-12c", "time.fresh1",
                                              "time.toolong1"}));
    EXPECT_EQ(settings.readPlayTime(), 5u);
}

TEST_F(SettingsFiles, TwoCopiesAtOnceBothCountAndAKilledCopyLosesAtMostAMinute) {
    ASSERT_TRUE(settings.writePlayTime(100000));
    // A starts; B starts 30 s later from the total as it stood then; every frame each asks whether its
    // minute is up. A quits after 100 s of its own; B is killed 150 s after its start.
    auto a = std::make_unique<Copy>(settings, 0u);
    std::unique_ptr<Copy> b;
    for (uint32_t ms = 0; ms <= 180000; ms += 40) {
        if (ms == 30000) b = std::make_unique<Copy>(settings, 0xFFFFFF00u); // its clock about to wrap
        if (a) {
            a->tally.addIfDue();
            if (ms == 100000) {
                a->tally.addNow();
                a.reset();
            }
        }
        if (b) {
            b->tally.addIfDue();
            if (ms == 180000) b.reset(); // killed: nothing more is added
        }
        for (Copy* running : {a.get(), b.get()})
            if (running) running->clock.advance(40);
    }
    // A's whole run, and B's two whole minutes of its 150 s; read as well by a copy started with its standard
    // input closed, where the file opens as descriptor 0. The lock file is the player's, readable by others.
    const int input = ::dup(0);
    ::close(0);
    const uint32_t total = settings.readPlayTime();
    ::dup2(input, 0), ::close(input);
    EXPECT_EQ(total, 100000u + 100000u + 120000u);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(
        static_cast<unsigned>(fs::status(settings.folder() / "time.lock").permissions() & fs::perms::all),
        0644u & ~mask);
}

TEST_F(SettingsFiles, AdditionsAtTheSameMomentAreNeverLost) {
    const Settings& first = settings;
    const Settings second(first.folder());
    ASSERT_TRUE(first.writePlayTime(1000));
    // Two copies adding over and over at once: the lock lets one read and write at a time.
    const auto addMany = [](const Settings& settings) {
        for (int i = 0; i < 100; ++i)
            settings.addPlayTime(1);
    };
    std::thread other(addMany, std::cref(second));
    addMany(first);
    other.join();
    EXPECT_EQ(first.readPlayTime(), 1200u);
}

} // namespace
} // namespace tundrix
