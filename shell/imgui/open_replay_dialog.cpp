// The open-replay dialog: a path typed or pasted, or a file dropped onto the window.
#include "shell/dialog_texts.h"
#include "shell/imgui/dialog_widgets.h"
#include "shell/imgui/shell_ui.h"
#include "shell/imgui/ui_theme.h"
#include "shell/replay_files.h"

#include <imgui.h>
#include <imgui_stdlib.h>
#include <utility>

namespace tundrix {

std::string ShellUi::askForReplayFile() {
    std::string typed, chosen;
    size_t maxBytes = REPLAY_PATH_MAX;
    bool focus = true;
    host_.setTextInput(true);
    runModal(OPEN_REPLAY_CAPTION, OPEN_REPLAY_SIZE, true, [&] {
        wrappedText(OPEN_REPLAY_PROMPT);
        ImGui::Spacing();
        ImGui::SetNextItemWidth(ImGui::GetContentRegionAvail().x);
        if (focus) ImGui::SetKeyboardFocusHere();
        focus = false;
        ImGui::PushStyleColor(ImGuiCol_Text, TEXT_INK);
        ImGui::InputText("##path", &typed, ImGuiInputTextFlags_CallbackEdit, limitPath, &maxBytes);
        ImGui::PopStyleColor();
        ImGui::Spacing();
        if (std::string file = host_.takeDroppedFile(); !file.empty()) {
            chosen = std::move(file);
            return Close::Done;
        }
        if (themedButton(OPEN_LABEL, true) || keyPressed(ShellKey::Enter)) {
            // Nothing typed: the dialog stays for a path or a drop.
            if (!replayPathOf(typed).empty()) {
                chosen = typed;
                return Close::Done;
            }
        }
        ImGui::SameLine(ImGui::GetWindowContentRegionMax().x - buttonWidth(CANCEL_LABEL));
        if (themedButton(CANCEL_LABEL, false) || keyPressed(ShellKey::Escape)) return Close::CloseBox;
        return Close::Stay;
    });
    host_.setTextInput(false);
    return chosen;
}

} // namespace tundrix
