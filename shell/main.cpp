// The program: opens the window, runs the loop of game frames and window events, and keeps the play time.
#include "core/game_world.h"
#include "input/keyboard_input.h"
#include "net/measurements.h"
#include "net/score_submission.h"
#include "net/submission_record.h"
#include "platform/curl_http_client.h"
#include "platform/sdl_audio.h"
#include "platform/sdl_clock.h"
#include "platform/sdl_keys.h"
#include "platform/sdl_video.h"
#include "resources/embedded_resources.h"
#include "shell/game_session.h"
#include "shell/play_time.h"
#include "shell/shell_ui.h"

#include <cstdio>
#include <cstdlib>

using namespace tundrix;

namespace {

constexpr char WINDOW_TITLE[] = "Tundrix Ice-Hockey Cup";
constexpr char MENU_FONT[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Hands the dialog's submission to the channel's form post and brings its verdict back.
class ChannelPoster {
  public:
    void operator()(ScoreSubmission& s) {
        record_.setUserName(s.userName);
        record_.setPassword(s.password);
        record_.score = s.score;
        record_.bestScoreTime = s.bestScoreTime;
        record_.totalPlayTime = static_cast<int32_t>(s.totalPlayTime);
        record_.tampered = s.tampered;
        submitScore(record_, http_, calendar_);
        s.resultCode = record_.resultCode;
        s.versionNotice = record_.versionNotice;
        record_.score = 0;
    }

  private:
    SubmissionRecord record_;
    CurlHttpClient http_;
    SystemCalendarClock calendar_;
};

} // namespace

int main() {
    SdlKeys keys;
    const Settings settings(settingsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));

    WindowOptions options;
    options.title = WINDOW_TITLE;
    options.zoom = settings.readZoom();
    options.fontFile = MENU_FONT;
    std::string whyNot;
    std::unique_ptr<SdlVideo> window = SdlVideo::open(options, keys, whyNot);
    if (!window) {
        std::fprintf(stderr, "tundrix: %s\n", whyNot.c_str());
        return 1;
    }

    SdlClock clock;
    const uint32_t runStart = clock.nowMs();
    const uint32_t storedPlayTime = settings.readPlayTime();

    KeyboardInput keyboard(keys);
    const EmbeddedResources resources;
    SdlAudio audio;
    GameServices services{clock, keyboard, resources, audio, *window};
    ChannelPoster poster;

    GameSession session(
        clock, runStart, storedPlayTime,
        [&](const AngleTables& angles) -> std::unique_ptr<World> {
            return std::make_unique<GameWorld>(services, angles);
        },
        [](World& world) { return &static_cast<GameWorld&>(world).score(); });
    ShellUi ui(*window, session, [&](ScoreSubmission& s) { poster(s); });

    // The quit routine: the play time first, then the game goes.
    auto quitProgram = [&] { settings.writePlayTime(session.quit()); };

    for (;;) {
        session.offerBestScore();
        session.openRequestedDialogs(ui);
        if (session.quitRequested()) break;

        session.stepFrame();
        window->beginFrame();
        const int command = ui.drawMenuBar(true);
        window->finishFrame();
        session.checkRestartKey(keys.keyDown(Key::F1));

        // Commands run after the menu's frame is finished: they may open dialogs or end the program.
        if (command != 0) {
            if (const int zoom = zoomOfCommand(command)) {
                window->setZoom(zoom);
                settings.writeZoom(zoom);
            } else {
                const CommandEffect effect = session.runCommand(command);
                if (!effect.url.empty()) window->openUrl(effect.url);
                if (effect.quit) break;
            }
        }
        if (window->handleOneEvent() == WindowEvent::CloseRequested) break;
    }
    quitProgram();
    return 0;
}
