#pragma once
// What the filter of SDL's X events notes of them, beside the focus record it fills
// (focus_events.h): the manager's focus of our windows, the server's times on the player's
// actions, and the one rule for the time of his last action. Each call answers nothing (0, an empty
// note) for a window or an event that is not on X.
#include <cstdint>

#include "platform/focus_events.h"

struct SDL_Window;
union SDL_Event;
union _XEvent;  // Xlib's XEvent

namespace morna::platform::x11 {

// What the filter of SDL's X events learns of one. The server's times, the focus events of our
// windows and their frames are noted here; for the window layer, the window of ours whose destruction
// the event reports (a DestroyNotify, which SDL itself says nothing of), and the
// window a pointer button was pressed on (SDL drops the press that came with the focus, the click
// that activated it). 0 for none.
struct XEventSeen {
    unsigned long destroyed = 0, pressed = 0;
};
XEventSeen NoteXEvent(const SDL_Event& event);
// Whether a focus event moves the focus to or from the window itself, from or to outside it, as the
// server reports it in core events and in the input extension's (whose first modes and details are
// the core's): a move inside it (to or from an inferior, or the pointer's) or a keyboard grab's own
// notice, active or passive, is none. Every reader of our windows' focus events goes by it.
bool ChangesFocus(int mode, int detail);
// How NoteXEvent notes a FocusIn or FocusOut of one of our windows in the focus record: its mode (a
// grab's start or end, the focus moved under a grab) and whether it moves the focus from or to
// outside the window, not to or from an inferior (nor the pointer's). Other events note nothing.
// Pure, on the event's fields alone.
void NoteFocusEvent(FocusEvents& notes, const ::_XEvent& event);
// What the X events of our windows told of the manager's focus so far (NoteXEvent).
FocusEvents FocusNotes();
// The time of the player's last action, the one rule for it: the latest server time stamped on a key
// or click of the player's in our windows, on SDL's connection (with the manager's WM_TAKE_FOCUS) or
// GTK's (its user time), or the start's (NoteRequestTime); 0 while none came. Never a time read on
// purpose after the start, nor one of an event the player did not make (a property the manager
// changes as another program takes the focus): a manager that prevents focus stealing takes a
// request's time for the user's action, and one later than the action that activated another
// program takes the focus from it.
uint32_t LastEventTime();
// The server's time read for a request made before any action of the player's (his start of the
// game): LastEventTime answers no older time from then on.
void NoteRequestTime(uint32_t time);
// The time to ask for an activation that the window passes on as it takes the focus (to its dialog):
// that of the manager's WM_TAKE_FOCUS that came with the window's present focus, else LastEventTime.
uint32_t FocusTime(SDL_Window* window);
// Where the time of the user's last key or click in the platform's windows that are not SDL's
// comes from (GTK's, on the window's thread); null for none.
using UserTimeSource = uint32_t (*)();
void SetUserTimeSource(UserTimeSource source);

}  // namespace morna::platform::x11
