// The cost of showing one 440 x 300 frame: the palette expansion alone, and the whole present into a
// streaming texture on SDL's software renderer (dummy video driver, no window system needed), with the
// menu bar laid out anew or kept from the last frame.
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_video.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <imgui.h>
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

// present() alone (0), with a whole frame laid out with a menu bar (1), and with the settled bar shown
// again under the new picture (2), as a loop pass does during play when no event comes.
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
    const auto frame = [&] {
        window->beginFrame();
        if (ImGui::BeginMainMenuBar()) {
            for (const char* title : {"Spel", "Tävling", "Koppla upp", "In English"})
                if (ImGui::BeginMenu(title)) ImGui::EndMenu();
            ImGui::EndMainMenuBar();
        }
        window->finishFrame();
    };
    const int64_t mode = state.range(0);
    while (mode == 2 && !window->layerSettled())
        frame();
    for (auto _ : state) {
        window->present(picture.data(), 440, 300);
        if (mode == 1) frame();
        if (mode == 2 && !window->showWithoutLayout()) state.SkipWithError("the bar did not settle");
    }
}
BENCHMARK(BM_PresentAndShow)->Arg(0)->Arg(1)->Arg(2)->ArgNames({"layer"});

} // namespace
