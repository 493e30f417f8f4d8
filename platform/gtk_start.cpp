#include "platform/gtk_start.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <cstdint>
#include <cstdlib>
#include <map>

#include "platform/x11_window.h"

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
    if (started && GDK_IS_X11_DISPLAY(gdk_display_get_default()))
        x11::GuardErrorsBeside(GDK_DISPLAY_XDISPLAY(gdk_display_get_default()));
    // A dialog's key or click is the user's latest action when the dialog hands the focus back.
    if (started && GDK_IS_X11_DISPLAY(gdk_display_get_default()))
        x11::SetUserTimeSource([] { return static_cast<uint32_t>(gdk_x11_display_get_user_time(gdk_display_get_default())); });
    if (!started && error != nullptr) *error = "no display GTK can use";
    return started;
}

namespace {

// Whether X server time a is later than b, across the 32-bit wrap.
bool Later(guint32 a, guint32 b) { return static_cast<int32_t>(a - b) > 0; }

// The time of the user's last key or click in the owner (SDL writes it on its window) or in a
// GTK window of ours, whichever is later: the action that opened the window. The server's time
// now where neither has seen one.
guint32 LastUserTime(GdkDisplay* display, Window owner, GdkWindow* own) {
    Display* x = GDK_DISPLAY_XDISPLAY(display);
    guint32 time = gdk_x11_display_get_user_time(display);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    // The owner's window may be gone (destroyed by another program): GDK ends the process on an
    // error on its connection that no trap expects.
    gdk_x11_display_error_trap_push(display);
    const int read = XGetWindowProperty(x, owner, gdk_x11_get_xatom_by_name_for_display(display, "_NET_WM_USER_TIME"), 0,
                                        1, False, XA_CARDINAL, &type, &format, &count, &after, &data);
    gdk_x11_display_error_trap_pop_ignored(display);
    if (read == Success && data != nullptr) {
        if (format == 32 && count == 1) {
            const auto owners = static_cast<guint32>(*reinterpret_cast<const long*>(data));
            if (time == 0 || Later(owners, time)) time = owners;
        }
        XFree(data);
    }
    return time != 0 ? time : gdk_x11_get_server_time(own);
}

}  // namespace

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
    // A dialog to the manager, told before the window is mapped: a manager keeps an owned
    // dialog above its owner, full screen or not, whichever has the focus, where it lets the
    // owner cover an owned window of the normal type.
    gtk_window_set_type_hint(GTK_WINDOW(widget), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_widget_realize(widget);
    GdkWindow* own = gtk_widget_get_window(widget);
    gdk_window_set_transient_for(own, parent);
    g_object_unref(parent);
    // Shown with the time of the action that opened it: a manager that prevents focus stealing
    // refuses the focus to a window whose time is older than the focused window's last action.
    gdk_x11_window_set_user_time(own, LastUserTime(display, info.info.x11.window, own));
}

namespace {

struct FocusWatch {
    Window xwindow = 0;
    uintptr_t token = 0;
    WindowHandle owner = 0;
};
std::map<uintptr_t, FocusWatch> gFocusWatches;  // by token; GTK's thread only
int gInputOpcode = -1;                           // the X input extension's, which GDK reads focus through

void NoteXFocus(Window window, bool in) {
    for (const auto& [token, watch] : gFocusWatches)
        if (watch.xwindow == window) NoteOwnWindowFocus(token, watch.owner, in);
}

// The focus reaching or leaving the window itself, from outside it, as the server reports it: focus
// moving inside the window (to GTK's own focus child) or taken by a keyboard grab is no change.
GdkFilterReturn OnXFocus(GdkXEvent* native, GdkEvent*, gpointer) {
    const XEvent* x = static_cast<const XEvent*>(native);
    if (x->type == FocusIn || x->type == FocusOut) {
        const XFocusChangeEvent& f = x->xfocus;
        const bool grab = f.mode == NotifyGrab || f.mode == NotifyUngrab;
        const bool outside = f.detail == NotifyAncestor || f.detail == NotifyVirtual || f.detail == NotifyNonlinear ||
                             f.detail == NotifyNonlinearVirtual;
        if (!grab && outside) NoteXFocus(f.window, x->type == FocusIn);
    } else if (x->type == GenericEvent && x->xcookie.extension == gInputOpcode && x->xcookie.data != nullptr &&
               (x->xcookie.evtype == XI_FocusIn || x->xcookie.evtype == XI_FocusOut)) {
        const auto* f = static_cast<const XIFocusInEvent*>(x->xcookie.data);  // GDK fetched its data
        const bool grab = f->mode == XINotifyGrab || f->mode == XINotifyUngrab || f->mode == XINotifyPassiveGrab ||
                          f->mode == XINotifyPassiveUngrab;
        const bool outside = f->detail == XINotifyAncestor || f->detail == XINotifyVirtual ||
                             f->detail == XINotifyNonlinear || f->detail == XINotifyNonlinearVirtual;
        if (!grab && outside) NoteXFocus(f->event, x->xcookie.evtype == XI_FocusIn);
    }
    return GDK_FILTER_CONTINUE;
}

}  // namespace

void ReportFocus(GtkWidget* window, uintptr_t token, WindowHandle owner) {
    gtk_widget_realize(window);
    GdkWindow* gdk = gtk_widget_get_window(window);
    if (gdk == nullptr || !GDK_IS_X11_WINDOW(gdk)) return;
    if (gInputOpcode < 0) {
        int event = 0, error = 0;
        if (!XQueryExtension(GDK_WINDOW_XDISPLAY(gdk), "XInputExtension", &gInputOpcode, &event, &error)) gInputOpcode = 0;
    }
    if (gFocusWatches.empty()) gdk_window_add_filter(nullptr, &OnXFocus, nullptr);
    gFocusWatches[token] = {gdk_x11_window_get_xid(gdk), token, owner};
}

void StopReportingFocus(uintptr_t token) {
    if (gFocusWatches.erase(token) != 0 && gFocusWatches.empty()) gdk_window_remove_filter(nullptr, &OnXFocus, nullptr);
    NoteOwnWindowFocus(token, 0, false);
}

}  // namespace morna::platform
