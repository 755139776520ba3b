// Volume and mute through the real window on SDL's dummy video driver: the M key, the menu items chosen by
// keys, and M typed into a dialog's field, as the program's loop pass runs them.
#include "platform/sdl_keys.h"
#include "platform/sdl_video.h"
#include "resources/embedded_fonts.h"
#include "shell/game_session.h"
#include "shell/menu.h"
#include "shell/shell_ui.h"

#include "fake_clock.h"

#include <SDL.h>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace tundrix {
namespace {

class StillWorld : public World {
  public:
    void update() override {}
    void draw() override {}
    bool gameOver() const override { return false; }
    int countdown() const override { return 1; }
    void holdClock(uint32_t) override {}
    GuardedCounter score;
};

struct VolumeInTheWindow : ::testing::Test {
    test::FakeClock clock{1000};
    SdlKeys keys;
    std::unique_ptr<SdlVideo> window;
    std::unique_ptr<GameSession> session;
    std::unique_ptr<ShellUi> ui;
    std::vector<VolumeLevel> changes;

    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        WindowOptions options;
        options.title = "test";
        options.textFont = menuFontData();
        options.signFont = signFontData();
        std::string whyNot;
        window = SdlVideo::open(options, keys, whyNot);
        ASSERT_TRUE(window) << whyNot;
        session = std::make_unique<GameSession>(
            clock, 1000, 0, [](const AngleTables&) { return std::make_unique<StillWorld>(); },
            [](World& w) { return &static_cast<StillWorld&>(w).score; });
        ui = std::make_unique<ShellUi>(*window, keys, *session, SubmitScore{}, ShellUi::Remember{});
        ui->setVolume({1, false});
        ui->volumeChanged = [this](VolumeLevel level) { changes.push_back(level); };
    }
    void TearDown() override {
        ui.reset();
        session.reset();
        window.reset();
    }

    // Taps the keys, then runs one pass of the program's loop over them.
    void tapThenPass(std::initializer_list<SDL_Scancode> codes) {
        for (SDL_Scancode code : codes)
            for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
                SDL_Event e{};
                e.type = type;
                e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
                e.key.keysym.scancode = code;
                SDL_PushEvent(&e);
            }
        while (window->handleEvents(0) != WindowEvent::None) {
        }
        ASSERT_TRUE(loopPass(*session, *ui));
    }
};

TEST_F(VolumeInTheWindow, MTogglesMuteMenuItemsSetTheStepAndATextFieldKeepsItsM) {
    tapThenPass({SDL_SCANCODE_M});
    EXPECT_EQ(changes, (std::vector<VolumeLevel>{{1, true}})) << "M mutes, the step stays";

    // F10 opens "Spel" on its first item; up wraps to mute at the bottom, and above it is the volume, which
    // steps quieter and from the quietest back to full.
    const auto chooseVolume = [&] {
        tapThenPass({SDL_SCANCODE_F10, SDL_SCANCODE_UP, SDL_SCANCODE_UP, SDL_SCANCODE_RETURN});
    };
    chooseVolume();
    EXPECT_EQ(ui->volume(), (VolumeLevel{2, true})) << "a step chosen while muted stays muted";
    chooseVolume();
    chooseVolume();
    EXPECT_EQ(ui->volume(), (VolumeLevel{0, true})) << "from the quietest back to full";
    chooseVolume();
    chooseVolume();
    tapThenPass({SDL_SCANCODE_F10, SDL_SCANCODE_UP, SDL_SCANCODE_RETURN});
    EXPECT_EQ(ui->volume(), (VolumeLevel{2, false})) << "the mute item unmutes";
    EXPECT_FALSE(ui->holding()) << "choosing closed the menu";

    // In a dialog's field M is a letter.
    changes.clear();
    window->setTextInput(true);
    tapThenPass({SDL_SCANCODE_M});
    window->setTextInput(false);
    EXPECT_TRUE(changes.empty());
    tapThenPass({SDL_SCANCODE_M});
    EXPECT_EQ(changes, (std::vector<VolumeLevel>{{2, true}}));

    // Pause stays apart from mute.
    tapThenPass({SDL_SCANCODE_P});
    EXPECT_TRUE(ui->paused());
    EXPECT_EQ(ui->volume(), (VolumeLevel{2, true}));
}

} // namespace
} // namespace tundrix
