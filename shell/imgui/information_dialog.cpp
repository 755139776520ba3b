// The information dialog: one of the rules and about texts, scrolled from its top, closed by OK or Enter.
#include "shell/dialog_texts.h"
#include "shell/imgui/dialog_widgets.h"
#include "shell/imgui/shell_ui.h"
#include "shell/imgui/ui_theme.h"
#include "shell/info_texts.h"

#include <imgui.h>

namespace tundrix {

void ShellUi::showInformation(int textIndex) {
    const std::string text = infoText(textIndex);
    bool first = true;
    runModal(INFORMATION_CAPTION, INFORMATION_SIZE, false, [&] {
        const float buttonRow = ImGui::GetFrameHeightWithSpacing() + ImGui::GetStyle().ItemSpacing.y;
        ImGui::PushStyleColor(ImGuiCol_Text, TEXT_INK);
        ImGui::BeginChild("text", ImVec2(0.0f, -buttonRow), true);
        // Every text opens at its top, whichever was read before.
        if (first) ImGui::SetScrollY(0.0f);
        first = false;
        wrappedText(text);
        ImGui::EndChild();
        ImGui::PopStyleColor();
        ImGui::Spacing();
        centred(buttonWidth(OK_LABEL));
        // Only OK closes the text (Escape does not); the schedule restarts from now.
        if (themedButton(OK_LABEL, true) || keyPressed(ShellKey::Enter)) {
            session_.closeInformation();
            return Close::Done;
        }
        return Close::Stay;
    });
}

} // namespace tundrix
