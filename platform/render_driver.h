#pragma once
// The renderer a window is presented with, settled before the window is made. SDL's OpenGL
// renderers want a window made for OpenGL, and its software renderer draws the window's surface
// through one of them where it can; handed a window made otherwise, SDL destroys the X window and
// makes it anew, which a player sees as a window that comes and goes before the real one.
#include <cstdint>

struct SDL_Renderer;
struct SDL_Window;

namespace morna::platform {

// The window flags (SDL_WINDOW_OPENGL or none) for a window a renderer will present into: that
// of the driver SDL_RENDER_DRIVER names, else SDL's first. Sets the OpenGL attributes that driver
// asks of its window; they are SDL's, for the whole process, and hold for every window made after.
// Needs SDL's video.
uint32_t RenderWindowFlags();
// A renderer that keeps the window's X window: the OpenGL driver RenderWindowFlags chose where the
// window was made for OpenGL (SDL refuses that flag where OpenGL cannot be loaded), else, or when
// that driver fails, the software one, its surface drawn through the X server. The software one
// sets SDL's hint against its OpenGL drawing for the whole process (at the hint's default
// priority: an SDL_FRAMEBUFFER_ACCELERATION the player set stands).
SDL_Renderer* CreateWindowRenderer(SDL_Window* window);

}  // namespace morna::platform
