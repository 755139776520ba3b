// The keyboard poll: press order, newest-wins axes and the newest heading.
#include "input/keyboard_input.h"

namespace tundrix {

namespace {
// Arrow keys in heading order: right, down, left, up.
constexpr Key ARROWS[4] = {Key::Right, Key::Down, Key::Left, Key::Up};
} // namespace

KeyboardInput::KeyboardInput(KeySource& keys) : keys_(keys) {
    for (int h = 0; h < 4; ++h)
        prevDown_[h] = keys_.keyDown(ARROWS[h]) ? 1 : 0;
}

int KeyboardInput::placeOf(int heading) const {
    for (int i = 0; i < 4; ++i) {
        if (pressOrder_[i] == heading) return i;
    }
    return 4;
}

void KeyboardInput::poll() {
    int down[4];
    for (int h = 0; h < 4; ++h)
        down[h] = keys_.keyDown(ARROWS[h]) ? 1 : 0;
    const bool space = keys_.keyDown(Key::Space);
    const bool enter = keys_.keyDown(Key::Enter);

    pressedX = pressedY = spacePressed = enterPressed = 0;

    for (int h = 0; h < 4; ++h) {
        if (down[h] && !prevDown_[h]) {
            for (int i = 3; i > 0; --i)
                pressOrder_[i] = pressOrder_[i - 1];
            pressOrder_[0] = h;
            switch (h) {
            case 0:
                pressedX = 1;
                break;
            case 1:
                pressedY = 1;
                break;
            case 2:
                pressedX = -1;
                break;
            default:
                pressedY = -1;
                break;
            }
        } else if (!down[h]) {
            int at = placeOf(h);
            if (at < 4) {
                for (int i = at; i < 3; ++i)
                    pressOrder_[i] = pressOrder_[i + 1];
                pressOrder_[3] = -1;
            }
        }
    }

    spacePressed = space && !spaceHeld ? 1 : 0;
    enterPressed = enter && !enterHeld ? 1 : 0;

    axisX = down[0] ? 1 : 0;
    if (down[2] && placeOf(2) < placeOf(0)) axisX = -1;
    axisY = down[1] ? 1 : 0;
    if (down[3] && placeOf(3) < placeOf(1)) axisY = -1;

    spaceHeld = space ? 1 : 0;
    enterHeld = enter ? 1 : 0;

    if (pressOrder_[0] >= 0) lastHeading = pressOrder_[0];
    for (int h = 0; h < 4; ++h)
        prevDown_[h] = down[h];
}

} // namespace tundrix
