// The DIB section, its colour table, the logical palette and the once-per-frame StretchDIBits.
#include "platform/win32/win32_video.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace tundrix {

// BITMAPINFO with the whole 256-entry colour table, and LOGPALETTE with its 256 entries.
struct Win32Video::Info {
    BITMAPINFOHEADER header{};
    RGBQUAD colours[256]{};
    struct {
        WORD version;
        WORD entries;
        PALETTEENTRY entry[256];
    } logPalette{};
};

Win32Video::Win32Video(HWND window) : window_(window), info_(new Info) {
    BITMAPINFOHEADER& h = info_->header;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = WIDTH;
    h.biHeight = -HEIGHT; // top row first, as the game's pictures are
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biCompression = BI_RGB;
    h.biClrUsed = 256;
    h.biClrImportant = 256;
    info_->logPalette.version = 0x300;
    info_->logPalette.entries = 256;
    HDC dc = GetDC(window_);
    void* bits = nullptr;
    dib_ = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(info_), DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(window_, dc);
    bits_ = static_cast<uint8_t*>(bits);
    if (bits_) std::memset(bits_, 0, static_cast<size_t>(WIDTH) * HEIGHT);
}

Win32Video::~Win32Video() {
    if (dib_) DeleteObject(dib_);
    if (palette_) DeleteObject(palette_);
    delete info_;
}

void Win32Video::setPalette(std::span<const Rgb, 256> colours) {
    for (size_t i = 0; i < 256; ++i) {
        info_->colours[i] = RGBQUAD{colours[i].b, colours[i].g, colours[i].r, 0};
        info_->logPalette.entry[i] = PALETTEENTRY{colours[i].r, colours[i].g, colours[i].b, PC_NOCOLLAPSE};
    }
    if (palette_) DeleteObject(palette_);
    palette_ = CreatePalette(reinterpret_cast<LOGPALETTE*>(&info_->logPalette));
    paletteLost_ = true;
}

void Win32Video::realise(HDC dc) {
    if (!palette_) return;
    SelectPalette(dc, palette_, FALSE);
    RealizePalette(dc);
    paletteLost_ = false;
}

int Win32Video::fittingFactor(int w, int h) {
    return std::max(1, std::min(w / WIDTH, h / HEIGHT));
}

void Win32Video::setFactor(int factor) {
    factor_ = std::max(1, factor);
    bordersStale_ = true;
}

PictureRect Win32Video::pictureRect() const {
    RECT client{};
    GetClientRect(window_, &client);
    PictureRect r;
    r.width = WIDTH * factor_;
    r.height = HEIGHT * factor_;
    r.x = (client.right - r.width) / 2;
    r.y = (client.bottom - r.height) / 2;
    return r;
}

void Win32Video::blit(HDC dc) {
    if (!bits_) return;
    if (paletteLost_) realise(dc);
    const PictureRect r = pictureRect();
    if (bordersStale_ || r.x != lastRect_.x || r.y != lastRect_.y || r.width != lastRect_.width) {
        // Black around the picture, drawn only when where the picture lies has changed.
        RECT client{};
        GetClientRect(window_, &client);
        HRGN around = CreateRectRgn(0, 0, client.right, client.bottom);
        HRGN picture = CreateRectRgn(r.x, r.y, r.x + r.width, r.y + r.height);
        CombineRgn(around, around, picture, RGN_DIFF);
        FillRgn(dc, around, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        DeleteObject(picture);
        DeleteObject(around);
        bordersStale_ = false;
        lastRect_ = r;
    }
    // Whole factors only, each picture pixel a square of screen pixels.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, r.x, r.y, r.width, r.height, 0, 0, WIDTH, HEIGHT, bits_,
                  reinterpret_cast<BITMAPINFO*>(info_), DIB_RGB_COLORS, SRCCOPY);
    ++presents_;
}

void Win32Video::present(const uint8_t* pixels, int width, int height) {
    if (!bits_ || !pixels) return;
    GdiFlush();
    const int w = std::min(width, WIDTH), h = std::min(height, HEIGHT);
    for (int y = 0; y < h; ++y)
        std::memcpy(bits_ + static_cast<size_t>(y) * WIDTH, pixels + static_cast<size_t>(y) * width,
                    static_cast<size_t>(w));
    repaint();
}

void Win32Video::repaint(bool borders) {
    if (borders) bordersStale_ = true;
    HDC dc = GetDC(window_);
    blit(dc);
    ReleaseDC(window_, dc);
}

} // namespace tundrix
