// Speed of the drawing primitive and of decoding a full-screen frame.
#include "graphics/image.h"
#include "graphics/image_set_writer.h"
#include "graphics/rle_decoder.h"

#include <benchmark/benchmark.h>

namespace tundrix {
namespace {

void paintBackground(Image& img) {
    // Something like the rink: large flat areas broken by lines and markings.
    for (int32_t y = 0; y < img.height(); ++y) {
        for (int32_t x = 0; x < img.width(); ++x) {
            uint8_t v = 55;
            if (y < 50)
                v = static_cast<uint8_t>(200 + (x / 20) % 8);
            else if (x % 93 == 0 || (y - 50) % 71 == 0)
                v = static_cast<uint8_t>(100 + (x + y) % 30);
            img.setPixel(x, y, v);
        }
    }
    img.scanTransparency();
}

void BM_BlitFullScreenOpaque(benchmark::State& state) {
    Image screen(440, 300), background(440, 300);
    paintBackground(background);
    for (auto _ : state) {
        screen.blit(background, 0, 0);
        benchmark::DoNotOptimize(screen.pixels());
    }
    state.SetBytesProcessed(state.iterations() * 440 * 300);
}
BENCHMARK(BM_BlitFullScreenOpaque);

void BM_BlitTransparentSprite32(benchmark::State& state) {
    Image screen(440, 300), sprite(32, 32);
    for (int32_t i = 0; i < sprite.pixelCount(); ++i) {
        int32_t x = i % 32, y = i / 32;
        int32_t dx = x - 16, dy = y - 16;
        sprite.setPixelAtIndex(i, dx * dx + dy * dy < 200 ? static_cast<uint8_t>(40 + x) : TRANSPARENT_INDEX);
    }
    sprite.scanTransparency();
    int32_t x = 0;
    for (auto _ : state) {
        screen.blit(sprite, 100 + (x & 63), 120);
        ++x;
        benchmark::DoNotOptimize(screen.pixels());
    }
}
BENCHMARK(BM_BlitTransparentSprite32);

void BM_DecodeFullScreenFrame(benchmark::State& state) {
    Image background(440, 300);
    paintBackground(background);
    std::vector<uint8_t> record = encodeFrame(background);
    std::span<const uint8_t> tokens(record.data() + 12, record.size() - 12);
    RleDecoder decoder;
    for (auto _ : state) {
        int32_t used = decoder.decode(tokens, 440 * 300);
        benchmark::DoNotOptimize(used);
    }
    state.SetBytesProcessed(state.iterations() * 440 * 300);
    state.counters["encoded_bytes"] = static_cast<double>(record.size());
}
BENCHMARK(BM_DecodeFullScreenFrame);

} // namespace
} // namespace tundrix
