// Fuzzes loading a whole image set and a single frame from arbitrary bytes.
#include "graphics/image.h"
#include "graphics/sprite_sheet.h"
#include "resources/memory_store.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tundrix;
    MemoryResourceStore store;
    store.put(256, std::vector<uint8_t>(data, data + size));
    SpriteSheet sheet;
    sheet.load(store, 256);
    for (int32_t i = 0; i < sheet.count(); ++i) {
        const Image* f = sheet.frame(i);
        // Touch every decoded pixel so a short block would show.
        volatile uint8_t sum = 0;
        for (int32_t p = 0; p < f->pixelCount(); ++p) sum = sum + f->pixels()[p];
    }
    Image single;
    single.loadImage(store, 256);
    return 0;
}
