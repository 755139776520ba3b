// A guarded counter that draws itself as digits or as a row of icons on the HUD.
#pragma once
#include "core/guarded_counter.h"
#include "graphics/image.h"
#include "graphics/sprite_sheet.h"

namespace tundrix {

class NumberDisplay : public GuardedCounter {
  public:
    // Where x is: the row starts there, or ends there.
    enum Alignment { StartAt, EndAt };

    // Digit mode: frame n of digits is the image of digit n.
    NumberDisplay(SpriteSheet* digits, Image* target);
    // Icon mode: icon repeated value times, at most maximum.
    NumberDisplay(Image* icon, int32_t maximum, Image* target);

    void setPosition(int32_t x, int32_t y) { x_ = x, y_ = y; }
    void setIcon(Image* icon) { icon_ = icon, iconMode_ = true; }
    void draw();

    float scale = 0.0f;
    int32_t minDigits = 0;
    int32_t maxIcons = 0;
    int32_t spacing = 0;
    Alignment alignment = StartAt;

  private:
    int32_t startX(int32_t items, int32_t step) const;
    void drawDigits();
    void drawIcons();

    bool iconMode_ = false;
    int32_t x_ = 0;
    int32_t y_ = 0;
    SpriteSheet* digitSet_ = nullptr;
    Image* icon_ = nullptr;
    Image* target_ = nullptr;
};

} // namespace tundrix
