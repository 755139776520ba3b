// When the layer's three sounds play: the chime of a capture too small for the fanfare, the cut, and the
// won period's fanfare once the horn is over. It plays one of them at a time, so together with the game's
// own sounds the mix stays within what the game's sounds were levelled for.
#pragma once
#include "core/sound_effect.h"
#include "feedback/moments.h"

namespace tundrix {

// The won period's fanfare starts this many frames into the won pause, after the horn.
constexpr int WON_FANFARE_DELAY = 13;

class SoundCues {
  public:
    struct Voice {
        SoundEffect& sound;
        int frames; // how long it sounds, in frames, rounded up
    };
    SoundCues(Voice smallCapture, Voice cut, Voice periodWon);

    // One update's moments.
    void hear(const Moments& moments);
    // Forgets what was waiting to be played.
    void cancel() { wonIn_ = -1; }

  private:
    bool tryPlay(Voice& voice);

    Voice smallCapture_, cut_, periodWon_;
    int busy_ = 0;   // frames until the layer's last sound has ended
    int wonIn_ = -1; // frames until the fanfare is due; -1 when none is
};

} // namespace tundrix
