#pragma once
// What the window layer asks of the X server itself where SDL has no call for it. Each call does
// nothing and answers false for a window that is not on an X display. The handler of X errors is
// x11_errors.h's, what the filter of SDL's X events notes x11_events.h's.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/keyboard_state.h"

struct SDL_Window;
struct _XDisplay;  // Xlib's Display

namespace morna::platform::x11 {

// The manager's frame above and left of the window's client area as the server has it now (its
// _NET_FRAME_EXTENTS): false where it has none.
bool FrameExtents(SDL_Window* window, int& left, int& top);
// The X window of an SDL window; 0 when it is not on X.
unsigned long WindowId(SDL_Window* window);
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
// for the rest: one leave of full screen asks several. None where no manager runs: one that ended may
// leave its list on the root.
class ManagerHints {
public:
    explicit ManagerHints(SDL_Window* window);
    bool operator()(const char* hint);
    // Whether a manager runs on the window's display: the root names its check window
    // (_NET_SUPPORTING_WM_CHECK), which is there and names itself. Asked once, and kept.
    bool Running();

private:
    ::_XDisplay* display_ = nullptr;
    bool read_ = false, checked_ = false, running_ = false;
    std::vector<long> hints_;
};
// A window's client area on the screen.
struct Place {
    int x = 0, y = 0, width = 0, height = 0;
};
// The window's place as the server has it now, and a place given to it directly: where no manager
// runs, a request is the place (a manager would take it as the client's wish).
bool PlaceOf(SDL_Window* window, Place& place);
bool SetPlace(SDL_Window* window, const Place& place);
// Waits, 250 ms at most, until the manager has taken the window out of full screen and, when it is
// decorated, framed it again. The manager puts back the place the window had before full screen
// and rebuilds its frame as it drops the state: a place or a restack asked before that is taken
// for the client's (the frame then grows round it), or reaches a frame the manager replaces (one
// made anew is stacked on top).
void AwaitLeftFullScreen(SDL_Window* window, ManagerHints& supports);
// Asks the window manager to activate a mapped window (raise it and give it the focus), as asked
// by the application, with LastEventTime (x11_events.h; before any event, the server's time now): a manager
// takes a request without a time for a faulty client's. Where no manager runs, the window is raised
// and takes the X focus itself. False for an unmapped window, which only a map shows.
bool RequestActivate(SDL_Window* window);
// That time, for a window of ours shown as opened by the player's last action; 0 for a window that
// is not on X.
uint32_t LastUserTime(SDL_Window* window);
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
// Whether a pointer button is down on the window (the pointer's own state, asked of the server).
bool ButtonDownOn(SDL_Window* window);
// Whether the window holds the X focus now, as the server says (a round trip, where the pump may
// read the focus events late), and no press of a pointer button on it waits to be read: the player
// did not click it since the pump last read its events.
bool HoldsFocusUnclicked(SDL_Window* window);
// What the window has not drawn is painted by the server in black (or white), as a window class's
// background brush paints it: the window never shows what was on the screen before it.
bool SetBackground(SDL_Window* window, bool white);

// Runs `draw`, a graphics driver's work on the window (the making of its OpenGL context, or a frame's
// drawing and swap), with the X server held for the window's connection, once the server said the
// window is there: no other program can destroy it before the last request on it. Asked about a
// window that is gone, SDL takes Xlib's unset answer for its visual as it makes the context, and
// Mesa's software GL driver for its size, filling buffers of whatever size its stack held for
// seconds. The hold costs every other program on the display its service meanwhile, so a frame's
// draw takes it only where the player named OpenGL over a driver not known to be a device's
// (render_driver.h). Released on every way out of `draw`. False, and nothing drawn, where the window
// is gone; `draw` runs unheld for a window that is not on X.
bool DrawHeld(SDL_Window* window, const std::function<void()>& draw);

}  // namespace morna::platform::x11
