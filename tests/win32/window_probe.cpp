// A helper of the end-to-end tests, run beside the game: tells what Windows knows of its windows.
//   tundrix_window_probe game          the game window's client and outer size and its style
//   tundrix_window_probe dialogs       every dialog and message box (its title, size and texts) and open menu
//   tundrix_window_probe file EXE      the program file's version, manifest and icon sizes
// Titles and texts are printed in UTF-8, one window a line, fields separated by tabs.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string textOf(HWND window) {
    wchar_t text[1024] = {};
    // Across processes WM_GETTEXT is what reads another program's control.
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    char out[3 * 1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, nullptr, nullptr);
    std::string s = out;
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
    const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
    std::printf(
        "client\t%ldx%ld\touter\t%ldx%ld\ttitle\t%s\tcaption\t%d\tsizing\t%d\tmaximize\t%d\tminimize\t%d\t"
        "sysmenu\t%d\tmenu\t%d\n",
        client.right, client.bottom, outer.right - outer.left, outer.bottom - outer.top, textOf(w).c_str(),
        (style & WS_CAPTION) == WS_CAPTION, (style & WS_THICKFRAME) != 0, (style & WS_MAXIMIZEBOX) != 0,
        (style & WS_MINIMIZEBOX) != 0, (style & WS_SYSMENU) != 0, GetMenu(w) != nullptr);
}

BOOL CALLBACK dialog(HWND w, LPARAM) {
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    if (!IsWindowVisible(w)) return TRUE;
    if (std::wstring(cls) == L"#32768") { // an open menu: where it lies on the screen
        RECT r{};
        GetWindowRect(w, &r);
        std::printf("menu\t%ld,%ld,%ldx%ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return TRUE;
    }
    if (std::wstring(cls) != L"#32770") return TRUE;
    RECT client{};
    GetClientRect(w, &client);
    std::printf("dialog\t%s\t%ldx%ld", textOf(w).c_str(), client.right, client.bottom);
    // Its controls in order, each as id=text.
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        std::printf("\t%d=%s", GetDlgCtrlID(c), textOf(c).c_str());
    std::printf("\n");
    return TRUE;
}

// The version information, the manifest and the icon sizes of a program file, read as Windows reads them.
void file(const char* path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    std::string info(size, '\0');
    if (size && GetFileVersionInfoA(path, 0, size, info.data())) {
        for (const char* name : {"ProductName", "FileVersion"}) {
            char* value = nullptr;
            UINT length = 0;
            const std::string key = std::string("\\StringFileInfo\\041D04E4\\") + name;
            if (VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
                std::printf("version\t%s\t%s\n", name, value);
        }
    }
    HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return;
    if (HRSRC r = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        const auto* text = static_cast<const char*>(LockResource(LoadResource(module, r)));
        std::string manifest(text, SizeofResource(module, r));
        for (const char* needle : {"PerMonitorV2", "Microsoft.Windows.Common-Controls", "asInvoker"})
            std::printf("manifest\t%s\t%d\n", needle, manifest.find(needle) != std::string::npos);
    }
    // The icon group: six bytes of header, then fourteen per picture with its width first (0 is 256).
    if (HRSRC r = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14))) {
        const auto* group = static_cast<const unsigned char*>(LockResource(LoadResource(module, r)));
        const int count = group[4] | group[5] << 8;
        std::printf("icons");
        for (int i = 0; i < count; ++i)
            std::printf("\t%d", group[6 + 14 * i] ? group[6 + 14 * i] : 256);
        std::printf("\n");
    }
    FreeLibrary(module);
}

} // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "game") {
        game();
    } else if (what == "dialogs") {
        EnumWindows(dialog, 0);
    } else if (what == "file" && argc > 2) {
        file(argv[2]);
    } else {
        std::fprintf(stderr, "usage: %s game|dialogs|file EXE\n", argv[0]);
        return 2;
    }
    std::fflush(stdout);
    return 0;
}
