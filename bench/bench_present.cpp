// The cost of showing one 440 x 300 frame: the palette expansion alone, and the whole present into a
// streaming texture on SDL's software renderer (dummy video driver, no window system needed).
#include "platform/sdl_keys.h"
#include "platform/sdl_video.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <vector>

namespace {

using namespace tundrix;

std::vector<uint8_t> testPicture() {
    std::vector<uint8_t> p(440 * 300);
    for (size_t i = 0; i < p.size(); ++i)
        p[i] = static_cast<uint8_t>((i * 7 + i / 440) & 0xFF);
    return p;
}

void BM_ExpandPicture(benchmark::State& state) {
    const std::vector<uint8_t> picture = testPicture();
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i)
        table[i] = 0xFF000000u | i * 0x010101u;
    std::vector<uint32_t> out(440 * 300);
    for (auto _ : state) {
        expandPicture(picture.data(), 440, 300, table.data(), out.data(), 440 * 4);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ExpandPicture);

// present() plus one composed frame with the menu bar layer, as every loop pass does.
void BM_PresentAndShow(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SdlKeys keys;
    WindowOptions options;
    options.title = "bench";
    std::string whyNot;
    auto window = SdlVideo::open(options, keys, whyNot);
    if (!window) {
        state.SkipWithError(whyNot.c_str());
        return;
    }
    std::array<Rgb, 256> palette{};
    for (int i = 0; i < 256; ++i)
        palette[i] = Rgb{uint8_t(i), uint8_t(255 - i), 128};
    window->setPalette(palette);
    const std::vector<uint8_t> picture = testPicture();
    const bool withUi = state.range(0) != 0;
    for (auto _ : state) {
        window->present(picture.data(), 440, 300);
        if (withUi) {
            window->beginFrame();
            window->finishFrame();
        }
    }
}
BENCHMARK(BM_PresentAndShow)->Arg(0)->Arg(1)->ArgNames({"withLayer"});

} // namespace
