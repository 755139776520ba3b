// Following the world frame by frame and drawing the layer over it.
#include "feedback/feedback_layer.h"

#include "core/frame_driver.h"
#include "core/screen_layout.h"
#include "sound/wave_reader.h"

#include <algorithm>

namespace tundrix {

namespace {

// How many frames a sound lasts, rounded up; 0 for one that cannot be read.
int framesOf(const ResourceStore& resources, uint16_t id) {
    WaveData wave;
    if (!readWave(resources.find(id), wave) || wave.format.samplesPerSec == 0) return 0;
    const uint64_t ms = (static_cast<uint64_t>(wave.samples.size()) * 1000 + wave.format.samplesPerSec - 1) /
                        wave.format.samplesPerSec;
    return static_cast<int>((ms + FRAME_MS - 1) / FRAME_MS);
}

} // namespace

FeedbackLayer::FeedbackLayer(GameWorld& world, const ResourceStore& resources, BestScore best)
    : world_(world), best_(std::move(best)), art_(resources), painter_(art_, shades_), watcher_(world),
      smallCaptureSound_(world.sounds().device, resources, feedback::WAVE_SMALL_CAPTURE),
      cutSound_(world.sounds().device, resources, feedback::WAVE_CUT),
      periodWonSound_(world.sounds().device, resources, feedback::WAVE_PERIOD_WON),
      cues_({smallCaptureSound_, framesOf(resources, feedback::WAVE_SMALL_CAPTURE)},
            {cutSound_, framesOf(resources, feedback::WAVE_CUT)},
            {periodWonSound_, framesOf(resources, feedback::WAVE_PERIOD_WON)}) {
    area_.reset(world_.rink());
}

void FeedbackLayer::afterUpdate(bool shown) {
    const Moments& moments = watcher_.observe();
    effects_.age();
    // The claimed cells are followed either way, so a layer shown again flashes only what is new.
    effects_.take(moments, area_, world_.rink());
    if (!shown) {
        effects_.clear();
        cues_.cancel();
        return;
    }
    cues_.hear(moments);
}

void FeedbackLayer::draw() {
    ScreenSurface& screen = world_.screen();
    if (world_.onTitle()) {
        if (!screen.created()) return;
        if (!shades_.built()) shades_.build(screen.palette());
        // Over the chosen mascot's head, above the middle of its eyes: Brum is the figure on the left,
        // Vessa the one on the right.
        constexpr int32_t ABOVE_EYES = 54;
        const bool brum = world_.player().mascot == 1;
        const TitleFigure& chosen = brum ? static_cast<const TitleFigure&>(world_.leftFigure())
                                         : static_cast<const TitleFigure&>(world_.rightFigure());
        const layout::Offset eyes = brum ? layout::BRUM_EYES : layout::VESSA_EYES;
        painter_.paintChoice(screen, static_cast<int32_t>(chosen.x()) + eyes.x,
                             static_cast<int32_t>(chosen.y()) + eyes.y - ABOVE_EYES,
                             world_.rightFigure().age);
        return;
    }
    if (world_.inMatchIntro()) return;
    const Image* display = world_.rink().pictures().display;
    if (!screen.created() || display == nullptr) return;
    if (!shades_.built()) shades_.build(screen.palette());
    const int32_t score = world_.score().get();
    const PanelFigures figures{world_.periodNumber().get(), std::max(best_ ? best_() : 0, score)};
    painter_.paint(screen, *display, world_.rink(), effects_, figures, world_.periodWon());
}

} // namespace tundrix
