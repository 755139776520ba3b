// Two key sources read as one: a key is down when it is down on either (keyboard and gamepad at once).
#pragma once
#include "platform/keys.h"

namespace tundrix {

class CombinedKeys : public KeySource {
  public:
    CombinedKeys(KeySource& first, KeySource& second) : first_(first), second_(second) {}
    bool keyDown(Key key) override {
        // Both are asked every time: each forgets its taps only when it is queried.
        const bool a = first_.keyDown(key);
        const bool b = second_.keyDown(key);
        return a || b;
    }

  private:
    KeySource& first_;
    KeySource& second_;
};

} // namespace tundrix
