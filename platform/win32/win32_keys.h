// The game's keys through the asynchronous key-state query (GetAsyncKeyState).
#pragma once
#include "platform/keys.h"

#include <array>

namespace tundrix {

class Win32Keys : public KeySource {
  public:
    // Down now, or pressed since the previous query of that key (the query's low bit), so a tap shorter
    // than a frame still counts once.
    bool keyDown(Key key) override;
    // Forgets what was pressed meanwhile (keys typed into a dialog or a menu), and ignores the keys held
    // now (the Enter that closed the dialog) until they are released.
    void clearTaps();

    // The virtual-key code a game key sits on.
    static int virtualKeyOf(Key key);

  private:
    std::array<bool, 7> ignoredUntilUp_{};
};

} // namespace tundrix
