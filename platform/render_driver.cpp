#include "platform/render_driver.h"

#include <SDL2/SDL.h>

namespace morna::platform {

namespace {

// SDL's OpenGL renderers and the context each asks of its window; a window made with another
// is made anew by the renderer.
struct GlDriver {
    const char* name;
    int profile, major, minor;
};
constexpr GlDriver kGlDrivers[] = {
    {"opengl", 0, 2, 1},
    {"opengles2", SDL_GL_CONTEXT_PROFILE_ES, 2, 0},
    {"opengles", SDL_GL_CONTEXT_PROFILE_ES, 1, 1},
};

int DriverIndex(const char* name) {
    for (int i = 0; i < SDL_GetNumRenderDrivers(); ++i) {
        SDL_RendererInfo info;
        if (SDL_GetRenderDriverInfo(i, &info) == 0 && SDL_strcasecmp(info.name, name) == 0) return i;
    }
    return -1;
}

// The driver SDL tries first: the one the hint names, else the first it lists.
int FirstChoice() {
    const char* hint = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    const int named = hint != nullptr ? DriverIndex(hint) : -1;
    return named >= 0 ? named : 0;
}

const GlDriver* GlDriverOf(int index) {
    SDL_RendererInfo info;
    if (SDL_GetRenderDriverInfo(index, &info) != 0) return nullptr;
    for (const GlDriver& d : kGlDrivers)
        if (SDL_strcasecmp(info.name, d.name) == 0) return &d;
    return nullptr;
}

}  // namespace

uint32_t RenderWindowFlags() {
    const GlDriver* gl = GlDriverOf(FirstChoice());
    if (gl == nullptr) return 0;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, gl->profile);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, gl->major);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, gl->minor);
    return SDL_WINDOW_OPENGL;
}

SDL_Renderer* CreateWindowRenderer(SDL_Window* window) {
    // No SDL_RENDERER_PRESENTVSYNC: the frame timer paces the frames.
    if ((SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL) != 0) {
        const int first = FirstChoice();
        if (GlDriverOf(first) != nullptr)
            if (SDL_Renderer* renderer = SDL_CreateRenderer(window, first, 0)) return renderer;
    }
    // Left to itself, the software renderer's window surface would try each OpenGL renderer.
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    return SDL_CreateRenderer(window, DriverIndex("software"), 0);
}

}  // namespace morna::platform
