// Image storage, clipping blit, pixel access and rectangle fill.
#include "graphics/image.h"

#include "graphics/screen_surface.h"

#include <cstring>

namespace tundrix {

Image::Image() {
    setSize(16, 16);
}

Image::Image(int32_t width, int32_t height) {
    setSize(width, height);
}

Image::Image(const ResourceStore& store, const ResourceName& name) {
    setSize(16, 16);
    loadImage(store, name);
}

Image::~Image() = default;

void Image::setSize(int32_t width, int32_t height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    int64_t count = static_cast<int64_t>(width) * height;
    if (count > INT32_MAX) width = height = 0, count = 0;
    owned_.reset(count > 0 ? new uint8_t[static_cast<size_t>(count)]() : nullptr);
    pixels_ = owned_.get();
    pixelsNotOwned_ = false;
    width_ = width;
    height_ = height;
    pixelCount_ = static_cast<int32_t>(count);
}

void Image::adoptPixels(uint8_t* pixels, int32_t width, int32_t height) {
    owned_.reset();
    pixels_ = pixels;
    pixelsNotOwned_ = true;
    width_ = width;
    height_ = height;
    pixelCount_ = pixels ? width * height : 0;
}

void Image::releasePixels() {
    owned_.reset();
    pixels_ = nullptr;
    pixelCount_ = 0;
}

void Image::scanTransparency() {
    hasTransparency_ = pixels_ != nullptr &&
                       std::memchr(pixels_, TRANSPARENT_INDEX, static_cast<size_t>(pixelCount_)) != nullptr;
}

void Image::blit(const Image& src, int32_t x, int32_t y) {
    const int32_t tw = width_, th = height_, sw = src.width_, sh = src.height_;
    if (pixels_ == nullptr || src.pixels_ == nullptr) return;
    if (y >= th || x >= tw || y + sh < 0 || x + sw < 0) return;
    const int32_t colStart = x < 0 ? -x : 0;
    const int32_t colEnd = x + sw > tw ? tw - x : sw;
    const int32_t rowStart = y < 0 ? -y : 0;
    const int32_t rowEnd = y + sh > th ? th - y : sh;
    if (rowStart >= rowEnd || colStart >= colEnd) return;

    const int32_t cols = colEnd - colStart;
    const uint8_t* s = src.pixels_ + static_cast<size_t>(rowStart) * sw + colStart;
    uint8_t* t = pixels_ + static_cast<size_t>(y + rowStart) * tw + (x + colStart);
    if (src.hasTransparency_) {
        for (int32_t r = rowStart; r < rowEnd; ++r, s += sw, t += tw) {
            for (int32_t c = 0; c < cols; ++c) {
                uint8_t v = s[c];
                if (v != TRANSPARENT_INDEX) t[c] = v;
            }
        }
    } else {
        for (int32_t r = rowStart; r < rowEnd; ++r, s += sw, t += tw)
            std::memcpy(t, s, static_cast<size_t>(cols));
    }
}

void Image::draw(int32_t x, int32_t y) const {
    if (g_screen != nullptr) g_screen->blit(*this, x, y);
}

uint8_t Image::pixel(int32_t x, int32_t y) const {
    if (pixels_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

void Image::setPixel(int32_t x, int32_t y, uint8_t value) {
    if (pixels_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<size_t>(y) * width_ + x] = value;
}

uint8_t Image::pixelAtIndex(int32_t i) const {
    if (pixels_ == nullptr || i < 0 || i >= pixelCount_) return 0;
    return pixels_[i];
}

void Image::setPixelAtIndex(int32_t i, uint8_t value) {
    if (pixels_ == nullptr || i < 0 || i >= pixelCount_) return;
    pixels_[i] = value;
}

void Image::fillRect(int32_t x, int32_t y, int32_t w, int32_t h, uint8_t value) {
    if (pixels_ == nullptr) return;
    if (x < 0) w += x, x = 0;
    if (y < 0) h += y, y = 0;
    if (x >= width_ || y >= height_ || w <= 0 || h <= 0) return;
    if (w > width_ - x) w = width_ - x;
    if (h > height_ - y) h = height_ - y;
    for (int32_t r = 0; r < h; ++r)
        std::memset(pixels_ + static_cast<size_t>(y + r) * width_ + x, value, static_cast<size_t>(w));
}

} // namespace tundrix
