// The play-time and zoom files: the parsers, where the folder is, and the write-then-rename update.
#include "shell/play_time.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tundrix {
namespace {

namespace fs = std::filesystem;
using namespace std::string_view_literals;

// A fresh folder, removed with everything in it at the end.
struct TempDir {
    std::string name = (fs::temp_directory_path() / "tundrix-shell-XXXXXX").string();
    fs::path path = ::mkdtemp(name.data());
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path, fs::perms::owner_all, ec);
        fs::remove_all(path, ec);
    }
};

TEST(SettingsText, PlayTimeIsAWholeDecimal32BitNumberAndZoomOneTwoOrThree) {
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
}

TEST(SettingsFolder, FollowsTheConfigHomeRules) {
    EXPECT_EQ(settingsFolder("/x/cfg", "/home/anna"), fs::path("/x/cfg/lumora/tundrix"));
    for (const char* xdg : {static_cast<const char*>(nullptr), "", "relative"})
        EXPECT_EQ(settingsFolder(xdg, "/home/anna"), fs::path("/home/anna/.config/lumora/tundrix")) << xdg;
    EXPECT_TRUE(settingsFolder(nullptr, nullptr).empty());
    EXPECT_TRUE(settingsFolder("", "relative").empty());
}

TEST(Settings, FirstRunReadsDefaultsThenWrittenValuesReadBackWithNoTemporaryFilesLeft) {
    TempDir tmp;
    const Settings settings(settingsFolder(tmp.path.c_str(), nullptr));
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
    ASSERT_TRUE(settings.writePlayTime(5));
    EXPECT_EQ(settings.readPlayTime(), 5u);
}

TEST(Settings, UnwritableOrMissingPlacesAreSkippedQuietly) {
    TempDir tmp;
    // The config "folder" is a file: nothing can be created below it.
    const fs::path blocker = tmp.path / "blocker";
    std::ofstream(blocker) << "x";
    const Settings nowhere{fs::path()};
    for (const Settings& s : {Settings(settingsFolder(blocker.c_str(), nullptr)), nowhere}) {
        EXPECT_FALSE(s.writePlayTime(1234)) << s.folder();
        EXPECT_FALSE(s.writeZoom(2)) << s.folder();
        EXPECT_EQ(s.readPlayTime(), 0u) << s.folder();
        EXPECT_EQ(s.readZoom(), 1) << s.folder();
    }

    if (::geteuid() != 0) { // root writes anywhere
        const Settings locked(settingsFolder(tmp.path.c_str(), nullptr));
        ASSERT_TRUE(locked.writePlayTime(77));
        fs::permissions(locked.folder(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(locked.writePlayTime(88));
        EXPECT_EQ(locked.readPlayTime(), 77u) << "the old total survives a failed write";
        fs::permissions(locked.folder(), fs::perms::owner_all);
    }
}

} // namespace
} // namespace tundrix
