// The menu bar and the modal dialogs drawn with Dear ImGui over the game picture (no SDL here).
#pragma once
#include "platform/imgui_host.h"
#include "shell/game_session.h"
#include "shell/menu.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tundrix {

class ShellUi : public DialogHost {
  public:
    ShellUi(ImGuiHost& host, GameSession& session, SubmitScore submit);

    // Draws the menu bar in the current ImGui frame; returns the command chosen in it, or 0. The caller
    // runs the command after the frame has been finished.
    int drawMenuBar(bool enabled);

    void askToSubmit() override;
    void registerScore() override;
    void showInformation(int textIndex) override;
    void askToPlayAgain() override;
    void messageBox(const std::string& caption, const std::string& text);

  private:
    enum class Close { Stay, Done, CloseBox, WindowClosed };
    // One modal dialog with its own loop: waits for an event or 40 ms, draws the last game picture, a
    // disabled menu bar and the dialog, until body asks to close. afterFrame runs once the frame is shown
    // (for work that blocks or opens another dialog). Returns how the dialog ended.
    Close runModal(const std::string& title, float width, float height, bool closeBox,
                   const std::function<Close()>& body, const std::function<Close()>& afterFrame = {});
    // Ja / Nej; the answer, or nothing when the close box or Escape put the question away.
    std::optional<bool> yesNo(const std::string& caption, const std::string& text);

    ImGuiHost& host_;
    GameSession& session_;
    SubmitScore submit_;
    std::vector<MenuPopup> menu_;
};

} // namespace tundrix
