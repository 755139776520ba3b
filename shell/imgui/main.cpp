// The program: opens the window, runs the loop of game frames and window events, and keeps the play time.
#include "feedback/feedback_world.h"
#include "game/game_world.h"
#include "input/keyboard_input.h"
#include "net/channel_address.h"
#include "net/measurements.h"
#include "net/top_ten.h"
#include "platform/combined_keys.h"
#include "platform/curl/curl_http_client.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_clock.h"
#include "platform/sdl/sdl_gamepad.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_video.h"
#include "protocol/paths.h"
#include "replay/game_recorder.h"
#include "resources/embedded_fonts.h"
#include "resources/embedded_resources.h"
#include "resources/window_icon.h"
#include "shell/best_games.h"
#include "shell/game_session.h"
#include "shell/imgui/shell_ui.h"
#include "shell/imgui/ui_theme.h"
#include "shell/play_time.h"
#include "shell/play_time_tally.h"
#include "shell/replay_viewer.h"
#include "shell/score_post.h"
#include "shell/top_ten_fetch.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

using namespace tundrix;

namespace {

constexpr char WINDOW_TITLE[] = "Tundrix Ice-Hockey Cup";

// Posts one submission to the channel's form and brings its verdict back. It runs on a thread of its own
// and uses nothing but what it builds here and the channel's options, which it copies.
void postToChannel(const SubmitOptions& options, ScoreSubmission& s) {
    CurlHttpClient http;
    SystemCalendarClock calendar;
    postSubmission(options, http, calendar, s);
}

} // namespace

int main() {
    SdlKeys keys;
    const Settings settings(userSettingsFolder());
    settings.removeStaleTemporaries();
    // The channel is worked out once: the score goes to it, and the menu names and opens its pages.
    const ChannelAddress channelAddress =
        configuredChannel(std::getenv(CHANNEL_VARIABLE), settings.readChannel());
    const SubmitOptions channel = submitOptionsFor(channelAddress);

    WindowOptions options;
    options.title = WINDOW_TITLE;
    options.zoom = settings.readZoom();
    options.fullScreen = settings.readFullScreen();
    options.textFont = menuFontData();
    options.signFont = signFontData();
    options.signText = PAUSE_SIGN_TEXT;
    const EmbeddedResources resources;
    options.iconRgba = resources.find(WINDOW_ICON_ID);
    options.iconSize = WINDOW_ICON_SIZE;
    std::string whyNot;
    std::unique_ptr<SdlVideo> window = SdlVideo::open(options, keys, whyNot);
    if (!window) {
        std::fprintf(stderr, "tundrix: %s\n", whyNot.c_str());
        return 1;
    }

    SdlClock clock;
    // This run's time goes into the stored total once a minute and at quit.
    PlayTimeTally playTime(clock, settings.readPlayTime(),
                           [&settings](uint32_t ms) { return settings.addPlayTime(ms); });

    // Pads plugged in now or later play alongside the keyboard, and their Back button is F1.
    SdlGamepads pads;
    window->attachGamepads(pads);
    CombinedKeys gameKeys(keys, pads);
    // Every game is recorded as it plays: the clock readings and the keys its world takes pass through
    // the recorder, along with the build that made it, as the score form names it.
    const FileIntegrity program = measureFile(channel.executablePath);
    GameRecorder recorder(clock, gameKeys, ReplayBuild{protocol::GAME_ID, program.crc, program.length});
    KeyboardInput keyboard(recorder.keys());
    SdlAudio audio;
    const VolumeLevel volume = settings.readVolume();
    audio.setOutputVolume(volume.attenuation());
    GameServices services{recorder.clock(), keyboard, resources, audio, *window};
    services.mode = settings.readPlayMode();
    const bool feedbackShown = settings.readFeedback();
    // The game in play, and what the best games' table keeps of it, taken as it ends (before a
    // registration sets its score back to 0).
    GameWorld* inPlay = nullptr;
    std::optional<BestGame> finished;

    GameSession session(
        clock, playTime,
        [&](const AngleTables& angles) -> std::unique_ptr<World> {
            return recorder.record(services, [&]() -> std::unique_ptr<World> {
                auto game = std::make_unique<GameWorld>(services, angles);
                inPlay = game.get();
                finished.reset();
                auto world = std::make_unique<FeedbackWorld>(std::move(game), resources,
                                                             [&session] { return session.bestScore.get(); });
                world->setShown(feedbackShown);
                return world;
            });
        },
        // Only an Original game's score is offered to the channel.
        [&inPlay](World& world) {
            return inPlay && inPlay->mode() == PlayMode::Original ? world.scoreCounter() : nullptr;
        },
        WebPages(channelAddress), [&recorder] { return recorder.current(); });
    // Replays are shown through the window and the sound the game uses, at the real clock's pace, and the
    // last game is saved beside the settings.
    session.makeViewer = [&](Replay replay) {
        return std::make_unique<ReplayViewer>(std::move(replay), resources, audio, *window, clock);
    };
    session.replayFolder = settings.folder();
    // The game world in play, or null while none lives (a replay is shown in its place).
    const auto gameInPlay = [&]() -> GameWorld* {
        return session.driver() && session.driver()->world() ? inPlay : nullptr;
    };
    ShellUi ui(
        *window, gameKeys, session, [channel](ScoreSubmission& s) { postToChannel(channel, s); },
        [&](int zoom, bool fullScreen) {
            settings.writeZoom(zoom);
            settings.writeFullScreen(fullScreen);
        });

    ui.pausedChanged = [&](bool paused) { audio.setMuted(paused); };
    // The player's volume reaches every sound at once, playing or not, and is kept for the next run.
    ui.setVolume(volume);
    ui.volumeChanged = [&](VolumeLevel level) {
        audio.setOutputVolume(level.attenuation());
        settings.writeVolume(level);
    };

    // The channel's top ten, fetched at start and whenever the table is shown, when a channel is set.
    const bool channelSet = !(channelAddress == ChannelAddress{});
    TopTenFetch topTen(channelSet ? TopTenFetch::Fetch([channelAddress] {
        CurlHttpClient http;
        return fetchTopTen(http, channelAddress);
    })
                                  : TopTenFetch::Fetch());
    topTen.start();
    ui.topTen = &topTen;
    ui.midGame = [&gameInPlay] {
        const GameWorld* g = gameInPlay();
        return g && !g->onTitle() && !g->gameOver();
    };
    ui.finishedGame = [&finished] { return finished.value_or(BestGame{}); };
    ui.bestGames = [&settings] { return readBestGames(settings); };
    ui.enterGame = [&settings](const BestGame& game, std::vector<BestGame>& table) {
        return recordBestGame(settings, game, table);
    };
    // A new way in counts from the next game; on the title screen that game is built at once.
    ui.playMode = services.mode;
    ui.playModeChanged = [&](PlayMode mode) {
        settings.writePlayMode(mode);
        services.mode = mode;
        if (GameWorld* g = gameInPlay(); g && g->onTitle()) session.driver()->restartRequested = true;
    };
    ui.pauseOnFocusLoss = settings.readPauseOnFocusLoss();
    ui.pauseOnFocusLossChanged = [&settings](bool on) { settings.writePauseOnFocusLoss(on); };

    while (loopPass(session, ui)) {
        audio.pauseWhileSilent();
        if (GameWorld* g = gameInPlay(); g && g->gameOver() && !finished)
            finished =
                BestGame{g->score().get(), g->periodNumber().get(),
                         localDate(static_cast<int64_t>(std::time(nullptr))), g->player().mascot, g->mode()};
    }

    // The quit routine: the rest of the play time first, then the game goes.
    session.quit();
    // A score post given up in the register dialog may still be waiting for the network on its own
    // thread; nothing is left to save, so the program ends without waiting for it.
    if (ui.postsInFlight() > 0 || topTen.running()) {
        std::fflush(nullptr);
        std::_Exit(0);
    }
    return 0;
}
