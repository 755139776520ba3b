// The keyboard sampled once per frame: held keys, new presses, axes and the newest heading.
#pragma once
#include "core/heading.h"
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

// Everything one poll leaves for the next, so that a recorded game can start where the keys stood.
struct KeyboardState {
    int spaceHeld = 0, spacePressed = 0, enterHeld = 0, enterPressed = 0;
    int axisY = 0, axisX = 0, pressedY = 0, pressedX = 0;
    Heading lastHeading = NO_HEADING;
    std::array<Heading, HEADINGS> pressOrder{NO_HEADING, NO_HEADING, NO_HEADING, NO_HEADING};
    std::array<int, HEADINGS> prevDown{};
    bool operator==(const KeyboardState&) const = default;
};

class KeyboardInput : public InputDevice {
  public:
    // Samples the arrows once, so an arrow already held now gives no press in the first poll.
    explicit KeyboardInput(KeySource& keys);

    void poll() override;
    void clearPresses() { spacePressed = pressedX = pressedY = 0; }
    KeyboardState state() const;
    void restore(const KeyboardState& state);

    // Heading of the newest held arrow; NO_HEADING before any arrow.
    Heading lastHeading = NO_HEADING;

  private:
    int placeOf(Heading heading) const;

    KeySource& keys_;
    // Arrows still held, newest first, as headings; NO_HEADING marks an empty place.
    std::array<Heading, HEADINGS> pressOrder_{NO_HEADING, NO_HEADING, NO_HEADING, NO_HEADING};
    std::array<int, HEADINGS> prevDown_{};
};

} // namespace tundrix
