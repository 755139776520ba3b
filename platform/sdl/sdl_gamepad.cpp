// Gamepad buttons, d-pad and left stick read as the game's keys, with a latch for presses between queries.
#include "platform/sdl/sdl_gamepad.h"

#include <SDL.h>

#include <algorithm>

namespace tundrix {

namespace {

constexpr Key ARROWS[4] = {Key::Right, Key::Down, Key::Left, Key::Up};
constexpr Key ALL_KEYS[] = {Key::Right, Key::Down, Key::Left, Key::Up, Key::Space, Key::Enter, Key::F1};

// The game key a button stands for; false for buttons the game does not use.
bool keyOfButton(int button, Key& key) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        key = Key::Right;
        return true;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        key = Key::Down;
        return true;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        key = Key::Left;
        return true;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
        key = Key::Up;
        return true;
    case SDL_CONTROLLER_BUTTON_A:
        key = Key::Space;
        return true;
    case SDL_CONTROLLER_BUTTON_START:
        key = Key::Enter;
        return true;
    case SDL_CONTROLLER_BUTTON_BACK:
        key = Key::F1;
        return true;
    default:
        return false;
    }
}

SDL_GameControllerButton buttonOfKey(Key key) {
    switch (key) {
    case Key::Right:
        return SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
    case Key::Down:
        return SDL_CONTROLLER_BUTTON_DPAD_DOWN;
    case Key::Left:
        return SDL_CONTROLLER_BUTTON_DPAD_LEFT;
    case Key::Up:
        return SDL_CONTROLLER_BUTTON_DPAD_UP;
    case Key::Space:
        return SDL_CONTROLLER_BUTTON_A;
    case Key::Enter:
        return SDL_CONTROLLER_BUTTON_START;
    case Key::F1:
        return SDL_CONTROLLER_BUTTON_BACK;
    }
    return SDL_CONTROLLER_BUTTON_INVALID;
}

} // namespace

SdlGamepads::SdlGamepads() {
    ready_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (!ready_) return;
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        open(i);
}

SdlGamepads::~SdlGamepads() {
    for (Pad& pad : pads_)
        SDL_GameControllerClose(pad.controller);
    pads_.clear();
    if (ready_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void SdlGamepads::open(int deviceIndex) {
    if (!ready_ || !SDL_IsGameController(deviceIndex)) return;
    const int instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    // SDL also announces the pads that were plugged in before it started: open each only once.
    if (std::any_of(pads_.begin(), pads_.end(), [&](const Pad& p) { return p.instance == instance; })) return;
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) return;
    pads_.push_back({controller, instance, 0, 0, {}});
}

void SdlGamepads::close(int instance) {
    auto it = std::find_if(pads_.begin(), pads_.end(), [&](const Pad& p) { return p.instance == instance; });
    if (it == pads_.end()) return;
    SDL_GameControllerClose(it->controller);
    pads_.erase(it);
}

void SdlGamepads::latch(Key key) {
    latched_[static_cast<size_t>(key)] = true;
    ignoredUntilUp_[static_cast<size_t>(key)] = false; // a new press counts again
}

void SdlGamepads::lean(Pad& pad, int x, int y) {
    pad.x = x, pad.y = y;
    // How far the stick leans towards each arrow: right, down, left, up (y grows downward).
    const int lean[4] = {x, y, -x, -y};
    for (int h = 0; h < 4; ++h) {
        const bool was = pad.stick[h];
        pad.stick[h] = stickLeans(was, lean[h]);
        if (pad.stick[h] && !was) latch(ARROWS[h]);
    }
}

bool SdlGamepads::handleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        open(event.cdevice.which); // a device index
        return true;
    case SDL_CONTROLLERDEVICEREMOVED:
        close(event.cdevice.which); // an instance id
        return true;
    case SDL_CONTROLLERBUTTONDOWN: {
        Key key;
        if (!keyOfButton(event.cbutton.button, key)) return false;
        latch(key);
        return true;
    }
    case SDL_CONTROLLERAXISMOTION: {
        // A flick of the stick that is back before the next query still presses its arrow once.
        auto it = std::find_if(pads_.begin(), pads_.end(),
                               [&](const Pad& p) { return p.instance == event.caxis.which; });
        if (it == pads_.end()) return false;
        // The event's own value: by the time it is handled the stick may already be back.
        const std::array<bool, 4> before = it->stick;
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) lean(*it, event.caxis.value, it->y);
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) lean(*it, it->x, event.caxis.value);
        return it->stick != before;
    }
    default:
        return false;
    }
}

bool SdlGamepads::heldNow(Key key) {
    const SDL_GameControllerButton button = buttonOfKey(key);
    const int arrow = static_cast<int>(key) < 4 ? static_cast<int>(key) : -1;
    bool down = false;
    for (Pad& pad : pads_) {
        down = down || SDL_GameControllerGetButton(pad.controller, button) != 0;
        if (arrow >= 0) {
            lean(pad, SDL_GameControllerGetAxis(pad.controller, SDL_CONTROLLER_AXIS_LEFTX),
                 SDL_GameControllerGetAxis(pad.controller, SDL_CONTROLLER_AXIS_LEFTY));
            down = down || pad.stick[arrow];
        }
    }
    return down;
}

bool SdlGamepads::keyDown(Key key) {
    const size_t i = static_cast<size_t>(key);
    if (i >= KEYS) return false;
    const bool held = heldNow(key);
    if (ignoredUntilUp_[i]) {
        if (held) {
            latched_[i] = false;
            return false;
        }
        ignoredUntilUp_[i] = false;
    }
    const bool down = held || latched_[i];
    latched_[i] = false;
    return down;
}

void SdlGamepads::clearTaps() {
    latched_.fill(false);
    for (Key k : ALL_KEYS)
        ignoredUntilUp_[static_cast<size_t>(k)] = heldNow(k);
    // Asking for the arrows may have latched a fresh lean of the stick; that belongs to the dialog too.
    latched_.fill(false);
}

} // namespace tundrix
