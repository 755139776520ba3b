// Fuzzes the bitmap reader that carries the palette.
#include "graphics/bmp_reader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tundrix::BmpInfo info;
    if (tundrix::readBmp({data, size}, info) && !info.indices.empty()) {
        volatile uint8_t last = info.indices.back();
        (void)last;
    }
    return 0;
}
