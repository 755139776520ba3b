// The window procedure, the window's sizes, the menu's marks and the loop's window side: messages are
// handled between frames; an open menu or dialog holds the game.
#include "shell/win32/main_window.h"

#include "graphics/screen_surface.h"
#include "net/channel.h"
#include "platform/win32/win32_web_page.h"
#include "shell/dialog_texts.h"
#include "shell/menu.h"
#include "shell/menu_state.h"
#include "shell/win32/pause_sign.h"
#include "shell/win32/resource_ids.h"
#include "shell/win32/wide_text.h"

#include <algorithm>

namespace tundrix {

namespace {

constexpr wchar_t WINDOW_NAME[] = L"Tundrix Ice-Hockey Cup"; // the class's name and the title
constexpr DWORD WINDOWED_STYLE = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD FULL_SCREEN_STYLE = WS_POPUP;
constexpr UINT WM_RELAYOUT = WM_APP + 1;
constexpr int RELAYOUTS = 3;
// A frame's time: how long the loop waits for a message while the game stands still.
constexpr DWORD FRAME_WAIT_MS = 40;
// Messages handled in one pass at most, so that a flood cannot starve the game.
constexpr int MESSAGES_PER_PASS = 64;
#ifndef WM_DPICHANGED
constexpr UINT WM_DPICHANGED = 0x02E0;
#endif

RECT workAreaOf(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

RECT monitorOf(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcMonitor;
}

} // namespace

MainWindow::MainWindow(HINSTANCE instance, KeySource& keys, Win32Keys& keyboard, XInputGamepads& pads)
    : instance_(instance), keys_(keys), keyboard_(keyboard), pads_(pads) {}

MainWindow::~MainWindow() {
    dialogs_.reset();
    video_.reset();
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
}

bool MainWindow::create(int showCommand, int zoom, bool fullScreen) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    wc.lpfnWndProc = &MainWindow::procedure;
    wc.hInstance = instance_;
    wc.hIcon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_GAME), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    wc.hIconSm =
        static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_GAME), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // the standard arrow
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszMenuName = MAKEINTRESOURCEW(IDR_MENU);
    wc.lpszClassName = WINDOW_NAME;
    if (!RegisterClassExW(&wc)) return false;
    // The outer size that leaves 440 x 300 under the menu bar is worked out once the window exists.
    window_ = CreateWindowExW(0, WINDOW_NAME, WINDOW_NAME, WINDOWED_STYLE, CW_USEDEFAULT, CW_USEDEFAULT, 446,
                              344, nullptr, nullptr, instance_, this);
    if (!window_) return false;
    video_ = std::make_unique<Win32Video>(window_);
    // The window's own keys; the arrows, Space, Enter and F1 are the game's, read as it needs them.
    ACCEL keys[] = {{FVIRTKEY, 'P', static_cast<WORD>(CMD_PAUSE)},
                    {FVIRTKEY, VK_PAUSE, static_cast<WORD>(CMD_PAUSE)},
                    {FVIRTKEY, VK_F11, static_cast<WORD>(CMD_FULL_SCREEN)},
                    {FVIRTKEY, 'M', static_cast<WORD>(CMD_MUTE)}};
    accelerators_ = CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
    zoom_ = std::clamp(zoom, MIN_ZOOM, maxZoom());
    fullScreen_ = fullScreen;
    applyLayout();
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    return true;
}

void MainWindow::attach(GameSession& session, SubmitScore submit) {
    session_ = &session;
    dialogs_ = std::make_unique<Win32Dialogs>(instance_, window_, session, std::move(submit), pads_);
}

int MainWindow::maxZoom() const {
    const RECT work = workAreaOf(window_);
    RECT frame{0, 0, Win32Video::WIDTH, Win32Video::HEIGHT};
    AdjustWindowRectEx(&frame, WINDOWED_STYLE, TRUE, 0);
    const int extraW = frame.right - frame.left - Win32Video::WIDTH;
    const int extraH = frame.bottom - frame.top - Win32Video::HEIGHT;
    for (int z = MAX_ZOOM; z > MIN_ZOOM; --z)
        if (Win32Video::WIDTH * z + extraW <= work.right - work.left &&
            Win32Video::HEIGHT * z + extraH <= work.bottom - work.top)
            return z;
    return MIN_ZOOM;
}

void MainWindow::setWindowedSize(int zoom) {
    const int w = Win32Video::WIDTH * zoom, h = Win32Video::HEIGHT * zoom;
    RECT outer{0, 0, w, h};
    AdjustWindowRectEx(&outer, WINDOWED_STYLE, TRUE, 0);
    SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The menu bar takes what it needs (another line, another font): the client area is measured and
    // the outer size corrected until it is exactly the picture.
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT client{}, window{};
        GetClientRect(window_, &client);
        if (client.right == w && client.bottom == h) break;
        GetWindowRect(window_, &window);
        SetWindowPos(window_, nullptr, 0, 0, window.right - window.left + w - client.right,
                     window.bottom - window.top + h - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Kept on the screen.
    RECT window{};
    GetWindowRect(window_, &window);
    const RECT work = workAreaOf(window_);
    const int x =
        std::max<int>(work.left, std::min<int>(window.left, work.right - (window.right - window.left)));
    const int y =
        std::max<int>(work.top, std::min<int>(window.top, work.bottom - (window.bottom - window.top)));
    if (x != window.left || y != window.top)
        SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool MainWindow::layoutHolds() const {
    RECT r{};
    if (fullScreen_) {
        const RECT screen = monitorOf(window_);
        GetWindowRect(window_, &r);
        return EqualRect(&r, &screen);
    }
    GetClientRect(window_, &r);
    return r.right == Win32Video::WIDTH * zoom_ && r.bottom == Win32Video::HEIGHT * zoom_;
}

void MainWindow::applyLayout() {
    relayoutsLeft_ = 0; // the steps on the way are no layout to put back
    const bool isFullScreen = (GetWindowLongPtrW(window_, GWL_STYLE) & WS_CAPTION) != WS_CAPTION;
    if (fullScreen_) {
        if (!isFullScreen) GetWindowRect(window_, &windowedRect_);
        const RECT screen = monitorOf(window_);
        SetWindowLongPtrW(window_, GWL_STYLE,
                          FULL_SCREEN_STYLE | (IsWindowVisible(window_) ? WS_VISIBLE : 0));
        SetWindowPos(window_, HWND_TOP, screen.left, screen.top, screen.right - screen.left,
                     screen.bottom - screen.top, SWP_FRAMECHANGED | SWP_NOACTIVATE);
        RECT client{};
        GetClientRect(window_, &client);
        video_->setFactor(Win32Video::fittingFactor(client.right, client.bottom));
    } else {
        if (isFullScreen) {
            SetWindowLongPtrW(window_, GWL_STYLE,
                              WINDOWED_STYLE | (IsWindowVisible(window_) ? WS_VISIBLE : 0));
            SetWindowPos(window_, nullptr, windowedRect_.left, windowedRect_.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
        }
        zoom_ = std::clamp(zoom_, MIN_ZOOM, maxZoom());
        setWindowedSize(zoom_);
        video_->setFactor(zoom_);
    }
    InvalidateRect(window_, nullptr, FALSE);
    relayoutsLeft_ = RELAYOUTS;
}

void MainWindow::paint(HDC dc) {
    (void)dc; // the picture goes through the window's own device context, which this is (CS_OWNDC)
    video_->repaint(true);
    if (paused_) {
        const PictureRect r = video_->pictureRect();
        HDC own = GetDC(window_);
        drawPauseSign(own, r.x, r.y, r.width, r.height, video_->factor());
        ReleaseDC(window_, own);
    }
}

void MainWindow::markMenu(HMENU popup, int index) {
    // The resource names the channel's own host; the channel worked out at start may be another.
    const std::vector<MenuPopup> bar =
        menuBar(session_ ? session_->pages().channelHost() : CHANNEL_HOST, MenuSet::WithoutPlayerSettings);
    if (index < 0 || static_cast<size_t>(index) >= bar.size()) return;
    const std::vector<MenuEntry>& items = bar[static_cast<size_t>(index)].items;
    const int count = GetMenuItemCount(popup);
    for (int i = 0; i < count && static_cast<size_t>(i) < items.size(); ++i) {
        const int command = items[static_cast<size_t>(i)].command;
        bool marked = false;
        if (const int z = zoomOfCommand(command)) {
            // A zoom whose window would not fit the screen cannot be chosen.
            EnableMenuItem(popup, i, MF_BYPOSITION | (z <= maxZoom() ? MF_ENABLED : MF_GRAYED));
            marked = z == zoom_;
        } else if (command == CMD_FULL_SCREEN) {
            marked = fullScreen_;
        } else if (command == CMD_PAUSE) {
            marked = paused_;
        } else if (command == CMD_MUTE) {
            marked = volume_.muted;
        } else if (command == CMD_VOLUME) {
            const std::wstring label = wideText(itemText(items[static_cast<size_t>(i)], volume_));
            ModifyMenuW(popup, i, MF_BYPOSITION | MF_STRING, CMD_VOLUME, label.c_str());
        } else if (command == CMD_CHANNEL_SITE) {
            const std::wstring label = wideText(items[static_cast<size_t>(i)].label);
            ModifyMenuW(popup, i, MF_BYPOSITION | MF_STRING, CMD_CHANNEL_SITE, label.c_str());
            continue;
        } else {
            continue;
        }
        CheckMenuItem(popup, i, MF_BYPOSITION | (marked ? MF_CHECKED : MF_UNCHECKED));
    }
}

LRESULT CALLBACK MainWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_DESTROY:
        closed_ = true;
        PostQuitMessage(0);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the picture and its black borders cover everything
    case WM_PAINT: {
        // The loop draws the frames; this shows the last one again where the window was uncovered.
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window_, &ps);
        if (video_) paint(dc);
        EndPaint(window_, &ps);
        return 0;
    }
    case WM_COMMAND:
        // Menu items and the window's keys; they run in the loop, after the frame.
        if (lParam == 0 && LOWORD(wParam) != CMD_NOTHING) pendingCommand_ = LOWORD(wParam);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE && paused_) pendingCommand_ = CMD_PAUSE;
        return 0;
    case WM_QUERYNEWPALETTE:
        g_paletteDirty = true;
        if (video_) video_->paletteLost();
        return 0;
    case WM_PALETTECHANGED:
        return 0;
    case WM_INITMENUPOPUP:
        if (!HIWORD(lParam)) markMenu(reinterpret_cast<HMENU>(wParam), LOWORD(lParam));
        return 0;
    case WM_ENTERMENULOOP:
        // The game stands still while a menu is open; the period clock leaves that time out.
        inMenu_ = true;
        if (session_) session_->hold(true);
        return 0;
    case WM_EXITMENULOOP:
        inMenu_ = false;
        if (session_) session_->hold(holding());
        forgetTappedKeys(); // the arrows and Enter that worked the menu are not the game's
        return 0;
    case WM_DPICHANGED:
    case WM_DISPLAYCHANGE:
        if (video_) applyLayout();
        return 0;
    case WM_WINDOWPOSCHANGED:
        // The window cannot be resized by the player: a size other than the layout's comes from a window
        // manager still answering the request before (seen under Wine when the style changes), so the
        // layout is put back once the messages of the moment are handled.
        if (video_ && relayoutsLeft_ > 0 && !IsIconic(window_) && !layoutHolds()) {
            --relayoutsLeft_;
            PostMessageW(window_, WM_RELAYOUT, 0, 0);
        }
        return DefWindowProcW(window_, message, wParam, lParam);
    case WM_RELAYOUT:
        if (video_ && !layoutHolds()) {
            const int left = relayoutsLeft_;
            applyLayout();
            relayoutsLeft_ = left;
        }
        return 0;
    case WM_ENDSESSION:
        if (wParam && sessionEnding) sessionEnding();
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

bool MainWindow::holding() const {
    return paused_ || inMenu_;
}

int MainWindow::paintMenus() {
    const int command = pendingCommand_;
    pendingCommand_ = 0;
    return command;
}

bool MainWindow::restartKeyDown() {
    return keys_.keyDown(Key::F1);
}

void MainWindow::runWindowCommand(int command) {
    if (command == CMD_VOLUME || command == CMD_MUTE) {
        volume_ = command == CMD_MUTE ? volume_.toggledMute() : volume_.cycledQuieter();
        if (volumeChanged) volumeChanged(volume_);
        return;
    }
    if (command == CMD_PAUSE) {
        paused_ = !paused_;
        // Keys tapped while the game stood still are not played afterwards.
        if (!paused_) forgetTappedKeys();
        if (pausedChanged) pausedChanged(paused_);
        InvalidateRect(window_, nullptr, FALSE); // the sign comes or goes
        return;
    }
    if (const int z = zoomOfCommand(command)) {
        if (z > maxZoom()) return;
        zoom_ = z; // the window takes it when it is not full screen
    } else if (command == CMD_FULL_SCREEN) {
        fullScreen_ = !fullScreen_;
    } else {
        return;
    }
    applyLayout();
    if (layoutChanged) layoutChanged(zoom_, fullScreen_);
}

void MainWindow::openUrl(const std::string& url) {
    openWebPage(url);
}

bool MainWindow::handleEvents(bool wait) {
    if (closed_) return false;
    MSG msg;
    if (wait && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        MsgWaitForMultipleObjectsEx(0, nullptr, FRAME_WAIT_MS, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        pads_.sample();
    }
    for (int n = 0; n < MESSAGES_PER_PASS && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
        if (msg.message == WM_QUIT) {
            closed_ = true;
            return false;
        }
        if (!TranslateAcceleratorW(window_, accelerators_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return !closed_;
}

void MainWindow::forgetTappedKeys() {
    keyboard_.clearTaps();
    pads_.clearTaps();
}

void MainWindow::afterDialog() {
    // Keys typed into the dialog belong to it, not to the game.
    forgetTappedKeys();
    InvalidateRect(window_, nullptr, FALSE);
}

void MainWindow::askToSubmit() {
    const Win32Dialogs::Answer answer = dialogs_->ask(REGISTER_CAPTION, SUBMIT_QUESTION);
    afterDialog();
    if (session_->quitRequested()) return;
    // "Nej", Escape and the close box all mean no.
    session_->answerSubmitQuestion(answer == Win32Dialogs::Answer::Yes);
}

void MainWindow::registerScore() {
    dialogs_->registerScore();
    afterDialog();
}

void MainWindow::showInformation(int textIndex) {
    dialogs_->showInformation(textIndex);
    afterDialog();
}

void MainWindow::askToPlayAgain() {
    const Win32Dialogs::Answer answer = dialogs_->ask(PLAY_AGAIN_CAPTION, PLAY_AGAIN_QUESTION);
    afterDialog();
    if (session_->quitRequested()) return;
    // "Nej" ends the program; the close box or Escape only puts the question away, so the player can still
    // register the score or read the rules from the menu.
    if (answer != Win32Dialogs::Answer::PutAway)
        session_->answerPlayAgain(answer == Win32Dialogs::Answer::Yes);
}

} // namespace tundrix
