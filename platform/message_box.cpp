#include "platform/message_box.h"

#include <SDL.h>
#include <gtk/gtk.h>

#include <cstdlib>

#include "platform/charset.h"
#include "platform/gtk_start.h"
#include "platform/hook_slot.h"

namespace morna::platform {
namespace {

HookSlot<MessageBoxHook> gHook;

struct Box {
    std::string text, caption;  // UTF-8
    uint32_t flags = 0;
    WindowHandle owner = 0;
    bool OkCancel() const { return (flags & kMessageBoxButtonMask) == MB_OKCANCEL; }
    // Escape and the close box: Cancel, or OK when there is no Cancel.
    int NoAnswer() const { return OkCancel() ? IDCANCEL : IDOK; }
};

GtkMessageType GtkIcon(uint32_t flags) {
    switch (flags & kMessageBoxIconMask) {
        case MB_ICONERROR: return GTK_MESSAGE_ERROR;
        case MB_ICONWARNING: return GTK_MESSAGE_WARNING;
        case MB_ICONQUESTION: return GTK_MESSAGE_QUESTION;
        case MB_ICONINFORMATION: return GTK_MESSAGE_INFO;
        default: return GTK_MESSAGE_OTHER;
    }
}

// A termination signal ends the box as its close box would (the pump, which turns the signal into
// the window's close request, waits under the box's own loop). The handler only sets a flag, so
// the loop looks at it now and then.
gboolean CloseOnSignal(gpointer dialog) {
    if (!CloseSignalPending()) return G_SOURCE_CONTINUE;
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_DELETE_EVENT);
    return G_SOURCE_CONTINUE;  // removed with the box
}

// The box's loop is the display thread's while it is up: the display's events are taken there,
// so that the game's window still reports its focus and the application's leaving is decided (its
// messages wait for the box to close).
gboolean PumpUnderBox(gpointer) {
    PumpWindowEventsInModalLoop();
    return G_SOURCE_CONTINUE;
}

// The box as a GTK dialog on the calling thread, which owns GTK; -1 when GTK cannot run here.
int ShowGtkBox(const Box& box, std::string* error) {
    if (!StartGtk(box.owner, error)) return -1;
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GtkIcon(box.flags), GTK_BUTTONS_NONE, "%s",
                                               box.text.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), box.caption.c_str());
    gtk_dialog_add_button(GTK_DIALOG(dialog), "OK", IDOK);
    if (box.OkCancel()) gtk_dialog_add_button(GTK_DIALOG(dialog), "Cancel", IDCANCEL);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), IDOK);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    // The box counts as the application's own window while it has the focus.
    const auto token = reinterpret_cast<uintptr_t>(dialog);
    ReportDialogOpen(dialog, token, box.owner);
    KeepAboveWindow(dialog, box.owner);  // before the map, where the manager reads what it sets
    const guint watch = g_timeout_add(50, &CloseOnSignal, dialog);
    const guint pump = g_timeout_add(10, &PumpUnderBox, nullptr);
    g_object_ref(dialog);  // GTK destroys the box with its window, which another program may destroy
    const int chosen = gtk_dialog_run(GTK_DIALOG(dialog));
    g_source_remove(pump);
    g_source_remove(watch);
    // Closed with the focus, the box hands it back to its owner, as a dialog's closing does.
    if (DialogHasFocus(token) && box.owner != 0) FocusWindow(box.owner);
    ReportDialogClosed(token);
    DestroyDialogWindow(dialog);
    g_object_unref(dialog);
    while (g_main_context_iteration(nullptr, FALSE)) {
    }  // gone from the screen now
    return chosen == IDOK || chosen == IDCANCEL ? chosen : box.NoAnswer();
}

uint32_t SdlIcon(uint32_t flags) {
    switch (flags & kMessageBoxIconMask) {
        case MB_ICONERROR: return SDL_MESSAGEBOX_ERROR;
        case MB_ICONWARNING: return SDL_MESSAGEBOX_WARNING;
        case MB_ICONQUESTION: case MB_ICONINFORMATION: return SDL_MESSAGEBOX_INFORMATION;
        default: return 0;
    }
}

// SDL's box, where GTK cannot open the display; 0 when it cannot be shown either.
int ShowSdlBox(const Box& box, std::string* error) {
    // With no display named, SDL hands the box to an outside dialog program (zenity, which the
    // metacity package brings) and reads its failure to open a display as the box's close: no box
    // was shown, and no answer was given.
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((x11 == nullptr || *x11 == 0) && (wayland == nullptr || *wayland == 0)) {
        if (error) *error = "no display to show the box on";
        return 0;
    }
    const uint32_t okKeys = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT |
                            (box.OkCancel() ? 0u : static_cast<uint32_t>(SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT));
    SDL_MessageBoxButtonData buttons[2] = {
        {okKeys, IDOK, "OK"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"},
    };
    SDL_MessageBoxData data{};
    data.flags = SdlIcon(box.flags);
    data.window = GetSdlWindow(box.owner);  // null on any thread but the owner's
    data.title = box.caption.c_str();
    data.message = box.text.c_str();
    data.numbuttons = box.OkCancel() ? 2 : 1;
    data.buttons = buttons;
    int chosen = -1;
    if (SDL_ShowMessageBox(&data, &chosen) != 0) {
        if (error) *error = SDL_GetError();
        return 0;
    }
    return chosen == IDOK || chosen == IDCANCEL ? chosen : box.NoAnswer();  // -1: closed
}

int ShowHere(const Box& box, std::string* error) {
    const int answer = ShowGtkBox(box, error);
    return answer >= 0 ? answer : ShowSdlBox(box, error);
}

}  // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) { return gHook.Set(std::move(hook)); }

int ShowMessageBox(const MessageBoxRequest& request, std::string* error) {
    if (MessageBoxHook hook = gHook.Get()) return hook(request);

    Box box;
    box.flags = request.flags;
    box.owner = request.owner;
    if (!Cp932ToUtf8(request.text, box.text) || !Cp932ToUtf8(request.caption, box.caption)) {
        if (error) *error = "message box text is not Shift-JIS";
        return 0;
    }
    // GTK belongs to the thread with the game's window: a box from elsewhere waits for it there.
    int answer = 0;
    std::string why;
    if (!RunOnDisplayThread([&] { answer = ShowHere(box, &why); })) answer = ShowHere(box, &why);
    if (answer == 0 && error) *error = why;
    return answer;
}

}  // namespace morna::platform
