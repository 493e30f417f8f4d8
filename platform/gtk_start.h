#pragma once
// GTK for the platform's own windows (the settings dialog, message boxes): started once, on the
// thread that owns the display, and only where that display is X11.
#include <string>

#include "platform/window.h"

typedef struct _GtkWidget GtkWidget;

namespace morna::platform {

// True when GTK is up; false, with the reason in *error, when there is no display GTK can use. GTK
// runs on X11 alone, on the display of the owner's window where it has one (else on DISPLAY's, as
// SDL's), whatever backend the environment asks GTK for.
bool StartGtk(WindowHandle owner, std::string* error);
// Makes the GTK window, not yet shown, a dialog transient for our window where both live on one X
// display (on the window's own thread), to be shown with the time of the user's action that
// opened it; does nothing elsewhere.
void KeepAboveWindow(GtkWidget* widget, WindowHandle owner);

// Opens the GTK window as a dialog in the window layer's list under the token, with the window
// that owns it (AddOpenDialog: the one list of open dialogs, which this side asks too), and reports
// its keyboard focus to the layer's focus record until ReportDialogClosed (which closes it there
// and reports the loss). The focus is read from the X server's focus events themselves: a keyboard
// grab (the window manager's Alt+Tab while Alt is held) moves no focus, where GTK's own focus
// signals would report a loss and a return. A dialog whose X window another program destroys is
// destroyed before GDK reads the notice.
void ReportDialogOpen(GtkWidget* window, uintptr_t token, WindowHandle owner);
void ReportDialogClosed(uintptr_t token);
// Destroys a dialog's GTK window (none where another program destroyed it) once ReportDialogClosed
// has closed it, reads the X errors of the requests made so far (a round trip), and logs the count
// of GTK's errors dropped since the last close (x11::LogDroppedToolkitErrors): those of requests on
// resources gone with a window another program destroyed (x11::RouteError).
void DestroyDialogWindow(GtkWidget* window);

}  // namespace morna::platform
