// The questions (quit, send the score, play again, end a game for a replay) and the message box.
#include "shell/dialog_texts.h"
#include "shell/imgui/dialog_widgets.h"
#include "shell/imgui/shell_ui.h"
#include "shell/imgui/ui_theme.h"
#include "shell/replay_files.h"

#include <imgui.h>

namespace tundrix {

std::optional<bool> ShellUi::yesNo(const std::string& caption, const std::string& text) {
    bool yes = false;
    const Close how = runModal(caption, QUESTION_SIZE, true, [&] {
        wrappedText(text);
        ImGui::Spacing();
        ImGui::Spacing();
        if (themedButton(YES_LABEL, true) || keyPressed(ShellKey::Enter)) {
            yes = true;
            return Close::Done;
        }
        ImGui::SameLine(ImGui::GetWindowContentRegionMax().x - buttonWidth(NO_LABEL));
        if (themedButton(NO_LABEL, false)) return Close::Done;
        if (keyPressed(ShellKey::Escape)) return Close::CloseBox;
        return Close::Stay;
    });
    if (how != Close::Done) return std::nullopt;
    return yes;
}

void ShellUi::messageBox(const std::string& caption, const std::string& text) {
    runModal(caption, MESSAGE_SIZE, false, [&] {
        wrappedText(text);
        ImGui::Spacing();
        centred(buttonWidth(OK_LABEL));
        if (themedButton(OK_LABEL, true) || keyPressed(ShellKey::Enter) || keyPressed(ShellKey::Escape))
            return Close::Done;
        return Close::Stay;
    });
}

bool ShellUi::confirmQuit() {
    if (!midGame || !midGame()) return true;
    // Enter quits, Escape (or the close box) keeps playing.
    const std::optional<bool> yes = yesNo(QUIT_CAPTION, QUIT_QUESTION);
    return session_.quitRequested() || yes.value_or(false);
}

void ShellUi::askToSubmit() {
    // "Nej", Escape and the close box all mean no.
    const std::optional<bool> yes = yesNo(REGISTER_CAPTION, SUBMIT_QUESTION);
    if (session_.quitRequested()) return;
    session_.answerSubmitQuestion(yes.value_or(false));
}

void ShellUi::askToPlayAgain() {
    // A game that made the player's table is shown in it first.
    if (finishedGame && enterGame) {
        std::vector<BestGame> table;
        if (const std::optional<size_t> place = enterGame(finishedGame(), table)) {
            showBestGames(place, table);
            if (session_.quitRequested()) return;
        }
    }
    const std::optional<bool> yes = yesNo(PLAY_AGAIN_CAPTION, PLAY_AGAIN_QUESTION);
    if (session_.quitRequested()) return;
    // "Nej" ends the program; the close box or Escape only puts the question away, so the player can still
    // register the score or read the rules from the menu.
    if (yes) session_.answerPlayAgain(*yes);
}

bool ShellUi::confirmEndGame() {
    const std::optional<bool> yes = yesNo(REPLAY_CAPTION, END_GAME_FOR_REPLAY_QUESTION);
    return yes.value_or(false);
}

} // namespace tundrix
