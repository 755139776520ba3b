// The window's own faults, on SDL's dummy video driver: events without news never hold back a key or a
// quit, the shell keys are latched, a settled menu bar is shown again as it was drawn, the picture is
// scaled by whole factors only, and software OpenGL is told apart.
#include "dummy_window.h"
#include "platform/sdl/sdl_renderer_choice.h"

#include <array>
#include <imgui.h>
#include <tuple>
#include <vector>

namespace tundrix {
namespace {

using test::DummyWindow;

TEST_F(DummyWindow, EventsWithoutNewsNeverHoldBackAKeyOrAQuit) {
    settle();
    // What a held F1 used to leave behind: hundreds of device and window events ahead of the release.
    for (int i = 0; i < 300; ++i) {
        push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_EXPOSED);
        push(SDL_AUDIODEVICEADDED);
        push(SDL_MOUSEMOTION);
    }
    key(SDL_KEYUP, SDL_SCANCODE_F1);
    EXPECT_EQ(window->handleEvents(0), WindowEvent::Handled);
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT), 0)
        << "the release was handled in the same pass as everything before it";
    for (int i = 0; i < 300; ++i)
        push(SDL_MOUSEMOTION);
    push(SDL_QUIT);
    EXPECT_EQ(window->handleEvents(0), WindowEvent::CloseRequested);
}

TEST_F(DummyWindow, ShellKeysAreLatchedAndAltAloneOpensTheMenu) {
    // Taps shorter than a frame: down and up before the frame begins.
    for (SDL_Scancode code :
         {SDL_SCANCODE_P, SDL_SCANCODE_F10, SDL_SCANCODE_F11, SDL_SCANCODE_RETURN, SDL_SCANCODE_LALT})
        tap(code);
    // Alt with another key is no menu key.
    key(SDL_KEYDOWN, SDL_SCANCODE_LALT);
    tap(SDL_SCANCODE_X);
    key(SDL_KEYUP, SDL_SCANCODE_LALT);
    settle();
    window->beginFrame();
    window->finishFrame();
    EXPECT_EQ(window->keysPressed(),
              (std::vector<ShellKey>{ShellKey::Pause, ShellKey::OpenMenu, ShellKey::FullScreen,
                                     ShellKey::Enter, ShellKey::OpenMenu}));
    window->beginFrame();
    window->finishFrame();
    EXPECT_TRUE(window->keysPressed().empty()) << "each press counts in one frame";
}

TEST_F(DummyWindow, ASettledMenuBarIsShownAgainAsDrawnUntilTheNextEvent) {
    settle();
    std::array<Rgb, 256> colours{};
    for (int i = 0; i < 256; ++i)
        colours[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7)};
    window->setPalette(colours);
    std::vector<uint8_t> a(440 * 300), b(440 * 300);
    for (size_t i = 0; i < a.size(); ++i) {
        a[i] = static_cast<uint8_t>(i % 251);
        b[i] = static_cast<uint8_t>(i % 239 + 3);
    }
    bool dialog = false;
    const auto frame = [&] {
        window->beginFrame();
        if (ImGui::BeginMainMenuBar()) {
            ImGui::TextUnformatted("Spel  Tävling  In English");
            ImGui::EndMainMenuBar();
        }
        if (dialog) {
            ImGui::SetNextWindowPos(ImVec2(100, 100));
            ImGui::Begin("over the picture");
            ImGui::TextUnformatted("OK");
            ImGui::End();
        }
        window->finishFrame();
    };

    EXPECT_FALSE(window->showWithoutLayout()) << "nothing has been drawn yet";
    window->present(a.data(), 440, 300);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(window->layerSettled()) << "frame " << i;
        frame();
    }
    EXPECT_TRUE(window->layerSettled());
    const std::vector<uint32_t> withA = shown();
    EXPECT_TRUE(window->showWithoutLayout()) << "nothing new, nothing to draw";
    EXPECT_EQ(shown(), withA);

    window->present(b.data(), 440, 300);
    EXPECT_TRUE(window->showWithoutLayout()) << "a new picture under the kept bar";
    const std::vector<uint32_t> kept = shown();
    EXPECT_NE(kept, withA);
    frame();
    EXPECT_EQ(shown(), kept) << "the kept bar over the new picture looks as a whole frame does";

    push(SDL_MOUSEMOTION);
    window->handleEvents(0);
    EXPECT_FALSE(window->layerSettled()) << "an event has the layer laid out again";
    EXPECT_FALSE(window->showWithoutLayout());

    // A layer reaching over the picture is never kept: a new picture needs a whole frame.
    dialog = true;
    for (int i = 0; i < 3; ++i)
        frame();
    ASSERT_TRUE(window->layerSettled());
    EXPECT_TRUE(window->showWithoutLayout()) << "the picture has not changed";
    window->present(a.data(), 440, 300);
    EXPECT_FALSE(window->showWithoutLayout());

    for (int i = 0; i < 3; ++i)
        frame();
    ASSERT_TRUE(window->layerSettled());
    window->wake();
    EXPECT_FALSE(window->layerSettled()) << "a change without an event has the layer laid out again";
}

TEST_F(DummyWindow, AClickCountsWhereAndWhileItHappenedThoughThePointerHasMovedOnSince) {
    settle();
    // SDL has already read the whole click and the move after it: its own state is the pointer's last.
    SDL_WarpMouseInWindow(sdlWindow, 400, 250);
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_ENTER);
    const auto mouse = [](Uint32 type, int x, int y) {
        SDL_Event e{};
        e.type = type;
        if (type == SDL_MOUSEMOTION) {
            e.motion.x = x, e.motion.y = y;
        } else {
            e.button.button = SDL_BUTTON_LEFT, e.button.x = x, e.button.y = y;
            e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        }
        SDL_PushEvent(&e);
    };
    mouse(SDL_MOUSEMOTION, 30, 40);
    mouse(SDL_MOUSEBUTTONDOWN, 30, 40);
    mouse(SDL_MOUSEBUTTONUP, 30, 40);
    mouse(SDL_MOUSEMOTION, 400, 250);
    // Frame by frame: pressed where it was clicked, let go there, then the move.
    for (const auto& [x, y, down] :
         {std::tuple{30.f, 40.f, true}, {30.f, 40.f, false}, {400.f, 250.f, false}}) {
        window->handleEvents(0);
        window->beginFrame();
        const ImGuiIO& io = ImGui::GetIO();
        EXPECT_EQ((std::tuple{io.MousePos.x, io.MousePos.y, io.MouseDown[0]}), (std::tuple{x, y, down}));
        window->finishFrame();
    }
}

TEST(RendererChoice, MesasProcessorDrawnOpenGlIsToldFromAGraphicsProcessor) {
    for (const char* software :
         {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Software Rasterizer", "Mesa X11 swrast"})
        EXPECT_TRUE(isSoftwareOpenGl(software)) << software;
    for (const char* hardware : {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)",
                                 "AMD Radeon RX 6600 (navi23, LLVM "
                                 "15.0.6, DRM 3.49, 6.1.0-13-amd64)",
                                 "NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2", ""})
        EXPECT_FALSE(isSoftwareOpenGl(hardware)) << hardware;
}

TEST(WholeFactor, TheLargestWholeScaleThatFitsAndNeverBelowOne) {
    // Room, then the factor: 3x is 1320 wide; too small a room still shows the picture 1:1.
    const std::tuple<int, int, int> rooms[] = {{440, 321, 1},  {1280, 1024, 2}, {1920, 1080, 3},
                                               {1000, 700, 2}, {640, 480, 1},   {300, 200, 1}};
    for (const auto& [w, h, factor] : rooms)
        EXPECT_EQ(wholeFactor(440, 321, w, h), factor) << w << "x" << h;
    EXPECT_EQ(wholeFactor(0, 0, 640, 480), 1);
}

} // namespace
} // namespace tundrix
