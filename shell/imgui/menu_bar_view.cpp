// The menu bar in the game's colours: titles, fixed-width spacers that take no clicks, and one open menu
// drawn as a window of its own below its title.
#include "shell/imgui/menu_bar_view.h"
#include "shell/imgui/ui_colours.h"

#include <algorithm>
#include <imgui.h>
#include <string>

namespace tundrix {

namespace {
constexpr float MARK_WIDTH = 16.0f;
const ImU32 LIT_TEXT = ui_colour::packed(ui_colour::DEEP_NAVY);
} // namespace

int drawMenuBar(MenuNavigator& nav, bool enabled, const MenuMark& marked, const MenuLabel& shown) {
    const auto textOf = [&](const MenuEntry& item) { return shown ? shown(item) : item.label; };
    int chosen = 0;
    const ImGuiStyle& style = ImGui::GetStyle();
    const ImU32 gold = ImGui::GetColorU32(ImGuiCol_Header);
    const ImU32 hover = ui_colour::packed(ui_colour::LIGHT_NAVY);
    const ImU32 text = ImGui::GetColorU32(enabled ? ImGuiCol_Text : ImGuiCol_TextDisabled);
    const ImU32 disabled = ImGui::GetColorU32(ImGuiCol_TextDisabled);
    bool pointerUsed = false;
    ImVec2 openAt(0.0f, 0.0f);
    const ImGuiIO& io = ImGui::GetIO();
    if (io.MouseDelta.x != 0.0f || io.MouseDelta.y != 0.0f) nav.pointerMoved();

    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(0.0f, 0.0f));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, 0.0f);
    if (ImGui::BeginMainMenuBar()) {
        const float height = ImGui::GetWindowHeight();
        const float width = ImGui::GetWindowWidth();
        // A gold rule under the bar, like the rims of the game's panels.
        ImGui::GetWindowDrawList()->AddLine(ImVec2(0.0f, height - 1.0f), ImVec2(width, height - 1.0f), gold,
                                            1.0f);
        const auto& bar = nav.bar();
        for (size_t i = 0; i < bar.size(); ++i) {
            const MenuPopup& popup = bar[i];
            const ImVec2 size(ImGui::CalcTextSize(popup.label.c_str()).x + style.FramePadding.x * 2.0f + 6.0f,
                              height);
            if (popup.spacer()) {
                // Keeps its place in the bar and takes no clicks.
                ImGui::Dummy(size);
                continue;
            }
            const ImVec2 at(ImGui::GetCursorScreenPos().x, 0.0f);
            ImGui::SetCursorScreenPos(at);
            ImGui::PushID(static_cast<int>(i));
            // A title acts on the press, as on the desktop: the open menu takes the focus every frame, which
            // would cancel a press waiting for its release.
            ImGui::InvisibleButton("title", size);
            const bool hovered = enabled && ImGui::IsItemHovered();
            const bool clicked = hovered && ImGui::IsMouseClicked(ImGuiMouseButton_Left);
            ImGui::PopID();
            const bool open = nav.openMenu() == static_cast<int>(i);
            ImDrawList* draw = ImGui::GetWindowDrawList();
            if (open || hovered)
                draw->AddRectFilled(ImVec2(at.x + 1, at.y + 2), ImVec2(at.x + size.x - 1, at.y + size.y - 2),
                                    open ? gold : hover, 4.0f);
            draw->AddText(ImVec2(at.x + style.FramePadding.x + 3.0f, (height - ImGui::GetFontSize()) * 0.5f),
                          open ? LIT_TEXT : text, popup.label.c_str());
            if (hovered) {
                pointerUsed = true;
                nav.hoverTitle(static_cast<int>(i));
            }
            if (clicked) nav.clickTitle(static_cast<int>(i));
            if (nav.openMenu() == static_cast<int>(i)) openAt = ImVec2(at.x, height);
        }
        ImGui::EndMainMenuBar();
    }
    ImGui::PopStyleVar(2);

    if (enabled && nav.isOpen()) {
        const MenuPopup& popup = nav.bar()[static_cast<size_t>(nav.openMenu())];
        float widest = 0.0f;
        for (const MenuEntry& item : popup.items)
            widest = std::max(widest, ImGui::CalcTextSize(textOf(item).c_str()).x);
        const float rowH = ImGui::GetFontSize() + style.FramePadding.y * 2.0f + 2.0f;
        const float rowW = MARK_WIDTH + widest + style.FramePadding.x * 2.0f + 16.0f;
        // Inside the window: a menu opened near the right edge moves left.
        const float x =
            std::min(openAt.x, ImGui::GetIO().DisplaySize.x - rowW - style.WindowPadding.x * 2.0f);
        ImGui::SetNextWindowPos(ImVec2(std::max(0.0f, x), openAt.y));
        ImGui::SetNextWindowFocus();
        ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(4.0f, 4.0f));
        ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(0.0f, 0.0f));
        ImGui::PushStyleVar(ImGuiStyleVar_WindowRounding, 4.0f);
        ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, 1.0f);
        ImGui::PushStyleColor(ImGuiCol_WindowBg, ImGui::GetStyleColorVec4(ImGuiCol_PopupBg));
        const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                       ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_AlwaysAutoResize |
                                       ImGuiWindowFlags_NoNav;
        if (ImGui::Begin("##open menu", nullptr, flags)) {
            ImDrawList* draw = ImGui::GetWindowDrawList();
            for (size_t j = 0; j < popup.items.size(); ++j) {
                const MenuEntry& item = popup.items[j];
                const ImVec2 at = ImGui::GetCursorScreenPos();
                if (item.separator()) {
                    ImGui::Dummy(ImVec2(rowW, 7.0f));
                    draw->AddLine(ImVec2(at.x + 4, at.y + 3), ImVec2(at.x + rowW - 4, at.y + 3),
                                  ImGui::GetColorU32(ImGuiCol_Separator));
                    continue;
                }
                ImGui::PushID(static_cast<int>(j));
                const bool clicked = ImGui::InvisibleButton("item", ImVec2(rowW, rowH));
                const bool hovered = ImGui::IsItemHovered();
                ImGui::PopID();
                const bool on = nav.enabled(item);
                if (hovered) {
                    pointerUsed = true;
                    nav.hoverItem(static_cast<int>(j));
                }
                const bool lit = nav.litItem() == static_cast<int>(j);
                if (lit) draw->AddRectFilled(at, ImVec2(at.x + rowW, at.y + rowH), gold, 4.0f);
                const ImU32 colour = !on ? disabled : lit ? LIT_TEXT : text;
                if (marked && marked(item.command))
                    draw->AddCircleFilled(ImVec2(at.x + MARK_WIDTH * 0.5f + 2.0f, at.y + rowH * 0.5f), 3.5f,
                                          colour);
                draw->AddText(ImVec2(at.x + MARK_WIDTH + style.FramePadding.x,
                                     at.y + (rowH - ImGui::GetFontSize()) * 0.5f),
                              colour, textOf(item).c_str());
                if (clicked) chosen = nav.clickItem(static_cast<int>(j));
            }
            if (ImGui::IsWindowHovered()) pointerUsed = true;
        }
        ImGui::End();
        ImGui::PopStyleColor();
        ImGui::PopStyleVar(4);
    }
    // A click anywhere else closes the open menu, as on the desktop.
    if (nav.isOpen() && !pointerUsed && ImGui::IsMouseClicked(ImGuiMouseButton_Left)) nav.close();
    if (!enabled) nav.close();
    return chosen;
}

} // namespace tundrix
