// The register dialog: the login fields, the score post beside the dialog, and the channel's verdict.
#include "protocol/paths.h"
#include "shell/dialog_texts.h"
#include "shell/imgui/dialog_widgets.h"
#include "shell/imgui/shell_ui.h"
#include "shell/imgui/ui_theme.h"
#include "shell/login_fields.h"
#include "shell/web_pages.h"

#include <algorithm>
#include <imgui.h>
#include <imgui_stdlib.h>

namespace tundrix {

void ShellUi::registerScore() {
    const std::string caption = registerScoreCaption(session_.bestScore.get());
    std::string user = fieldText(session_.userName(), USER_NAME_MAX);
    std::string pass = fieldText(session_.password(), PASSWORD_MAX);
    size_t userMax = USER_NAME_MAX, passMax = PASSWORD_MAX;
    std::string okLabel = OK_LABEL;
    std::string why;
    enum class Focus { None, User, Password } focus = Focus::User;
    SubmissionAttempt attempt(postsInFlight_);

    host_.setTextInput(true);
    runModal(
        caption, REGISTER_SIZE, false,
        [&] {
            const float width = ImGui::GetContentRegionAvail().x;
            ImGui::TextUnformatted(USER_FIELD_LABEL);
            ImGui::SetNextItemWidth(width);
            if (focus == Focus::User) ImGui::SetKeyboardFocusHere();
            const ImGuiInputTextFlags limits =
                ImGuiInputTextFlags_CallbackCharFilter | ImGuiInputTextFlags_CallbackEdit;
            ImGui::PushStyleColor(ImGuiCol_Text, TEXT_INK);
            ImGui::InputText("##user", &user, limits, limitField, &userMax);
            ImGui::PopStyleColor();
            ImGui::Spacing();
            ImGui::TextUnformatted(PASSWORD_FIELD_LABEL);
            ImGui::SetNextItemWidth(width);
            if (focus == Focus::Password) ImGui::SetKeyboardFocusHere();
            focus = Focus::None;
            ImGui::PushStyleColor(ImGuiCol_Text, TEXT_INK);
            ImGui::InputText("##password", &pass, limits | ImGuiInputTextFlags_Password, limitField,
                             &passMax);
            ImGui::PopStyleColor();
            if (!why.empty()) {
                ImGui::PushStyleColor(ImGuiCol_Text, WARNING_INK);
                wrappedText(why);
                ImGui::PopStyleColor();
            }
            ImGui::Spacing();
            // The OK button keeps one width whatever it says.
            const float okWidth = std::max(buttonWidth(RETRY_LABEL), buttonWidth(SENDING_LABEL));
            const bool sending = attempt.running();
            if ((themedButton(okLabel + "###ok", true, okWidth) || keyPressed(ShellKey::Enter)) && !sending) {
                // Both parts are needed; until then OK does nothing.
                if (session_.rememberLogin(user, pass)) {
                    okLabel = SENDING_LABEL;
                    why.clear();
                    attempt.start(submit_, session_.makeSubmission());
                } else {
                    // Enter took the typing focus away: give it to the field still empty.
                    focus = session_.userName().empty() ? Focus::User : Focus::Password;
                }
            }
            ImGui::SameLine();
            // Cancel also gives up a post still under way: its answer, when it comes, is dropped.
            if (themedButton(CANCEL_LABEL, false) || keyPressed(ShellKey::Escape)) {
                attempt.giveUp();
                session_.cancelRegister();
                return Close::Done;
            }
            // "Ny användare" goes to the right end of the row, or of a row of its own when it does not fit.
            const float newUserWidth = buttonWidth(NEW_USER_LABEL);
            const float rowEnd = ImGui::GetWindowPos().x + ImGui::GetWindowContentRegionMax().x;
            if (ImGui::GetItemRectMax().x + ImGui::GetStyle().ItemSpacing.x + newUserWidth <= rowEnd)
                ImGui::SameLine();
            ImGui::SetCursorPosX(ImGui::GetWindowContentRegionMax().x - newUserWidth);
            if (themedButton(NEW_USER_LABEL, false))
                host_.openUrl(session_.pages().channelPage(protocol::SIGNUP_PATH));
            return Close::Stay;
        },
        [&] {
            const std::optional<ScoreSubmission> done = attempt.takeResult();
            if (!done) return Close::Stay;
            // The verdict changes the dialog: its button and the reason are drawn anew.
            host_.wake();
            // Only a registered score is spent; after a failure it stays for "Försök igen".
            const RegisterOutcome outcome = session_.answerSubmission(*done);
            for (const std::string& page : outcome.pages)
                host_.openUrl(page);
            if (outcome.showRegOk) messageBox(REGISTERED_CAPTION, registeredText(outcome));
            if (session_.quitRequested() || outcome.close) return Close::Done;
            okLabel = outcome.button == RegisterOutcome::Button::Retry ? RETRY_LABEL : SENDING_LABEL;
            why = outcome.why;
            // Back in the password field, which is what a player corrects most often.
            focus = Focus::Password;
            return Close::Stay;
        });
    host_.setTextInput(false);
}

} // namespace tundrix
