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
    // Forgets taps, e.g. those typed into a dialog, so the game does not act on them afterwards.
    void clearTaps() { latched_.fill(false); }

    // The scancode a game key sits on; -1 for none.
    static int scancodeOf(Key key);

  private:
    std::array<bool, 7> latched_{};
};

} // namespace tundrix
