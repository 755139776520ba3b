// DirectSound under Wine with a device that writes what it mixes to a file (ALSA's file plugin, set up by
// the test's environment): one buffer per sound, played once or looping, never doubled, stopped and
// resumed, panned, and heard; the simple player takes a sound whole.
#include "platform/win32/win32_audio.h"
#include "sound/wave_reader.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tundrix {
namespace {

// One second of a 440 Hz tone, 8-bit mono at 8000 samples per second, as the game's sounds are.
std::vector<uint8_t> tone(double seconds) {
    std::vector<uint8_t> s(static_cast<size_t>(8000 * seconds));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<uint8_t>(128 + 100 * std::sin(i * 2 * 3.14159265 * 440 / 8000));
    return s;
}

// The loudest sample in each channel of what the device wrote since `from`: Wine mixes to 32-bit float
// stereo, full scale 1.
std::pair<float, float> peaks(const std::filesystem::path& file, uintmax_t from) {
    std::ifstream in(file, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(from & ~uintmax_t{7}));
    float left = 0, right = 0;
    for (float frame[2]; in.read(reinterpret_cast<char*>(frame), sizeof frame);) {
        left = std::max(left, std::fabs(frame[0]));
        right = std::max(right, std::fabs(frame[1]));
    }
    return {left, right};
}

TEST(Win32Audio, BuffersPlayOnceOrLoopResumeWhereStoppedAndPanInWhatTheDeviceMixes) {
    const char* out = std::getenv("TUNDRIX_AUDIO_OUT");
    if (!out) GTEST_SKIP() << "no audio device file set up (TUNDRIX_AUDIO_OUT)";
    const std::filesystem::path mixed(out);
    HWND window = CreateWindowExW(0, L"STATIC", L"audio test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    Win32Audio audio(window);
    ASSERT_TRUE(audio.open());
    EXPECT_TRUE(audio.open()); // kept open
    const PcmFormat format;
    const std::vector<uint8_t> shortTone = tone(0.12), longTone = tone(1.0);
    const AudioOut::BufferId once = audio.createBuffer(format, shortTone);
    const AudioOut::BufferId looped = audio.createBuffer(format, longTone);
    ASSERT_NE(once, AudioOut::NO_BUFFER);
    ASSERT_NE(looped, AudioOut::NO_BUFFER);
    EXPECT_EQ(audio.createBuffer(format, {}), AudioOut::NO_BUFFER);

    // Played once: over after its length, and from its beginning again when started anew.
    audio.start(once, false, 0, 0);
    EXPECT_TRUE(audio.isPlaying(once));
    Sleep(500);
    EXPECT_FALSE(audio.isPlaying(once));
    audio.start(once, false, 0, 0);
    EXPECT_TRUE(audio.isPlaying(once));
    // Looping: still playing after twice its length; stopped, it stays stopped until started again.
    audio.start(looped, true, 0, 0);
    Sleep(2100);
    EXPECT_TRUE(audio.isPlaying(looped));
    audio.stop(looped);
    EXPECT_FALSE(audio.isPlaying(looped));
    audio.start(looped, true, 0, 0);
    EXPECT_TRUE(audio.isPlaying(looped));
    audio.stop(looped);

    // What the device mixed of the long tone played once at a pan.
    const auto heard = [&](int pan) {
        const uintmax_t from = std::filesystem::file_size(mixed);
        audio.start(looped, false, pan, 0);
        Sleep(600);
        audio.stop(looped);
        Sleep(300);
        return peaks(mixed, from);
    };
    // Full left: the right channel hears nothing of it; full right, the other way round.
    Sleep(300);
    for (int pan : {-10000, 10000}) {
        SCOPED_TRACE(pan);
        const auto [left, right] = heard(pan);
        EXPECT_GT(pan < 0 ? left : right, 0.3f);
        EXPECT_LT(pan < 0 ? right : left, 0.01f);
    }
    // The player's volume at silence: nothing comes out of a sound started now.
    audio.setOutputVolume(10000);
    EXPECT_LT(heard(0).first, 0.001f);
    audio.setOutputVolume(0);
    audio.close();
    EXPECT_FALSE(audio.isPlaying(looped)); // closing released every buffer
    DestroyWindow(window);
}

} // namespace
} // namespace tundrix
