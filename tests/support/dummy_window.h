// The real game window on SDL's dummy video driver, for the tests of the window, the gamepads and the shell's
// views: the fonts built in, and helpers that queue events and let the window take them.
#pragma once
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_video.h"
#include "resources/embedded_fonts.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace tundrix::test {

struct DummyWindow : ::testing::Test {
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        WindowOptions options;
        options.title = "test";
        options.textFont = menuFontData();
        options.signFont = signFontData();
        std::string whyNot;
        window = SdlVideo::open(options, keys, whyNot);
        ASSERT_TRUE(window) << whyNot;
        for (Uint32 id = 1; id < 1000 && sdlWindow == nullptr; ++id)
            sdlWindow = SDL_GetWindowFromID(id);
        ASSERT_NE(sdlWindow, nullptr);
    }
    void TearDown() override { window.reset(); }

    // Lets the window handle every event waiting.
    void settle() {
        SDL_PumpEvents();
        while (window->handleEvents(0) != WindowEvent::None) {
        }
    }
    static void push(Uint32 type, Uint8 windowEvent = 0) {
        SDL_Event e{};
        e.type = type;
        e.window.event = windowEvent;
        SDL_PushEvent(&e);
    }
    // A key going down or up with the modifiers it comes with; SDL's own modifier state stays as it is, as
    // on a busy machine where SDL has already read the keys that follow.
    static void key(Uint32 type, SDL_Scancode code, Uint16 mod = KMOD_NONE) {
        SDL_Event e{};
        e.type = type;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.scancode = code;
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
    }
    // What the window shows now, as ARGB pixels row by row.
    std::vector<uint32_t> shown() const {
        int w = 0, h = 0;
        SDL_GetRendererOutputSize(SDL_GetRenderer(sdlWindow), &w, &h);
        std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
        SDL_RenderReadPixels(SDL_GetRenderer(sdlWindow), nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(),
                             w * 4);
        return pixels;
    }
    // Down and up again before the next frame.
    static void tap(SDL_Scancode code) { key(SDL_KEYDOWN, code), key(SDL_KEYUP, code); }

    SdlKeys keys;
    std::unique_ptr<SdlVideo> window;
    SDL_Window* sdlWindow = nullptr;
};

} // namespace tundrix::test
