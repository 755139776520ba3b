// The game's window on Windows: class and window "Tundrix Ice-Hockey Cup" with the menu bar of resource
// 128, its message handling, zoom and full screen, pause, the volume, and the loop's window side.
#pragma once
#include "platform/win32/win32_gamepad.h"
#include "platform/win32/win32_keys.h"
#include "platform/win32/win32_video.h"
#include "shell/game_session.h"
#include "shell/win32/dialogs.h"
#include "sound/volume_level.h"

#include <windows.h>

#include <functional>
#include <memory>

namespace tundrix {

class MainWindow : public ShellWindow {
  public:
    // keys: what F1 is read from (the keyboard and the pads); keyboard and pads are told to forget what
    // was typed into a menu or a dialog.
    MainWindow(HINSTANCE instance, KeySource& keys, Win32Keys& keyboard, XInputGamepads& pads);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Registers the class, creates and shows the window at the zoom (lowered to what fits) or full screen.
    bool create(int showCommand, int zoom, bool fullScreen);
    HWND handle() const { return window_; }
    Win32Video& video() { return *video_; }

    // The session and the score poster, once the game exists.
    void attach(GameSession& session, SubmitScore submit);

    // Told when the player changes the zoom or full screen, the volume or mute, or pauses; and when
    // Windows ends the session (the program may be stopped right after).
    std::function<void(int zoom, bool fullScreen)> layoutChanged;
    std::function<void(VolumeLevel)> volumeChanged;
    std::function<void(bool paused)> pausedChanged;
    std::function<void()> sessionEnding;
    void setVolume(VolumeLevel level) { volume_ = level; }

    int zoom() const { return zoom_; }
    bool fullScreen() const { return fullScreen_; }
    // The largest zoom whose window fits the screen's work area.
    int maxZoom() const;
    bool paused() const { return paused_; }
    int postsInFlight() const { return dialogs_ ? dialogs_->postsInFlight() : 0; }

    // ShellWindow
    bool holding() const override;
    int paintMenus() override;
    bool restartKeyDown() override;
    void runWindowCommand(int command) override;
    void openUrl(const std::string& url) override;
    bool handleEvents(bool wait) override;
    // DialogHost
    void askToSubmit() override;
    void registerScore() override;
    void showInformation(int textIndex) override;
    void askToPlayAgain() override;

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void applyLayout();
    // Whether the window has the size and place the layout gave it.
    bool layoutHolds() const;
    void setWindowedSize(int zoom);
    void paint(HDC dc);
    void markMenu(HMENU popup, int index);
    void forgetTappedKeys();
    void afterDialog();

    HINSTANCE instance_;
    KeySource& keys_;
    Win32Keys& keyboard_;
    XInputGamepads& pads_;
    HWND window_ = nullptr;
    HACCEL accelerators_ = nullptr;
    std::unique_ptr<Win32Video> video_;
    std::unique_ptr<Win32Dialogs> dialogs_;
    GameSession* session_ = nullptr;
    int zoom_ = 1;
    bool fullScreen_ = false;
    RECT windowedRect_{};
    // How many more times the layout is put back after something else moved the window (a window manager
    // answering an older request); each layout change allows a few.
    int relayoutsLeft_ = 0;
    bool paused_ = false;
    bool inMenu_ = false;
    bool closed_ = false;
    int pendingCommand_ = 0;
    VolumeLevel volume_;
};

} // namespace tundrix
