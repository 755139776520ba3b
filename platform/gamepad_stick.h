// How far a gamepad's stick must lean to press an arrow, and how far back it must come to release it.
#pragma once

namespace tundrix {

// On the stick's scale of -32768..32767. Between the two the stick keeps what it had, so a lean near the
// edge never chatters.
constexpr int GAMEPAD_STICK_PRESS = 16000;
constexpr int GAMEPAD_STICK_RELEASE = 12000;

constexpr bool stickLeans(bool wasLeaning, int lean) {
    return wasLeaning ? lean > GAMEPAD_STICK_RELEASE : lean > GAMEPAD_STICK_PRESS;
}

} // namespace tundrix
