// The dialog procedures: texts set at opening, the buttons' commands, the register dialog's post polled
// on a timer, Start on a gamepad as the default button, and each dialog centred on the game's window.
#include "shell/win32/dialogs.h"

#include "platform/win32/win32_web_page.h"
#include "protocol/paths.h"
#include "shell/dialog_texts.h"
#include "shell/info_texts.h"
#include "shell/login_fields.h"
#include "shell/register_outcome.h"
#include "shell/web_pages.h"
#include "shell/win32/resource_ids.h"
#include "shell/win32/wide_text.h"

#include <optional>

namespace tundrix {

namespace {

constexpr UINT_PTR PAD_TIMER = 1, POST_TIMER = 2, KEY_TIMER = 3;
constexpr UINT PAD_MS = 50, POST_MS = 50, KEY_MS = 30;

// Keys still held from the game (a raid at the game's end) must not answer a dialog that opens under them:
// its buttons take no command until Space, Enter, Escape and the arrows have been let go, and the arrows
// held meanwhile (which move the focus between the buttons) leave the focus where the dialog put it.
bool answerKeysUp() {
    for (int vk : {VK_SPACE, VK_RETURN, VK_ESCAPE, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN})
        if (GetAsyncKeyState(vk) & 0x8000) return false;
    return true;
}
void focusControl(HWND dialog, int id) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE);
}
void armWhenKeysUp(HWND dialog, bool& armed) {
    armed = answerKeysUp();
    if (!armed) SetTimer(dialog, KEY_TIMER, KEY_MS, nullptr);
}
void checkKeys(HWND dialog, bool& armed, int focusId) {
    if (!answerKeysUp()) return;
    armed = true;
    KillTimer(dialog, KEY_TIMER);
    focusControl(dialog, focusId);
}
// A button's command (not a field's notification) before the keys were let go.
bool tooEarly(WPARAM wParam, LPARAM lParam, bool armed) {
    return !armed && (lParam == 0 || HIWORD(wParam) == BN_CLICKED) &&
           (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDC_NEW_USER);
}

// Over the middle of the game's window, kept on its screen.
void centreOnOwner(HWND dialog, HWND owner) {
    RECT o{}, d{};
    GetWindowRect(owner, &o);
    GetWindowRect(dialog, &d);
    const int w = d.right - d.left, h = d.bottom - d.top;
    int x = o.left + (o.right - o.left - w) / 2, y = o.top + (o.bottom - o.top - h) / 2;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        x = std::max<int>(work.left, std::min<int>(x, work.right - w));
        y = std::max<int>(work.top, std::min<int>(y, work.bottom - h));
    }
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Start on a gamepad presses the dialog's default button.
void pressDefaultOnStart(HWND dialog, Win32Dialogs& d) {
    if (d.pads.startPressed())
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

void openDialogCommon(HWND dialog, Win32Dialogs& d) {
    centreOnOwner(dialog, d.owner);
    d.pads.clearTaps();
    if (d.pads.available()) SetTimer(dialog, PAD_TIMER, PAD_MS, nullptr);
}

template <typename State> State* stateOf(HWND dialog) {
    return reinterpret_cast<State*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

template <typename State> State* keep(HWND dialog, LPARAM lParam) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return reinterpret_cast<State*>(lParam);
}

std::string fieldOf(HWND dialog, int id, size_t maxChars) {
    wchar_t buffer[256] = {};
    GetDlgItemTextW(dialog, id, buffer, 256);
    return fieldText(utf8Text(buffer), maxChars);
}

// --- the question ------------------------------------------------------------------------------------

struct QuestionState {
    Win32Dialogs& d;
    const std::string& caption;
    const std::string& text;
    bool armed = false;
};

INT_PTR CALLBACK questionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        QuestionState* s = keep<QuestionState>(dialog, lParam);
        SetWindowTextW(dialog, wideText(s->caption).c_str());
        SetDlgItemTextW(dialog, IDC_TEXT, controlText(s->text).c_str());
        openDialogCommon(dialog, s->d);
        armWhenKeysUp(dialog, s->armed);
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    }
    case WM_TIMER: {
        QuestionState* s = stateOf<QuestionState>(dialog);
        if (wParam == PAD_TIMER) pressDefaultOnStart(dialog, s->d);
        if (wParam == KEY_TIMER) checkKeys(dialog, s->armed, IDOK);
        return TRUE;
    }
    case WM_COMMAND:
        if (tooEarly(wParam, lParam, stateOf<QuestionState>(dialog)->armed)) return TRUE;
        if (LOWORD(wParam) == IDOK) EndDialog(dialog, static_cast<INT_PTR>(Win32Dialogs::Answer::Yes));
        // The button says no; Escape (down while the dialog manager turns it into the same command) only puts
        // the question away.
        if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog,
                      static_cast<INT_PTR>((GetKeyState(VK_ESCAPE) & 0x8000) ? Win32Dialogs::Answer::PutAway
                                                                             : Win32Dialogs::Answer::No));
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, static_cast<INT_PTR>(Win32Dialogs::Answer::PutAway));
        return TRUE;
    }
    return FALSE;
}

// --- the information text ------------------------------------------------------------------------------

struct InformationState {
    Win32Dialogs& d;
    int index;
    bool armed = false;
};

INT_PTR CALLBACK informationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        InformationState* s = keep<InformationState>(dialog, lParam);
        SetDlgItemTextW(dialog, IDC_TEXT, controlText(infoText(s->index)).c_str());
        openDialogCommon(dialog, s->d);
        armWhenKeysUp(dialog, s->armed);
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    }
    case WM_CTLCOLORSTATIC:
        // The read-only text: black on white, the rest of the control the light grey stock brush.
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_TEXT) {
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, RGB(255, 255, 255));
            return reinterpret_cast<INT_PTR>(GetStockObject(LTGRAY_BRUSH));
        }
        return FALSE;
    case WM_TIMER: {
        InformationState* s = stateOf<InformationState>(dialog);
        if (wParam == PAD_TIMER) pressDefaultOnStart(dialog, s->d);
        if (wParam == KEY_TIMER) checkKeys(dialog, s->armed, IDOK);
        return TRUE;
    }
    case WM_COMMAND:
        if (tooEarly(wParam, lParam, stateOf<InformationState>(dialog)->armed)) return TRUE;
        // Only OK closes the text (Escape does not); the game's schedule starts again from now.
        if (LOWORD(wParam) == IDOK) {
            stateOf<InformationState>(dialog)->d.session.closeInformation();
            EndDialog(dialog, IDOK);
        }
        return TRUE;
    }
    return FALSE;
}

// --- the register dialog -------------------------------------------------------------------------------

struct RegisterState {
    Win32Dialogs& d;
    SubmissionAttempt attempt;
    bool filtering = false;
    bool armed = false;
};

void keepToCodePage(HWND dialog, int id, size_t maxChars, RegisterState& s) {
    // Typed or pasted, a field holds characters of the channel's code page only, and at most its length.
    if (s.filtering) return;
    wchar_t buffer[256] = {};
    GetDlgItemTextW(dialog, id, buffer, 256);
    const std::string was = utf8Text(buffer), kept = fieldText(was, maxChars);
    if (kept == was) return;
    s.filtering = true;
    HWND field = GetDlgItem(dialog, id);
    SetWindowTextW(field, wideText(kept).c_str());
    SendMessageW(field, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    SendMessageW(field, EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
    s.filtering = false;
}

void setOkText(HWND dialog, const char* text) {
    SetDlgItemTextW(dialog, IDOK, wideText(text).c_str());
}

void finishPost(HWND dialog, RegisterState& s) {
    const std::optional<ScoreSubmission> done = s.attempt.takeResult();
    if (!done) return;
    KillTimer(dialog, POST_TIMER);
    Win32Dialogs& d = s.d;
    // Only a registered score is spent; after a failure it stays for "Försök igen".
    const RegisterOutcome outcome = d.session.answerSubmission(*done);
    for (const std::string& page : outcome.pages)
        openWebPage(page);
    if (outcome.showRegOk) d.messageBox(REGISTERED_CAPTION, REGISTERED_TEXT);
    if (d.session.quitRequested() || outcome.close) {
        EndDialog(dialog, IDOK);
        return;
    }
    setOkText(dialog, outcome.button == RegisterOutcome::Button::Retry ? RETRY_LABEL : SENDING_LABEL);
    if (!outcome.why.empty()) d.messageBox(REGISTER_CAPTION, outcome.why, MB_ICONWARNING);
    // Back in the password field, which is what a player corrects most often.
    SetFocus(GetDlgItem(dialog, IDC_PASSWORD));
    SendDlgItemMessageW(dialog, IDC_PASSWORD, EM_SETSEL, 0, -1);
}

void startPost(HWND dialog, RegisterState& s) {
    if (s.attempt.running()) return;
    GameSession& session = s.d.session;
    // Both parts are needed; until then OK does nothing but show where to type.
    if (!session.rememberLogin(fieldOf(dialog, IDC_USER_NAME, USER_NAME_MAX),
                               fieldOf(dialog, IDC_PASSWORD, PASSWORD_MAX))) {
        SetFocus(GetDlgItem(dialog, session.userName().empty() ? IDC_USER_NAME : IDC_PASSWORD));
        return;
    }
    setOkText(dialog, SENDING_LABEL);
    s.attempt.start(s.d.submit, session.makeSubmission());
    SetTimer(dialog, POST_TIMER, POST_MS, nullptr);
}

INT_PTR CALLBACK registerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        RegisterState* s = keep<RegisterState>(dialog, lParam);
        GameSession& session = s->d.session;
        SetWindowTextW(dialog, wideText(registerScoreCaption(session.bestScore.get())).c_str());
        SendDlgItemMessageW(dialog, IDC_USER_NAME, EM_LIMITTEXT, USER_NAME_MAX, 0);
        SendDlgItemMessageW(dialog, IDC_PASSWORD, EM_LIMITTEXT, PASSWORD_MAX, 0);
        SetDlgItemTextW(dialog, IDC_USER_NAME, wideText(session.userName()).c_str());
        SetDlgItemTextW(dialog, IDC_PASSWORD, wideText(session.password()).c_str());
        openDialogCommon(dialog, s->d);
        armWhenKeysUp(dialog, s->armed);
        SetFocus(GetDlgItem(dialog, session.userName().empty() ? IDC_USER_NAME : IDC_PASSWORD));
        return FALSE;
    }
    case WM_TIMER: {
        RegisterState* s = stateOf<RegisterState>(dialog);
        if (wParam == PAD_TIMER) pressDefaultOnStart(dialog, s->d);
        if (wParam == POST_TIMER) finishPost(dialog, *s);
        if (wParam == KEY_TIMER)
            checkKeys(dialog, s->armed, s->d.session.userName().empty() ? IDC_USER_NAME : IDC_PASSWORD);
        return TRUE;
    }
    case WM_COMMAND: {
        RegisterState* s = stateOf<RegisterState>(dialog);
        if (tooEarly(wParam, lParam, s->armed)) return TRUE;
        switch (LOWORD(wParam)) {
        case IDOK:
            startPost(dialog, *s);
            break;
        case IDCANCEL:
            // Cancel also gives up a post still under way: its answer, when it comes, is dropped.
            s->attempt.giveUp();
            s->d.session.cancelRegister();
            EndDialog(dialog, IDCANCEL);
            break;
        case IDC_NEW_USER:
            openWebPage(s->d.session.pages().channelPage(protocol::SIGNUP_PATH));
            break;
        case IDC_USER_NAME:
            if (HIWORD(wParam) == EN_CHANGE) keepToCodePage(dialog, IDC_USER_NAME, USER_NAME_MAX, *s);
            break;
        case IDC_PASSWORD:
            if (HIWORD(wParam) == EN_CHANGE) keepToCodePage(dialog, IDC_PASSWORD, PASSWORD_MAX, *s);
            break;
        }
        return TRUE;
    }
    }
    return FALSE;
}

} // namespace

Win32Dialogs::Win32Dialogs(HINSTANCE instance, HWND owner, GameSession& session, SubmitScore submit,
                           XInputGamepads& pads)
    : instance(instance), owner(owner), session(session), submit(std::move(submit)), pads(pads) {}

Win32Dialogs::Answer Win32Dialogs::ask(const std::string& caption, const std::string& text) {
    QuestionState state{*this, caption, text};
    const INT_PTR answer = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_QUESTION), owner, questionProc,
                                           reinterpret_cast<LPARAM>(&state));
    return answer < 0 ? Answer::PutAway : static_cast<Answer>(answer);
}

void Win32Dialogs::showInformation(int index) {
    InformationState state{*this, index};
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_INFORMATION), owner, informationProc,
                    reinterpret_cast<LPARAM>(&state));
}

void Win32Dialogs::registerScore() {
    RegisterState state{*this, SubmissionAttempt(postsInFlight_)};
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_REGISTER), owner, registerProc,
                    reinterpret_cast<LPARAM>(&state));
}

void Win32Dialogs::messageBox(const std::string& caption, const std::string& text, UINT icon) {
    // Over the dialog that is open, if any, else over the game's window.
    HWND over = GetActiveWindow();
    if (!over || (over != owner && GetParent(over) != owner && GetWindow(over, GW_OWNER) != owner))
        over = owner;
    MessageBoxW(over, wideText(text).c_str(), wideText(caption).c_str(), MB_OK | icon);
}

} // namespace tundrix
