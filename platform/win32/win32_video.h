// The game picture in a Win32 window: an 8-bit GDI DIB section with the game's colour table and a logical
// palette, copied into the client area by one StretchDIBits per frame at a whole factor.
#pragma once
#include "platform/video.h"

#include <cstdint>

#include <windows.h>

namespace tundrix {

struct PictureRect {
    int x = 0, y = 0, width = 0, height = 0;
};

class Win32Video : public VideoOut {
  public:
    static constexpr int WIDTH = 440, HEIGHT = 300;

    explicit Win32Video(HWND window);
    ~Win32Video() override;
    Win32Video(const Win32Video&) = delete;
    Win32Video& operator=(const Win32Video&) = delete;

    // Fills the DIB's colour table and makes a logical palette of the same colours (every entry
    // PC_NOCOLLAPSE), selected and realised in the window's device context.
    void setPalette(std::span<const Rgb, 256> colours) override;
    // Copies the picture into the DIB section and the DIB section into the window.
    void present(const uint8_t* pixels, int width, int height) override;
    // Shows the last picture again (the window was uncovered, or the game stands still), with the black
    // around it when borders is set.
    void repaint(bool borders = false);

    // The whole factor the picture is shown at, 1 or more; the picture is centred in the client area and
    // the rest of it is black.
    void setFactor(int factor);
    int factor() const { return factor_; }
    // Where the picture lies in the client area now.
    PictureRect pictureRect() const;
    // The largest whole factor at which the picture fits into w x h (at least 1).
    static int fittingFactor(int w, int h);

    // The logical palette must be realised again before the next copy (WM_QUERYNEWPALETTE).
    void paletteLost() { paletteLost_ = true; }
    int presents() const { return presents_; }

  private:
    void blit(HDC dc);
    void realise(HDC dc);

    HWND window_;
    HBITMAP dib_ = nullptr;
    uint8_t* bits_ = nullptr;
    HPALETTE palette_ = nullptr;
    struct Info;
    Info* info_;
    int factor_ = 1;
    bool paletteLost_ = true;
    bool bordersStale_ = true;
    PictureRect lastRect_;
    int presents_ = 0;
};

} // namespace tundrix
