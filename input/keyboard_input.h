// The keyboard sampled once per frame: held keys, new presses, axes and the newest heading.
#pragma once
#include "platform/keys.h"

#include <array>

namespace tundrix {

// A source of game input; the values are recomputed by each poll.
class InputDevice {
  public:
    virtual void poll() = 0;
    virtual ~InputDevice() = default;

    int spaceHeld = 0;
    int spacePressed = 0;
    int enterHeld = 0;
    int enterPressed = 0;
    int axisY = 0;
    int axisX = 0;
    int pressedY = 0;
    int pressedX = 0;
};

class KeyboardInput : public InputDevice {
  public:
    // Samples the arrows once, so an arrow already held now gives no press in the first poll.
    explicit KeyboardInput(KeySource& keys);

    void poll() override;
    void clearPresses() { spacePressed = pressedX = pressedY = 0; }

    // Heading of the newest held arrow: 0 right, 1 down, 2 left, 3 up; -1 before any arrow.
    int lastHeading = -1;

    // Arrows still held, newest first, as headings; -1 marks an empty place.
    const std::array<int, 4>& pressOrder() const { return pressOrder_; }

  private:
    int placeOf(int heading) const;

    KeySource& keys_;
    std::array<int, 4> pressOrder_{-1, -1, -1, -1};
    std::array<int, 4> prevDown_{};
};

} // namespace tundrix
