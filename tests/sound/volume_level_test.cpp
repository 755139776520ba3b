// The player's volume: its steps and mute, and its text in the settings file.
#include "sound/volume_level.h"

#include <gtest/gtest.h>

#include <string_view>

namespace tundrix {
namespace {

TEST(VolumeLevel, StartsAtFullVolumeStepsDownByHalvesAndMuteKeepsTheStep) {
    VolumeLevel level;
    EXPECT_EQ(level.attenuation(), 0);
    EXPECT_EQ(level.louder(), level) << "already full";
    for (int i = 0; i < 10; ++i)
        level = level.quieter();
    EXPECT_EQ(level.step, VolumeLevel::STEPS - 1);
    EXPECT_EQ(level.attenuation(), (VolumeLevel::STEPS - 1) * 600);
    const VolumeLevel muted = level.toggledMute();
    EXPECT_EQ(muted.attenuation(), VolumeLevel::SILENT);
    EXPECT_EQ(muted.louder().attenuation(), VolumeLevel::SILENT) << "a step does not unmute";
    EXPECT_EQ(muted.louder().toggledMute().attenuation(), (VolumeLevel::STEPS - 2) * 600);
    EXPECT_EQ(VolumeLevel{}.withStep(-3).step, 0);
    EXPECT_EQ(VolumeLevel::stepLabel(0), "100 %");
    EXPECT_EQ(VolumeLevel::stepLabel(1), "50 %");
    EXPECT_EQ(VolumeLevel::stepLabel(3), "13 %");
}

TEST(VolumeLevel, TheSettingsTextReadsBackAndAnythingElseGivesFullVolume) {
    for (int step = 0; step < VolumeLevel::STEPS; ++step) {
        for (bool muted : {false, true}) {
            const VolumeLevel level{step, muted};
            EXPECT_EQ(parseVolume(formatVolume(level)), level) << formatVolume(level);
        }
    }
    EXPECT_EQ(formatVolume({2, true}), "2 mute\n");
    EXPECT_EQ(formatVolume({9, false}), "3\n") << "kept within the steps";
    EXPECT_EQ(parseVolume(" 1\r\n"), (VolumeLevel{1, false}));
    EXPECT_EQ(parseVolume("3\tmute "), (VolumeLevel{3, true}));
    for (const std::string_view bad :
         {"", "\n", "4", "-1", "12", "1mute", "1 mutex", "1 mute 2", "mute", "x", "\xff"})
        EXPECT_EQ(parseVolume(bad), VolumeLevel{}) << bad;
    EXPECT_EQ(parseVolume(std::string_view("1\0", 2)), VolumeLevel{});
}

} // namespace
} // namespace tundrix
