// The settings files on Windows: in the application data folder, plain files only, written whole through a
// temporary file that the start's clean-up finds when a write was cut short.
#include "shell/play_time.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace tundrix {
namespace {

TEST(WindowsSettingsFiles, LiveInAppDataAndAreReadAndWrittenWhole) {
    wchar_t appData[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH), 0u);
    EXPECT_EQ(userSettingsFolder(), std::filesystem::path(appData) / "lumora" / "tundrix");

    const auto dir = std::filesystem::temp_directory_path() /
                     ("tundrix_settings_" + std::to_string(GetCurrentProcessId()));
    std::filesystem::remove_all(dir);
    const Settings settings(dir / "lumora" / "tundrix");
    EXPECT_EQ(settings.readPlayTime(), 0u);
    EXPECT_EQ(settings.readZoom(), 1);
    ASSERT_TRUE(settings.writeZoom(3)); // the folders are made on the way
    ASSERT_TRUE(settings.writeZoom(2)); // and an old file is replaced
    EXPECT_EQ(settings.readZoom(), 2);
    ASSERT_TRUE(settings.writeVolume(VolumeLevel{2, true}));
    EXPECT_EQ(settings.readVolume(), (VolumeLevel{2, true}));
    // Only the new file is left: no temporary beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(settings.folder()), {}), 2);
    // A file another copy is reading while it is replaced is replaced once the read is done.
    {
        HANDLE reader = CreateFileW((settings.folder() / "zoom").c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(reader, INVALID_HANDLE_VALUE);
        std::thread done([reader] {
            Sleep(200);
            CloseHandle(reader);
        });
        EXPECT_TRUE(settings.writeZoom(3));
        done.join();
        EXPECT_EQ(settings.readZoom(), 3);
    }
    // A folder in a file's place is ignored, and so is a longer file's rest.
    std::filesystem::create_directories(settings.folder() / "fullscreen");
    EXPECT_FALSE(settings.readFullScreen());
    EXPECT_FALSE(readSettingsFile(settings.folder() / "fullscreen").has_value());
    std::ofstream(settings.folder() / "channel") << std::string(1000, 'x');
    EXPECT_EQ(readSettingsFile(settings.folder() / "channel", 16)->size(), 16u);
    // A killed write's temporary file, named as the writes name theirs, goes at the next start once it
    // is a minute old; one being written now stays.
    const auto stale = settings.folder() / "zoom.a1B2c3", fresh = settings.folder() / "zoom.Zz9Yy8";
    std::ofstream(stale) << "3";
    std::ofstream(fresh) << "3";
    std::filesystem::last_write_time(stale,
                                     std::filesystem::file_time_type::clock::now() - std::chrono::minutes(5));
    settings.removeStaleTemporaries();
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(fresh));
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace tundrix
