// The game's three dialogs from the program's resources (information 129, register 131, question 135)
// and its message boxes, each modal on the main window.
#pragma once
#include "platform/win32/win32_gamepad.h"
#include "shell/game_session.h"
#include "shell/submission_attempt.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

namespace tundrix {

class Win32Dialogs {
  public:
    enum class Answer { Yes, No, PutAway }; // PutAway: the close box or Escape

    Win32Dialogs(HINSTANCE instance, HWND owner, GameSession& session, SubmitScore submit,
                 XInputGamepads& pads);

    // Question 135 with the caption and text.
    Answer ask(const std::string& caption, const std::string& text);
    // Information 129 with text infoText(index); OK resynchronises the game, Escape does nothing.
    void showInformation(int index);
    // Register 131: the login, the post beside the window's thread with "Skickar..." on OK and Cancel
    // giving it up at once, and the answer's outcome.
    void registerScore();
    void messageBox(const std::string& caption, const std::string& text, UINT icon = 0);

    // Posts still running on their own threads, given up or not.
    int postsInFlight() const { return postsInFlight_->load(); }

    // What every dialog's procedure reaches through its window.
    HINSTANCE instance;
    HWND owner;
    GameSession& session;
    SubmitScore submit;
    XInputGamepads& pads;
    std::shared_ptr<std::atomic<int>> postsInFlight_ = std::make_shared<std::atomic<int>>(0);
};

} // namespace tundrix
