// The game's own RIFF/WAVE reader: finds the sample format and the samples in a WAVE file image.
#pragma once
#include "platform/audio.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tundrix {

struct WaveData {
    PcmFormat format;
    // Points into the bytes given to readWave.
    std::span<const uint8_t> samples;
};

// Walks the RIFF chunks for the first "fmt " and the first "data" chunk, in either order. False when
// the header is wrong, the "fmt " chunk is shorter than 14 bytes, or either chunk is missing. A chunk
// whose length runs past the bytes present is cut to what is there; nothing past bytes is ever read.
bool readWave(std::span<const uint8_t> bytes, WaveData& out);

// A plain PCM WAVE file image ("fmt " then "data", padded to even length): the asset generator's and
// the tests' way of making sounds.
std::vector<uint8_t> writeWave(const PcmFormat& format, std::span<const uint8_t> samples);

} // namespace tundrix
