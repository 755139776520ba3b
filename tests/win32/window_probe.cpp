// A helper of the end-to-end tests, run beside the game: tells what Windows knows of its windows.
//   tundrix_window_probe game          the game window's client and outer size, style and icon
//   tundrix_window_probe dialogs       every dialog and message box: its title, size and texts
// Titles and texts are printed in UTF-8, one window a line, fields separated by tabs.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string utf8(const wchar_t* text) {
    char out[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, nullptr, nullptr);
    return out;
}

std::string textOf(HWND window) {
    wchar_t text[1024] = {};
    // Across processes WM_GETTEXT is what reads another program's control.
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    std::string s = utf8(text);
    for (char& c : s)
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    return s;
}

void game() {
    HWND w = FindWindowW(L"Tundrix Ice-Hockey Cup", nullptr);
    if (!w) {
        std::printf("none\n");
        return;
    }
    RECT client{}, outer{};
    GetClientRect(w, &client);
    GetWindowRect(w, &outer);
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
    std::printf("client\t%ldx%ld\touter\t%ldx%ld\tclient-top\t%ld\ttitle\t%s\tcaption\t%d\tsizing\t%d\tmaximize\t%d\t"
                "minimize\t%d\tmenu\t%d\ticon\t%d\n",
                client.right, client.bottom, outer.right - outer.left, outer.bottom - outer.top,
                origin.y - outer.top, textOf(w).c_str(), (style & WS_CAPTION) == WS_CAPTION,
                (style & WS_THICKFRAME) != 0, (style & WS_MAXIMIZEBOX) != 0, (style & WS_MINIMIZEBOX) != 0,
                GetMenu(w) != nullptr, GetClassLongPtrW(w, GCLP_HICON) != 0);
}

BOOL CALLBACK dialog(HWND w, LPARAM) {
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    if (std::wstring(cls) != L"#32770" || !IsWindowVisible(w)) return TRUE;
    RECT client{};
    GetClientRect(w, &client);
    std::printf("dialog\t%s\t%ldx%ld", textOf(w).c_str(), client.right, client.bottom);
    // Its controls in order, each as id=text.
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        std::printf("\t%d=%s", GetDlgCtrlID(c), textOf(c).c_str());
    std::printf("\n");
    return TRUE;
}

} // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "game") {
        game();
    } else if (what == "dialogs") {
        EnumWindows(dialog, 0);
    } else {
        std::fprintf(stderr, "usage: %s game|dialogs\n", argv[0]);
        return 2;
    }
    std::fflush(stdout);
    return 0;
}
