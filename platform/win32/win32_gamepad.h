// Gamepads as the game's keys through XInput, loaded by name (no pad or no XInput: keyboard only).
#pragma once
#include "platform/keys.h"

#include <array>
#include <cstddef>

namespace tundrix {

// The d-pad and the left stick are the arrows, A is Space, Start is Enter and Back is F1, on all four
// XInput slots at once. Presses seen by sample() between two queries count once, as on the keyboard.
class XInputGamepads : public KeySource {
  public:
    XInputGamepads();
    ~XInputGamepads() override;
    XInputGamepads(const XInputGamepads&) = delete;
    XInputGamepads& operator=(const XInputGamepads&) = delete;

    bool available() const { return getState_ != nullptr; }
    bool keyDown(Key key) override;
    // Looks at the pads now, latching what went down; the window calls it while it waits.
    void sample();
    // Forgets presses and ignores what is held now until it is released.
    void clearTaps();
    // Start went down since the last call: it presses a dialog's default button.
    bool startPressed();

  private:
    static constexpr size_t KEYS = 7;
    static constexpr int SLOTS = 4;
    std::array<bool, KEYS> heldNow();

    void* module_ = nullptr;
    void* getState_ = nullptr;
    std::array<std::array<bool, 4>, SLOTS> stick_{};
    std::array<bool, KEYS> held_{};
    std::array<bool, KEYS> latched_{};
    std::array<bool, KEYS> ignoredUntilUp_{};
    bool startLatched_ = false;
    unsigned tick_ = 0;
    std::array<unsigned, SLOTS> absentUntil_{};
};

} // namespace tundrix
