// The game's keys read by physical position (scancodes), with a latch so a tap between two queries counts.
#pragma once
#include "platform/keys.h"

#include <array>

namespace tundrix {

class SdlKeys : public KeySource {
  public:
    bool keyDown(Key key) override;

    // Called by the window for every key-down event that is not an auto-repeat.
    void noteKeyDown(int scancode);
    // Forgets taps, e.g. those typed into a dialog, so the game does not act on them afterwards, and
    // ignores keys still held then (the Enter that closed the dialog) until they are released.
    void clearTaps();

    // The scancode a game key sits on; -1 for none.
    static int scancodeOf(Key key);

  private:
    bool heldNow(Key key) const;

    std::array<bool, 7> latched_{};
    std::array<bool, 7> ignoredUntilUp_{};
};

} // namespace tundrix
