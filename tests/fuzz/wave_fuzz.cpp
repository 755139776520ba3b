// Fuzzes the WAVE reader that loads the sound effects.
#include "sound/wave_reader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tundrix::WaveData wave;
    if (tundrix::readWave({data, size}, wave) && !wave.samples.empty()) {
        // Touch both ends of what was found: it must lie inside the input.
        volatile uint8_t first = wave.samples.front();
        volatile uint8_t last = wave.samples.back();
        (void)first;
        (void)last;
    }
    return 0;
}
