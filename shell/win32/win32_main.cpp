// The program on Windows: reads the play time, opens the window, runs the loop of game frames and window
// messages, and adds the play time to the registry once a minute and at quit.
#include "game/game_world.h"
#include "input/keyboard_input.h"
#include "net/channel_address.h"
#include "net/measurements.h"
#include "platform/combined_keys.h"
#include "platform/win32/win32_audio.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_gamepad.h"
#include "platform/win32/win32_http_client.h"
#include "platform/win32/win32_keys.h"
#include "platform/win32/win32_play_time_store.h"
#include "platform/win32/win32_program_info.h"
#include "platform/win32/win32_resources.h"
#include "protocol/paths.h"
#include "replay/game_recorder.h"
#include "shell/game_session.h"
#include "shell/play_time.h"
#include "shell/play_time_tally.h"
#include "shell/score_post.h"
#include "shell/win32/main_window.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

using namespace tundrix;

namespace {

// Posts one submission to the channel's form and brings its verdict back, on a thread of its own: it uses
// nothing but what it builds here and the options, which it copies.
void postToChannel(const SubmitOptions& options, ScoreSubmission& s) {
    WinInetHttpClient http;
    SystemCalendarClock calendar;
    postSubmission(options, http, calendar, s);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    Win32Clock clock;
    // The larger of the machine-wide total (which the game has always read) and the user's own; this run's
    // time goes into the user's once a minute and at quit.
    const RegistryPlayTime registry;
    PlayTimeTally playTime(clock, registry.total(), [&registry](uint32_t ms) { return registry.add(ms); });

    const Settings settings(userSettingsFolder());
    settings.removeStaleTemporaries();
    // The channel is worked out once: the score goes to it, and the menu names and opens its pages.
    const ChannelAddress channelAddress =
        configuredChannel(std::getenv(CHANNEL_VARIABLE), settings.readChannel());
    SubmitOptions channel = submitOptionsFor(channelAddress);
    channel.executablePath = programFilePath();
    channel.processorType = processorTypeCode();

    Win32Keys keys;
    XInputGamepads pads;
    CombinedKeys gameKeys(keys, pads);
    MainWindow window(instance, gameKeys, keys, pads);
    if (!window.create(showCommand, settings.readZoom(), settings.readFullScreen())) return 1;

    // Every game is recorded as it plays, so the game behind a registered score can go to the channel.
    const FileIntegrity program = measureFile(channel.executablePath);
    GameRecorder recorder(clock, gameKeys, ReplayBuild{protocol::GAME_ID, program.crc, program.length});
    KeyboardInput keyboard(recorder.keys());
    Win32Resources resources;
    Win32Audio audio(window.handle());
    const VolumeLevel volume = settings.readVolume();
    audio.setOutputVolume(volume.attenuation());
    GameServices services{recorder.clock(), keyboard, resources, audio, window.video()};
    GameSession session(
        clock, playTime,
        [&](const AngleTables& angles) -> std::unique_ptr<World> {
            return recorder.record(services, [&] { return std::make_unique<GameWorld>(services, angles); });
        },
        [](World& world) { return world.scoreCounter(); }, WebPages(channelAddress),
        [&recorder] { return recorder.current(); });
    g_paletteDirty = true;
    window.attach(session, [channel](ScoreSubmission& s) { postToChannel(channel, s); });
    window.setVolume(volume);
    window.layoutChanged = [&](int zoom, bool fullScreen) {
        settings.writeZoom(zoom);
        settings.writeFullScreen(fullScreen);
    };
    window.volumeChanged = [&](VolumeLevel level) {
        audio.setOutputVolume(level.attenuation());
        settings.writeVolume(level);
    };
    window.pausedChanged = [&](bool paused) { audio.setMuted(paused); };
    window.sessionEnding = [&] { playTime.addNow(); };

    while (loopPass(session, window)) {
    }

    // The quit routine: the rest of the play time first, then the game goes.
    session.quit();
    // A score post given up in the register dialog may still be waiting for the network on its own thread;
    // nothing is left to save, so the program ends without waiting for it.
    if (window.postsInFlight() > 0) {
        std::fflush(nullptr);
        TerminateProcess(GetCurrentProcess(), 0);
    }
    return 0;
}
