#pragma once
// What the window layer asks of the X server itself where SDL has no call for it. Each call does
// nothing and answers false for a window that is not on an X display.
#include <cstdint>
#include <map>
#include <vector>

#include "platform/focus_events.h"
#include "platform/keyboard_state.h"
#include "platform/restack_plan.h"

struct SDL_Window;
struct _XDisplay;  // Xlib's Display
union SDL_Event;

namespace morna::platform::x11 {

// Installs, once, the handler of X errors: they are logged (by ReportErrors) and the process
// carries on, where Xlib's own handler ends it. SDL's X11 code asks about windows that the window
// manager may be destroying at the same moment (the frame of a full-screen window that closes).
// Called before SDL's video starts: SDL passes X errors on to the handler it found at its start.
void GuardErrors();
// Another toolkit set a handler of its own at its start (GTK does, for its error traps): the handler
// is made ours again, and passes the errors of that toolkit's connection on to the toolkit's.
void TakeBackErrorHandler(::_XDisplay* display);
// Logs the X errors met since the last call, as ErrorsToLog keeps them.
void ReportErrors();

// An X error as the handler met it.
struct XErrorNote {
    unsigned char code, request;
    unsigned long resource, serial;
};
// One of our windows destroyed by another program: the frames the manager gave it (its parents, as
// the reparent notices told them), and the serials of the latest queries for its parent that failed.
struct DestroyedNote {
    std::vector<unsigned long> frames, failedQueries;
};
// Of the errors met, those to log, given our windows recorded destroyed by another program and the
// frames the manager gave our other windows. SDL asks about a window after the manager or another
// program destroyed what it asks about: as it leaves full screen or closes the window, and after
// another program destroyed it (reading the events queued before, and leaving full screen as it
// destroys the window). Those requests fail on the window itself, or as translations of coordinates
// from its frame (the manager destroys or replaces it) or from the parent that a failed query on the
// window left unset (window 0, or whatever SDL's variable held). None of them is logged; every other
// error is.
std::vector<XErrorNote> ErrorsToLog(const std::vector<XErrorNote>& met,
                                    const std::map<unsigned long, DestroyedNote>& destroyed,
                                    const std::map<unsigned long, std::vector<unsigned long>>& frames = {});

// What the filter of SDL's X events learns of one. The server's times, the focus events of our
// windows and their frames are noted here; for the window layer, the window of ours whose destruction
// the event reports (a DestroyNotify, which SDL itself says nothing of), and the
// window a pointer button was pressed on (SDL drops the press that came with the focus, the click
// that activated it). 0 for none.
struct XEventSeen {
    unsigned long destroyed = 0, pressed = 0;
};
XEventSeen NoteXEvent(const SDL_Event& event);
// The manager's frame above and left of the window's client area as the server has it now (its
// _NET_FRAME_EXTENTS): false where it has none.
bool FrameExtents(SDL_Window* window, int& left, int& top);
// The X window of an SDL window; 0 when it is not on X.
unsigned long WindowId(SDL_Window* window);
// Records the X window as destroyed by another program, once, with its frames: answers
// whether it was news. Every request on it fails from then on, and those errors are no longer
// logged one by one.
bool NoteDestroyed(unsigned long xwindow);
// Readies an SDL window whose X window is destroyed for SDL_DestroyWindow. SDL hides a window it
// believes shown first, and waits for the server to report it unmapped, which it never does for a
// window that is gone: the report is put on the connection's queue for it. Left there, SDL passes
// over it as about a window it no longer knows.
void QueueUnmapNotice(SDL_Window* window);

// The key map of the window's display (bit k for X key code k), whoever has the focus: the
// background keyboard's source while another program's window has it.
bool ReadKeymap(SDL_Window* window, uint8_t (&keymap)[kServerKeymapSize]);

// The window manager keeps the window iconic (its WM_STATE property).
bool IsIconic(SDL_Window* window);
// Asks the window manager to take a managed window out of full screen. SDL sends that request only
// for a mapped window and writes the state itself on an unmapped one, which a manager keeping the
// window iconic does not read: it would map the window again as full screen.
bool RequestLeaveFullScreen(SDL_Window* window);
// The hints the window manager says it supports (_NET_SUPPORTED), read at the first question and kept
// for the rest: one leave of full screen asks several.
class ManagerHints {
public:
    explicit ManagerHints(SDL_Window* window);
    bool operator()(const char* hint);

private:
    ::_XDisplay* display_ = nullptr;
    bool read_ = false;
    std::vector<long> hints_;
};
// Waits, 250 ms at most, until the manager has taken the window out of full screen and, when it is
// decorated, framed it again. The manager puts back the place the window had before full screen
// and rebuilds its frame as it drops the state: a place or a restack asked before that is taken
// for the client's (the frame then grows round it), or reaches a frame the manager replaces (one
// made anew is stacked on top).
void AwaitLeftFullScreen(SDL_Window* window, ManagerHints& supports);
// Asks the window manager to activate a mapped window (raise it and give it the focus), as asked
// by the application, with LastEventTime (before any event, the server's time now): a manager
// takes a request without a time for a faulty client's. False for an unmapped window, which only a
// map shows.
bool RequestActivate(SDL_Window* window);
// That time, for a window of ours shown as opened by the player's last action; 0 for a window that
// is not on X.
uint32_t LastUserTime(SDL_Window* window);
// Where the time of the user's last key or click in the platform's windows that are not SDL's
// comes from (GTK's, on the window's thread); null for none.
using UserTimeSource = uint32_t (*)();
void SetUserTimeSource(UserTimeSource source);
// Sets the client size of a window of fixed size without raising it: SDL raises it as it sets the
// size, which brings an inactive application's window up over the program the player uses. False
// for a resizable window (SDL raises nothing there) or one that is not on X.
bool ResizeFixedWithoutRaise(SDL_Window* window, int width, int height);
// The manager's clients as it stacks them, bottom to top (its _NET_CLIENT_LIST_STACKING), read on
// the window's connection; empty, and nothing read, where it keeps no such list.
std::vector<unsigned long> ClientStacking(SDL_Window* window, ManagerHints& supports);
// Puts the window and its open dialogs and boxes (their X windows, from the window layer's list) back
// in the stacking `before` had (ClientStacking), where the manager changed it: a manager raises a
// window that leaves full screen over the program in use. The stacking is read once more, after the
// manager's change. Asked on the window's connection, in order, as a pager asks
// (_NET_RESTACK_WINDOW where the manager takes it, a configure request elsewhere); a manager takes a
// sibling there, or ignores it for a plain raise or lower (openbox), which is why nothing is asked
// where the order was kept.
void KeepStacking(SDL_Window* window, const std::vector<unsigned long>& before,
                  const std::vector<unsigned long>& dialogs, ManagerHints& supports);
// Brings the window back up just below the lowest of its open dialogs where another program's window
// came between them: a manager that hands the focus to a dialog when the player switches back to it
// may raise the dialog alone, leaving its owner under that program. Reads nothing without a dialog,
// and the stacking once with one.
void KeepUnderDialogs(SDL_Window* window, const std::vector<unsigned long>& dialogs);
// What the X events of our windows told of the manager's focus so far (NoteXEvent).
FocusEvents FocusNotes();
// The time of the player's last action, the one rule for it: the latest server time stamped on a key
// or click of the player's in our windows, on SDL's connection (with the manager's WM_TAKE_FOCUS) or
// GTK's (its user time); 0 while none came. Never a time read on purpose, nor one of an event the
// player did not make (a property the manager changes as another program takes the focus): a
// manager that prevents focus stealing takes a request's time for the user's action, and one later
// than the action that activated another program takes the focus from it.
uint32_t LastEventTime();
// The time to ask for an activation that the window passes on as it takes the focus (to its dialog):
// that of the manager's WM_TAKE_FOCUS that came with the window's present focus, else LastEventTime.
uint32_t FocusTime(SDL_Window* window);
// Whether a pointer button is down on the window (the pointer's own state, asked of the server).
bool ButtonDownOn(SDL_Window* window);
// What the window has not drawn is painted by the server in black (or white), as a window class's
// background brush paints it: the window never shows what was on the screen before it.
bool SetBackground(SDL_Window* window, bool white);

}  // namespace morna::platform::x11
