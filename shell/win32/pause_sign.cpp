// A rounded navy panel, a gold frame and outlined gold letters, sized to the picture's factor.
#include "shell/win32/pause_sign.h"

namespace tundrix {

namespace {
constexpr wchar_t TEXT[] = L"PAUS \u00B7 PAUSED";
constexpr COLORREF NAVY = RGB(10, 16, 48);
constexpr COLORREF GOLD = RGB(255, 200, 40);
} // namespace

void drawPauseSign(HDC dc, int x, int y, int width, int height, int factor) {
    HFONT font =
        CreateFontW(-34 * factor, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Arial");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, TEXT, static_cast<int>(wcslen(TEXT)), &extent);
    const int padX = 18 * factor, padY = 10 * factor;
    const int left = x + (width - extent.cx) / 2, top = y + (height - extent.cy) / 2;
    HPEN pen = CreatePen(PS_SOLID, 3 * factor, GOLD);
    HBRUSH brush = CreateSolidBrush(NAVY);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    RoundRect(dc, left - padX, top - padY, left + extent.cx + padX, top + extent.cy + padY, 20 * factor,
              20 * factor);
    SetBkMode(dc, TRANSPARENT);
    // Outlined like the titles of the game's own screens: black around, gold inside.
    SetTextColor(dc, RGB(0, 0, 0));
    const int o = 2 * factor;
    for (int dy = -o; dy <= o; dy += o)
        for (int dx = -o; dx <= o; dx += o)
            if (dx != 0 || dy != 0) TextOutW(dc, left + dx, top + dy, TEXT, static_cast<int>(wcslen(TEXT)));
    SetTextColor(dc, GOLD);
    TextOutW(dc, left, top, TEXT, static_cast<int>(wcslen(TEXT)));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldFont);
    DeleteObject(brush);
    DeleteObject(pen);
    DeleteObject(font);
}

} // namespace tundrix
