#include "platform/x11_events.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/XI2.h>

#include <atomic>
#include <mutex>

#include "platform/x11_errors.h"
#include "platform/x11_window.h"

namespace morna::platform::x11 {
namespace {

std::atomic<UserTimeSource> gUserTimeSource{nullptr};

const XEvent* XEventOf(const SDL_Event& event) {
    if (event.type != SDL_SYSWMEVENT || event.syswm.msg == nullptr || event.syswm.msg->subsystem != SDL_SYSWM_X11)
        return nullptr;
    return &event.syswm.msg->msg.x11.event;
}

// What the X events of our windows told of the manager's focus and of the player's times. The filter
// writes it on the display thread; the atoms it compares are interned at the first client message,
// the filter's only round trip.
struct EventNotes {
    std::mutex lock;
    FocusEvents focus;
    Atom protocols = 0, takeFocus = 0;
};

EventNotes& Notes() {
    static EventNotes* notes = new EventNotes;  // the filter may run until the process ends
    return *notes;
}

}  // namespace

XEventSeen NoteXEvent(const SDL_Event& event) {
    const XEvent* x = XEventOf(event);
    XEventSeen seen;
    if (x == nullptr) return seen;
    EventNotes& notes = Notes();
    switch (x->type) {
        case DestroyNotify:
            seen.destroyed = x->xdestroywindow.window;
            return seen;
        case ReparentNotify:
            if (x->xreparent.parent != DefaultRootWindow(x->xreparent.display))
                NoteFrame(x->xreparent.window, x->xreparent.parent);
            return seen;
        case FocusIn:
        case FocusOut: {
            std::lock_guard<std::mutex> guard(notes.lock);
            NoteFocusEvent(notes.focus, *x);
            return seen;
        }
        case ButtonPress: seen.pressed = x->xbutton.window; [[fallthrough]];
        case ButtonRelease: {
            std::lock_guard<std::mutex> guard(notes.lock);
            notes.focus.Stamped(static_cast<uint32_t>(x->xbutton.time));
            return seen;
        }
        case KeyPress:
        case KeyRelease: {
            std::lock_guard<std::mutex> guard(notes.lock);
            notes.focus.Stamped(static_cast<uint32_t>(x->xkey.time));
            return seen;
        }
        case ClientMessage: {
            std::unique_lock<std::mutex> guard(notes.lock);
            if (notes.protocols == 0) {
                guard.unlock();
                const Atom protocols = XInternAtom(x->xclient.display, "WM_PROTOCOLS", False);
                const Atom takeFocus = XInternAtom(x->xclient.display, "WM_TAKE_FOCUS", False);
                guard.lock();
                notes.protocols = protocols;
                notes.takeFocus = takeFocus;
            }
            if (x->xclient.format == 32 && x->xclient.message_type == notes.protocols &&
                static_cast<Atom>(x->xclient.data.l[0]) == notes.takeFocus)
                notes.focus.TakeFocus(x->xclient.window, static_cast<uint32_t>(x->xclient.data.l[1]));
            return seen;
        }
        default: return seen;
    }
}

static_assert(NotifyGrab == XINotifyGrab && NotifyUngrab == XINotifyUngrab && NotifyInferior == XINotifyInferior &&
              NotifyNonlinearVirtual == XINotifyNonlinearVirtual);
bool ChangesFocus(int mode, int detail) {
    const bool grab = mode == XINotifyGrab || mode == XINotifyUngrab || mode == XINotifyPassiveGrab ||
                      mode == XINotifyPassiveUngrab;
    return !grab && detail <= XINotifyNonlinearVirtual && detail != XINotifyInferior;
}

void NoteFocusEvent(FocusEvents& notes, const XEvent& event) {
    if (event.type != FocusIn && event.type != FocusOut) return;
    const XFocusChangeEvent& focus = event.xfocus;
    // A grab's own notices still say whether a switch goes on.
    notes.Focus(focus.window, event.type == FocusIn, static_cast<FocusMode>(focus.mode & 3),
                ChangesFocus(focus.mode, focus.detail));
}

FocusEvents FocusNotes() {
    std::lock_guard<std::mutex> guard(Notes().lock);
    return Notes().focus;
}

uint32_t LastEventTime() {
    FocusEvents notes = FocusNotes();
    if (const UserTimeSource source = gUserTimeSource.load()) notes.Stamped(source());
    return notes.Latest();
}

void NoteRequestTime(uint32_t time) {
    std::lock_guard<std::mutex> guard(Notes().lock);
    Notes().focus.Stamped(time);
}

uint32_t FocusTime(SDL_Window* window) {
    const unsigned long xwindow = WindowId(window);
    if (xwindow == 0) return 0;
    uint32_t takeFocus = 0;
    {
        std::lock_guard<std::mutex> guard(Notes().lock);
        takeFocus = Notes().focus.TakeFocusTime(xwindow);
    }
    return takeFocus != 0 ? takeFocus : LastEventTime();
}

void SetUserTimeSource(UserTimeSource source) { gUserTimeSource.store(source); }

}  // namespace morna::platform::x11
