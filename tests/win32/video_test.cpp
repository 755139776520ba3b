// The GDI presentation: the 8-bit picture shown through its colour table pixel for pixel, at whole factors,
// centred with black around it, one copy per present (read back from the screen).
#include "platform/win32/win32_video.h"
#include "screen_window.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <tuple>
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
    const int W = Win32Video::WIDTH, H = Win32Video::HEIGHT;
    std::vector<uint8_t> picture(W * H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            picture[y * W + x] = static_cast<uint8_t>((x * 3 + y * 5) & 255);

    // 1:1 in a window the picture's size, as a new presentation starts; 2x in a larger window: centred, each
    // pixel a 2 x 2 square, black around. A new colour table applies to the next present without a new
    // picture.
    for (const auto& [factor, w, h, left, top] :
         {std::tuple{1, W, H, 0, 0}, {2, 2 * W + 40, 2 * H + 20, 20, 10}}) {
        SCOPED_TRACE(factor);
        ScreenWindow screen(w, h);
        Win32Video video(screen.window);
        video.setPalette(palette);
        EXPECT_EQ(Win32Video::fittingFactor(w, h), factor);
        if (factor > 1) video.setFactor(factor);
        const PictureRect r = video.pictureRect();
        EXPECT_EQ((std::tuple{r.x, r.y, r.width, r.height}), (std::tuple{left, top, factor * W, factor * H}));
        video.present(picture.data(), W, H);
        EXPECT_EQ(video.presents(), 1);
        const std::vector<uint32_t> shown = screen.read(w, h);
        int wrong = 0, border = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint32_t px = shown[static_cast<size_t>(y) * w + x];
                if (x >= left && y >= top && x < left + factor * W && y < top + factor * H)
                    wrong += px != rgbOf(palette[picture[static_cast<size_t>((y - top) / factor) * W +
                                                         (x - left) / factor]]);
                else
                    border += px != 0;
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(border, 0);
        std::array<Rgb, 256> changed = palette;
        changed[0] = Rgb{1, 2, 3};
        video.setPalette(changed);
        video.repaint();
        EXPECT_EQ(screen.read(w, h)[static_cast<size_t>(top) * w + left], 0x010203u);
    }
}

} // namespace
} // namespace tundrix
