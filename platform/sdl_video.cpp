// SDL2 window, renderer and ImGui backends; the picture is expanded through the palette into a streaming
// ARGB texture, since no renderer takes 8-bit textures.
#include "platform/sdl_video.h"

#include "platform/sdl_keys.h"
#include "platform/sdl_window_icon.h"

#include <SDL.h>
#include <array>
#include <cmath>
#include <cstdio>
#include <imgui.h>
#include <imgui_impl_sdl.h>
#include <imgui_impl_sdlrenderer.h>

namespace tundrix {

void expandPicture(const uint8_t* indices, int width, int height, const uint32_t* argb, void* pixels,
                   int pitchBytes) {
    auto* row = static_cast<uint8_t*>(pixels);
    for (int y = 0; y < height; ++y, row += pitchBytes) {
        auto* out = reinterpret_cast<uint32_t*>(row);
        const uint8_t* in = indices + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = 0; x < width; ++x)
            out[x] = argb[in[x]];
    }
}

struct SdlVideo::Impl {
    SdlKeys& keys;
    WindowOptions options;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* picture = nullptr; // streaming, the last presented game picture
    int pictureW = 0, pictureH = 0;
    SDL_Texture* canvas = nullptr; // render target at 1:1 size, scaled up when zoomed
    std::array<uint32_t, 256> argb{};
    int menuBar = 21;
    int zoom = 1;
    bool imguiReady = false;
    bool sdlReady = false;

    explicit Impl(SdlKeys& k) : keys(k) {}

    int logicalW() const { return options.pictureWidth; }
    int logicalH() const { return options.pictureHeight + menuBar; }

    ~Impl() {
        if (imguiReady) {
            ImGui_ImplSDLRenderer_Shutdown();
            ImGui_ImplSDL2_Shutdown();
            ImGui::DestroyContext();
        }
        if (canvas) SDL_DestroyTexture(canvas);
        if (picture) SDL_DestroyTexture(picture);
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        if (sdlReady) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // What one event means for the loop; counts is false for events that carry no news.
    WindowEvent feed(const SDL_Event& e, bool& counts) {
        counts = true;
        if (imguiReady) ImGui_ImplSDL2_ProcessEvent(&e);
        switch (e.type) {
        case SDL_QUIT:
            return WindowEvent::CloseRequested;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) return WindowEvent::CloseRequested;
            break;
        case SDL_MOUSEMOTION:
            counts = false;
            break;
        case SDL_KEYDOWN:
            if (e.key.repeat) {
                counts = false;
                break;
            }
            // Alt-F4 closes the game even where no window manager turns it into a close request.
            if (e.key.keysym.scancode == SDL_SCANCODE_F4 && (e.key.keysym.mod & KMOD_ALT))
                return WindowEvent::CloseRequested;
            keys.noteKeyDown(e.key.keysym.scancode);
            break;
        default:
            break;
        }
        return WindowEvent::Handled;
    }

    void applyZoom() {
        SDL_SetWindowSize(window, logicalW() * zoom, logicalH() * zoom);
        if (zoom > 1 && !canvas && SDL_RenderTargetSupported(renderer)) {
            canvas = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                       logicalW(), logicalH());
            if (canvas) SDL_SetTextureScaleMode(canvas, SDL_ScaleModeNearest);
        }
    }
};

SdlVideo::SdlVideo(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
SdlVideo::~SdlVideo() = default;

std::unique_ptr<SdlVideo> SdlVideo::open(const WindowOptions& options, SdlKeys& keys, std::string& whyNot) {
    auto impl = std::make_unique<Impl>(keys);
    impl->options = options;
    impl->zoom = options.zoom >= 1 && options.zoom <= 3 ? options.zoom : 1;

    // Without a display SDL would quietly fall back to drawing off screen, and a failed Wayland probe
    // prints its own complaint: decide here, and say it in one line. SDL_VIDEODRIVER set by hand (tests
    // use the dummy driver) is taken as it is.
    const char* chosen = SDL_getenv("SDL_VIDEODRIVER");
    const bool byHand = chosen && *chosen;
    const char* display = SDL_getenv("DISPLAY");
    const char* wayland = SDL_getenv("WAYLAND_DISPLAY");
    const bool hasX = display && *display, hasWayland = wayland && *wayland;
    if (!byHand) {
        if (!hasX && !hasWayland) {
            whyNot = "no display to open the game window on (neither DISPLAY nor WAYLAND_DISPLAY is set)";
            return nullptr;
        }
        if (!hasWayland) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        whyNot = std::string("cannot open the game window on display ") +
                 (hasX      ? display
                  : wayland ? wayland
                            : "") +
                 ": " + SDL_GetError();
        return nullptr;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!byHand && driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        whyNot = "no display to open the game window on";
        return nullptr;
    }
    impl->sdlReady = true;

    // The menu bar's height follows from the font: one line of text plus the frame padding above and below.
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    ImGui::StyleColorsLight();
    ImGuiStyle& style = ImGui::GetStyle();
    style.FramePadding = ImVec2(6.0f, 3.0f);
    style.DisplaySafeAreaPadding = ImVec2(0.0f, 0.0f);
    style.WindowRounding = 0.0f;
    style.PopupRounding = 0.0f;
    style.FrameBorderSize = 1.0f;
    float fontPx = 13.0f;
    ImFont* font = nullptr;
    if (!options.fontFile.empty()) {
        if (FILE* f = std::fopen(options.fontFile.c_str(), "rb")) {
            std::fclose(f);
            font = io.Fonts->AddFontFromFileTTF(options.fontFile.c_str(), options.fontPixels, nullptr,
                                                io.Fonts->GetGlyphRangesDefault());
        }
    }
    if (font) {
        fontPx = options.fontPixels;
    } else {
        io.Fonts->AddFontDefault();
    }
    impl->menuBar = static_cast<int>(std::ceil(fontPx + 2.0f * style.FramePadding.y));

    impl->window = SDL_CreateWindow(options.title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                    impl->logicalW() * impl->zoom, impl->logicalH() * impl->zoom, 0);
    if (!impl->window) {
        whyNot = std::string("cannot open the game window: ") + SDL_GetError();
        ImGui::DestroyContext();
        return nullptr;
    }
    showGameIcon(impl->window);
    impl->renderer = SDL_CreateRenderer(impl->window, -1, 0);
    if (!impl->renderer) {
        whyNot = std::string("cannot draw into the game window: ") + SDL_GetError();
        ImGui::DestroyContext();
        return nullptr;
    }
    ImGui_ImplSDL2_InitForSDLRenderer(impl->window);
    ImGui_ImplSDLRenderer_Init(impl->renderer);
    impl->imguiReady = true;
    if (impl->zoom > 1) impl->applyZoom();
    // The game reads its keys directly; typed text is only wanted inside the register dialog.
    SDL_StopTextInput();
    return std::unique_ptr<SdlVideo>(new SdlVideo(std::move(impl)));
}

void SdlVideo::setPalette(std::span<const Rgb, 256> colours) {
    for (size_t i = 0; i < 256; ++i) {
        const Rgb& c = colours[i];
        impl_->argb[i] = 0xFF000000u | (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | uint32_t(c.b);
    }
}

void SdlVideo::present(const uint8_t* pixels, int width, int height) {
    if (!pixels || width <= 0 || height <= 0) return;
    Impl& m = *impl_;
    if (!m.picture || m.pictureW != width || m.pictureH != height) {
        if (m.picture) SDL_DestroyTexture(m.picture);
        m.picture = SDL_CreateTexture(m.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                      width, height);
        if (!m.picture) return;
        SDL_SetTextureScaleMode(m.picture, SDL_ScaleModeNearest);
        m.pictureW = width;
        m.pictureH = height;
    }
    void* out = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(m.picture, nullptr, &out, &pitch) != 0) return;
    expandPicture(pixels, width, height, m.argb.data(), out, pitch);
    SDL_UnlockTexture(m.picture);
}

WindowEvent SdlVideo::handleOneEvent() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        bool counts = true;
        WindowEvent what = impl_->feed(e, counts);
        if (counts) return what;
    }
    return WindowEvent::None;
}

WindowEvent SdlVideo::waitAndHandleEvent(uint32_t timeoutMs) {
    SDL_Event e;
    if (!SDL_WaitEventTimeout(&e, static_cast<int>(timeoutMs))) return WindowEvent::None;
    bool counts = true;
    return impl_->feed(e, counts);
}

void SdlVideo::beginFrame() {
    Impl& m = *impl_;
    ImGui_ImplSDLRenderer_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGuiIO& io = ImGui::GetIO();
    // ImGui lays out at 1:1; the zoom scales the finished frame.
    io.DisplaySize = ImVec2(static_cast<float>(m.logicalW()), static_cast<float>(m.logicalH()));
    io.DisplayFramebufferScale = ImVec2(1.0f, 1.0f);
    // The backend asks X for the global pointer, which synthetic pointer motion never moves; the window's
    // own mouse state follows every motion event.
    int mx = 0, my = 0;
    SDL_GetMouseState(&mx, &my);
    if (SDL_GetMouseFocus() == m.window)
        io.MousePos = ImVec2(static_cast<float>(mx / m.zoom), static_cast<float>(my / m.zoom));
    else
        io.MousePos = ImVec2(-FLT_MAX, -FLT_MAX);
    ImGui::NewFrame();
}

void SdlVideo::finishFrame() {
    Impl& m = *impl_;
    ImGui::Render();
    SDL_Texture* target = m.zoom > 1 ? m.canvas : nullptr;
    SDL_SetRenderTarget(m.renderer, target);
    SDL_RenderSetScale(m.renderer, 1.0f, 1.0f);
    SDL_SetRenderDrawColor(m.renderer, 0, 0, 0, 255);
    SDL_RenderClear(m.renderer);
    // Without a render target (it could not be made) the renderer scales the 1:1 drawing itself.
    if (m.zoom > 1 && !target) SDL_RenderSetScale(m.renderer, float(m.zoom), float(m.zoom));
    if (m.picture) {
        SDL_Rect where{0, m.menuBar, m.pictureW, m.pictureH};
        SDL_RenderCopy(m.renderer, m.picture, nullptr, &where);
    }
    ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
    if (target) {
        SDL_SetRenderTarget(m.renderer, nullptr);
        SDL_RenderCopy(m.renderer, target, nullptr, nullptr);
    }
    SDL_RenderPresent(m.renderer);
}

void SdlVideo::setTextInput(bool on) {
    if (on)
        SDL_StartTextInput();
    else
        SDL_StopTextInput();
}

void SdlVideo::forgetTappedKeys() {
    impl_->keys.clearTaps();
}

int SdlVideo::menuBarHeight() const {
    return impl_->menuBar;
}
int SdlVideo::zoom() const {
    return impl_->zoom;
}

void SdlVideo::setZoom(int zoom) {
    if (zoom < 1 || zoom > 3 || zoom == impl_->zoom) return;
    impl_->zoom = zoom;
    impl_->applyZoom();
}

void SdlVideo::openUrl(const std::string& url) {
    SDL_OpenURL(url.c_str());
}

void SdlVideo::windowSize(int& width, int& height) const {
    SDL_GetWindowSize(impl_->window, &width, &height);
}

} // namespace tundrix
