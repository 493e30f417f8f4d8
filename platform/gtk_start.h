#pragma once
// GTK for the platform's own windows (the settings dialog, message boxes): started once, on the
// thread that owns the display, and only where that display is X11.
#include <string>

#include "platform/window.h"

typedef struct _GtkWidget GtkWidget;

namespace morna::platform {

// True when GTK is up; false, with the reason in *error, when there is no display GTK can use.
bool StartGtk(std::string* error);
// Makes the GTK window, not yet shown, a dialog transient for our window where both live on one X
// display (on the window's own thread), to be shown with the time of the user's action that
// opened it; does nothing elsewhere.
void KeepAboveWindow(GtkWidget* widget, WindowHandle owner);

}  // namespace morna::platform
