// XInputGetState from xinput1_4, xinput1_3 or xinput9_1_0, whichever the machine has.
#include "platform/win32/win32_gamepad.h"

#include "platform/gamepad_stick.h"

#include <windows.h>

#include <xinput.h>

namespace tundrix {

namespace {
using GetStateFn = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);
constexpr size_t SPACE = static_cast<size_t>(Key::Space), ENTER = static_cast<size_t>(Key::Enter),
                 F1 = static_cast<size_t>(Key::F1);
// An empty slot is asked again only every this many samples: asking for one costs a device scan.
constexpr unsigned ABSENT_RETRY = 50;
} // namespace

XInputGamepads::XInputGamepads() {
    for (const char* name : {"xinput1_4.dll", "xinput1_3.dll", "xinput9_1_0.dll"}) {
        HMODULE module = LoadLibraryA(name);
        if (!module) continue;
        if (auto fn = GetProcAddress(module, "XInputGetState")) {
            module_ = module;
            getState_ = reinterpret_cast<void*>(fn);
            return;
        }
        FreeLibrary(module);
    }
}

XInputGamepads::~XInputGamepads() {
    if (module_) FreeLibrary(static_cast<HMODULE>(module_));
}

std::array<bool, XInputGamepads::KEYS> XInputGamepads::heldNow() {
    std::array<bool, KEYS> held{};
    if (!getState_) return held;
    ++tick_;
    for (int slot = 0; slot < SLOTS; ++slot) {
        if (absentUntil_[slot] > tick_) continue;
        XINPUT_STATE state{};
        if (reinterpret_cast<GetStateFn>(getState_)(slot, &state) != ERROR_SUCCESS) {
            absentUntil_[slot] = tick_ + ABSENT_RETRY;
            stick_[slot] = {};
            continue;
        }
        const XINPUT_GAMEPAD& pad = state.Gamepad;
        // Right, down, left, up; the stick's y grows upward.
        const int lean[4] = {pad.sThumbLX, -pad.sThumbLY, -pad.sThumbLX, pad.sThumbLY};
        const WORD dpad[4] = {XINPUT_GAMEPAD_DPAD_RIGHT, XINPUT_GAMEPAD_DPAD_DOWN, XINPUT_GAMEPAD_DPAD_LEFT,
                              XINPUT_GAMEPAD_DPAD_UP};
        for (size_t h = 0; h < 4; ++h) {
            stick_[slot][h] = stickLeans(stick_[slot][h], lean[h]);
            held[h] = held[h] || stick_[slot][h] || (pad.wButtons & dpad[h]);
        }
        held[SPACE] = held[SPACE] || (pad.wButtons & XINPUT_GAMEPAD_A);
        held[ENTER] = held[ENTER] || (pad.wButtons & XINPUT_GAMEPAD_START);
        held[F1] = held[F1] || (pad.wButtons & XINPUT_GAMEPAD_BACK);
    }
    return held;
}

void XInputGamepads::sample() {
    const std::array<bool, KEYS> now = heldNow();
    for (size_t i = 0; i < KEYS; ++i) {
        if (now[i] && !held_[i]) {
            latched_[i] = true;
            ignoredUntilUp_[i] = false; // a new press counts again
            if (i == ENTER) startLatched_ = true;
        }
    }
    held_ = now;
}

bool XInputGamepads::keyDown(Key key) {
    const size_t i = static_cast<size_t>(key);
    if (i >= KEYS) return false;
    sample();
    if (ignoredUntilUp_[i]) {
        if (held_[i]) {
            latched_[i] = false;
            return false;
        }
        ignoredUntilUp_[i] = false;
    }
    const bool down = held_[i] || latched_[i];
    latched_[i] = false;
    return down;
}

void XInputGamepads::clearTaps() {
    sample();
    latched_.fill(false);
    ignoredUntilUp_ = held_;
    startLatched_ = false;
}

bool XInputGamepads::startPressed() {
    sample();
    const bool pressed = startLatched_;
    startLatched_ = false;
    return pressed;
}

} // namespace tundrix
