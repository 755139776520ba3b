// The feedback on top of the picture: it watches the world after every update, keeps the effects of what
// happened, plays the layer's sounds and draws it all over the composed screen. It reads the world and
// never changes what the rules read.
#pragma once
#include "feedback/claimed_area.h"
#include "feedback/effects.h"
#include "feedback/layer_art.h"
#include "feedback/layer_painter.h"
#include "feedback/moments.h"
#include "feedback/shades.h"
#include "feedback/sound_cues.h"
#include "game/game_world.h"
#include "sound/sound.h"

#include <functional>

namespace tundrix {

class FeedbackLayer {
  public:
    // The best score the bottom panel shows, given by whoever keeps it; the game's own score counts too.
    using BestScore = std::function<int32_t()>;

    // Loads the layer's pictures and builds its sounds on the world's audio device; the layer must go
    // before the world does.
    FeedbackLayer(GameWorld& world, const ResourceStore& resources, BestScore best);
    FeedbackLayer(const FeedbackLayer&) = delete;
    FeedbackLayer& operator=(const FeedbackLayer&) = delete;

    // After each update of the world. Shown or not, the layer follows the world; only while shown does it
    // start effects and play sounds.
    void afterUpdate(bool shown);
    // Onto the composed screen, before it is presented.
    void draw();

    const Moments& lastMoments() const { return watcher_.lastMoments(); }
    const Effects& effects() const { return effects_; }

  private:
    GameWorld& world_;
    BestScore best_;
    LayerArt art_;
    Shades shades_;
    LayerPainter painter_;
    MomentWatcher watcher_;
    ClaimedArea area_;
    Effects effects_;
    Sound smallCaptureSound_;
    Sound cutSound_;
    Sound periodWonSound_;
    SoundCues cues_;
};

} // namespace tundrix
