// The player's sound volume: full or a few steps quieter, and mute; with its text form for the settings.
#pragma once
#include <string>
#include <string_view>

namespace tundrix {

// Applied on top of every sound's own level through AudioOut::setOutputVolume. The default is full
// volume, not muted.
struct VolumeLevel {
    static constexpr int STEPS = 4;              // step 0 is full volume, STEPS - 1 the quietest
    static constexpr int STEP_ATTENUATION = 600; // hundredths of a decibel per step: half the amplitude
    static constexpr int SILENT = 10000;         // an attenuation of 100 dB: nothing comes out

    int step = 0;
    bool muted = false;

    // Hundredths of a decibel of attenuation for the output: SILENT when muted.
    int attenuation() const;
    // One step louder or quieter, kept within the steps; changing the step leaves mute alone.
    VolumeLevel louder() const;
    VolumeLevel quieter() const;
    VolumeLevel withStep(int newStep) const;
    // What the menus' volume item does: one step quieter, and from the quietest back to full volume.
    VolumeLevel cycledQuieter() const { return step + 1 < STEPS ? quieter() : withStep(0); }
    VolumeLevel toggledMute() const { return {step, !muted}; }
    // The level of a step as a share of full volume: "100 %", "50 %", "25 %", "13 %".
    static std::string stepLabel(int step);

    bool operator==(const VolumeLevel&) const = default;
};

// The settings file's text: the step, then " mute" when muted, and a newline ("0\n", "2 mute\n").
std::string formatVolume(VolumeLevel level);
// Reads that text back; surrounding white space is allowed. Anything else gives full volume, unmuted.
VolumeLevel parseVolume(std::string_view text);

} // namespace tundrix
