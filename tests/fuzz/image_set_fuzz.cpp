// Fuzzes loading a whole image set and a single frame from arbitrary bytes.
#include "graphics/image.h"
#include "graphics/sprite_sheet.h"
#include "resources/memory_store.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tundrix;
    // A set announcing far more frames than its bytes could hold only adds default frames; that
    // path is covered by the tests, and skipping it here keeps the fuzzer fast.
    if (size >= 2 && static_cast<size_t>((data[0] << 8) | data[1]) > size / 13 + 2) return 0;
    MemoryResourceStore store;
    store.put(256, std::vector<uint8_t>(data, data + size));
    SpriteSheet sheet;
    sheet.load(store, 256);
    for (int32_t i = 0; i < sheet.count(); ++i) {
        const Image* f = sheet.frame(i);
        // The last pixel of every frame must lie inside its block.
        if (f->pixelCount() > 0) {
            volatile uint8_t last = f->pixels()[f->pixelCount() - 1];
            (void)last;
        }
    }
    Image single;
    single.loadImage(store, 256);
    return 0;
}
