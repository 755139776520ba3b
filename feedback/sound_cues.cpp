// The rules of the layer's sounds, frame by frame.
#include "feedback/sound_cues.h"

#include "rink/area_capture.h"

namespace tundrix {

SoundCues::SoundCues(Voice smallCapture, Voice cut, Voice periodWon)
    : smallCapture_(smallCapture), cut_(cut), periodWon_(periodWon) {}

bool SoundCues::tryPlay(Voice& voice) {
    if (busy_ > 0) return false;
    voice.sound.play();
    busy_ = voice.frames;
    return true;
}

void SoundCues::hear(const Moments& m) {
    if (busy_ > 0) --busy_;
    if (m.periodStarted != 0) wonIn_ = -1;
    // A big capture has the game's fanfare; a cut has the figure's bump or whistle besides this.
    if (m.capture && m.capture->cells <= BIG_CAPTURE_CELLS) tryPlay(smallCapture_);
    if (m.cut) tryPlay(cut_);
    if (m.won) wonIn_ = WON_FANFARE_DELAY;
    if (wonIn_ >= 0 && wonIn_-- == 0) {
        // Nothing of the layer's still sounds by now: its other sounds are shorter than the delay.
        busy_ = 0;
        tryPlay(periodWon_);
    }
}

} // namespace tundrix
