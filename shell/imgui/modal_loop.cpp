// The modal loop every dialog runs in, over the last game picture with the menu bar greyed.
#include "shell/imgui/dialog_widgets.h"
#include "shell/imgui/menu_bar_view.h"
#include "shell/imgui/shell_ui.h"
#include "shell/imgui/ui_theme.h"

#include <imgui.h>

namespace tundrix {

bool ShellUi::handleEvents(bool wait) {
    return host_.handleEvents(wait ? DIALOG_FRAME_MS : 0) != WindowEvent::CloseRequested;
}

ShellUi::Close ShellUi::runModal(const std::string& title, DialogSize size, bool closeBox,
                                 const std::function<Close()>& body,
                                 const std::function<Close()>& afterFrame) {
    const std::string id = title + "###dialog";
    bool first = true;
    Close result = Close::Stay;
    nav_.close();
    // ImGui takes a frame or two to size a new window before it shows it.
    host_.wake();
    while (result == Close::Stay) {
        // The play time is kept while a dialog stands open as well.
        session_.keepPlayTime();
        if (!first && host_.handleEvents(DIALOG_FRAME_MS) == WindowEvent::CloseRequested) {
            result = Close::WindowClosed;
            break;
        }
        // A dialog is drawn again only for an event or a change of its own, not while it stands still.
        if (!first && host_.layerSettled()) {
            if (afterFrame) result = afterFrame();
            continue;
        }
        host_.beginFrame();
        drawMenuBar(nav_, false, {});
        if (paused_) drawPauseSign(host_.signFont(), static_cast<float>(host_.menuBarHeight()));
        if (first) ImGui::OpenPopup(id.c_str());
        const ImGuiViewport* view = ImGui::GetMainViewport();
        const float menu = static_cast<float>(host_.menuBarHeight());
        ImGui::SetNextWindowPos(
            ImVec2(view->Pos.x + view->Size.x * 0.5f, view->Pos.y + (view->Size.y + menu) * 0.5f),
            ImGuiCond_Always, ImVec2(0.5f, 0.5f));
        ImGuiWindowFlags flags = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                                 ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoCollapse |
                                 ImGuiWindowFlags_NoScrollbar;
        if (size.height > 0.0f) {
            ImGui::SetNextWindowSize(ImVec2(size.width, size.height));
        } else {
            // As high as the contents need.
            ImGui::SetNextWindowSizeConstraints(ImVec2(size.width, 0.0f),
                                                ImVec2(size.width, view->Size.y - menu));
            flags |= ImGuiWindowFlags_AlwaysAutoResize;
        }
        bool open = true;
        if (ImGui::BeginPopupModal(id.c_str(), closeBox ? &open : nullptr, flags)) {
            result = body();
            if (result != Close::Stay) ImGui::CloseCurrentPopup();
            ImGui::EndPopup();
        } else if (!first) {
            result = Close::CloseBox;
        }
        if (closeBox && !open) result = Close::CloseBox;
        host_.finishFrame();
        first = false;
        if (result == Close::Stay && afterFrame) result = afterFrame();
    }
    closeOpenPopups();
    // Keys typed into the dialog belong to it, not to the game.
    host_.forgetTappedKeys();
    // Whatever shows next (a dialog this one lay over, or the game) is drawn anew, without it.
    host_.wake();
    if (result == Close::WindowClosed) session_.requestQuit();
    return result;
}

} // namespace tundrix
