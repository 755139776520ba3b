// Frame selection, box arithmetic and drawing of sprite objects; the list visits.
#include "actors/actor.h"

#include "graphics/screen_surface.h"

namespace tundrix {

SpriteObject::SpriteObject(SpriteSheet& sheet) : target_(g_screen), sheet_(&sheet) {
    setFrame(0);
}

void SpriteObject::setFrame(uint16_t index) {
    sheet_->select(index);
    frame_ = sheet_->current();
    const float w = frame_ ? static_cast<float>(frame_->width()) : 0.0f;
    const float h = frame_ ? static_cast<float>(frame_->height()) : 0.0f;
    hx_ = w * 0.5f;
    hy_ = h * 0.5f;
    offsets_ = {0, 0, w, h};
}

void SpriteObject::updateBox() {
    box_.left = x_ - hx_ + offsets_.left;
    box_.top = y_ - hy_ + offsets_.top;
    box_.right = x_ - hx_ + offsets_.right;
    box_.bottom = y_ - hy_ + offsets_.bottom;
}

void SpriteObject::growBox(int32_t n) {
    const float d = static_cast<float>(n);
    offsets_.left -= d;
    offsets_.top -= d;
    offsets_.right += d;
    offsets_.bottom += d;
    updateBox();
}

bool SpriteObject::overlaps(SpriteObject& other) {
    updateBox();
    other.updateBox();
    return other.box_.left <= box_.right && other.box_.right >= box_.left && other.box_.top <= box_.bottom &&
           other.box_.bottom >= box_.top;
}

void SpriteObject::draw() {
    if (!visible || target_ == nullptr || marked || frame_ == nullptr) return;
    target_->blit(*frame_, static_cast<int32_t>(x_ - hx_), static_cast<int32_t>(y_ - hy_));
}

namespace {
template <class F> void visitActors(ObjectList& list, F&& f) {
    list.forEach([&](ListItem* item) {
        if (auto* actor = dynamic_cast<Actor*>(item)) f(*actor);
    });
}
} // namespace

void updateAll(ObjectList& list) {
    visitActors(list, [](Actor& a) { a.update(); });
}
void checkAll(ObjectList& list) {
    visitActors(list, [](Actor& a) { a.check(); });
}
void drawAll(ObjectList& list) {
    visitActors(list, [](SpriteObject& a) { a.draw(); });
}

} // namespace tundrix
