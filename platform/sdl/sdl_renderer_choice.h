// Which of SDL's renderers suits this machine: the accelerated one when OpenGL runs on a real graphics
// processor, the software renderer on a plain shared-memory surface when OpenGL would be drawn by the
// processor anyway (llvmpipe, softpipe, no OpenGL at all).
#pragma once
#include <SDL.h>

#include <string>

namespace tundrix {

struct RendererPlan {
    enum class Kind {
        Software,    // SDL's software renderer on the window's own surface
        Accelerated, // SDL's first working renderer (OpenGL on X11)
        Probe,       // decided once the window exists, by asking OpenGL who draws
    } kind = Kind::Accelerated;
    Uint32 windowFlags = 0; // SDL_WINDOW_OPENGL where OpenGL will be asked or used
};

// Decided after SDL's video is up and before the window is made, so that the window is made once for
// the renderer it gets. SDL_RENDER_DRIVER (hint or environment) is taken as it stands.
RendererPlan planRenderer();

// Makes the renderer for the window; a probe asks OpenGL on the window itself. renderer names what was
// chosen, for the timing trace.
SDL_Renderer* createRenderer(SDL_Window* window, const RendererPlan& plan, std::string& renderer);

// True when an OpenGL renderer string names one of Mesa's processor-drawn rasterisers.
bool isSoftwareOpenGl(const std::string& rendererString);

} // namespace tundrix
