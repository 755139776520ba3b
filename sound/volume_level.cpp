// The volume level's steps, its attenuation and its settings-file text.
#include "sound/volume_level.h"

#include <algorithm>
#include <cmath>

namespace tundrix {

namespace {

constexpr std::string_view MUTE_WORD = "mute";

std::string_view trimmed(std::string_view s) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && space(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

int VolumeLevel::attenuation() const {
    return muted ? SILENT : std::clamp(step, 0, STEPS - 1) * STEP_ATTENUATION;
}

VolumeLevel VolumeLevel::withStep(int newStep) const {
    return {std::clamp(newStep, 0, STEPS - 1), muted};
}

VolumeLevel VolumeLevel::louder() const {
    return withStep(step - 1);
}

VolumeLevel VolumeLevel::quieter() const {
    return withStep(step + 1);
}

std::string VolumeLevel::stepLabel(int step) {
    const double share = std::pow(10.0, -std::clamp(step, 0, STEPS - 1) * STEP_ATTENUATION / 2000.0);
    return std::to_string(static_cast<int>(std::lround(share * 100))) + " %";
}

std::string formatVolume(VolumeLevel level) {
    const VolumeLevel clean = level.withStep(level.step);
    std::string text = std::to_string(clean.step);
    if (clean.muted) text.append(" ").append(MUTE_WORD);
    text.push_back('\n');
    return text;
}

VolumeLevel parseVolume(std::string_view text) {
    text = trimmed(text);
    if (text.empty() || text[0] < '0' || text[0] >= '0' + VolumeLevel::STEPS) return {};
    const int step = text[0] - '0';
    const std::string_view rest = text.substr(1);
    if (rest.empty()) return {step, false};
    if (rest.front() != ' ' && rest.front() != '\t') return {};
    if (trimmed(rest) == MUTE_WORD) return {step, true};
    return {};
}

} // namespace tundrix
