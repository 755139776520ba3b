// Gamepads as the game's keys, on SDL's virtual controllers: plugging, the buttons, the stick's dead zone,
// newest-wins together with the keyboard, and presses shorter than a frame.
#include "dummy_window.h"
#include "input/keyboard_input.h"
#include "platform/combined_keys.h"
#include "platform/headless/scripted_keys.h"
#include "platform/sdl/sdl_gamepad.h"

#include <algorithm>

namespace tundrix {
namespace {

// Plugs in a virtual pad with the standard buttons and axes; returns its instance id.
int plug() {
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                SDL_CONTROLLER_BUTTON_MAX, 0);
    EXPECT_GE(index, 0) << SDL_GetError();
    return SDL_JoystickGetDeviceInstanceID(index);
}
void unplug(int instance) {
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        if (SDL_JoystickGetDeviceInstanceID(i) == instance) SDL_JoystickDetachVirtual(i);
}
// Virtual input goes through the handle the game's reader opened.
void button(int instance, SDL_GameControllerButton b, bool down) {
    ASSERT_EQ(SDL_JoystickSetVirtualButton(SDL_JoystickFromInstanceID(instance), b, down ? 1 : 0), 0);
}
void stick(int instance, int x, int y) {
    SDL_Joystick* pad = SDL_JoystickFromInstanceID(instance);
    ASSERT_EQ(SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(x)), 0);
    ASSERT_EQ(SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, static_cast<Sint16>(y)), 0);
}
// What the window's event loop does: every waiting event goes to the pads.
void deliver(SdlGamepads& pads) {
    SDL_Event e;
    while (SDL_PollEvent(&e))
        pads.handleEvent(e);
}

// After each test: every virtual pad out and the joysticks closed.
void unplugAll() {
    while (SDL_NumJoysticks() > 0)
        SDL_JoystickDetachVirtual(0);
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

struct Gamepads : ::testing::Test {
    void SetUp() override { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError(); }
    void TearDown() override { unplugAll(); }
};

// What the game reads on its next frame, after the window's event loop has run.
KeyboardInput& polled(SdlGamepads& pads, KeyboardInput& input) {
    deliver(pads);
    input.poll();
    return input;
}

TEST_F(Gamepads, PadsPluggedBeforeOrDuringPlayGiveSpaceEnterAndF1AndLetGoWhenUnplugged) {
    const int first = plug();
    SdlGamepads pads;
    deliver(pads); // SDL announces the pad that was already there: it is opened once
    EXPECT_EQ(pads.connected(), 1);
    const int second = plug();
    deliver(pads);
    ASSERT_EQ(pads.connected(), 2);

    KeyboardInput input(pads);
    button(first, SDL_CONTROLLER_BUTTON_A, true);
    button(second, SDL_CONTROLLER_BUTTON_START, true);
    polled(pads, input);
    EXPECT_EQ(std::tuple(input.spacePressed, input.enterPressed, pads.keyDown(Key::F1)),
              std::tuple(1, 1, false));
    button(second, SDL_CONTROLLER_BUTTON_BACK, true);
    deliver(pads);
    EXPECT_TRUE(pads.keyDown(Key::F1));
    // Buttons the game does not use press nothing.
    button(first, SDL_CONTROLLER_BUTTON_Y, true);
    EXPECT_EQ(polled(pads, input).spaceHeld, 1);
    EXPECT_EQ(input.spacePressed, 0);

    // A pad pulled out with its buttons down leaves nothing held.
    unplug(first);
    unplug(second);
    polled(pads, input);
    EXPECT_EQ(std::tuple(input.spaceHeld, pads.connected(), input.enterHeld, pads.keyDown(Key::F1)),
              std::tuple(0, 0, 0, false));
}

TEST_F(Gamepads, StickAndDPadAreArrowsAndTheNewestWinsAcrossKeyboardAndPad) {
    SdlGamepads pads;
    const int pad = plug();
    deliver(pads);
    headless::ScriptedKeys keyboard;
    CombinedKeys both(keyboard, pads);
    KeyboardInput input(both);
    const auto axes = [&] {
        polled(pads, input);
        return std::pair(input.axisX, input.axisY);
    };

    keyboard.press(Key::Right);
    EXPECT_EQ(axes(), std::pair(1, 0));
    // Within the dead zone the stick is at rest.
    stick(pad, -SdlGamepads::STICK_RELEASE + 1000, 9000);
    EXPECT_EQ(axes(), std::pair(1, 0));
    // Pushed left past it, the stick is the newest arrow and wins over the held key.
    stick(pad, -30000, 0);
    EXPECT_EQ(axes(), std::pair(-1, 0));
    EXPECT_EQ(input.pressedX, -1);
    EXPECT_EQ(input.lastHeading, 2);
    // Eased back into the band between the thresholds it still holds; at rest it hands back to the key.
    stick(pad, -(SdlGamepads::STICK_RELEASE + 1000), 0);
    EXPECT_EQ(axes(), std::pair(-1, 0));
    stick(pad, 0, 0);
    EXPECT_EQ(axes(), std::pair(1, 0));
    // The d-pad's up crosses the held key: a diagonal, heading up.
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    EXPECT_EQ(axes(), std::pair(1, -1));
    EXPECT_EQ(input.lastHeading, 3);
    // Down on the stick under the d-pad's up: the stick is newer.
    stick(pad, 0, 32767);
    EXPECT_EQ(axes(), std::pair(1, 1));
    stick(pad, 0, 0);
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_UP, false);
    keyboard.release(Key::Right);
    EXPECT_EQ(axes(), std::pair(0, 0));
}

TEST_F(Gamepads, PressesShorterThanAFrameCountOnceAndADialogForgetsThem) {
    SdlGamepads pads;
    const int pad = plug();
    deliver(pads);
    KeyboardInput input(pads);

    // Down and up again between two polls, for a button and for a flick of the stick.
    button(pad, SDL_CONTROLLER_BUTTON_A, true);
    deliver(pads);
    button(pad, SDL_CONTROLLER_BUTTON_A, false);
    stick(pad, 32767, 0);
    deliver(pads);
    stick(pad, 0, 0);
    EXPECT_EQ(polled(pads, input).spacePressed, 1);
    EXPECT_EQ(input.pressedX, 1);
    input.poll();
    EXPECT_EQ(std::tuple(input.spaceHeld, input.pressedX), std::tuple(0, 0));

    // A press made into a dialog, and the button still held when it closes, are not the game's.
    button(pad, SDL_CONTROLLER_BUTTON_START, true);
    deliver(pads);
    pads.clearTaps();
    input.poll();
    EXPECT_EQ(input.enterHeld, 0);
    button(pad, SDL_CONTROLLER_BUTTON_START, false);
    polled(pads, input);
    button(pad, SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_EQ(polled(pads, input).enterPressed, 1);
}

// The window and the pads together, as the program runs them.
struct PadsInTheWindow : test::DummyWindow {
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
        // The dummy window never has the focus, without which SDL holds back a pad's input.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        DummyWindow::SetUp();
    }
    void TearDown() override {
        DummyWindow::TearDown();
        unplugAll();
    }
};

TEST_F(PadsInTheWindow, TheWindowFeedsThePadsStartIsItsEnterAndStickDriftIsNoNews) {
    SdlGamepads pads;
    window->attachGamepads(pads);
    const int pad = plug();
    settle();
    ASSERT_EQ(pads.connected(), 1) << "plugged in while the window runs";

    stick(pad, 3000, -2000);
    EXPECT_EQ(window->handleEvents(0), WindowEvent::None) << "a stick inside its dead zone is no news";
    stick(pad, 30000, 0);
    EXPECT_EQ(window->handleEvents(0), WindowEvent::Handled) << "a lean that presses an arrow is";
    settle();
    EXPECT_TRUE(pads.keyDown(Key::Right));

    // Start works the menus and dialogs as Enter; a tap the window forgets (a menu closed, a dialog ended)
    // is not played afterwards.
    button(pad, SDL_CONTROLLER_BUTTON_START, true);
    button(pad, SDL_CONTROLLER_BUTTON_A, true);
    settle();
    button(pad, SDL_CONTROLLER_BUTTON_A, false);
    settle();
    window->beginFrame();
    window->finishFrame();
    const auto& shellKeys = window->keysPressed();
    EXPECT_NE(std::find(shellKeys.begin(), shellKeys.end(), ShellKey::Enter), shellKeys.end());
    window->forgetTappedKeys();
    EXPECT_FALSE(pads.keyDown(Key::Space));
    EXPECT_FALSE(pads.keyDown(Key::Enter)) << "held through the forgetting: ignored until released";
}

} // namespace
} // namespace tundrix
