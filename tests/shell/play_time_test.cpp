// The play-time and zoom files: the parsers, where the folder is, and the write-then-rename update.
#include "shell/play_time.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tundrix {
namespace {

namespace fs = std::filesystem;

class TempDir {
  public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "tundrix-shell-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path, fs::perms::owner_all, ec);
        fs::remove_all(path, ec);
    }
    fs::path path;
};

TEST(PlayTimeText, ReadsOnlyAWholeDecimal32BitNumber) {
    EXPECT_EQ(parsePlayTime("90000"), 90000u);
    EXPECT_EQ(parsePlayTime("  90000\n"), 90000u);
    EXPECT_EQ(parsePlayTime("4294967295"), 4294967295u);
    EXPECT_EQ(parsePlayTime("0"), 0u);
    // Corrupt or foreign content reads as 0.
    for (const char* bad :
         {"", "\n", "4294967296", "99999999999", "-5", "+5", "12 34", "12a", "0x10", "1e5", "\xff\xfe"}) {
        EXPECT_EQ(parsePlayTime(bad), 0u) << bad;
    }
    EXPECT_EQ(parsePlayTime(std::string_view("12\0"
                                             "3",
                                             4)),
              0u);
    // What is written reads back.
    for (uint32_t v : {0u, 1u, 90000u, 4294967295u})
        EXPECT_EQ(parsePlayTime(formatPlayTime(v)), v);
}

TEST(ZoomText, OnlyOneTwoOrThree) {
    EXPECT_EQ(parseZoom("2\n"), 2);
    EXPECT_EQ(parseZoom("3"), 3);
    EXPECT_EQ(parseZoom("1"), 1);
    for (const char* other : {"", "0", "4", "22", "-2", "two"})
        EXPECT_EQ(parseZoom(other), 1) << other;
}

TEST(SettingsFolder, FollowsTheConfigHomeRules) {
    EXPECT_EQ(settingsFolder("/x/cfg", "/home/anna"), fs::path("/x/cfg/lumora/tundrix"));
    EXPECT_EQ(settingsFolder(nullptr, "/home/anna"), fs::path("/home/anna/.config/lumora/tundrix"));
    EXPECT_EQ(settingsFolder("", "/home/anna"), fs::path("/home/anna/.config/lumora/tundrix"));
    EXPECT_EQ(settingsFolder("relative", "/home/anna"), fs::path("/home/anna/.config/lumora/tundrix"));
    EXPECT_TRUE(settingsFolder(nullptr, nullptr).empty());
    EXPECT_TRUE(settingsFolder("", "relative").empty());
}

TEST(Settings, FirstRunReadsZeroThenTheWrittenTotalsReadBack) {
    TempDir tmp;
    const Settings settings(settingsFolder(tmp.path.c_str(), nullptr));
    EXPECT_EQ(settings.readPlayTime(), 0u) << "no file yet";
    EXPECT_EQ(settings.readZoom(), 1);

    ASSERT_TRUE(settings.writePlayTime(90000));
    EXPECT_EQ(settings.readPlayTime(), 90000u);
    ASSERT_TRUE(settings.writePlayTime(totalPlayTime(settings.readPlayTime(), 1000, 31000)));
    EXPECT_EQ(settings.readPlayTime(), 120000u);
    ASSERT_TRUE(settings.writeZoom(3));
    EXPECT_EQ(settings.readZoom(), 3);
    EXPECT_FALSE(settings.writeZoom(7));
    EXPECT_EQ(settings.readZoom(), 3);

    // Only the two settings are left in the folder: no temporary files.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(settings.folder())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "time" || name == "zoom") << name;
        ++files;
    }
    EXPECT_EQ(files, 2);

    // A damaged file reads as 0 and is replaced whole at the next quit.
    std::ofstream(settings.folder() / "time") << "garbage\n";
    EXPECT_EQ(settings.readPlayTime(), 0u);
    std::ofstream(settings.folder() / "time", std::ios::trunc).close();
    EXPECT_EQ(settings.readPlayTime(), 0u);
    ASSERT_TRUE(settings.writePlayTime(5));
    EXPECT_EQ(settings.readPlayTime(), 5u);

    // A huge file is not read whole.
    std::ofstream(settings.folder() / "time", std::ios::trunc) << std::string(100000, '7');
    EXPECT_EQ(settings.readPlayTime(), 0u);
}

TEST(Settings, UnwritableOrMissingPlacesAreSkippedQuietly) {
    TempDir tmp;
    // The config "folder" is a file: nothing can be created below it.
    const fs::path blocker = tmp.path / "blocker";
    std::ofstream(blocker) << "x";
    const Settings underFile(settingsFolder(blocker.c_str(), nullptr));
    EXPECT_FALSE(underFile.writePlayTime(1234));
    EXPECT_EQ(underFile.readPlayTime(), 0u);

    const Settings nowhere{fs::path()};
    EXPECT_FALSE(nowhere.writePlayTime(1));
    EXPECT_FALSE(nowhere.writeZoom(2));
    EXPECT_EQ(nowhere.readPlayTime(), 0u);
    EXPECT_EQ(nowhere.readZoom(), 1);

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
