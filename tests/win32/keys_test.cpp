// The game's keys through GetAsyncKeyState, pressed with SendInput: held, tapped between two queries, and
// forgotten after a dialog; and XInput with no pad plugged in presses nothing.
#include "platform/win32/win32_gamepad.h"
#include "platform/win32/win32_keys.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace tundrix {
namespace {

void send(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (vk == VK_RIGHT || vk == VK_LEFT || vk == VK_UP || vk == VK_DOWN)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    SendInput(1, &input, sizeof input);
    Sleep(30);
}

TEST(Win32Keys, HeldTappedAndForgottenKeys) {
    Win32Keys keys;
    keys.clearTaps();
    for (Key k : {Key::Right, Key::Down, Key::Left, Key::Up, Key::Space, Key::Enter, Key::F1})
        EXPECT_FALSE(keys.keyDown(k));
    send(VK_RIGHT, false);
    EXPECT_TRUE(keys.keyDown(Key::Right));
    EXPECT_TRUE(keys.keyDown(Key::Right)); // held
    EXPECT_FALSE(keys.keyDown(Key::Left));
    send(VK_RIGHT, true);
    EXPECT_FALSE(keys.keyDown(Key::Right));
    // Down and up again between two queries: down for one query.
    send(VK_SPACE, false);
    send(VK_SPACE, true);
    EXPECT_TRUE(keys.keyDown(Key::Space));
    EXPECT_FALSE(keys.keyDown(Key::Space));
    // Typed into a dialog: forgotten; and the Enter still held when it closed counts only once let go.
    send(VK_F1, false);
    send(VK_F1, true);
    send(VK_RETURN, false);
    keys.clearTaps();
    EXPECT_FALSE(keys.keyDown(Key::F1));
    EXPECT_FALSE(keys.keyDown(Key::Enter));
    send(VK_RETURN, true);
    EXPECT_FALSE(keys.keyDown(Key::Enter));
    send(VK_RETURN, false);
    EXPECT_TRUE(keys.keyDown(Key::Enter));
    send(VK_RETURN, true);
}

TEST(XInputGamepads, WithNoPadPluggedInNothingIsDown) {
    XInputGamepads pads; // Wine has XInput, and here no pad
    pads.clearTaps();
    for (Key k : {Key::Right, Key::Down, Key::Left, Key::Up, Key::Space, Key::Enter, Key::F1})
        EXPECT_FALSE(pads.keyDown(k));
    EXPECT_FALSE(pads.startPressed());
}

} // namespace
} // namespace tundrix
