// Keys through the real window on SDL's dummy video driver, as the program's loop pass and dialogs run them:
// volume and mute by the M key and by menu items chosen by keys, M typed into a dialog's field, and pastes
// into the register dialog's fields.
#include "dummy_window.h"
#include "fake_world.h"
#include "net/score_submission.h"
#include "platform/headless/fake_clock.h"
#include "shell/game_session.h"
#include "shell/imgui/shell_ui.h"
#include "shell/menu.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <functional>
#include <string_view>
#include <vector>

namespace tundrix {
namespace {

uint64_t digest(const std::vector<uint32_t>& pixels) {
    return std::hash<std::string_view>{}({reinterpret_cast<const char*>(pixels.data()), pixels.size() * 4});
}

struct KeysInTheWindow : test::DummyWindow {
    headless::FakeClock clock{1000};
    PlayTimeTally tally{clock, 0, {}};
    std::unique_ptr<GameSession> session;
    std::unique_ptr<ShellUi> ui;
    std::vector<VolumeLevel> changes;

    void SetUp() override {
        DummyWindow::SetUp();
        session = std::make_unique<GameSession>(
            clock, tally, [](const AngleTables&) { return std::make_unique<test::FakeWorld>(); },
            [](World& w) { return w.scoreCounter(); });
        // Posts come back without a verdict (and open no page).
        ui = std::make_unique<ShellUi>(
            *window, keys, *session, [](ScoreSubmission& s) { s.resultCode = ANSWER_WITHOUT_RESULT; },
            ShellUi::Remember{});
        ui->setVolume({1, false});
        ui->volumeChanged = [this](VolumeLevel level) { changes.push_back(level); };
    }
    void TearDown() override {
        ui.reset();
        session.reset();
        DummyWindow::TearDown();
    }

    // Ctrl+V as a player presses it.
    static void paste() {
        key(SDL_KEYDOWN, SDL_SCANCODE_LCTRL, KMOD_LCTRL);
        key(SDL_KEYDOWN, SDL_SCANCODE_V, KMOD_LCTRL);
        key(SDL_KEYUP, SDL_SCANCODE_V, KMOD_LCTRL);
        key(SDL_KEYUP, SDL_SCANCODE_LCTRL);
    }

    // Taps the keys, then runs one pass of the program's loop over them.
    void tapThenPass(std::initializer_list<SDL_Scancode> codes) {
        for (SDL_Scancode code : codes)
            tap(code);
        while (window->handleEvents(0) != WindowEvent::None) {
        }
        ASSERT_TRUE(loopPass(*session, *ui));
    }
};

TEST_F(KeysInTheWindow, MTogglesMuteMenuItemsSetTheStepAndATextFieldKeepsItsM) {
    tapThenPass({SDL_SCANCODE_M});
    EXPECT_EQ(changes, (std::vector<VolumeLevel>{{1, true}})) << "M mutes, the step stays";

    // F10 opens "Spel" on its first item; up wraps to mute at the bottom, and above it is the volume, which
    // steps quieter and from the quietest back to full; a step chosen while muted stays muted.
    for (int step : {2, 3, 0, 1, 2}) {
        tapThenPass({SDL_SCANCODE_F10, SDL_SCANCODE_UP, SDL_SCANCODE_UP, SDL_SCANCODE_RETURN});
        EXPECT_EQ(ui->volume(), (VolumeLevel{step, true}));
    }
    tapThenPass({SDL_SCANCODE_F10, SDL_SCANCODE_UP, SDL_SCANCODE_RETURN});
    EXPECT_EQ(ui->volume(), (VolumeLevel{2, false})) << "the mute item unmutes";
    EXPECT_FALSE(ui->holding()) << "choosing closed the menu";

    // In a dialog's field M is a letter.
    changes.clear();
    window->setTextInput(true), tapThenPass({SDL_SCANCODE_M}), window->setTextInput(false);
    EXPECT_TRUE(changes.empty());
    tapThenPass({SDL_SCANCODE_M});
    EXPECT_EQ(changes, (std::vector<VolumeLevel>{{2, true}}));

    // Pause stays apart from mute, and shows its sign as approved.
    bool told = false; // the program mutes the sound while paused
    ui->pausedChanged = [&told](bool paused) { told = paused; };
    tapThenPass({SDL_SCANCODE_P});
    EXPECT_TRUE(ui->paused() && told);
    tapThenPass({});
    EXPECT_EQ(digest(shown()), 703344763099791073u) << "the pause sign";
    EXPECT_EQ(ui->volume(), (VolumeLevel{2, true}));
}

TEST_F(KeysInTheWindow, APasteIntoTheRegisterFieldsKeepsTheirFirstCharactersHoweverLongAndLate) {
    // 300 characters (302 bytes), more than either field holds; the Ctrl of each paste is already up in
    // SDL's own state when its V is handled.
    const std::string text = "€" + std::string(299, 'x');
    ASSERT_EQ(SDL_SetClipboardText(text.c_str()), 0) << SDL_GetError();
    paste();
    tap(SDL_SCANCODE_TAB);
    paste();
    tap(SDL_SCANCODE_RETURN); // OK keeps the login and posts
    SDL_Event quit{};
    quit.type = SDL_QUIT; // and the window closes over the dialog
    SDL_PushEvent(&quit);
    ui->registerScore();
    EXPECT_EQ(session->userName(), "€" + std::string(63, 'x'));
    EXPECT_EQ(session->password(), "€" + std::string(15, 'x'));
    EXPECT_TRUE(session->quitRequested() && !SDL_IsTextInputActive()) << "the keys are the game's again";
}

// The views as they are drawn, against the digest of pictures looked at and approved: the bar with the
// pointer over "Tävling", with "Spel" open on its first item, then "Tävling" open under the pointer that
// moved on, and the hint to start again.
TEST_F(KeysInTheWindow, TheBarAndAnOpenMenuLookAsApproved) {
    SDL_Event move{};
    move.type = SDL_MOUSEMOTION, move.motion.x = 70, move.motion.y = 8;
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_ENTER), SDL_PushEvent(&move);
    tapThenPass({}), tapThenPass({});
    std::vector<uint32_t> seen = shown();
    tapThenPass({SDL_SCANCODE_F10}), tapThenPass({});
    const std::vector<uint32_t> open = shown();
    // The pointer moves on along the bar: the menu under it opens.
    move.motion.x = 75, SDL_PushEvent(&move), tapThenPass({}), tapThenPass({});
    for (const std::vector<uint32_t>& picture : {open, shown()})
        seen.insert(seen.end(), picture.begin(), picture.end());
    EXPECT_EQ(digest(seen), 4080160859690866651u) << "what the views draw";
    // A press on the open menu's title closes it, and the next opens it again.
    SDL_Event press{}, release{};
    press.type = SDL_MOUSEBUTTONDOWN, press.button.button = SDL_BUTTON_LEFT, press.button.state = SDL_PRESSED;
    press.button.x = 25, press.button.y = 8, release = press, release.type = SDL_MOUSEBUTTONUP;
    release.button.state = SDL_RELEASED, move.motion.x = 25, SDL_PushEvent(&move);
    for (bool open : {false, true}) {
        SDL_PushEvent(&press), SDL_PushEvent(&release), tapThenPass({}), tapThenPass({});
        EXPECT_EQ(ui->holding(), open);
    }
    // Over, the game offers to start again.
    tapThenPass({SDL_SCANCODE_ESCAPE}), session->driver()->gameOverReached = true, ui->paintMenus();
    EXPECT_EQ(digest(shown()), 18215987572892669340u) << "the hint to start again";
}

// Each dialog as it stands, over the game's picture and the greyed bar, against its approved digest: the
// window closes as a dialog begins its third frame, the last one drawn before it settles.
TEST_F(KeysInTheWindow, EachDialogLooksAsApproved) {
    ui->bestGames = [] { return std::vector<BestGame>{{900, 3, "2026-12-08", 1, PlayMode::Easier}}; };
    ui->midGame = [] { return true; };
    // Without the fading backdrop and the blinking cursor, which depend on how fast the frames came.
    ImGui::GetStyle().Colors[ImGuiCol_ModalWindowDimBg].w = 0.0f;
    ImGui::GetIO().ConfigInputTextCursorBlink = false;
    static int frames = 0;
    ImGuiContextHook closer;
    closer.Type = ImGuiContextHookType_NewFramePre, closer.UserData = &frames;
    closer.Callback = [](ImGuiContext*, ImGuiContextHook*) { ++frames == 3 ? push(SDL_QUIT) : void(); };
    ImGui::AddContextHook(ImGui::GetCurrentContext(), &closer);
    const std::pair<std::function<void()>, uint64_t> dialogs[] = {
        {[&] { ui->showInformation(0); }, 6077847405765810937u},
        {[&] { ui->registerScore(); }, 14574097354528536948u},
        {[&] { ui->askToSubmit(); }, 6941007846826007454u},
        {[&] { ui->confirmQuit(); }, 3084373608986629616u},
        {[&] { ui->messageBox("Kanalen", "Försök igen om en stund."); }, 17355577393099522790u},
        {[&] { ui->runWindowCommand(CMD_BEST_GAMES); }, 9249941101699127753u},
        {[&] { ui->askForReplayFile(); }, 8956847640106661805u},
    };
    for (size_t i = 0; i < std::size(dialogs); ++i) {
        frames = 0;
        dialogs[i].first();
        EXPECT_EQ(digest(shown()), dialogs[i].second) << "dialog " << i;
    }
}

} // namespace
} // namespace tundrix
