// An ordered set of frames loaded from one image set, with one frame current.
#pragma once
#include "graphics/image.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tundrix {

class SpriteSheet {
  public:
    SpriteSheet() = default;
    virtual ~SpriteSheet() = default;
    SpriteSheet(const SpriteSheet&) = delete;
    SpriteSheet& operator=(const SpriteSheet&) = delete;

    void clear();
    // Appends the image (the sheet takes it over) and makes it current.
    void add(std::unique_ptr<Image> image);
    // Takes index as a 16-bit unsigned value; out-of-range indices leave the current frame alone.
    void select(int32_t index);
    Image* current() const { return currentFrame_; }
    int32_t count() const { return static_cast<int32_t>(frames_.size()); }
    Image* frame(int32_t index) const;
    void drawCurrent(int32_t x, int32_t y) const;
    void drawFrame(int32_t x, int32_t y, int32_t index);

    // Appends every frame of a multi-frame image set and leaves the last one current. False only if
    // the source cannot be opened (sheet unchanged); a damaged frame is added as a 16 by 16 default
    // image, so the sheet always holds the set's frame count.
    bool load(const ResourceStore& store, const ResourceName& name);

  private:
    Image* currentFrame_ = nullptr;
    std::vector<std::unique_ptr<Image>> frames_;
};

} // namespace tundrix
