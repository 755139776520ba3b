// The title mascots skate in, brake, blink and show which of them is picked.
#include "actors/title_figure.h"

namespace tundrix {

namespace {
// A blink starts on one check in BLINK_CHANCE; one blink in WINK_CHANCE of a figure that winks is a wink.
constexpr int BLINK_CHANCE = 100, WINK_CHANCE = 10;
constexpr int32_t BLINK_FRAMES = 2, WINK_FRAMES = 6;
constexpr uint8_t BOTH_EYES = 0, WINK = 1;
// The selection blink runs through SELECT_CYCLE drawn frames; the hair shows on the first HAIR_SHOWN.
constexpr int32_t SELECT_CYCLE = 11, HAIR_SHOWN = 8;
} // namespace

TitleFigure::TitleFigure(const TitleFigureStyle& style, SpriteSheet& sheet, Random& random,
                         SoundEffect& figureSound, SoundEffect* titleTune)
    : Actor(sheet), style_(style), random_(random), figureSound_(figureSound), titleTune_(titleTune) {
    setFrame(FIGURE_PORTRAIT);
    figureSound_.setPan(style_.pan);
}

void TitleFigure::update() {
    const layout::Entrance& e = style_.entrance;
    if (age == 0) {
        speed = e.speed;
        setPosition(e.startX, e.startY);
    }
    if (age >= e.age) {
        if (speed > 0) {
            speed -= e.braking;
            if (speed < 0) speed = 0;
        }
        moveBy(e.direction * speed, 0);
    }
}

void TitleFigure::check() {
    if (age == style_.entrance.age) {
        figureSound_.play();
        if (titleTune_) titleTune_->start();
    }
    if (blinkHold > 0) {
        blinkHold -= 1;
    } else if (random_.next() % BLINK_CHANCE == 0) {
        const bool wink = style_.winks && random_.next() % WINK_CHANCE == 0;
        blinkHold = wink ? WINK_FRAMES : BLINK_FRAMES;
        blinkKind = wink ? WINK : BOTH_EYES;
    }
    age += 1;
}

void TitleFigure::drawFigure(bool selected) {
    selectBlink = selected ? (selectBlink + 1) % SELECT_CYCLE : 0;
    if (selectBlink < HAIR_SHOWN) drawPart(style_.hairFrame, style_.hair);
    drawPart(FIGURE_PORTRAIT, {0, 0});
    if (blinkHold > 0 && blinkKind == BOTH_EYES) drawPart(FIGURE_EYES, style_.eyes);
    if (blinkHold > 0 && blinkKind == WINK) drawPart(style_.winkFrame, style_.wink);
}

void TitleFigure::drawPart(uint16_t frame, layout::Offset offset) {
    const float dx = static_cast<float>(offset.x), dy = static_cast<float>(offset.y);
    setFrame(frame);
    moveBy(dx, dy);
    draw();
    moveBy(-dx, -dy);
}

} // namespace tundrix
