// An 8-bit picture of palette indices and the one drawing primitive, blit.
#pragma once
#include "graphics/resource_reader.h"

#include <cstdint>
#include <memory>

namespace tundrix {

constexpr uint8_t TRANSPARENT_INDEX = 236;

class Image {
  public:
    Image();
    Image(int32_t width, int32_t height);
    // 16 by 16, then loadImage from the store; the result of the load is ignored.
    Image(const ResourceStore& store, const ResourceName& name);
    virtual ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    int32_t pixelCount() const { return pixelCount_; }
    uint8_t* pixels() { return pixels_; }
    const uint8_t* pixels() const { return pixels_; }
    bool hasTransparency() const { return hasTransparency_; }

    // New, uninitialised pixel block of width x height (negative sizes count as 0).
    void setSize(int32_t width, int32_t height);
    void scanTransparency();

    // Copies source onto this image with its top-left at (x, y), clipped, skipping index 236 when
    // the source has transparency.
    void blit(const Image& source, int32_t x, int32_t y);
    // blit of this image onto the screen surface.
    void draw(int32_t x, int32_t y) const;

    uint8_t pixel(int32_t x, int32_t y) const;
    void setPixel(int32_t x, int32_t y, uint8_t value);
    uint8_t pixelAtIndex(int32_t i) const;
    void setPixelAtIndex(int32_t i, uint8_t value);
    void fillRect(int32_t x, int32_t y, int32_t w, int32_t h, uint8_t value);

    // Loading from the image-set format: one frame record at the reader's position. False, with the
    // image unchanged, on a wrong magic (reader not moved) or on damaged data (reader moved to the end).
    bool readFrame(ResourceReader& reader);
    bool loadRle(const ResourceStore& store, const ResourceName& name);
    // loadRle, else an 8-bit Windows bitmap of the same name.
    bool loadImage(const ResourceStore& store, const ResourceName& name);

  protected:
    // For a surface whose pixel block is provided from elsewhere: the image never frees it.
    void adoptPixels(uint8_t* pixels, int32_t width, int32_t height);
    void releasePixels();

  private:
    int32_t height_ = 0;
    int32_t width_ = 0;
    int32_t pixelCount_ = 0;
    uint8_t* pixels_ = nullptr;
    std::unique_ptr<uint8_t[]> owned_;
    bool hasTransparency_ = false;
    bool pixelsNotOwned_ = false;
};

} // namespace tundrix
