#include "platform/gtk_start.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdlib>

namespace morna::platform {

bool StartGtk(std::string* error) {
    static bool started = false;
    if (started) return true;
    // GTK talks to the display SDL uses: X11 only, where the game's window can be its parent.
    // Before SDL's video starts, the driver it would pick: X11 unless another is asked for.
    const char* driver = SDL_WasInit(SDL_INIT_VIDEO) != 0 ? SDL_GetCurrentVideoDriver() : std::getenv("SDL_VIDEODRIVER");
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && (driver == nullptr || *driver == 0)) driver = "x11";
    if (driver == nullptr || std::string(driver) != "x11") {
        if (error != nullptr) *error = "no display GTK can use (the game's is not on X11)";
        return false;
    }
    g_setenv("GDK_BACKEND", "x11", FALSE);
    started = gtk_init_check(nullptr, nullptr) != FALSE;
    if (!started && error != nullptr) *error = "no display GTK can use";
    return started;
}

void KeepAboveWindow(GtkWidget* widget, WindowHandle owner) {
    SDL_Window* sdl = GetSdlWindow(owner);
    GdkDisplay* display = gdk_display_get_default();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (sdl == nullptr || !GDK_IS_X11_DISPLAY(display) || !SDL_GetWindowWMInfo(sdl, &info) ||
        info.subsystem != SDL_SYSWM_X11)
        return;
    GdkWindow* parent = gdk_x11_window_foreign_new_for_display(display, info.info.x11.window);
    if (parent == nullptr) return;
    gtk_widget_realize(widget);
    gdk_window_set_transient_for(gtk_widget_get_window(widget), parent);
    g_object_unref(parent);
}

}  // namespace morna::platform
