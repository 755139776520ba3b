// Showing the 8-bit game picture: the palette and the once-per-frame copy to the window.
#pragma once
#include <cstdint>
#include <span>

namespace tundrix {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

class VideoOut {
  public:
    virtual ~VideoOut() = default;
    // The 256 colours the picture's indices stand for.
    virtual void setPalette(std::span<const Rgb, 256> colours) = 0;
    // Shows width x height palette indices, top row first, at 1:1 (or at the zoom the user chose).
    virtual void present(const uint8_t* pixels, int width, int height) = 0;
};

} // namespace tundrix
