// The dialogs' common pieces, and the one place that reaches into ImGui's internals.
#include "shell/imgui/dialog_widgets.h"

#include "shell/login_fields.h"
#include "shell/replay_files.h"

#include <imgui_internal.h>

namespace tundrix {

void centred(float width) {
    const float avail = ImGui::GetContentRegionAvail().x;
    if (avail > width) ImGui::SetCursorPosX(ImGui::GetCursorPosX() + (avail - width) * 0.5f);
}

void wrappedText(const std::string& text) {
    ImGui::PushTextWrapPos(0.0f);
    ImGui::TextUnformatted(text.c_str());
    ImGui::PopTextWrapPos();
}

// The field's text lives in a std::string that grows to take any paste whole (a fixed buffer would refuse
// a paste that does not fit, all of it), and is then cut here.
int limitField(ImGuiInputTextCallbackData* data) {
    const auto maxChars = *static_cast<const size_t*>(data->UserData);
    if (data->EventFlag == ImGuiInputTextFlags_CallbackCharFilter)
        return inWindows1252(data->EventChar) ? 0 : 1;
    if (data->EventFlag == ImGuiInputTextFlags_CallbackEdit) {
        const std::string kept =
            fieldText(std::string_view(data->Buf, static_cast<size_t>(data->BufTextLen)), maxChars);
        if (kept.size() != static_cast<size_t>(data->BufTextLen)) {
            data->DeleteChars(0, data->BufTextLen);
            data->InsertChars(0, kept.c_str());
        }
    }
    return 0;
}

int limitPath(ImGuiInputTextCallbackData* data) {
    const auto maxBytes = *static_cast<const size_t*>(data->UserData);
    if (data->EventFlag == ImGuiInputTextFlags_CallbackEdit &&
        static_cast<size_t>(data->BufTextLen) > maxBytes) {
        const std::string kept =
            clampUtf8(std::string_view(data->Buf, static_cast<size_t>(data->BufTextLen)), maxBytes);
        data->DeleteChars(0, data->BufTextLen);
        data->InsertChars(0, kept.c_str());
    }
    return 0;
}

void closeOpenPopups() {
    if (GImGui->OpenPopupStack.Size > 0) ImGui::ClosePopupToLevel(0, false);
}

} // namespace tundrix
