// Frame list, selection and loading of a multi-frame image set.
#include "graphics/sprite_sheet.h"

namespace tundrix {

void SpriteSheet::clear() {
    frames_.clear();
    currentFrame_ = nullptr;
}

void SpriteSheet::add(std::unique_ptr<Image> image) {
    frames_.push_back(std::move(image));
    select(count() - 1);
}

void SpriteSheet::select(int32_t index) {
    const uint32_t i = static_cast<uint16_t>(index);
    if (frames_.empty() || i >= frames_.size()) return;
    currentFrame_ = frames_[i].get();
}

Image* SpriteSheet::frame(int32_t index) const {
    if (index < 0 || index >= count()) return nullptr;
    return frames_[static_cast<size_t>(index)].get();
}

void SpriteSheet::drawCurrent(int32_t x, int32_t y) const {
    if (!frames_.empty() && currentFrame_ != nullptr) currentFrame_->draw(x, y);
}

void SpriteSheet::drawFrame(int32_t x, int32_t y, int32_t index) {
    select(index);
    drawCurrent(x, y);
}

bool SpriteSheet::load(const ResourceStore& store, const ResourceName& name) {
    ResourceReader reader;
    if (!reader.open(store, name)) return false;
    const uint16_t n = reader.readU16();
    frames_.reserve(frames_.size() + n);
    for (uint32_t i = 0; i < n; ++i) {
        // A damaged frame stays a default image; only a source that cannot be opened fails the load.
        auto image = std::make_unique<Image>();
        image->readFrame(reader);
        add(std::move(image));
    }
    return true;
}

} // namespace tundrix
