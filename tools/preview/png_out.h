// Turns 8-bit palette pictures into PNG files, with the transparent key shown as a checkerboard.
#pragma once
#include "graphics/image.h"
#include "platform/video.h"

#include <array>
#include <string>
#include <vector>

namespace tundrix::preview {

using Palette = std::array<Rgb, 256>;

// An RGB picture being laid out before it is written.
class Sheet {
  public:
    Sheet(int width, int height, Rgb background);
    // Draws the image scaled up by scale; transparent pixels show a checkerboard when checker is set.
    void place(const Image& image, int x, int y, int scale, const Palette& palette, bool checker);
    void fill(int x, int y, int w, int h, Rgb colour);
    void text(int x, int y, const std::string& s, Rgb colour, double size = 10);
    bool write(const std::string& path) const;
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    int width_, height_;
    std::vector<uint32_t> rgb_;
    std::vector<std::pair<std::pair<int, int>, std::pair<std::string, std::pair<Rgb, double>>>> texts_;
};

} // namespace tundrix::preview
