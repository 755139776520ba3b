// When the layer's sounds play, frame by frame, and that their lengths keep them apart as the mix needs.
#include "core/feedback_layout.h"
#include "core/frame_driver.h"
#include "core/game_rules.h"
#include "feedback/sound_cues.h"
#include "recording_sound.h"
#include "resources/embedded_resources.h"
#include "rink/area_capture.h"
#include "sound/wave_reader.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tundrix {
namespace {

enum Event { SmallCapture, BigCapture, EdgeCapture, Cut, Won, NextPeriod };

Moments momentOf(Event e) {
    Moments m;
    if (e == SmallCapture) m.capture = CaptureMoment{812, 2, 0, 0};
    if (e == BigCapture) m.capture = CaptureMoment{BIG_CAPTURE_CELLS + 1, 300, 0, 0};
    if (e == EdgeCapture) m.capture = CaptureMoment{BIG_CAPTURE_CELLS, 300, 0, 0}; // no fanfare of the game's
    if (e == Cut) m.cut = CutMoment{};
    if (e == Won) m.won = PeriodWonMoment{1, 80, 500};
    if (e == NextPeriod) m.periodStarted = 2;
    return m;
}

constexpr int CHIME_FRAMES = 5, CUT_FRAMES = 11, FANFARE_FRAMES = 33;

TEST(SoundCues, EachMomentHasItsSoundAndTheLayerPlaysOneAtATime) {
    struct Case {
        const char* name;
        std::map<int, Event> events;      // at frame
        std::map<int, std::string> plays; // at frame: "chime", "cut" or "fanfare"
    };
    // clang-format off
    const Case cases[] = {
        {"a small capture chimes", {{0, SmallCapture}}, {{0, "chime"}}},
        {"the largest capture without the fanfare chimes", {{0, EdgeCapture}}, {{0, "chime"}}},
        {"a big capture has the game's fanfare only", {{0, BigCapture}}, {}},
        {"a cut", {{3, Cut}}, {{3, "cut"}}},
        {"a capture while the cut still sounds is silent", {{0, Cut}, {CUT_FRAMES - 1, SmallCapture}}, {{0, "cut"}}},
        {"and chimes once it is over", {{0, Cut}, {CUT_FRAMES, SmallCapture}}, {{0, "cut"}, {CUT_FRAMES, "chime"}}},
        {"a won period's fanfare waits for the horn", {{0, SmallCapture}, {1, Won}},
         {{0, "chime"}, {1 + WON_FANFARE_DELAY, "fanfare"}}},
        {"and is dropped when the next period starts first", {{0, Won}, {WON_FANFARE_DELAY - 1, NextPeriod}}, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::RecordingSound chime, cut, fanfare;
        SoundCues cues({chime, CHIME_FRAMES}, {cut, CUT_FRAMES}, {fanfare, FANFARE_FRAMES});
        std::map<int, std::string> heard;
        int before[3] = {};
        for (int frame = 0; frame < 60; ++frame) {
            const auto e = c.events.find(frame);
            cues.hear(e == c.events.end() ? Moments{} : momentOf(e->second));
            const int now[3] = {chime.plays, cut.plays, fanfare.plays};
            const char* names[3] = {"chime", "cut", "fanfare"};
            for (int s = 0; s < 3; ++s) {
                if (now[s] != before[s]) heard[frame] += names[s];
                before[s] = now[s];
            }
        }
        EXPECT_EQ(heard, c.plays);
    }
}

int framesOf(EmbeddedResources& store, uint16_t id) {
    WaveData wave;
    EXPECT_TRUE(readWave(store.find(id), wave)) << id;
    return static_cast<int>((wave.samples.size() * 1000 / wave.format.samplesPerSec + FRAME_MS - 1) /
                            FRAME_MS);
}

TEST(SoundCues, TheShortSoundsEndBeforeTheFanfareWhichEndsWithinTheWonPause) {
    // The mix the sounds are levelled for counts on this: no short sound of the layer's is left when the
    // fanfare starts, and the fanfare is over before the pause's last frame of play.
    EmbeddedResources store;
    EXPECT_EQ(framesOf(store, feedback::WAVE_SMALL_CAPTURE), CHIME_FRAMES);
    EXPECT_EQ(framesOf(store, feedback::WAVE_CUT), CUT_FRAMES);
    EXPECT_EQ(framesOf(store, feedback::WAVE_PERIOD_WON), FANFARE_FRAMES);
    EXPECT_LE(std::max(CHIME_FRAMES, CUT_FRAMES), WON_FANFARE_DELAY);
    EXPECT_LT(WON_FANFARE_DELAY + FANFARE_FRAMES, PERIOD_WON_PAUSE);
}

} // namespace
} // namespace tundrix
