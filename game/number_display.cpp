// Digit and icon rows of the HUD, drawn straight onto their target.
#include "game/number_display.h"

#include <cmath>
#include <string>

namespace tundrix {

NumberDisplay::NumberDisplay(SpriteSheet* digits, Image* target) : digitSet_(digits), target_(target) {}

NumberDisplay::NumberDisplay(Image* icon, int32_t maximum, Image* target)
    : maxIcons(maximum), spacing(3), iconMode_(true), icon_(icon), target_(target) {}

int32_t NumberDisplay::startX(int32_t items, int32_t step) const {
    return alignment == EndAt ? x_ - items * step : x_;
}

void NumberDisplay::draw() {
    if (target_ == nullptr) return;
    if (iconMode_)
        drawIcons();
    else
        drawDigits();
}

void NumberDisplay::drawDigits() {
    if (digitSet_ == nullptr || digitSet_->count() == 0) return;
    int64_t n = get();
    if (scale != 0.0f)
        n = static_cast<int64_t>(std::trunc(static_cast<double>(n) * static_cast<double>(scale)));
    if (n < 0) n = 0;
    std::string text = std::to_string(n);
    if (minDigits > 0 && static_cast<int32_t>(text.size()) < minDigits)
        text.insert(0, static_cast<size_t>(minDigits) - text.size(), '0');

    const Image* first = digitSet_->frame(0);
    const int32_t step = first->width() + spacing;
    int32_t x0 = startX(static_cast<int32_t>(text.size()), step);
    for (char c : text) {
        digitSet_->select(c - '0');
        if (const Image* glyph = digitSet_->current()) target_->blit(*glyph, x0, y_);
        x0 += step;
    }
}

void NumberDisplay::drawIcons() {
    if (icon_ == nullptr) return;
    int32_t n = get();
    if (n < 0) n = 0;
    if (n > maxIcons) n = maxIcons;
    const int32_t step = icon_->width() + spacing;
    const int32_t x0 = startX(n, step);
    for (int32_t i = 0; i < n; ++i)
        target_->blit(*icon_, x0 + i * step, y_);
}

} // namespace tundrix
