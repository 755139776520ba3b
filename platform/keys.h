// The asynchronous key-state query the game samples its keys through.
#pragma once

namespace tundrix {

enum class Key { Right, Down, Left, Up, Space, Enter, F1 };

class KeySource {
  public:
    virtual ~KeySource() = default;
    // True when the key is down now or has been pressed since the previous query of that key,
    // so a tap shorter than a frame still counts once.
    virtual bool keyDown(Key key) = 0;
};

} // namespace tundrix
