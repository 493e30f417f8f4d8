#include "platform/render_driver.h"

#include <SDL2/SDL.h>
#include <X11/Xlib.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string_view>

#include "platform/x11_window.h"

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

const GlDriver* GlDriverNamed(const char* name) {
    if (name == nullptr) return nullptr;
    for (const GlDriver& d : kGlDrivers)
        if (SDL_strcasecmp(name, d.name) == 0) return &d;
    return nullptr;
}

int DriverIndex(const char* name) {
    for (int i = 0; i < SDL_GetNumRenderDrivers(); ++i) {
        SDL_RendererInfo info;
        if (SDL_GetRenderDriverInfo(i, &info) == 0 && SDL_strcasecmp(info.name, name) == 0) return i;
    }
    return -1;
}

const GlDriver* GlDriverOf(int index) {
    SDL_RendererInfo info;
    if (index < 0 || SDL_GetRenderDriverInfo(index, &info) != 0) return nullptr;
    return GlDriverNamed(info.name);
}

// GLX_MESA_query_renderer's names and entry points (its header is not needed for three of them).
constexpr int kGlxRendererDeviceId = 0x8184;
constexpr int kGlxRendererAccelerated = 0x8186;
using QueryExtensions = const char* (*)(Display*, int);
using GetProcAddress = void* (*)(const unsigned char*);
using QueryRendererInteger = Bool (*)(Display*, int, int, int, unsigned int*);
using QueryRendererString = const char* (*)(Display*, int, int, int);

bool Listed(std::string_view list, std::string_view name) {
    for (size_t at = 0; at < list.size();) {
        const size_t end = std::min(list.find(' ', at), list.size());
        if (list.substr(at, end - at) == name) return true;
        at = end + 1;
    }
    return false;
}

// Asks the display's GLX which renderer its first screen's OpenGL would use. GL is the library SDL
// loads for an OpenGL window; it stays loaded (GLX's vendor libraries are not made to be unloaded,
// and SDL takes the same one). The connection is the probe's own: SDL's is not reachable before a
// window is made. Its close unloads the GL driver the query loaded.
GlRasterizer AskGlx(std::string& device) {
    const char* library = SDL_getenv("SDL_OPENGL_LIBRARY");
    void* gl = dlopen(library != nullptr ? library : "libGL.so.1", RTLD_NOW | RTLD_LOCAL);
    if (gl == nullptr) return GlRasterizer::kUnknown;
    const auto extensions = reinterpret_cast<QueryExtensions>(dlsym(gl, "glXQueryExtensionsString"));
    const auto address = reinterpret_cast<GetProcAddress>(dlsym(gl, "glXGetProcAddressARB"));
    if (extensions == nullptr || address == nullptr) return GlRasterizer::kUnknown;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return GlRasterizer::kUnknown;
    GlRasterizer answer = GlRasterizer::kUnknown;
    const int screen = DefaultScreen(display);
    const char* listed = extensions(display, screen);
    // Any name has an address; only one the screen lists may be called.
    if (listed != nullptr && Listed(listed, "GLX_MESA_query_renderer")) {
        const auto integer = reinterpret_cast<QueryRendererInteger>(
            address(reinterpret_cast<const unsigned char*>("glXQueryRendererIntegerMESA")));
        const auto text = reinterpret_cast<QueryRendererString>(
            address(reinterpret_cast<const unsigned char*>("glXQueryRendererStringMESA")));
        unsigned int accelerated = 0;
        if (integer != nullptr && integer(display, screen, 0, kGlxRendererAccelerated, &accelerated))
            answer = accelerated != 0 ? GlRasterizer::kAccelerated : GlRasterizer::kSoftware;
        const char* name = text != nullptr ? text(display, screen, 0, kGlxRendererDeviceId) : nullptr;
        if (name != nullptr) device = name;
    }
    XCloseDisplay(display);
    return answer;
}

// The choice for the window about to be made, or made: the player's renderer where SDL has one of
// that name, and the display asked only where the choice turns on its answer.
RenderChoice CurrentChoice() {
    const char* hint = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    const char* named = hint != nullptr && DriverIndex(hint) >= 0 ? hint : nullptr;
    const bool asks = named == nullptr || GlDriverNamed(named) != nullptr;
    return ChooseRenderer(named, asks ? DisplayGlRasterizer() : GlRasterizer::kUnknown);
}

int IndexOf(const RenderChoice& choice) { return choice.driver != nullptr ? DriverIndex(choice.driver) : 0; }

}  // namespace

RenderChoice ChooseRenderer(const char* named, GlRasterizer gl) {
    if (named != nullptr) return {named, GlDriverNamed(named) != nullptr && gl != GlRasterizer::kAccelerated};
    return {gl == GlRasterizer::kSoftware ? "software" : nullptr, false};
}

GlRasterizer DisplayGlRasterizer(std::string* device) {
    static std::mutex lock;
    static bool asked = false;
    static GlRasterizer answer = GlRasterizer::kUnknown;
    static std::string name;
    const char* video = SDL_GetCurrentVideoDriver();
    if (video == nullptr || std::strcmp(video, "x11") != 0) {
        if (device != nullptr) device->clear();
        return GlRasterizer::kUnknown;
    }
    std::lock_guard<std::mutex> guard(lock);
    if (!asked) answer = AskGlx(name);
    asked = true;
    if (device != nullptr) *device = name;
    return answer;
}

uint32_t RenderWindowFlags() {
    const GlDriver* gl = GlDriverOf(IndexOf(CurrentChoice()));
    if (gl == nullptr) return 0;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, gl->profile);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, gl->major);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, gl->minor);
    return SDL_WINDOW_OPENGL;
}

SDL_Renderer* CreateWindowRenderer(SDL_Window* window, bool* holdServer) {
    *holdServer = false;
    // No SDL_RENDERER_PRESENTVSYNC: the frame timer paces the frames.
    if ((SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL) != 0) {
        const RenderChoice choice = CurrentChoice();
        const int index = IndexOf(choice);
        if (GlDriverOf(index) != nullptr) {
            // SDL makes the context with the visual of the window's attributes as the server gives
            // them, and takes Xlib's unset answer for a window another program destroyed (a crash),
            // whatever the driver: made with the server held once it said the window is there. A gone
            // window gets the software renderer, whose requests on it fail as ordinary errors.
            SDL_Renderer* renderer = nullptr;
            x11::DrawHeld(window, [&] { renderer = SDL_CreateRenderer(window, index, 0); });
            if (renderer != nullptr) {
                *holdServer = choice.holdServer;
                return renderer;
            }
        }
    }
    // Left to itself, the software renderer's window surface would try each OpenGL renderer.
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    return SDL_CreateRenderer(window, DriverIndex("software"), 0);
}

}  // namespace morna::platform
