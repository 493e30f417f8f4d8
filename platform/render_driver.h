#pragma once
// The renderer a window is presented with, settled before the window is made. SDL's OpenGL
// renderers want a window made for OpenGL, and its software renderer draws the window's surface
// through one of them where it can; handed a window made otherwise, SDL destroys the X window and
// makes it anew, which a player sees as a window that comes and goes before the real one.
//
// Where the display's OpenGL is a software rasterizer (no GPU driver: Xvfb, most virtual machines),
// SDL's software renderer presents instead: it shows the same picture (both scale by nearest) with
// plain X requests, in less time, and a request of its on a window another program destroyed is an
// ordinary error. Mesa's software GL driver takes Xlib's unset answer for such a window's size, which
// only a draw with the X server held keeps from it (x11::DrawHeld).
#include <cstdint>
#include <string>

struct SDL_Renderer;
struct SDL_Window;

namespace morna::platform {

// What the display's OpenGL draws with, as its GLX says.
enum class GlRasterizer {
    kUnknown,      // no answer: not on X, no GLX, or a GLX without the renderer query
    kSoftware,     // a software rasterizer (Mesa's llvmpipe, softpipe, swrast)
    kAccelerated,  // a graphics device
};

// How a window is presented.
struct RenderChoice {
    const char* driver = nullptr;  // SDL's render driver by name; null: SDL's first
    bool holdServer = false;       // an OpenGL draw runs with the X server held (x11::DrawHeld)
};
// The choice for a renderer the player named (SDL_RENDER_DRIVER, one SDL has; null for none) on a
// display whose OpenGL is `gl`. Named, that renderer; an OpenGL one then draws with the server held
// unless the display's OpenGL is known to be a device's (Mesa's GPU loaders size their buffers from
// the server's answers and events, never from a failed request). Unnamed, the software renderer over a software
// rasterizer, else SDL's first with no hold.
RenderChoice ChooseRenderer(const char* named, GlRasterizer gl);

// The answer for the display SDL's video runs on, from GLX's renderer query (GLX_MESA_query_renderer,
// which needs no context), asked on a connection of its own the first time on X and kept for the
// process; kUnknown, and nothing kept, where SDL's video is not x11. `device`, when given, gets the
// renderer's name as GLX gives it (empty without an answer).
GlRasterizer DisplayGlRasterizer(std::string* device = nullptr);

// The window flags (SDL_WINDOW_OPENGL or none) for a window a renderer will present into: that
// of the driver ChooseRenderer gives. Sets the OpenGL attributes that driver asks of its window;
// they are SDL's, for the whole process, and hold for every window made after. Needs SDL's video.
uint32_t RenderWindowFlags();
// A renderer that keeps the window's X window: the OpenGL driver RenderWindowFlags chose where the
// window was made for OpenGL (SDL refuses that flag where OpenGL cannot be loaded), else, or when
// that driver fails, the software one, its surface drawn through the X server. The software one
// sets SDL's hint against its OpenGL drawing for the whole process (at the hint's default
// priority: an SDL_FRAMEBUFFER_ACCELERATION the player set stands). *holdServer says whether the
// renderer's draws are to run with the server held.
SDL_Renderer* CreateWindowRenderer(SDL_Window* window, bool* holdServer);

}  // namespace morna::platform
