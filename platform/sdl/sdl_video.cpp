// SDL2 window, renderer and ImGui backends; the picture is expanded through the palette into a streaming
// ARGB texture, since no renderer takes 8-bit textures, and the finished frame is scaled by a whole factor.
#include "platform/sdl/sdl_video.h"

#include "platform/sdl/imgui_fonts.h"
#include "platform/sdl/sdl_gamepad.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_renderer_choice.h"
#include "platform/sdl/sdl_window_icon.h"

#include <SDL.h>
#include <algorithm>
#include <array>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <imgui.h>
#include <imgui_impl_sdl.h>
#include <imgui_impl_sdlrenderer.h>
#include <optional>
#include <utility>

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

namespace {
// Frames the ImGui layer is laid out again after the last event, so that hover and focus settle.
constexpr int SETTLE_FRAMES = 3;
// The longest dropped path kept, in bytes: the longest path Linux itself opens.
constexpr size_t MAX_DROPPED_PATH = 4096;

// Does every vertex of the ImGui layer lie within the top `height` rows (the menu bar alone)?
bool withinTop(const ImDrawData* ui, int height) {
    if (ui == nullptr) return false;
    for (int n = 0; n < ui->CmdListsCount; ++n)
        for (const ImDrawVert& v : ui->CmdLists[n]->VtxBuffer)
            if (v.pos.y > static_cast<float>(height)) return false;
    return true;
}

// The wall clock in nanoseconds, for the start-up trace that TUNDRIX_TIMING asks for.
long long wallNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::optional<ShellKey> shellKeyOf(SDL_Scancode code) {
    switch (code) {
    case SDL_SCANCODE_F10:
        return ShellKey::OpenMenu;
    case SDL_SCANCODE_LEFT:
        return ShellKey::Left;
    case SDL_SCANCODE_RIGHT:
        return ShellKey::Right;
    case SDL_SCANCODE_UP:
        return ShellKey::Up;
    case SDL_SCANCODE_DOWN:
        return ShellKey::Down;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
        return ShellKey::Enter;
    case SDL_SCANCODE_ESCAPE:
        return ShellKey::Escape;
    case SDL_SCANCODE_P:
    case SDL_SCANCODE_PAUSE:
        return ShellKey::Pause;
    case SDL_SCANCODE_F11:
        return ShellKey::FullScreen;
    case SDL_SCANCODE_M:
        return ShellKey::Mute;
    default:
        return std::nullopt;
    }
}
} // namespace

struct SdlVideo::Impl {
    SdlKeys& keys;
    SdlGamepads* pads = nullptr;
    WindowOptions options;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* picture = nullptr; // streaming, the last presented game picture
    int pictureW = 0, pictureH = 0;
    SDL_Texture* canvas = nullptr; // render target at 1:1 size, scaled up by a whole factor
    SDL_Texture* bar = nullptr;    // the menu bar as last laid out, while it is all the ImGui layer shows
    std::array<uint32_t, 256> argb{};
    Uint32 pixelFormat = SDL_PIXELFORMAT_ARGB8888; // of the textures: the window's own where it can be
    int menuBar = 21;
    ImFont* sign = nullptr;
    int zoom = 1;
    bool fullScreen = false;
    // The windowed position to go back to after full screen.
    int windowedX = 0, windowedY = 0;
    bool windowedKnown = false;
    bool imguiReady = false;
    bool sdlReady = false;
    bool altAlone = false; // Alt went down and nothing else has happened since
    // The pointer as the events handled so far leave it. SDL's own mouse state already holds every event
    // pumped, so a click followed at once by a move would otherwise land where the pointer went next.
    std::optional<SDL_Point> pointer;
    std::optional<bool> pointerInside;            // by the last enter or leave event
    uint32_t buttonsHeld = 0, buttonsPressed = 0; // SDL_BUTTON masks; a press lasts at least one frame
    std::vector<ShellKey> pending, pressed;
    std::string dropped; // the last file dropped onto the window, not yet taken
    // Where the 1:1 frame lands in the window: whole factor and offset, in a window outW x outH.
    int scale = 1, offsetX = 0, offsetY = 0, outW = 0, outH = 0;
    // Frames to lay out before the layer counts as settled; set by every event.
    int settle = SETTLE_FRAMES;
    bool layerShown = false; // a whole frame has been shown since the window opened
    bool layerIsBar = false; // ... and its ImGui layer was the menu bar alone, kept in `bar`
    bool pictureNew = false; // the game presented a picture not yet shown
    bool timing = false;     // TUNDRIX_TIMING: say when the first picture was shown
    std::string rendererName;

    explicit Impl(SdlKeys& k) : keys(k) {}

    int logicalW() const { return options.pictureWidth; }
    int logicalH() const { return options.pictureHeight + menuBar; }

    ~Impl() {
        if (imguiReady) {
            ImGui_ImplSDLRenderer_Shutdown();
            ImGui_ImplSDL2_Shutdown();
        }
        if (ImGui::GetCurrentContext()) ImGui::DestroyContext();
        if (bar) SDL_DestroyTexture(bar);
        if (canvas) SDL_DestroyTexture(canvas);
        if (picture) SDL_DestroyTexture(picture);
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        if (sdlReady) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // What one event means for the loop; news is false for events that carry nothing for the player.
    WindowEvent feed(const SDL_Event& e, bool& news) {
        news = false;
        // Anything that reaches the window may change what the ImGui layer shows, but for what only the game
        // takes while no field takes typing: a held key's repeats, and the keys that work nothing but the
        // game (Space, F1). A raid would otherwise have the menu bar laid out again on most frames of play.
        const bool key = e.type == SDL_KEYDOWN || e.type == SDL_KEYUP;
        const SDL_Scancode scancode = key ? e.key.keysym.scancode : SDL_SCANCODE_UNKNOWN;
        const bool layerKey =
            shellKeyOf(scancode) || scancode == SDL_SCANCODE_LALT || scancode == SDL_SCANCODE_RALT;
        const bool gameOnly =
            key && !SDL_IsTextInputActive() && ((e.type == SDL_KEYDOWN && e.key.repeat) || !layerKey);
        if (!gameOnly) settle = SETTLE_FRAMES;
        // Nor are they handed to ImGui, whose queue of input would otherwise grow while the layer rests and
        // hold up the typing of a later dialog behind them.
        if (imguiReady && !gameOnly) {
            ImGui_ImplSDL2_ProcessEvent(&e);
            // The backend takes the modifiers SDL holds now, and on a busy machine SDL may already have read
            // the keys still waiting in the queue: Ctrl let go before its V is handled here would turn a
            // paste into nothing. The modifiers this key came with are the ones that count.
            if (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) {
                ImGuiIO& io = ImGui::GetIO();
                io.KeyShift = (e.key.keysym.mod & KMOD_SHIFT) != 0;
                io.KeyCtrl = (e.key.keysym.mod & KMOD_CTRL) != 0;
                io.KeyAlt = (e.key.keysym.mod & KMOD_ALT) != 0;
                io.KeySuper = (e.key.keysym.mod & KMOD_GUI) != 0;
            }
        }
        switch (e.type) {
        case SDL_QUIT:
            news = true;
            return WindowEvent::CloseRequested;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                news = true;
                return WindowEvent::CloseRequested;
            }
            if (e.window.event == SDL_WINDOWEVENT_ENTER || e.window.event == SDL_WINDOWEVENT_LEAVE)
                pointerInside = e.window.event == SDL_WINDOWEVENT_ENTER;
            break;
        case SDL_KEYDOWN: {
            if (e.key.repeat) break;
            news = true;
            const SDL_Scancode code = e.key.keysym.scancode;
            // Alt-F4 closes the game even where no window manager turns it into a close request.
            if (code == SDL_SCANCODE_F4 && (e.key.keysym.mod & KMOD_ALT)) return WindowEvent::CloseRequested;
            altAlone = code == SDL_SCANCODE_LALT || code == SDL_SCANCODE_RALT;
            // M typed into a dialog's field is a letter, not mute.
            if (auto key = shellKeyOf(code); key && !(*key == ShellKey::Mute && SDL_IsTextInputActive()))
                pending.push_back(*key);
            keys.noteKeyDown(code);
            break;
        }
        case SDL_KEYUP: {
            news = true;
            const SDL_Scancode code = e.key.keysym.scancode;
            if ((code == SDL_SCANCODE_LALT || code == SDL_SCANCODE_RALT) && altAlone)
                pending.push_back(ShellKey::OpenMenu);
            altAlone = false;
            break;
        }
        case SDL_MOUSEMOTION:
            pointer = SDL_Point{e.motion.x, e.motion.y};
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            pointer = SDL_Point{e.button.x, e.button.y};
            if (e.type == SDL_MOUSEBUTTONDOWN) {
                buttonsHeld |= SDL_BUTTON(e.button.button);
                buttonsPressed |= SDL_BUTTON(e.button.button);
            } else {
                buttonsHeld &= ~SDL_BUTTON(e.button.button);
            }
            altAlone = false;
            news = true;
            break;
        case SDL_MOUSEWHEEL:
        case SDL_TEXTINPUT:
            altAlone = false;
            news = true;
            break;
        case SDL_DROPFILE:
        case SDL_DROPTEXT:
            // A file's path is kept (a long one is no file the game opens); the text SDL hands over is ours
            // to free.
            if (e.drop.file != nullptr) {
                if (e.type == SDL_DROPFILE && SDL_strlen(e.drop.file) <= MAX_DROPPED_PATH) {
                    dropped = e.drop.file;
                    news = true;
                }
                SDL_free(e.drop.file);
            }
            break;
        case SDL_CONTROLLERBUTTONDOWN:
            // Start works the menus and the dialogs' default button as Enter does.
            if (e.cbutton.button == SDL_CONTROLLER_BUTTON_START) pending.push_back(ShellKey::Enter);
            break;
        default:
            break;
        }
        // Pads plugged in or out, buttons and stick flicks; stick motion that presses nothing is no news.
        if (pads != nullptr && pads->handleEvent(e)) news = true;
        return WindowEvent::Handled;
    }

    // The usable screen area around the window, less its frame.
    bool room(int& w, int& h) const {
        SDL_Rect usable;
        const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
        if (SDL_GetDisplayUsableBounds(display, &usable) != 0) return false;
        int top = 0, left = 0, bottom = 0, right = 0;
        if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) != 0)
            top = left = bottom = right = 0;
        w = usable.w - left - right;
        h = usable.h - top - bottom;
        return true;
    }

    int fittingZoom() const {
        int w = 0, h = 0;
        if (!window || !room(w, h)) return ZOOM_MAX;
        return std::min(ZOOM_MAX, wholeFactor(logicalW(), logicalH(), w, h));
    }

    void applyZoom() {
        if (fullScreen) return;
        SDL_SetWindowSize(window, logicalW() * zoom, logicalH() * zoom);
        // Keep the whole window on screen: a larger window may now reach past the right or bottom edge.
        SDL_Rect usable;
        if (SDL_GetDisplayUsableBounds(std::max(0, SDL_GetWindowDisplayIndex(window)), &usable) != 0) return;
        int x = 0, y = 0, top = 0, left = 0, bottom = 0, right = 0;
        SDL_GetWindowPosition(window, &x, &y);
        if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) != 0)
            top = left = bottom = right = 0;
        const int w = logicalW() * zoom, h = logicalH() * zoom;
        const int nx = std::max(usable.x + left, std::min(x, usable.x + usable.w - right - w));
        const int ny = std::max(usable.y + top, std::min(y, usable.y + usable.h - bottom - h));
        if (nx != x || ny != y) SDL_SetWindowPosition(window, nx, ny);
    }

    // Whatever size the window manager gave the window: a whole factor, centred, black around it.
    void place() {
        if (SDL_GetRendererOutputSize(renderer, &outW, &outH) != 0) {
            outW = logicalW();
            outH = logicalH();
        }
        scale = wholeFactor(logicalW(), logicalH(), outW, outH);
        offsetX = (outW - logicalW() * scale) / 2;
        offsetY = (outH - logicalH() * scale) / 2;
    }
    SDL_Rect placed() const { return {offsetX, offsetY, logicalW() * scale, logicalH() * scale}; }
    // At 1x in a window of exactly the frame's size the frame is drawn straight into the window.
    bool direct() const {
        return canvas == nullptr || (scale == 1 && outW == logicalW() && outH == logicalH());
    }

    // Black where the window shows no frame: the borders around a centred frame.
    void clearBorders() {
        const SDL_Rect f = placed();
        const SDL_Rect borders[] = {{0, 0, outW, f.y},
                                    {0, f.y + f.h, outW, outH - f.y - f.h},
                                    {0, f.y, f.x, f.h},
                                    {f.x + f.w, f.y, outW - f.x - f.w, f.h}};
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        for (const SDL_Rect& r : borders)
            if (r.w > 0 && r.h > 0) SDL_RenderFillRect(renderer, &r);
    }

    // Draws the frame (the picture under the menu bar strip, then the ImGui layer, or the kept bar when ui
    // is null) and shows it.
    void show(ImDrawData* ui) {
        const bool straight = direct();
        SDL_SetRenderTarget(renderer, straight ? nullptr : canvas);
        SDL_RenderSetViewport(renderer, nullptr);
        SDL_RenderSetScale(renderer, 1.0f, 1.0f);
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        if (straight && canvas == nullptr) {
            // Without a render target (it could not be made) the renderer scales the 1:1 drawing itself.
            SDL_RenderClear(renderer);
            const SDL_Rect f = placed();
            SDL_RenderSetViewport(renderer, &f);
            SDL_RenderSetScale(renderer, float(scale), float(scale));
        }
        if (picture) {
            // The picture covers all but the menu bar's strip.
            const SDL_Rect strip{0, 0, logicalW(), menuBar};
            SDL_RenderFillRect(renderer, &strip);
            const SDL_Rect where{0, menuBar, pictureW, pictureH};
            SDL_RenderCopy(renderer, picture, nullptr, &where);
        } else if (canvas != nullptr) {
            SDL_RenderClear(renderer);
        }
        if (ui != nullptr) {
            ImGui_ImplSDLRenderer_RenderDrawData(ui);
        } else {
            const SDL_Rect strip{0, 0, logicalW(), menuBar};
            SDL_RenderCopy(renderer, bar, nullptr, &strip);
        }
        if (!straight) {
            SDL_SetRenderTarget(renderer, nullptr);
            clearBorders();
            const SDL_Rect f = placed();
            SDL_RenderCopy(renderer, canvas, nullptr, &f);
        }
        SDL_RenderPresent(renderer);
        pictureNew = false;
        if (timing && picture) {
            std::fprintf(stderr, "tundrix: first picture (renderer %s) at %lld\n", rendererName.c_str(),
                         wallNs());
            timing = false;
        }
    }
};

SdlVideo::SdlVideo(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
SdlVideo::~SdlVideo() = default;

std::unique_ptr<SdlVideo> SdlVideo::open(const WindowOptions& options, SdlKeys& keys, std::string& whyNot) {
    auto impl = std::make_unique<Impl>(keys);
    impl->options = options;

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
    // Every world opens the sound device, and each opening would queue "device added" events the game
    // has no use for.
    SDL_EventState(SDL_AUDIODEVICEADDED, SDL_IGNORE);
    SDL_EventState(SDL_AUDIODEVICEREMOVED, SDL_IGNORE);
    // Replay files dropped onto the window are opened.
    SDL_EventState(SDL_DROPFILE, SDL_ENABLE);

    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    // The backend would set the X cursor on every frame.
    io.ConfigFlags |= ImGuiConfigFlags_NoMouseCursorChange;
    // A steady caret: a blinking one would have the dialogs drawn over and over while nobody types.
    io.ConfigInputTextCursorBlink = false;
    const UiFonts fonts = loadUiFonts(io, options.textFont, options.textPixels, options.signFont,
                                      options.signPixels, options.signText);
    impl->sign = fonts.sign;
    // The menu bar's height follows from the font: one line of text plus the frame padding above and below.
    impl->menuBar =
        static_cast<int>(std::ceil(fonts.textPixels + 2.0f * ImGui::GetStyle().FramePadding.y + 2.0f));

    // The window is made once, for the renderer it will get.
    const RendererPlan plan = planRenderer();
    const Uint32 flags = SDL_WINDOW_HIDDEN | plan.windowFlags;
    impl->window = SDL_CreateWindow(options.title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                    impl->logicalW(), impl->logicalH(), flags);
    if (!impl->window) {
        whyNot = std::string("cannot open the game window: ") + SDL_GetError();
        return nullptr;
    }
    showGameIcon(impl->window, options.iconRgba, options.iconSize);
    impl->renderer = createRenderer(impl->window, plan, impl->rendererName);
    if (!impl->renderer) {
        whyNot = std::string("cannot draw into the game window: ") + SDL_GetError();
        return nullptr;
    }
    // Pictures in the window's own layout are copied to it as they are, without a conversion on the way
    // (the expanded picture's top byte is 0xFF, which that layout ignores).
    if (SDL_GetWindowPixelFormat(impl->window) == SDL_PIXELFORMAT_RGB888)
        impl->pixelFormat = SDL_PIXELFORMAT_RGB888;
    if (SDL_RenderTargetSupported(impl->renderer)) {
        impl->canvas = SDL_CreateTexture(impl->renderer, impl->pixelFormat, SDL_TEXTUREACCESS_TARGET,
                                         impl->logicalW(), impl->logicalH());
        if (impl->canvas) SDL_SetTextureScaleMode(impl->canvas, SDL_ScaleModeNearest);
        impl->bar = SDL_CreateTexture(impl->renderer, impl->pixelFormat, SDL_TEXTUREACCESS_TARGET,
                                      impl->logicalW(), impl->menuBar);
    }
    const char* timing = SDL_getenv("TUNDRIX_TIMING");
    impl->timing = timing && *timing && SDL_strcmp(timing, "0") != 0;
    ImGui_ImplSDL2_InitForSDLRenderer(impl->window);
    ImGui_ImplSDLRenderer_Init(impl->renderer);
    impl->imguiReady = true;
    // A zoom saved on a larger screen is lowered to what fits this one, so the window and its menu stay
    // reachable.
    impl->zoom = std::clamp(options.zoom, 1, impl->fittingZoom());
    impl->applyZoom();
    // Centred for the size it has at its zoom, not for the size it was made with.
    const int screen = std::max(0, SDL_GetWindowDisplayIndex(impl->window));
    SDL_SetWindowPosition(impl->window, static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(screen)),
                          static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(screen)));
    SDL_ShowWindow(impl->window);
    // The game reads its keys directly; typed text is only wanted inside the register dialog.
    SDL_StopTextInput();
    auto video = std::unique_ptr<SdlVideo>(new SdlVideo(std::move(impl)));
    if (options.fullScreen) video->setFullScreen(true);
    return video;
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
        m.picture = SDL_CreateTexture(m.renderer, m.pixelFormat, SDL_TEXTUREACCESS_STREAMING, width, height);
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
    m.pictureNew = true;
}

WindowEvent SdlVideo::handleEvents(uint32_t waitMs) {
    SDL_Event e;
    bool news = false;
    if (waitMs > 0) {
        if (!SDL_WaitEventTimeout(&e, static_cast<int>(waitMs))) return WindowEvent::None;
        const WindowEvent what = impl_->feed(e, news);
        if (news) return what;
    }
    // Everything queued by now, without SDL_PollEvent's habit of stopping early at its pump marker.
    SDL_PumpEvents();
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
        if (e.type == SDL_POLLSENTINEL) continue;
        const WindowEvent what = impl_->feed(e, news);
        if (news) return what;
    }
    return WindowEvent::None;
}

void SdlVideo::beginFrame() {
    Impl& m = *impl_;
    m.pressed.swap(m.pending);
    m.pending.clear();
    ImGui_ImplSDLRenderer_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGuiIO& io = ImGui::GetIO();
    // ImGui lays out at 1:1; the whole factor scales the finished frame.
    io.DisplaySize = ImVec2(static_cast<float>(m.logicalW()), static_cast<float>(m.logicalH()));
    io.DisplayFramebufferScale = ImVec2(1.0f, 1.0f);
    // The backend asks X for the global pointer, which synthetic pointer motion never moves, and SDL for
    // the buttons as they are after every event pumped: the events handled so far say where the pointer
    // is and which buttons are down on this frame.
    int mx = 0, my = 0;
    // A release SDL never sent (the window lost the pointer mid-press) is taken from SDL's own state once
    // no button event is left to handle.
    if (SDL_GetMouseState(&mx, &my) == 0 && !SDL_HasEvents(SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP))
        m.buttonsHeld = 0;
    if (m.pointer) mx = m.pointer->x, my = m.pointer->y;
    if (m.pointerInside.value_or(SDL_GetMouseFocus() == m.window))
        io.MousePos = ImVec2(static_cast<float>((mx - m.offsetX) / m.scale),
                             static_cast<float>((my - m.offsetY) / m.scale));
    else
        io.MousePos = ImVec2(-FLT_MAX, -FLT_MAX);
    const uint32_t down = m.buttonsHeld | m.buttonsPressed;
    m.buttonsPressed = 0;
    io.MouseDown[0] = (down & SDL_BUTTON(SDL_BUTTON_LEFT)) != 0;
    io.MouseDown[1] = (down & SDL_BUTTON(SDL_BUTTON_RIGHT)) != 0;
    io.MouseDown[2] = (down & SDL_BUTTON(SDL_BUTTON_MIDDLE)) != 0;
    ImGui::NewFrame();
}

void SdlVideo::finishFrame() {
    Impl& m = *impl_;
    ImGui::Render();
    m.place();
    ImDrawData* ui = ImGui::GetDrawData();
    // While the layer is the menu bar alone it is drawn into a texture of its own, which the frames that
    // follow show again without laying the bar out anew.
    m.layerIsBar = m.bar != nullptr && withinTop(ui, m.menuBar);
    if (m.layerIsBar) {
        SDL_SetRenderTarget(m.renderer, m.bar);
        SDL_SetRenderDrawColor(m.renderer, 0, 0, 0, 255);
        SDL_RenderClear(m.renderer);
        ImGui_ImplSDLRenderer_RenderDrawData(ui);
    }
    m.show(m.layerIsBar ? nullptr : ui);
    m.layerShown = true;
    if (m.settle > 0) --m.settle;
}

bool SdlVideo::layerSettled() const {
    return impl_->layerShown && impl_->settle == 0;
}

void SdlVideo::wake() {
    impl_->settle = SETTLE_FRAMES;
}

bool SdlVideo::showWithoutLayout() {
    Impl& m = *impl_;
    if (!layerSettled()) return false;
    m.pressed.clear();
    if (!m.pictureNew) return true; // nothing has changed: the window keeps what it shows
    if (!m.layerIsBar) return false;
    m.place();
    m.show(nullptr);
    return true;
}

std::string SdlVideo::takeDroppedFile() {
    return std::exchange(impl_->dropped, {});
}

const std::vector<ShellKey>& SdlVideo::keysPressed() const {
    return impl_->pressed;
}

void SdlVideo::setTextInput(bool on) {
    if (on)
        SDL_StartTextInput();
    else
        SDL_StopTextInput();
}

void SdlVideo::attachGamepads(SdlGamepads& pads) {
    impl_->pads = &pads;
}

void SdlVideo::forgetTappedKeys() {
    if (impl_->pads != nullptr) impl_->pads->clearTaps();
    impl_->keys.clearTaps();
}

int SdlVideo::menuBarHeight() const {
    return impl_->menuBar;
}

ImFont* SdlVideo::signFont() const {
    return impl_->sign;
}

int SdlVideo::zoom() const {
    return impl_->zoom;
}

int SdlVideo::maxZoom() const {
    return impl_->fittingZoom();
}

void SdlVideo::setZoom(int zoom) {
    impl_->zoom = std::clamp(zoom, 1, impl_->fittingZoom());
    impl_->applyZoom();
}

bool SdlVideo::fullScreen() const {
    return impl_->fullScreen;
}

void SdlVideo::setFullScreen(bool on) {
    Impl& m = *impl_;
    if (on == m.fullScreen) return;
    // Where the window stood, so leaving full screen puts it back there rather than where the window
    // manager places a window it gets back.
    int x = 0, y = 0;
    if (on) SDL_GetWindowPosition(m.window, &x, &y);
    if (SDL_SetWindowFullscreen(m.window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return;
    m.fullScreen = on;
    if (on) {
        m.windowedX = x;
        m.windowedY = y;
        m.windowedKnown = true;
        return;
    }
    if (m.windowedKnown) SDL_SetWindowPosition(m.window, m.windowedX, m.windowedY);
    m.applyZoom();
}

bool SdlVideo::hasFocus() const {
    return (SDL_GetWindowFlags(impl_->window) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void SdlVideo::openUrl(const std::string& url) {
    SDL_OpenURL(url.c_str());
}

} // namespace tundrix
