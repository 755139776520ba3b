// The menu bar, pause and the dialogs in ImGui: every dialog runs its own loop over the last game picture
// while no frame runs, and menu commands are handed back to run after the frame.
#include "shell/imgui/shell_ui.h"

#include "protocol/paths.h"
#include "shell/imgui/menu_bar_view.h"
#include "shell/imgui/ui_theme.h"
#include "shell/info_texts.h"
#include "shell/login_fields.h"
#include "shell/replay_files.h"
#include "shell/replay_viewer.h"
#include "shell/web_pages.h"

#include <algorithm>
#include <imgui.h>
#include <imgui_internal.h>
#include <imgui_stdlib.h>
#include <utility>

namespace tundrix {

namespace {

constexpr uint32_t DIALOG_FRAME_MS = 40;
const ImVec4 TEXT_INK(0.0f, 0.0f, 0.0f, 1.0f);
const ImVec4 WARNING(1.0f, 0.86f, 0.45f, 1.0f);

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

// The fields take the characters of the channel's code page only, and hold their length in characters
// whether the text was typed or pasted. Their text lives in a std::string that grows to take any paste
// whole (a fixed buffer would refuse a paste that does not fit, all of it), and is then cut here.
int limitField(ImGuiInputTextCallbackData* data) {
    const auto maxChars = *static_cast<const size_t*>(data->UserData);
    if (data->EventFlag == ImGuiInputTextFlags_CallbackCharFilter) return inCodePage(data->EventChar) ? 0 : 1;
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

// The path field holds at most its bytes of UTF-8, cut between characters, whether typed or pasted.
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

void centred(float width) {
    const float avail = ImGui::GetContentRegionAvail().x;
    if (avail > width) ImGui::SetCursorPosX(ImGui::GetCursorPosX() + (avail - width) * 0.5f);
}

void wrappedText(const std::string& text) {
    ImGui::PushTextWrapPos(0.0f);
    ImGui::TextUnformatted(text.c_str());
    ImGui::PopTextWrapPos();
}

} // namespace

ShellUi::ShellUi(ImGuiHost& host, KeySource& keys, GameSession& session, SubmitScore submit,
                 Remember remember)
    : host_(host), keys_(keys), session_(session), submit_(std::move(submit)), remember_(std::move(remember)),
      nav_(menuBar(session.pages().channelHost()), [this](int command) { return commandEnabled(command); }) {
    applyGameTheme();
}

bool ShellUi::commandEnabled(int command) const {
    // Registering waits for a finished game with a score to send.
    if (command == CMD_REGISTER)
        return session_.driver() && session_.driver()->gameOverReached && session_.bestScore.get() > 0;
    // The last game can be played back or saved once there is one.
    if (command == CMD_PLAY_LAST_GAME || command == CMD_SAVE_LAST_GAME) return session_.lastGame() != nullptr;
    // A zoom whose window would not fit the screen cannot be chosen.
    const int zoom = zoomOfCommand(command);
    return zoom == 0 || zoom <= host_.maxZoom();
}

bool ShellUi::commandMarked(int command) const {
    if (const int zoom = zoomOfCommand(command)) return zoom == host_.zoom();
    if (command == CMD_FULL_SCREEN) return host_.fullScreen();
    if (command == CMD_PAUSE) return paused_;
    if (command == CMD_MUTE) return volume_.muted;
    if (command == CMD_EASIER) return playMode == PlayMode::Easier;
    if (command == CMD_FOCUS_PAUSE) return pauseOnFocusLoss;
    return false;
}

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
    const auto shown = [this](const MenuEntry& item) {
        return item.command == CMD_VOLUME ? item.label + " " + VolumeLevel::stepLabel(volume_.step)
                                          : item.label;
    };
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

void ShellUi::runWindowCommand(int command) {
    if (command == CMD_BEST_GAMES) {
        showBestGames(std::nullopt, bestGames ? bestGames() : std::vector<BestGame>{});
        return;
    }
    if (command == CMD_EASIER) {
        playMode = playMode == PlayMode::Easier ? PlayMode::Original : PlayMode::Easier;
        if (playModeChanged) playModeChanged(playMode);
        return;
    }
    if (command == CMD_FOCUS_PAUSE) {
        pauseOnFocusLoss = !pauseOnFocusLoss;
        if (pauseOnFocusLossChanged) pauseOnFocusLossChanged(pauseOnFocusLoss);
        return;
    }
    if (command == CMD_VOLUME || command == CMD_MUTE) {
        // The volume item steps quieter and from the quietest back to full; mute leaves the step alone.
        volume_ = command == CMD_MUTE ? volume_.toggledMute() : volume_.cycledQuieter();
        if (volumeChanged) volumeChanged(volume_);
        return;
    }
    if (const int zoom = zoomOfCommand(command)) {
        host_.setZoom(zoom);
    } else if (command == CMD_FULL_SCREEN) {
        host_.setFullScreen(!host_.fullScreen());
    } else if (command == CMD_PAUSE) {
        paused_ = !paused_;
        host_.wake(); // the sign comes or goes
        // Keys tapped while the game stood still are not played afterwards.
        if (!paused_) host_.forgetTappedKeys();
        if (pausedChanged) pausedChanged(paused_);
        return;
    }
    if (remember_) remember_(host_.zoom(), host_.fullScreen());
}

void ShellUi::openUrl(const std::string& url) {
    host_.openUrl(url);
}

bool ShellUi::confirmQuit() {
    if (!midGame || !midGame()) return true;
    // Enter quits, Escape (or the close box) keeps playing.
    const std::optional<bool> yes =
        yesNo("Avsluta / Quit",
              "Vill du avsluta mitt i matchen?\n\nDo you want to quit in the middle of the game?");
    return session_.quitRequested() || yes.value_or(false);
}

bool ShellUi::drawRestartHint() {
    const FrameDriver* driver = session_.driver();
    if (!driver || !driver->gameOverReached || nav_.isOpen()) return false;
    const std::string text = "Nytt spel: Enter, mellanslag eller F1\nNew game: Enter, Space or F1";
    ImDrawList* draw = ImGui::GetForegroundDrawList();
    const ImGuiViewport* view = ImGui::GetMainViewport();
    const ImVec2 size = ImGui::CalcTextSize(text.c_str());
    const float pad = 6.0f;
    const ImVec2 at(view->Pos.x + (view->Size.x - size.x) * 0.5f, view->Pos.y + view->Size.y * 0.80f);
    draw->AddRectFilled(ImVec2(at.x - pad, at.y - pad), ImVec2(at.x + size.x + pad, at.y + size.y + pad),
                        IM_COL32(10, 16, 48, 225), 5.0f);
    draw->AddRect(ImVec2(at.x - pad, at.y - pad), ImVec2(at.x + size.x + pad, at.y + size.y + pad),
                  ImGui::GetColorU32(ImGuiCol_Header), 5.0f);
    draw->AddText(at, IM_COL32(255, 255, 255, 255), text.c_str());
    return keyPressed(ShellKey::Enter);
}

bool ShellUi::handleEvents(bool wait) {
    return host_.handleEvents(wait ? DIALOG_FRAME_MS : 0) != WindowEvent::CloseRequested;
}

ShellUi::Close ShellUi::runModal(const std::string& title, float width, float height, bool closeBox,
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
        if (height > 0.0f) {
            ImGui::SetNextWindowSize(ImVec2(width, height));
        } else {
            // As high as the contents need.
            ImGui::SetNextWindowSizeConstraints(ImVec2(width, 0.0f), ImVec2(width, view->Size.y - menu));
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
    // A dialog that ended outside its own drawing is still open to ImGui, and an open modal would keep
    // blocking the menu bar.
    if (GImGui->OpenPopupStack.Size > 0) ImGui::ClosePopupToLevel(0, false);
    // Keys typed into the dialog belong to it, not to the game.
    host_.forgetTappedKeys();
    // Whatever shows next (a dialog this one lay over, or the game) is drawn anew, without it.
    host_.wake();
    if (result == Close::WindowClosed) session_.requestQuit();
    return result;
}

std::optional<bool> ShellUi::yesNo(const std::string& caption, const std::string& text) {
    bool yes = false;
    const std::string yesLabel = "Ja / Yes", noLabel = "Nej / No";
    const Close how = runModal(caption, 340.0f, 0.0f, true, [&] {
        wrappedText(text);
        ImGui::Spacing();
        ImGui::Spacing();
        if (themedButton(yesLabel, true) || keyPressed(ShellKey::Enter)) {
            yes = true;
            return Close::Done;
        }
        ImGui::SameLine(ImGui::GetWindowContentRegionMax().x - buttonWidth(noLabel));
        if (themedButton(noLabel, false)) return Close::Done;
        if (keyPressed(ShellKey::Escape)) return Close::CloseBox;
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
    // A game that made the player's table is shown in it first.
    if (finishedGame && enterGame) {
        std::vector<BestGame> table;
        if (const std::optional<size_t> place = enterGame(finishedGame(), table)) {
            showBestGames(place, table);
            if (session_.quitRequested()) return;
        }
    }
    const std::optional<bool> yes =
        yesNo("Spela Igen", "Vill du spela igen? / Would you like to play again?");
    if (session_.quitRequested()) return;
    // "Nej" ends the program; the close box or Escape only puts the question away, so the player can still
    // register the score or read the rules from the menu.
    if (yes) session_.answerPlayAgain(*yes);
}

void ShellUi::showInformation(int textIndex) {
    const std::string text = infoText(textIndex);
    bool first = true;
    runModal("Information", 424.0f, 292.0f, false, [&] {
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
        centred(buttonWidth("OK"));
        // Only OK closes the text (Escape does not); the schedule restarts from now.
        if (themedButton("OK", true) || keyPressed(ShellKey::Enter)) {
            session_.closeInformation();
            return Close::Done;
        }
        return Close::Stay;
    });
}

void ShellUi::messageBox(const std::string& caption, const std::string& text) {
    runModal(caption, 360.0f, 0.0f, false, [&] {
        wrappedText(text);
        ImGui::Spacing();
        centred(buttonWidth("OK"));
        if (themedButton("OK", true) || keyPressed(ShellKey::Enter) || keyPressed(ShellKey::Escape))
            return Close::Done;
        return Close::Stay;
    });
}

void ShellUi::registerScore() {
    const std::string caption =
        "Registrera din poäng / Register your score (" + std::to_string(session_.bestScore.get()) + ")";
    std::string user = fieldText(session_.userName(), USER_NAME_MAX);
    std::string pass = fieldText(session_.password(), PASSWORD_MAX);
    size_t userMax = USER_NAME_MAX, passMax = PASSWORD_MAX;
    const std::string retryLabel = "Försök igen", sendingLabel = "Skickar...";
    const std::string cancelLabel = "Avbryt / Cancel", newUserLabel = "Ny användare / New User";
    std::string okLabel = "OK";
    std::string why;
    enum class Focus { None, User, Password } focus = Focus::User;
    SubmissionAttempt attempt(postsInFlight_);

    host_.setTextInput(true);
    runModal(
        caption, 436.0f, 0.0f, false,
        [&] {
            const float width = ImGui::GetContentRegionAvail().x;
            ImGui::TextUnformatted("Användarnamn / Username (e-mail)");
            ImGui::SetNextItemWidth(width);
            if (focus == Focus::User) ImGui::SetKeyboardFocusHere();
            const ImGuiInputTextFlags limits =
                ImGuiInputTextFlags_CallbackCharFilter | ImGuiInputTextFlags_CallbackEdit;
            ImGui::PushStyleColor(ImGuiCol_Text, TEXT_INK);
            ImGui::InputText("##user", &user, limits, limitField, &userMax);
            ImGui::PopStyleColor();
            ImGui::Spacing();
            ImGui::TextUnformatted("Lösenord / Password");
            ImGui::SetNextItemWidth(width);
            if (focus == Focus::Password) ImGui::SetKeyboardFocusHere();
            focus = Focus::None;
            ImGui::PushStyleColor(ImGuiCol_Text, TEXT_INK);
            ImGui::InputText("##password", &pass, limits | ImGuiInputTextFlags_Password, limitField,
                             &passMax);
            ImGui::PopStyleColor();
            if (!why.empty()) {
                ImGui::PushStyleColor(ImGuiCol_Text, WARNING);
                wrappedText(why);
                ImGui::PopStyleColor();
            }
            ImGui::Spacing();
            // The OK button keeps one width whatever it says.
            const float okWidth = std::max(buttonWidth(retryLabel), buttonWidth(sendingLabel));
            const bool sending = attempt.running();
            if ((themedButton(okLabel + "###ok", true, okWidth) || keyPressed(ShellKey::Enter)) && !sending) {
                // Both parts are needed; until then OK does nothing.
                if (session_.rememberLogin(user, pass)) {
                    okLabel = sendingLabel;
                    why.clear();
                    attempt.start(submit_, session_.makeSubmission());
                } else {
                    // Enter took the typing focus away: give it to the field still empty.
                    focus = session_.userName().empty() ? Focus::User : Focus::Password;
                }
            }
            ImGui::SameLine();
            // Cancel also gives up a post still under way: its answer, when it comes, is dropped.
            if (themedButton(cancelLabel, false) || keyPressed(ShellKey::Escape)) {
                attempt.giveUp();
                session_.cancelRegister();
                return Close::Done;
            }
            // "Ny användare" goes to the right end of the row, or of a row of its own when it does not fit.
            const float newUserWidth = buttonWidth(newUserLabel);
            const float rowEnd = ImGui::GetWindowPos().x + ImGui::GetWindowContentRegionMax().x;
            if (ImGui::GetItemRectMax().x + ImGui::GetStyle().ItemSpacing.x + newUserWidth <= rowEnd)
                ImGui::SameLine();
            ImGui::SetCursorPosX(ImGui::GetWindowContentRegionMax().x - newUserWidth);
            if (themedButton(newUserLabel, false))
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
            if (outcome.showRegOk) {
                std::string text = "Din poäng har registrerats / Your score has been registred";
                if (!outcome.unverified.empty()) text += "\n\n" + outcome.unverified;
                messageBox("Reg OK", text);
            }
            if (session_.quitRequested() || outcome.close) return Close::Done;
            okLabel = outcome.button == RegisterOutcome::Button::Retry ? retryLabel : sendingLabel;
            why = outcome.why;
            // Back in the password field, which is what a player corrects most often.
            focus = Focus::Password;
            return Close::Stay;
        });
    host_.setTextInput(false);
}

bool ShellUi::confirmEndGame() {
    const std::optional<bool> yes =
        yesNo(REPLAY_CAPTION, "Matchen du spelar avslutas. Visa reprisen ändå?\n\n"
                              "The game you are playing will end. Show the replay?");
    return yes.value_or(false);
}

void ShellUi::playBack(ReplayViewer& viewer) {
    // A replay starts playing, not paused.
    if (paused_) runWindowCommand(CMD_PAUSE);
    replaying_ = true;
    replayEscaped_ = false;
    nav_.close();
    host_.wake();
    while (viewer.playing()) {
        session_.keepPlayTime();
        const uint32_t wait = paused_ || nav_.isOpen() ? DIALOG_FRAME_MS : viewer.msToNextFrame();
        if (host_.handleEvents(wait) == WindowEvent::CloseRequested) {
            session_.requestQuit();
            break;
        }
        // The menu and the pause hold the replay where it stands.
        if (!paused_ && !nav_.isOpen()) viewer.advance();
        const int command = paintMenus();
        if (isWindowCommand(command)) {
            runWindowCommand(command);
        } else if (command != 0) {
            // Any other command ends the replay and then runs as it would in the game.
            afterReplay_ = command;
            break;
        }
        if (replayEscaped_) break;
        // A file dropped meanwhile is shown next.
        if (std::string file = host_.takeDroppedFile(); !file.empty()) {
            dropped_ = std::move(file);
            break;
        }
    }
    viewer.stop();
    replaying_ = false;
    if (paused_) runWindowCommand(CMD_PAUSE);
    // Keys pressed while the replay was shown are not the next game's.
    host_.forgetTappedKeys();
    host_.wake();
}

std::string ShellUi::takeDroppedFile() {
    if (!dropped_.empty()) return std::exchange(dropped_, {});
    return host_.takeDroppedFile();
}

std::string ShellUi::askForReplayFile() {
    std::string typed, chosen;
    size_t maxBytes = REPLAY_PATH_MAX;
    bool focus = true;
    const std::string openLabel = "Öppna / Open", cancelLabel = "Avbryt / Cancel";
    host_.setTextInput(true);
    runModal("Öppna repris / Open replay", 436.0f, 0.0f, true, [&] {
        wrappedText("Släpp en reprisfil (.txr) på fönstret, eller skriv eller klistra in var den finns.\n"
                    "Drop a replay file (.txr) onto the window, or type or paste where it is.");
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
        if (themedButton(openLabel, true) || keyPressed(ShellKey::Enter)) {
            // Nothing typed: the dialog stays for a path or a drop.
            if (!replayPathOf(typed).empty()) {
                chosen = typed;
                return Close::Done;
            }
        }
        ImGui::SameLine(ImGui::GetWindowContentRegionMax().x - buttonWidth(cancelLabel));
        if (themedButton(cancelLabel, false) || keyPressed(ShellKey::Escape)) return Close::CloseBox;
        return Close::Stay;
    });
    host_.setTextInput(false);
    return chosen;
}

} // namespace tundrix

namespace tundrix {

namespace {
const char* mascotName(uint8_t mascot) {
    return mascot == 1 ? "Brum" : "Vessa";
}
const char* modeName(PlayMode mode) {
    return mode == PlayMode::Easier ? "Lättare / Easier" : "Original";
}
} // namespace

void ShellUi::showBestGames(std::optional<size_t> newPlace, const std::vector<BestGame>& table) {
    if (topTen) topTen->start();
    std::vector<ChannelScore> channel = topTen ? topTen->latest() : std::vector<ChannelScore>{};
    const ImU32 newRow = IM_COL32(255, 214, 110, 90);
    const ImGuiTableFlags flags =
        ImGuiTableFlags_RowBg | ImGuiTableFlags_SizingFixedFit | ImGuiTableFlags_NoHostExtendX;
    // Two pages, the player's own and the channel's; Left and Right turn between them.
    int shownPage = 0, wanted = -1;
    const std::string title = newPlace ? "Ny plats: nr " + std::to_string(*newPlace + 1) +
                                             "! / New place: no. " + std::to_string(*newPlace + 1) + "!"
                                       : std::string("Bästa resultat / Best games");
    runModal(
        title, 424.0f, 0.0f, false,
        [&] {
            if (!channel.empty() && (keyPressed(ShellKey::Left) || keyPressed(ShellKey::Right)))
                wanted = 1 - shownPage;
            ImGui::PushStyleVar(ImGuiStyleVar_CellPadding, ImVec2(5.0f, 0.0f));
            ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(6.0f, 2.0f));
            if (ImGui::BeginTabBar("pages")) {
                const auto tab = [&](const char* label, int which) {
                    if (!ImGui::BeginTabItem(label, nullptr,
                                             wanted == which ? ImGuiTabItemFlags_SetSelected : 0))
                        return false;
                    shownPage = which;
                    return true;
                };
                if (tab("Dina bästa / Your best", 0)) {
                    if (table.empty()) ImGui::TextDisabled("Inga än / None yet");
                    if (!table.empty() && ImGui::BeginTable("mine", 6, flags)) {
                        for (const char* heading : {"", "Poäng", "Period", "Dag / Day", "", "Läge / Mode"})
                            ImGui::TableSetupColumn(heading);
                        ImGui::TableHeadersRow();
                        for (size_t i = 0; i < table.size(); ++i) {
                            const BestGame& g = table[i];
                            ImGui::TableNextRow();
                            if (newPlace && *newPlace == i)
                                ImGui::TableSetBgColor(ImGuiTableBgTarget_RowBg1, newRow);
                            ImGui::TableNextColumn();
                            ImGui::Text("%zu.", i + 1);
                            ImGui::TableNextColumn();
                            ImGui::Text("%d", g.score);
                            ImGui::TableNextColumn();
                            ImGui::Text("%d", g.periods);
                            ImGui::TableNextColumn();
                            ImGui::TextUnformatted(g.date.c_str());
                            ImGui::TableNextColumn();
                            ImGui::TextUnformatted(mascotName(g.mascot));
                            ImGui::TableNextColumn();
                            ImGui::TextUnformatted(modeName(g.mode));
                        }
                        ImGui::EndTable();
                    }
                    ImGui::EndTabItem();
                }
                if (!channel.empty() && tab("Kanalens topp tio / Top ten", 1)) {
                    if (ImGui::BeginTable("channel", 3, flags)) {
                        for (size_t i = 0; i < channel.size(); ++i) {
                            ImGui::TableNextRow();
                            ImGui::TableNextColumn();
                            ImGui::Text("%zu.", i + 1);
                            ImGui::TableNextColumn();
                            ImGui::TextUnformatted(channel[i].name.c_str());
                            ImGui::TableNextColumn();
                            ImGui::Text("%d", channel[i].score);
                        }
                        ImGui::EndTable();
                    }
                    ImGui::EndTabItem();
                }
                ImGui::EndTabBar();
            }
            // A page asked for shows on the next frame.
            if (wanted == shownPage) wanted = -1;
            if (wanted >= 0) host_.wake();
            ImGui::PopStyleVar(2);
            ImGui::Spacing();
            centred(buttonWidth("OK"));
            if (themedButton("OK", true) || keyPressed(ShellKey::Enter) || keyPressed(ShellKey::Escape)) {
                session_.closeInformation();
                return Close::Done;
            }
            return Close::Stay;
        },
        [&] {
            // The channel's list may come while the dialog stands open.
            if (!topTen || !channel.empty()) return Close::Stay;
            channel = topTen->latest();
            if (!channel.empty()) host_.wake();
            return Close::Stay;
        });
}

} // namespace tundrix
