// The keyboard poll: press order, newest-wins axes and the newest heading.
#include "input/keyboard_input.h"

namespace tundrix {

namespace {
// The arrow key of each heading.
constexpr Key ARROWS[HEADINGS] = {Key::Right, Key::Down, Key::Left, Key::Up};
// Every heading's place when it is not among the held arrows.
constexpr int NOT_HELD = HEADINGS;
} // namespace

KeyboardInput::KeyboardInput(KeySource& keys) : keys_(keys) {
    for (Heading h = 0; h < HEADINGS; ++h)
        prevDown_[h] = keys_.keyDown(ARROWS[h]) ? 1 : 0;
}

int KeyboardInput::placeOf(Heading heading) const {
    for (int i = 0; i < HEADINGS; ++i) {
        if (pressOrder_[i] == heading) return i;
    }
    return NOT_HELD;
}

void KeyboardInput::poll() {
    int down[HEADINGS];
    for (Heading h = 0; h < HEADINGS; ++h)
        down[h] = keys_.keyDown(ARROWS[h]) ? 1 : 0;
    const bool space = keys_.keyDown(Key::Space);
    const bool enter = keys_.keyDown(Key::Enter);

    pressedX = pressedY = spacePressed = enterPressed = 0;

    for (Heading h = 0; h < HEADINGS; ++h) {
        if (down[h] && !prevDown_[h]) {
            for (int i = HEADINGS - 1; i > 0; --i)
                pressOrder_[i] = pressOrder_[i - 1];
            pressOrder_[0] = h;
            switch (h) {
            case HEADING_RIGHT:
                pressedX = 1;
                break;
            case HEADING_DOWN:
                pressedY = 1;
                break;
            case HEADING_LEFT:
                pressedX = -1;
                break;
            default:
                pressedY = -1;
                break;
            }
        } else if (!down[h]) {
            const int at = placeOf(h);
            if (at < NOT_HELD) {
                for (int i = at; i < HEADINGS - 1; ++i)
                    pressOrder_[i] = pressOrder_[i + 1];
                pressOrder_[HEADINGS - 1] = NO_HEADING;
            }
        }
    }

    spacePressed = space && !spaceHeld ? 1 : 0;
    enterPressed = enter && !enterHeld ? 1 : 0;

    axisX = down[HEADING_RIGHT] ? 1 : 0;
    if (down[HEADING_LEFT] && placeOf(HEADING_LEFT) < placeOf(HEADING_RIGHT)) axisX = -1;
    axisY = down[HEADING_DOWN] ? 1 : 0;
    if (down[HEADING_UP] && placeOf(HEADING_UP) < placeOf(HEADING_DOWN)) axisY = -1;

    spaceHeld = space ? 1 : 0;
    enterHeld = enter ? 1 : 0;

    if (pressOrder_[0] != NO_HEADING) lastHeading = pressOrder_[0];
    for (Heading h = 0; h < HEADINGS; ++h)
        prevDown_[h] = down[h];
}

KeyboardState KeyboardInput::state() const {
    return {spaceHeld, spacePressed, enterHeld,   enterPressed, axisY,    axisX,
            pressedY,  pressedX,     lastHeading, pressOrder_,  prevDown_};
}

void KeyboardInput::restore(const KeyboardState& s) {
    spaceHeld = s.spaceHeld, spacePressed = s.spacePressed, enterHeld = s.enterHeld,
    enterPressed = s.enterPressed;
    axisY = s.axisY, axisX = s.axisX, pressedY = s.pressedY, pressedX = s.pressedX;
    lastHeading = s.lastHeading;
    pressOrder_ = s.pressOrder;
    prevDown_ = s.prevDown;
}

} // namespace tundrix
