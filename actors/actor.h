// Sprite objects and actors: position, frame, hot spot, collision box and the per-frame protocol.
#pragma once
#include "core/object_list.h"
#include "graphics/image.h"
#include "graphics/sprite_sheet.h"

#include <cstdint>

namespace tundrix {

struct Box {
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;
};

class SpriteObject : public ListItem {
  public:
    // Draws on g_screen as it is at construction; frame 0 of the sheet; position (100, 100).
    explicit SpriteObject(SpriteSheet& sheet);
    ~SpriteObject() override = default;
    SpriteObject(const SpriteObject&) = delete;
    SpriteObject& operator=(const SpriteObject&) = delete;

    // Blits the frame centred on the position, skipping transparent pixels, unless the object is
    // invisible, marked, or has no target or frame.
    virtual void draw();

    // Makes frame index current in the sheet (an index beyond the sheet keeps the sheet's current
    // frame) and takes that frame: hot spot at its centre, box offsets (0, 0, width, height).
    void setFrame(uint16_t index);
    void setPosition(float x, float y) { x_ = x, y_ = y; }
    void moveBy(float dx, float dy) { x_ += dx, y_ += dy; }
    void updateBox();
    // Grows the box offsets by n on every side (shrinks for negative n) and updates the box.
    void growBox(int32_t n);
    // Inclusive: boxes that only touch overlap.
    bool overlaps(SpriteObject& other);

    float x() const { return x_; }
    float y() const { return y_; }
    const Box& box() const { return box_; }
    const Image* frame() const { return frame_; }
    SpriteSheet& sheet() const { return *sheet_; }
    void setTarget(Image* target) { target_ = target; }

    bool visible = true;

  protected:
    Image* target_;
    SpriteSheet* sheet_;
    Image* frame_ = nullptr;
    float x_ = 100;
    float y_ = 100;
    float hx_ = 0;
    float hy_ = 0;
    Box offsets_;
    Box box_;
};

class Actor : public SpriteObject {
  public:
    explicit Actor(SpriteSheet& sheet) : SpriteObject(sheet) {}
    ~Actor() override = default;

    // One frame of motion; the base adds the velocity to the position.
    virtual void update() { moveBy(vx, vy); }
    // The actor's rules after every actor has moved.
    virtual void check() = 0;

    float vx = 0;
    float vy = 0;
};

// The list visits of the per-frame protocol: every item in list order, marked ones included (a
// marked actor draws nothing). Items that are not actors are passed over.
void updateAll(ObjectList& list);
void checkAll(ObjectList& list);
void drawAll(ObjectList& list);

} // namespace tundrix
