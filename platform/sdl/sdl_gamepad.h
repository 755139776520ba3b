// Gamepads as the game's keys, through SDL's game controller interface: plugged in before or during play.
#pragma once
#include "platform/gamepad_stick.h"
#include "platform/keys.h"

#include <array>
#include <cstddef>
#include <vector>

struct _SDL_GameController;
union SDL_Event;

namespace tundrix {

// The d-pad and the left stick are the arrows, the south button (A, Cross) is Space, Start is Enter and
// Back (Select) is F1, on every connected pad at once. A press that is over before the next query still
// counts once, as on the keyboard.
class SdlGamepads : public KeySource {
  public:
    // How far the stick must lean to press an arrow, and how far back it must come to release it.
    static constexpr int STICK_PRESS = GAMEPAD_STICK_PRESS;
    static constexpr int STICK_RELEASE = GAMEPAD_STICK_RELEASE;

    // Starts SDL's game controller subsystem and opens the pads already plugged in; without the
    // subsystem no pad is ever down.
    SdlGamepads();
    ~SdlGamepads() override;
    SdlGamepads(const SdlGamepads&) = delete;
    SdlGamepads& operator=(const SdlGamepads&) = delete;

    // Every event the window receives goes here: pads plugged in and out, buttons and stick flicks.
    // Returns false for events that change nothing for the loop (stick motion within a direction,
    // releases, anything not from a pad), which the loop need not count as news.
    bool handleEvent(const SDL_Event& event);

    bool keyDown(Key key) override;
    // Forgets taps and ignores what is held now until it is released, as SdlKeys::clearTaps does.
    void clearTaps();

    int connected() const { return static_cast<int>(pads_.size()); }

  private:
    struct Pad {
        _SDL_GameController* controller = nullptr;
        int instance = -1;
        int x = 0, y = 0;            // the left stick as last seen
        std::array<bool, 4> stick{}; // arrows the left stick presses now, in Key order Right..Up
    };
    static constexpr std::size_t KEYS = 7;

    void open(int deviceIndex);
    void close(int instance);
    void lean(Pad& pad, int x, int y);
    bool heldNow(Key key);
    void latch(Key key);

    bool ready_ = false;
    std::vector<Pad> pads_;
    std::array<bool, KEYS> latched_{};
    std::array<bool, KEYS> ignoredUntilUp_{};
};

} // namespace tundrix
