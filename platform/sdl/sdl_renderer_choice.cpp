// Chooses between SDL's accelerated and software renderers: an X server without direct rendering can only
// have OpenGL drawn by the processor, so it gets the software renderer without OpenGL ever being loaded;
// elsewhere OpenGL is asked on the game's own window which rasteriser it runs on.
#include "platform/sdl/sdl_renderer_choice.h"

#include <X11/Xlib.h>
#include <algorithm>
#include <cctype>

namespace tundrix {

namespace {

// Does the X server offer direct rendering to a graphics processor (Mesa's DRI, NVIDIA's own GLX)?
// Without it OpenGL is drawn by the processor (or sent indirectly, which is slower still).
bool xServerRendersDirectly() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return true; // let SDL find out for itself
    bool direct = false;
    for (const char* name : {"DRI3", "DRI2", "NV-GLX"}) {
        int opcode = 0, event = 0, error = 0;
        if (XQueryExtension(display, name, &opcode, &event, &error)) direct = true;
    }
    XCloseDisplay(display);
    return direct;
}

int softwareDriverIndex() {
    for (int i = 0; i < SDL_GetNumRenderDrivers(); ++i) {
        SDL_RendererInfo info;
        if (SDL_GetRenderDriverInfo(i, &info) == 0 && SDL_strcmp(info.name, "software") == 0) return i;
    }
    return -1;
}

// The renderer string of OpenGL on this window, or empty when no OpenGL context can be made there.
std::string openGlRenderer(SDL_Window* window) {
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr) return {};
    using GetString = const unsigned char* (*)(unsigned int);
    constexpr unsigned int GL_RENDERER_NAME = 0x1F01; // GL_RENDERER
    std::string name;
    if (auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString")))
        if (const unsigned char* text = getString(GL_RENDERER_NAME))
            name = reinterpret_cast<const char*>(text);
    SDL_GL_DeleteContext(context);
    return name;
}

} // namespace

bool isSoftwareOpenGl(const std::string& rendererString) {
    std::string lower = rendererString;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* name : {"llvmpipe", "softpipe", "swrast", "software rasterizer"})
        if (lower.find(name) != std::string::npos) return true;
    return false;
}

RendererPlan planRenderer() {
    RendererPlan plan;
    if (const char* forced = SDL_GetHint(SDL_HINT_RENDER_DRIVER); forced && *forced) {
        if (SDL_strcasecmp(forced, "software") == 0) {
            plan.kind = RendererPlan::Kind::Software;
        } else {
            plan.kind = RendererPlan::Kind::Accelerated;
            if (SDL_strncasecmp(forced, "opengl", 6) == 0) plan.windowFlags = SDL_WINDOW_OPENGL;
        }
        return plan;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && SDL_strcmp(driver, "x11") == 0 && !xServerRendersDirectly()) {
        plan.kind = RendererPlan::Kind::Software;
        return plan;
    }
    if (driver && (SDL_strcmp(driver, "dummy") == 0 || SDL_strcmp(driver, "offscreen") == 0)) {
        plan.kind = RendererPlan::Kind::Software;
        return plan;
    }
    plan.kind = RendererPlan::Kind::Probe;
    plan.windowFlags = SDL_WINDOW_OPENGL;
    return plan;
}

SDL_Renderer* createRenderer(SDL_Window* window, const RendererPlan& plan, std::string& renderer) {
    bool software = plan.kind == RendererPlan::Kind::Software;
    if (plan.kind == RendererPlan::Kind::Probe) {
        const std::string name = openGlRenderer(window);
        software = name.empty() || isSoftwareOpenGl(name);
    }
    if (software) {
        // The window's surface is then an X shared-memory image, not another OpenGL texture (which would
        // bring OpenGL back and make SDL re-create the window). SDL_FRAMEBUFFER_ACCELERATION still wins.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        if (SDL_Renderer* r = SDL_CreateRenderer(window, softwareDriverIndex(), SDL_RENDERER_SOFTWARE)) {
            renderer = "software";
            return r;
        }
    }
    SDL_Renderer* r = SDL_CreateRenderer(window, -1, 0);
    SDL_RendererInfo info;
    if (r && SDL_GetRendererInfo(r, &info) == 0) renderer = info.name;
    return r;
}

} // namespace tundrix
