// The screen surface: palette from bitmap 139, the frame buffer, and the 1:1 presentation.
#include "graphics/screen_surface.h"

#include "graphics/bmp_reader.h"

#include <cstring>

namespace tundrix {

ScreenSurface* g_screen = nullptr;
bool g_paletteDirty = false;

ScreenSurface::ScreenSurface(VideoOut& video, const ResourceStore& resources, int32_t width, int32_t height)
    : Image(width, height), video_(video), resources_(resources) {
    // No pixels until create: the frame buffer is made there.
    releasePixels();
}

ScreenSurface::~ScreenSurface() = default;

void ScreenSurface::create() {
    if (created_) return;
    BmpInfo bitmap;
    // A damaged bitmap counts as a missing one: no surface yet, tried again next frame.
    if (!readBmp(resources_.find(PALETTE_BITMAP_ID), bitmap)) return;

    std::array<Rgb, 256> colours{};
    if (bitmap.bitsPerPixel == 8) {
        // Entries the colour table does not hold stay black.
        for (size_t i = 0; i < bitmap.colours.size() && i < colours.size(); ++i)
            colours[i] = bitmap.colours[i];
    } else {
        // No colour table to take: a gray ramp from white at 0 to black at 255 keeps the picture readable.
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<uint8_t>(255 - i);
            colours[i] = Rgb{v, v, v};
        }
    }
    palette_ = colours;
    video_.setPalette(palette_);

    frame_ = std::make_unique<uint8_t[]>(static_cast<size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT);
    adoptPixels(frame_.get(), SCREEN_WIDTH, SCREEN_HEIGHT);
    created_ = true;
}

void ScreenSurface::present() {
    if (!created_) return;
    if (g_paletteDirty) {
        g_paletteDirty = false;
        video_.setPalette(palette_);
    }
    video_.present(pixels(), SCREEN_WIDTH, SCREEN_HEIGHT);
}

} // namespace tundrix
