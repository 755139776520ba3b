// Each frame's menu layer: keys and pointer worked into the menu bar and commands, the sign, tag and hint.
#include "shell/dialog_texts.h"
#include "shell/imgui/menu_bar_view.h"
#include "shell/imgui/shell_ui.h"
#include "shell/imgui/ui_colours.h"
#include "shell/imgui/ui_theme.h"
#include "shell/menu_state.h"

#include <algorithm>
#include <imgui.h>
#include <utility>

namespace tundrix {

namespace {

std::optional<MenuKey> menuKeyOf(ShellKey key) {
    switch (key) {
    case ShellKey::OpenMenu:
        return MenuKey::OpenBar;
    case ShellKey::Left:
        return MenuKey::Left;
    case ShellKey::Right:
        return MenuKey::Right;
    case ShellKey::Up:
        return MenuKey::Up;
    case ShellKey::Down:
        return MenuKey::Down;
    case ShellKey::Enter:
        return MenuKey::Enter;
    case ShellKey::Escape:
        return MenuKey::Escape;
    default:
        return std::nullopt;
    }
}

} // namespace

bool ShellUi::keyPressed(ShellKey key) const {
    const auto& keys = host_.keysPressed();
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

bool ShellUi::holding() const {
    return paused_ || nav_.isOpen();
}

int ShellUi::paintMenus() {
    if (afterReplay_ != 0) return std::exchange(afterReplay_, 0);
    // A game under way stands still while the player is in another window, if the player wants it so.
    if (pauseOnFocusLoss && !paused_ && !host_.hasFocus() && midGame && midGame()) {
        runWindowCommand(CMD_PAUSE);
    }
    // After the game-over questions Space starts a new game; it is one of the game's keys, which leave the
    // layer as it stands, so it is looked at before that.
    const bool spaceDown = keys_.keyDown(Key::Space);
    const bool spacePressed = spaceDown && !spaceWasDown_;
    spaceWasDown_ = spaceDown;
    if (spacePressed && !nav_.isOpen() && session_.driver() && session_.driver()->gameOverReached)
        return CMD_NEW_GAME;
    // While no event comes and no menu is open the layer stays as drawn: only a new picture is shown.
    if (!nav_.isOpen() && host_.showWithoutLayout()) return 0;
    const bool wasOpen = nav_.isOpen();
    int command = 0;
    host_.beginFrame();
    for (ShellKey key : host_.keysPressed()) {
        if (nav_.isOpen()) {
            if (const auto menuKey = menuKeyOf(key))
                if (const int chosen = nav_.key(*menuKey)) command = chosen;
            continue;
        }
        switch (key) {
        case ShellKey::OpenMenu:
            nav_.key(MenuKey::OpenBar);
            break;
        case ShellKey::Pause:
            command = CMD_PAUSE;
            break;
        case ShellKey::Escape:
            if (paused_)
                command = CMD_PAUSE;
            else if (replaying_)
                replayEscaped_ = true;
            break;
        case ShellKey::FullScreen:
            command = CMD_FULL_SCREEN;
            break;
        case ShellKey::Mute:
            command = CMD_MUTE;
            break;
        default:
            break;
        }
    }
    const auto shown = [this](const MenuEntry& item) { return itemText(item, volume_); };
    if (const int clicked = drawMenuBar(
            nav_, true, [this](int c) { return commandMarked(c); }, shown))
        command = clicked;
    if (replaying_) drawReplayLabel();
    if (paused_) drawPauseSign(host_.signFont(), static_cast<float>(host_.menuBarHeight()));
    if (drawRestartHint() && command == 0) command = CMD_NEW_GAME;
    host_.finishFrame();
    // The arrows and Enter that worked the menu are not the game's.
    if (wasOpen && !nav_.isOpen()) host_.forgetTappedKeys();
    return command;
}

bool ShellUi::restartKeyDown() {
    return keys_.keyDown(Key::F1);
}

bool ShellUi::drawRestartHint() {
    const FrameDriver* driver = session_.driver();
    if (!driver || !driver->gameOverReached || nav_.isOpen()) return false;
    ImDrawList* draw = ImGui::GetForegroundDrawList();
    const ImGuiViewport* view = ImGui::GetMainViewport();
    const ImVec2 size = ImGui::CalcTextSize(RESTART_HINT);
    const float pad = 6.0f;
    const ImVec2 at(view->Pos.x + (view->Size.x - size.x) * 0.5f, view->Pos.y + view->Size.y * 0.80f);
    draw->AddRectFilled(ImVec2(at.x - pad, at.y - pad), ImVec2(at.x + size.x + pad, at.y + size.y + pad),
                        ui_colour::packed(ui_colour::DEEP_NAVY, 225), 5.0f);
    draw->AddRect(ImVec2(at.x - pad, at.y - pad), ImVec2(at.x + size.x + pad, at.y + size.y + pad),
                  ImGui::GetColorU32(ImGuiCol_Header), 5.0f);
    draw->AddText(at, ui_colour::packed(ui_colour::WHITE), RESTART_HINT);
    return keyPressed(ShellKey::Enter);
}

} // namespace tundrix
