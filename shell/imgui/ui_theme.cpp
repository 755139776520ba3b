// The game's colours and shapes for ImGui, its buttons and the pause sign.
#include "shell/imgui/ui_theme.h"
#include "shell/imgui/ui_colours.h"

#include <algorithm>
#include <imgui.h>

namespace tundrix {

namespace {
const ImVec4 NAVY = ui_colour::vec(ui_colour::NAVY);
const ImVec4 DEEP_NAVY = ui_colour::vec(ui_colour::DEEP_NAVY);
const ImVec4 LIGHT_NAVY = ui_colour::vec(ui_colour::LIGHT_NAVY);
const ImVec4 GOLD = ui_colour::vec(ui_colour::GOLD);
const ImVec4 PALE_GOLD = ui_colour::vec(ui_colour::PALE_GOLD);
const ImVec4 ICE = ui_colour::vec(ui_colour::ICE);
const ImVec4 WHITE = ui_colour::vec(ui_colour::WHITE);
const ImVec4 GREY = ui_colour::vec(ui_colour::GREY);
} // namespace

void applyGameTheme() {
    ImGuiStyle& style = ImGui::GetStyle();
    ImGui::StyleColorsDark(&style);
    style.WindowRounding = 6.0f;
    style.ChildRounding = 4.0f;
    style.FrameRounding = 4.0f;
    style.PopupRounding = 4.0f;
    style.GrabRounding = 4.0f;
    style.ScrollbarRounding = 4.0f;
    style.WindowBorderSize = 2.0f;
    style.FrameBorderSize = 1.0f;
    style.PopupBorderSize = 1.0f;
    style.FramePadding = ImVec2(6.0f, 3.0f);
    style.ItemSpacing = ImVec2(8.0f, 6.0f);
    style.WindowPadding = ImVec2(10.0f, 10.0f);
    style.WindowTitleAlign = ImVec2(0.5f, 0.5f);
    style.DisplaySafeAreaPadding = ImVec2(0.0f, 0.0f);

    ImVec4* c = style.Colors;
    c[ImGuiCol_Text] = WHITE;
    c[ImGuiCol_TextDisabled] = GREY;
    c[ImGuiCol_WindowBg] = NAVY;
    c[ImGuiCol_ChildBg] = WHITE;
    c[ImGuiCol_PopupBg] = DEEP_NAVY;
    c[ImGuiCol_Border] = GOLD;
    c[ImGuiCol_FrameBg] = ICE;
    c[ImGuiCol_FrameBgHovered] = WHITE;
    c[ImGuiCol_FrameBgActive] = WHITE;
    c[ImGuiCol_TitleBg] = DEEP_NAVY;
    c[ImGuiCol_TitleBgActive] = DEEP_NAVY;
    c[ImGuiCol_MenuBarBg] = NAVY;
    c[ImGuiCol_ScrollbarBg] = ICE;
    c[ImGuiCol_ScrollbarGrab] = LIGHT_NAVY;
    c[ImGuiCol_ScrollbarGrabHovered] = NAVY;
    c[ImGuiCol_ScrollbarGrabActive] = DEEP_NAVY;
    c[ImGuiCol_Button] = ICE;
    c[ImGuiCol_ButtonHovered] = PALE_GOLD;
    c[ImGuiCol_ButtonActive] = GOLD;
    c[ImGuiCol_Header] = GOLD;
    c[ImGuiCol_HeaderHovered] = GOLD;
    c[ImGuiCol_HeaderActive] = GOLD;
    c[ImGuiCol_Separator] = LIGHT_NAVY;
    c[ImGuiCol_TextSelectedBg] = ui_colour::vec(ui_colour::GOLD, 0.45f);
    c[ImGuiCol_NavHighlight] = GOLD;
    // The game picture stays clearly visible behind a dialog.
    c[ImGuiCol_ModalWindowDimBg] = ImVec4(0.0f, 0.0f, 0.0f, 0.2f);
}

float buttonWidth(const std::string& label, float minWidth) {
    const float text = ImGui::CalcTextSize(label.c_str(), nullptr, true).x;
    return std::max(minWidth, text + ImGui::GetStyle().FramePadding.x * 2.0f + 16.0f);
}

bool themedButton(const std::string& label, bool isDefault, float minWidth) {
    ImGui::PushStyleColor(ImGuiCol_Text, DEEP_NAVY);
    if (isDefault) {
        ImGui::PushStyleColor(ImGuiCol_Button, GOLD);
        ImGui::PushStyleColor(ImGuiCol_ButtonHovered, PALE_GOLD);
        ImGui::PushStyleColor(ImGuiCol_Border, WHITE);
        ImGui::PushStyleVar(ImGuiStyleVar_FrameBorderSize, 2.0f);
    }
    const bool pressed = ImGui::Button(label.c_str(), ImVec2(buttonWidth(label, minWidth), 0.0f));
    if (isDefault) {
        ImGui::PopStyleVar();
        ImGui::PopStyleColor(3);
    }
    ImGui::PopStyleColor();
    return pressed;
}

void drawPauseSign(ImFont* font, float top) {
    const char* const text = PAUSE_SIGN_TEXT;
    // Under every window: a dialog opened while paused covers the sign.
    ImDrawList* draw = ImGui::GetBackgroundDrawList();
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    ImFont* f = font ? font : ImGui::GetFont();
    const float size = f->FontSize;
    const ImVec2 extent = f->CalcTextSizeA(size, FLT_MAX, 0.0f, text);
    const ImVec2 centre(display.x * 0.5f, top + (display.y - top) * 0.5f);
    const ImVec2 at(centre.x - extent.x * 0.5f, centre.y - extent.y * 0.5f);
    const ImVec2 pad(18.0f, 10.0f);
    draw->AddRectFilled(ImVec2(at.x - pad.x, at.y - pad.y),
                        ImVec2(at.x + extent.x + pad.x, at.y + extent.y + pad.y),
                        ImGui::GetColorU32(ui_colour::vec(ui_colour::DEEP_NAVY, 0.85f)), 10.0f);
    draw->AddRect(ImVec2(at.x - pad.x, at.y - pad.y),
                  ImVec2(at.x + extent.x + pad.x, at.y + extent.y + pad.y), ImGui::GetColorU32(GOLD), 10.0f,
                  0, 3.0f);
    // Outlined like the titles of the game's own screens: black around, gold inside.
    const ImU32 outline = IM_COL32(0, 0, 0, 255);
    for (int dy = -2; dy <= 2; dy += 2)
        for (int dx = -2; dx <= 2; dx += 2)
            if (dx != 0 || dy != 0) draw->AddText(f, size, ImVec2(at.x + dx, at.y + dy), outline, text);
    draw->AddText(f, size, at, ImGui::GetColorU32(GOLD), text);
}

void drawReplayLabel() {
    const char* const text = "REPRIS / REPLAY";
    // Under every window, like the pause sign.
    ImDrawList* draw = ImGui::GetBackgroundDrawList();
    const ImVec2 extent = ImGui::CalcTextSize(text);
    const ImVec2 pad(6.0f, 2.0f);
    // Over the brand lettering at the bottom left, where it hides neither the play nor the figures.
    const ImVec2 at(pad.x + 6.0f, ImGui::GetIO().DisplaySize.y - extent.y - pad.y - 5.0f);
    const ImVec2 from(at.x - pad.x, at.y - pad.y), to(at.x + extent.x + pad.x, at.y + extent.y + pad.y);
    draw->AddRectFilled(from, to, ImGui::GetColorU32(ui_colour::vec(ui_colour::DEEP_NAVY, 0.75f)), 4.0f);
    draw->AddRect(from, to, ImGui::GetColorU32(GOLD), 4.0f, 0, 1.0f);
    draw->AddText(at, ImGui::GetColorU32(GOLD), text);
}

} // namespace tundrix
