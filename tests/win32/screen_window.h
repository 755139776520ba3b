// A bare window at the screen's top left, and what the screen shows in its client area.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

namespace tundrix::test {

class ScreenWindow {
  public:
    ScreenWindow(int w, int h) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"screen window";
        RegisterClassW(&wc);
        window = CreateWindowExW(WS_EX_TOPMOST, L"screen window", L"screen window", WS_POPUP | WS_VISIBLE, 0,
                                 0, w, h, nullptr, nullptr, wc.hInstance, nullptr);
        pump();
    }
    ~ScreenWindow() { DestroyWindow(window); }
    static void pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    // Each pixel as 0xRRGGBB.
    std::vector<uint32_t> read(int w, int h) {
        pump();
        GdiFlush();
        HDC dc = GetDC(window);
        HDC memory = CreateCompatibleDC(dc);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP copy = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, copy);
        BitBlt(memory, 0, 0, w, h, dc, 0, 0, SRCCOPY);
        GdiFlush();
        std::vector<uint32_t> px(static_cast<const uint32_t*>(bits),
                                 static_cast<const uint32_t*>(bits) + w * h);
        SelectObject(memory, old);
        DeleteObject(copy);
        DeleteDC(memory);
        ReleaseDC(window, dc);
        for (uint32_t& p : px)
            p &= 0xFFFFFF;
        return px;
    }
    HWND window = nullptr;
};

} // namespace tundrix::test
