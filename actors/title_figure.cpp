// The title mascots skate in, brake, blink and show which of them is picked.
#include "actors/title_figure.h"

#include "core/screen_layout.h"

namespace tundrix {

namespace {
constexpr int32_t RIGHT_START_AGE = 33;
constexpr int32_t LEFT_START_AGE = 20;
constexpr int32_t FULL_PAN = 10000;
} // namespace

TitleFigure::TitleFigure(SpriteSheet& sheet, Random& random) : Actor(sheet), random_(random) {
    setFrame(0);
}

bool TitleFigure::stepSelectBlink(bool selected) {
    if (selected) {
        selectBlink += 1;
        if (selectBlink > 10) selectBlink = 0;
    } else {
        selectBlink = 0;
    }
    return selectBlink <= 7;
}

void TitleFigure::drawPart(uint16_t frame, layout::Offset offset) {
    const float dx = static_cast<float>(offset.x), dy = static_cast<float>(offset.y);
    setFrame(frame);
    moveBy(dx, dy);
    draw();
    moveBy(-dx, -dy);
}

RightTitleFigure::RightTitleFigure(SpriteSheet& sheet, Random& random, SoundEffect& figureSound,
                                   SoundEffect& titleTune)
    : TitleFigure(sheet, random), figureSound_(figureSound), titleTune_(titleTune) {
    figureSound_.setPan(FULL_PAN);
}

void RightTitleFigure::update() {
    if (age == 0) {
        speed = 70.0f;
        setPosition(layout::VESSA_START_X, layout::VESSA_START_Y);
    }
    if (age >= RIGHT_START_AGE) {
        if (speed > 0) {
            speed -= 6.5f;
            if (speed < 0) speed = 0;
        }
        moveBy(-speed, 0);
    }
}

void RightTitleFigure::check() {
    if (age == RIGHT_START_AGE) {
        figureSound_.play();
        titleTune_.start();
    }
    if (blinkHold > 0) {
        blinkHold -= 1;
    } else if (random_.next() % 100 == 0) {
        if (random_.next() % 10 != 0) {
            blinkHold = 2;
            blinkKind = 0;
        } else {
            blinkHold = 6;
            blinkKind = 1;
        }
    }
    age += 1;
}

void RightTitleFigure::drawFigure(bool selected) {
    if (stepSelectBlink(selected)) drawPart(3, layout::VESSA_HAIR);
    drawPart(0, {0, 0});
    if (blinkHold > 0 && blinkKind == 0) drawPart(1, layout::VESSA_EYES);
    if (blinkHold > 0 && blinkKind == 1) drawPart(2, layout::VESSA_WINK);
}

LeftTitleFigure::LeftTitleFigure(SpriteSheet& sheet, Random& random, SoundEffect& figureSound)
    : TitleFigure(sheet, random), figureSound_(figureSound) {
    figureSound_.setPan(-FULL_PAN);
}

void LeftTitleFigure::update() {
    if (age == 0) {
        speed = 60.0f;
        setPosition(layout::BRUM_START_X, layout::BRUM_START_Y);
    }
    if (age >= LEFT_START_AGE) {
        if (speed > 0) {
            speed -= 5.0f;
            if (speed < 0) speed = 0;
        }
        moveBy(speed, 0);
    }
}

void LeftTitleFigure::check() {
    if (age == LEFT_START_AGE) figureSound_.play();
    if (blinkHold > 0)
        blinkHold -= 1;
    else if (random_.next() % 100 == 0)
        blinkHold = 2;
    age += 1;
}

void LeftTitleFigure::drawFigure(bool selected) {
    if (stepSelectBlink(selected)) drawPart(2, layout::BRUM_HAIR);
    drawPart(0, {0, 0});
    if (blinkHold > 0) drawPart(1, layout::BRUM_EYES);
}

} // namespace tundrix
