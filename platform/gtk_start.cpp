#include "platform/gtk_start.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <utility>

#include "platform/x11_errors.h"
#include "platform/x11_events.h"
#include "platform/x11_window.h"

namespace morna::platform {
namespace {

// GTK's drawing library keeps the X GCs it makes, one for each depth it draws at, for the rest of
// the display's life, and makes each on whatever it first draws to at that depth. Made on a dialog's
// window that another program has just destroyed (or on a pixmap made from it), the GC is not there,
// and no later dialog is drawn. They are made here, on pixmaps of our own: a picture uploaded at
// each depth a dialog is drawn at, and copied there.
void MakeDrawingGcs(GdkDisplay* display) {
    GdkWindow* root = gdk_screen_get_root_window(gdk_display_get_default_screen(display));
    const std::pair<cairo_content_t, cairo_format_t> depths[] = {
        {CAIRO_CONTENT_COLOR, CAIRO_FORMAT_RGB24}, {CAIRO_CONTENT_ALPHA, CAIRO_FORMAT_A8},
        {CAIRO_CONTENT_COLOR_ALPHA, CAIRO_FORMAT_ARGB32}};
    for (const auto& [content, format] : depths) {
        cairo_surface_t* picture = cairo_image_surface_create(format, 4, 4);
        cairo_t* paint = cairo_create(picture);  // not clear, which would be drawn without a GC
        cairo_set_source_rgba(paint, 1, 1, 1, 0.5);
        cairo_paint(paint);
        cairo_destroy(paint);
        cairo_surface_t* uploaded = gdk_window_create_similar_surface(root, content, 4, 4);
        cairo_surface_t* copied = gdk_window_create_similar_surface(root, content, 4, 4);
        for (const auto& [to, from] : {std::pair{uploaded, picture}, std::pair{copied, uploaded}}) {
            cairo_t* cr = cairo_create(to);
            cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
            cairo_set_source_surface(cr, from, 0, 0);
            cairo_paint(cr);
            cairo_destroy(cr);
        }
        for (cairo_surface_t* surface : {copied, uploaded, picture}) cairo_surface_destroy(surface);
    }
}

// GDK's window of one of its X windows, from its making until GDK has handled the window's destroy
// notice (another program may destroy a dialog's X window at any time), where it is marked destroyed
// or not as `destroyed` asks; else null. GDK marks a window destroyed as it asks the server to destroy
// it, and a window's children with it. Asked on GTK's thread, which reads GTK's connection.
GdkWindow* GdkWindowOf(unsigned long xwindow, bool destroyed) {
    GdkWindow* gdk = xwindow != 0 ? gdk_x11_window_lookup_for_display(gdk_display_get_default(), xwindow) : nullptr;
    return gdk != nullptr && (gdk_window_is_destroyed(gdk) != FALSE) == destroyed ? gdk : nullptr;
}

}  // namespace

bool StartGtk(WindowHandle owner, std::string* error) {
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
    // GTK opens the very display of the game's window: its own choice of backend (GDK_BACKEND, which
    // some Wayland desktops export for every program) would put the dialog outside the window's X
    // tree, where neither its focus nor its keys reach the window layer. The variable is x11 only
    // while GTK opens its display, so that the programs the game starts still see the player's.
    std::string display;
    if (SDL_Window* sdl = GetSdlWindow(owner)) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (SDL_GetWindowWMInfo(sdl, &info) && info.subsystem == SDL_SYSWM_X11 && info.info.x11.display != nullptr)
            display = DisplayString(info.info.x11.display);
    }
    gdk_set_allowed_backends("x11");
    const char* asked = g_getenv("GDK_BACKEND");
    const std::string kept = asked != nullptr ? asked : "";
    if (asked != nullptr) g_setenv("GDK_BACKEND", "x11", TRUE);
    std::string option = "--display=" + display;
    char program[] = "morna";
    char* arguments[] = {program, display.empty() ? nullptr : option.data(), nullptr};
    int count = display.empty() ? 1 : 2;
    char** argv = arguments;
    started = gtk_init_check(&count, &argv) != FALSE;
    if (asked != nullptr) g_setenv("GDK_BACKEND", kept.c_str(), TRUE);
    if (started && GDK_IS_X11_DISPLAY(gdk_display_get_default())) {
        x11::TakeBackErrorHandler(GDK_DISPLAY_XDISPLAY(gdk_display_get_default()),
                                  [](unsigned long xwindow) { return GdkWindowOf(xwindow, true) != nullptr; });
        MakeDrawingGcs(gdk_display_get_default());
        // A dialog's key or click is the user's latest action when the dialog hands the focus back.
        x11::SetUserTimeSource([] { return static_cast<uint32_t>(gdk_x11_display_get_user_time(gdk_display_get_default())); });
    }
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
    gdk_x11_window_set_user_time(own, x11::LastUserTime(sdl));
}

namespace {

int gInputOpcode = -1;  // the X input extension's, which GDK reads focus through

void NoteXFocus(Window window, bool in) {
    // A destroyed window is passed over: its last focus event came before its destruction's notice.
    if (const std::optional<OpenDialog> dialog = FindOpenDialog(window); dialog && GdkWindowOf(window, false) != nullptr)
        NoteDialogFocus(dialog->token, dialog->owner, in);
}

// A dialog's X window destroyed by another program. GTK destroys the dialog once GDK has read the
// notice, and by then GDK has dropped the window's frame clock with the handlers GTK holds on it (a
// layout still pending as the dialog opens), which GTK's clean-up then fails to disconnect (GLib's
// warnings). Destroyed before GDK reads the notice, the dialog is cleaned up with its frame clock
// still there, as after its close; its requests on the gone window are trapped.
// This runs inside GDK's filter, in the middle of GDK's handling of the notice, and the dialog's
// destruction goes back into GDK: that is safe because GDK has taken the notice off its queue and
// looks the window up again after the filters (marked destroyed now, it only forgets it); what the
// owner's close reads meanwhile (its sync) is queued, not handled; a pump the owner runs inside is
// the settings view's, which returns at once within its outer pass, or a nested iteration of GLib's
// loop, which GDK's event source allows; and the filter stays installed for the process's life, so
// GDK's walk of its filters never meets one removed under it.
void DestroyGoneDialog(Window window) {
    if (!FindOpenDialog(window)) return;
    GdkWindow* gdk = GdkWindowOf(window, false);
    gpointer widget = nullptr;
    if (gdk != nullptr) gdk_window_get_user_data(gdk, &widget);
    if (widget == nullptr || !GTK_IS_WIDGET(widget)) return;
    GdkDisplay* display = gtk_widget_get_display(GTK_WIDGET(widget));
    gdk_x11_display_error_trap_push(display);
    gtk_widget_destroy(GTK_WIDGET(widget));  // its owner may close the dialog (ReportDialogClosed)
    gdk_x11_display_error_trap_pop_ignored(display);
}

GdkFilterReturn OnXEvent(GdkXEvent* native, GdkEvent*, gpointer) {
    const XEvent* x = static_cast<const XEvent*>(native);
    if (x->type == DestroyNotify) {
        DestroyGoneDialog(x->xdestroywindow.window);
    } else if (x->type == MapNotify) {
        if (const std::optional<OpenDialog> dialog = FindOpenDialog(x->xmap.window);
            dialog && GdkWindowOf(x->xmap.window, false) != nullptr)
            NoteOpenDialogMapped(dialog->token);
    } else if (x->type == FocusIn || x->type == FocusOut) {
        if (x11::ChangesFocus(x->xfocus.mode, x->xfocus.detail)) NoteXFocus(x->xfocus.window, x->type == FocusIn);
    } else if (x->type == GenericEvent && x->xcookie.extension == gInputOpcode && x->xcookie.data != nullptr &&
               (x->xcookie.evtype == XI_FocusIn || x->xcookie.evtype == XI_FocusOut)) {
        const auto* f = static_cast<const XIFocusInEvent*>(x->xcookie.data);  // GDK fetched its data
        if (x11::ChangesFocus(f->mode, f->detail)) NoteXFocus(f->event, x->xcookie.evtype == XI_FocusIn);
    }
    return GDK_FILTER_CONTINUE;
}

// The window manager's activation, asked with the time the focus reached the owner.
void ActivateDialog(uintptr_t token, uint32_t serverTime) {
    if (GdkWindow* window = GdkWindowOf(OpenDialogXWindow(token), false)) gdk_window_focus(window, serverTime);
}

}  // namespace

void ReportDialogOpen(GtkWidget* window, uintptr_t token, WindowHandle owner) {
    gtk_widget_realize(window);
    GdkWindow* gdk = gtk_widget_get_window(window);
    if (gdk == nullptr || !GDK_IS_X11_WINDOW(gdk)) return;
    Display* display = GDK_WINDOW_XDISPLAY(gdk);
    if (gInputOpcode < 0) {
        int event = 0, error = 0;
        if (!XQueryExtension(display, "XInputExtension", &gInputOpcode, &event, &error)) gInputOpcode = 0;
        gdk_window_add_filter(nullptr, &OnXEvent, nullptr);  // for the process's life (DestroyGoneDialog)
    }
    AddOpenDialog(token, owner, {&ActivateDialog}, gdk_x11_window_get_xid(gdk));
}

void ReportDialogClosed(uintptr_t token) {
    RemoveOpenDialog(token);
    NoteDialogFocus(token, 0, false);
}

void DestroyDialogWindow(GtkWidget* window) {
    if (window != nullptr) gtk_widget_destroy(window);
    gdk_display_sync(gdk_display_get_default());
    x11::LogDroppedToolkitErrors();
}

}  // namespace morna::platform
