// GetAsyncKeyState per game key: the high bit is "down now", the low bit "pressed since the last query".
#include "platform/win32/win32_keys.h"

#include <windows.h>

namespace tundrix {

int Win32Keys::virtualKeyOf(Key key) {
    switch (key) {
    case Key::Right:
        return VK_RIGHT;
    case Key::Down:
        return VK_DOWN;
    case Key::Left:
        return VK_LEFT;
    case Key::Up:
        return VK_UP;
    case Key::Space:
        return VK_SPACE;
    case Key::Enter:
        return VK_RETURN;
    case Key::F1:
        return VK_F1;
    }
    return 0;
}

bool Win32Keys::keyDown(Key key) {
    const SHORT state = GetAsyncKeyState(virtualKeyOf(key));
    bool& ignored = ignoredUntilUp_[static_cast<size_t>(key)];
    const bool heldNow = (state & 0x8000) != 0;
    if (ignored) {
        if (heldNow) return false;
        ignored = false;
    }
    return state != 0;
}

void Win32Keys::clearTaps() {
    for (Key key : {Key::Right, Key::Down, Key::Left, Key::Up, Key::Space, Key::Enter, Key::F1}) {
        // The query itself forgets the press it reports.
        const SHORT state = GetAsyncKeyState(virtualKeyOf(key));
        ignoredUntilUp_[static_cast<size_t>(key)] = (state & 0x8000) != 0;
    }
}

} // namespace tundrix
