// The GDI presentation: the 8-bit picture shown through its colour table pixel for pixel, at whole factors,
// centred with black around it, one copy per present (read back from the screen).
#include "platform/win32/win32_video.h"
#include "screen_window.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <vector>

namespace tundrix {
namespace {

using test::ScreenWindow;

uint32_t rgbOf(const Rgb& c) {
    return static_cast<uint32_t>(c.r) << 16 | c.g << 8 | c.b;
}

TEST(Win32Video, ThePictureIsShownThroughItsColoursPixelForPixelAtWholeFactors) {
    std::array<Rgb, 256> palette{};
    for (int i = 0; i < 256; ++i)
        palette[i] = Rgb{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7)};
    std::vector<uint8_t> picture(Win32Video::WIDTH * Win32Video::HEIGHT);
    for (int y = 0; y < Win32Video::HEIGHT; ++y)
        for (int x = 0; x < Win32Video::WIDTH; ++x)
            picture[y * Win32Video::WIDTH + x] = static_cast<uint8_t>((x * 3 + y * 5) & 255);

    // 1:1 in a window the picture's size: its top-left pixel is the client area's.
    {
        ScreenWindow screen(Win32Video::WIDTH, Win32Video::HEIGHT);
        Win32Video video(screen.window);
        video.setPalette(palette);
        video.present(picture.data(), Win32Video::WIDTH, Win32Video::HEIGHT);
        EXPECT_EQ(video.presents(), 1);
        const std::vector<uint32_t> shown = screen.read(Win32Video::WIDTH, Win32Video::HEIGHT);
        int wrong = 0;
        for (size_t i = 0; i < picture.size(); ++i)
            wrong += shown[i] != rgbOf(palette[picture[i]]);
        EXPECT_EQ(wrong, 0);
    }
    // 2x in a larger window: centred, each pixel a 2 x 2 square, black around.
    const int w = 2 * Win32Video::WIDTH + 40, h = 2 * Win32Video::HEIGHT + 20;
    ScreenWindow screen(w, h);
    Win32Video video(screen.window);
    video.setPalette(palette);
    EXPECT_EQ(Win32Video::fittingFactor(w, h), 2);
    video.setFactor(2);
    const PictureRect r = video.pictureRect();
    EXPECT_EQ(r.x, 20);
    EXPECT_EQ(r.y, 10);
    video.present(picture.data(), Win32Video::WIDTH, Win32Video::HEIGHT);
    const std::vector<uint32_t> shown = screen.read(w, h);
    int wrong = 0, border = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t px = shown[static_cast<size_t>(y) * w + x];
            const int px0 = (x - r.x) / 2, py0 = (y - r.y) / 2;
            const bool inside = x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height;
            if (inside)
                wrong += px != rgbOf(palette[picture[static_cast<size_t>(py0) * Win32Video::WIDTH + px0]]);
            else
                border += px != 0;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(border, 0);
    // A new colour table applies to the next present without a new picture.
    palette[0] = Rgb{1, 2, 3};
    video.setPalette(palette);
    video.repaint();
    EXPECT_EQ(screen.read(w, h)[static_cast<size_t>(r.y) * w + r.x], 0x010203u);
}

} // namespace
} // namespace tundrix
