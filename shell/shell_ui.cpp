// The menu bar and the dialogs in ImGui: every dialog runs its own loop over the last game picture while
// no frame runs, and menu commands are handed back to run after the frame.
#include "shell/shell_ui.h"

#include "shell/info_texts.h"
#include "shell/web_pages.h"

#include <cstring>
#include <imgui.h>
#include <imgui_internal.h>

namespace tundrix {

namespace {

constexpr uint32_t DIALOG_FRAME_MS = 40;
const ImVec4 WHITE(1.0f, 1.0f, 1.0f, 1.0f);
const ImVec4 BLACK(0.0f, 0.0f, 0.0f, 1.0f);

bool keyPressed(ImGuiKey key) {
    return ImGui::IsKeyPressed(ImGui::GetKeyIndex(key), false);
}

// Typed characters must fit the single-byte text the channel takes and the field's length in characters.
struct FieldLimit {
    const char* text;
    size_t maxChars;
};

int limitField(ImGuiInputTextCallbackData* data) {
    const auto* limit = static_cast<const FieldLimit*>(data->UserData);
    if (data->EventChar < 0x20 || (data->EventChar >= 0x7F && data->EventChar < 0xA0) ||
        data->EventChar > 0xFF)
        return 1;
    size_t chars = 0;
    for (const char* p = limit->text; *p; ++p)
        if ((static_cast<unsigned char>(*p) & 0xC0) != 0x80) ++chars;
    return chars >= limit->maxChars ? 1 : 0;
}

void centeredButtons(float totalWidth) {
    const float avail = ImGui::GetContentRegionAvail().x;
    if (avail > totalWidth) ImGui::SetCursorPosX(ImGui::GetCursorPosX() + (avail - totalWidth) * 0.5f);
}

} // namespace

ShellUi::ShellUi(ImGuiHost& host, GameSession& session, SubmitScore submit)
    : host_(host), session_(session), submit_(std::move(submit)), menu_(menuBar()) {
    // The game picture stays clearly visible behind a dialog.
    ImGui::GetStyle().Colors[ImGuiCol_ModalWindowDimBg] = ImVec4(0.0f, 0.0f, 0.0f, 0.15f);
}

int ShellUi::drawMenuBar(bool enabled) {
    int chosen = 0;
    if (!enabled) ImGui::BeginDisabled();
    if (ImGui::BeginMainMenuBar()) {
        for (size_t i = 0; i < menu_.size(); ++i) {
            const MenuPopup& popup = menu_[i];
            if (popup.items.empty()) {
                // The spacers: entries that do nothing.
                const std::string id = popup.label + "##spacer" + std::to_string(i);
                if (ImGui::MenuItem(id.c_str())) chosen = popup.command;
                continue;
            }
            if (!ImGui::BeginMenu(popup.label.c_str())) continue;
            for (const MenuEntry& item : popup.items) {
                if (ImGui::MenuItem(item.label.c_str())) chosen = item.command;
            }
            const bool first = i == 0, last = i + 1 == menu_.size();
            if (first || last) {
                ImGui::Separator();
                if (ImGui::BeginMenu(first ? "Förstoring" : "Zoom")) {
                    static const char* const LABELS[3] = {"1 ×", "2 ×", "3 ×"};
                    for (int z = 1; z <= 3; ++z) {
                        if (ImGui::MenuItem(LABELS[z - 1], nullptr, host_.zoom() == z))
                            chosen = CMD_ZOOM_1 + z - 1;
                    }
                    ImGui::EndMenu();
                }
            }
            ImGui::EndMenu();
        }
        ImGui::EndMainMenuBar();
    }
    if (!enabled) ImGui::EndDisabled();
    return chosen;
}

ShellUi::Close ShellUi::runModal(const std::string& title, float width, float height, bool closeBox,
                                 const std::function<Close()>& body,
                                 const std::function<Close()>& afterFrame) {
    const std::string id = title + "###dialog";
    bool first = true;
    Close result = Close::Stay;
    while (result == Close::Stay) {
        if (!first && host_.waitAndHandleEvent(DIALOG_FRAME_MS) == WindowEvent::CloseRequested) {
            result = Close::WindowClosed;
            break;
        }
        host_.beginFrame();
        drawMenuBar(false);
        if (first) ImGui::OpenPopup(id.c_str());
        const ImGuiViewport* view = ImGui::GetMainViewport();
        const float menu = static_cast<float>(host_.menuBarHeight());
        ImGui::SetNextWindowPos(
            ImVec2(view->Pos.x + view->Size.x * 0.5f, view->Pos.y + (view->Size.y + menu) * 0.5f),
            ImGuiCond_Always, ImVec2(0.5f, 0.5f));
        ImGui::SetNextWindowSize(ImVec2(width, height));
        bool open = true;
        const ImGuiWindowFlags flags = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                                       ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoCollapse |
                                       ImGuiWindowFlags_NoScrollbar;
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
    // A dialog that ended outside its own drawing is still open to ImGui, and an open modal would keep
    // blocking the menu bar.
    if (GImGui->OpenPopupStack.Size > 0) ImGui::ClosePopupToLevel(0, false);
    // Keys typed into the dialog belong to it, not to the game.
    host_.forgetTappedKeys();
    if (result == Close::WindowClosed) session_.requestQuit();
    return result;
}

std::optional<bool> ShellUi::yesNo(const std::string& caption, const std::string& text) {
    bool yes = false;
    const Close how = runModal(caption, 330.0f, 140.0f, true, [&] {
        ImGui::PushTextWrapPos(0.0f);
        ImGui::TextUnformatted(text.c_str());
        ImGui::PopTextWrapPos();
        ImGui::SetCursorPosY(ImGui::GetWindowHeight() - ImGui::GetFrameHeight() -
                             ImGui::GetStyle().WindowPadding.y);
        if (ImGui::Button("Ja / Yes", ImVec2(100, 0)) || keyPressed(ImGuiKey_Enter)) {
            yes = true;
            return Close::Done;
        }
        ImGui::SameLine(ImGui::GetWindowWidth() - 100 - ImGui::GetStyle().WindowPadding.x);
        if (ImGui::Button("Nej / No", ImVec2(100, 0))) return Close::Done;
        if (keyPressed(ImGuiKey_Escape)) return Close::CloseBox;
        return Close::Stay;
    });
    if (how != Close::Done) return std::nullopt;
    return yes;
}

void ShellUi::askToSubmit() {
    const std::string text = "Vill du skicka din highscore till Internet?\n\n"
                             "Would You like to submit your highscore to the Internet?";
    // "Nej", Escape and the close box all mean no.
    const std::optional<bool> yes = yesNo("Registrera / Register", text);
    if (session_.quitRequested()) return;
    session_.answerSubmitQuestion(yes.value_or(false));
}

void ShellUi::askToPlayAgain() {
    const std::optional<bool> yes =
        yesNo("Spela Igen", "Vill du spela igen? / Would you like to play again?");
    if (session_.quitRequested()) return;
    // "Nej" ends the program; the close box or Escape only puts the question away, so the player can still
    // register the score or read the rules from the menu.
    if (yes) session_.answerPlayAgain(*yes);
}

void ShellUi::showInformation(int textIndex) {
    const std::string text = infoText(textIndex);
    runModal("Information", 420.0f, 290.0f, false, [&] {
        const float buttonRow = ImGui::GetFrameHeightWithSpacing() + ImGui::GetStyle().ItemSpacing.y;
        ImGui::PushStyleColor(ImGuiCol_ChildBg, WHITE);
        ImGui::PushStyleColor(ImGuiCol_Text, BLACK);
        ImGui::BeginChild("text", ImVec2(0.0f, -buttonRow), true);
        ImGui::PushTextWrapPos(0.0f);
        ImGui::TextUnformatted(text.c_str());
        ImGui::PopTextWrapPos();
        ImGui::EndChild();
        ImGui::PopStyleColor(2);
        centeredButtons(80.0f);
        // Only OK closes the text (Escape does not); the schedule restarts from now.
        if (ImGui::Button("OK", ImVec2(80, 0)) || keyPressed(ImGuiKey_Enter)) {
            session_.closeInformation();
            return Close::Done;
        }
        return Close::Stay;
    });
}

void ShellUi::messageBox(const std::string& caption, const std::string& text) {
    runModal(caption, 360.0f, 110.0f, false, [&] {
        ImGui::PushTextWrapPos(0.0f);
        ImGui::TextUnformatted(text.c_str());
        ImGui::PopTextWrapPos();
        ImGui::SetCursorPosY(ImGui::GetWindowHeight() - ImGui::GetFrameHeight() -
                             ImGui::GetStyle().WindowPadding.y);
        centeredButtons(80.0f);
        if (ImGui::Button("OK", ImVec2(80, 0)) || keyPressed(ImGuiKey_Enter) || keyPressed(ImGuiKey_Escape))
            return Close::Done;
        return Close::Stay;
    });
}

void ShellUi::registerScore() {
    const std::string caption =
        "Registrera din poäng / Register your score (" + std::to_string(session_.bestScore.get()) + ")";
    char user[USER_NAME_MAX * 4 + 1] = {};
    char pass[PASSWORD_MAX * 4 + 1] = {};
    std::strncpy(user, session_.userName().c_str(), sizeof user - 1);
    std::strncpy(pass, session_.password().c_str(), sizeof pass - 1);
    FieldLimit userLimit{user, USER_NAME_MAX};
    FieldLimit passLimit{pass, PASSWORD_MAX};
    std::string okLabel = "OK";
    enum class Send { Idle, Asked, Shown } send = Send::Idle;
    bool focusName = true;
    RegisterOutcome outcome;

    host_.setTextInput(true);
    runModal(
        caption, 430.0f, 165.0f, false,
        [&] {
            const float width = ImGui::GetContentRegionAvail().x;
            bool enter = false;
            ImGui::TextUnformatted("Användarnamn / Username (e-mail)");
            ImGui::SetNextItemWidth(width);
            if (focusName) {
                ImGui::SetKeyboardFocusHere();
                focusName = false;
            }
            const ImGuiInputTextFlags common =
                ImGuiInputTextFlags_CallbackCharFilter | ImGuiInputTextFlags_EnterReturnsTrue;
            enter |= ImGui::InputText("##user", user, sizeof user, common, limitField, &userLimit);
            ImGui::Spacing();
            ImGui::TextUnformatted("Lösenord / Password");
            ImGui::SetNextItemWidth(width);
            enter |= ImGui::InputText("##password", pass, sizeof pass, common | ImGuiInputTextFlags_Password,
                                      limitField, &passLimit);
            ImGui::Spacing();
            ImGui::Spacing();
            const std::string ok = okLabel + "###ok";
            if ((ImGui::Button(ok.c_str(), ImVec2(80, 0)) || enter) && send == Send::Idle) {
                // Both parts are needed; until then OK does nothing.
                if (session_.rememberLogin(user, pass)) {
                    okLabel = "Skickar...";
                    send = Send::Asked;
                }
            }
            ImGui::SameLine();
            if (ImGui::Button("Avbryt / Cancel", ImVec2(125, 0)) || keyPressed(ImGuiKey_Escape)) {
                session_.cancelRegister();
                return Close::Done;
            }
            ImGui::SameLine();
            if (ImGui::Button("Ny användare / New User", ImVec2(-1, 0)))
                host_.openUrl(channelPage("/registrera/"));
            return Close::Stay;
        },
        [&] {
            if (send == Send::Asked) {
                // One more frame, so "Skickar..." is on screen while the post blocks.
                send = Send::Shown;
                return Close::Stay;
            }
            if (send != Send::Shown) return Close::Stay;
            send = Send::Idle;
            outcome = session_.submitBestScore(submit_);
            for (const std::string& page : outcome.pages)
                host_.openUrl(page);
            if (outcome.showRegOk)
                messageBox("Reg OK", "Din poäng har registrerats / Your score has been registred");
            if (session_.quitRequested()) return Close::Done;
            if (outcome.close) return Close::Done;
            okLabel = outcome.button == RegisterOutcome::Button::Retry ? "Försök igen" : "Skickar...";
            return Close::Stay;
        });
    host_.setTextInput(false);
}

} // namespace tundrix
