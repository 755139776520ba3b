// Key state from SDL's scancode array plus the latch of key-down events.
#include "platform/sdl/sdl_keys.h"

#include <SDL.h>

namespace tundrix {

namespace {
constexpr Key ALL_KEYS[] = {Key::Right, Key::Down, Key::Left, Key::Up, Key::Space, Key::Enter, Key::F1};
}

int SdlKeys::scancodeOf(Key key) {
    switch (key) {
    case Key::Right:
        return SDL_SCANCODE_RIGHT;
    case Key::Down:
        return SDL_SCANCODE_DOWN;
    case Key::Left:
        return SDL_SCANCODE_LEFT;
    case Key::Up:
        return SDL_SCANCODE_UP;
    case Key::Space:
        return SDL_SCANCODE_SPACE;
    case Key::Enter:
        return SDL_SCANCODE_RETURN;
    case Key::F1:
        return SDL_SCANCODE_F1;
    }
    return -1;
}

void SdlKeys::noteKeyDown(int scancode) {
    if (scancode == SDL_SCANCODE_KP_ENTER) scancode = SDL_SCANCODE_RETURN;
    for (Key k : ALL_KEYS) {
        if (scancodeOf(k) == scancode) {
            latched_[static_cast<size_t>(k)] = true;
            ignoredUntilUp_[static_cast<size_t>(k)] = false; // a new press counts again
        }
    }
}

void SdlKeys::clearTaps() {
    latched_.fill(false);
    for (Key k : ALL_KEYS)
        ignoredUntilUp_[static_cast<size_t>(k)] = heldNow(k);
}

bool SdlKeys::heldNow(Key key) const {
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    const int code = scancodeOf(key);
    bool down = state && code >= 0 && code < count && state[code];
    if (key == Key::Enter && state && SDL_SCANCODE_KP_ENTER < count)
        down = down || state[SDL_SCANCODE_KP_ENTER];
    return down;
}

bool SdlKeys::keyDown(Key key) {
    const size_t i = static_cast<size_t>(key);
    if (i >= latched_.size()) return false;
    const bool held = heldNow(key);
    if (ignoredUntilUp_[i]) {
        if (held) return false;
        ignoredUntilUp_[i] = false;
    }
    const bool down = held || latched_[i];
    latched_[i] = false;
    return down;
}

} // namespace tundrix
