#pragma once
// The window layer's rooms and what each asks of the other: window.cpp keeps the windows, the
// threads' queues and the pump, under its state's lock; window_focus.cpp keeps the focus record, the
// application's activation, the open dialogs of another toolkit and the switch-back, under a lock of
// its own; window_shape.cpp the window's shape, with the places it gave for full screen where
// no manager runs, under a lock of its own. None calls another, SDL or a callback while it holds its
// lock. Not for use outside the layer.
#include <cstdint>
#include <vector>

#include "platform/window.h"

struct SDL_Window;

namespace morna::platform::window_state {

// window.cpp: posts the message to every window of the display thread that is not being destroyed.
void PostToDisplayWindows(uint32_t message, uintptr_t wparam);
// Whether the window is minimised, as SDL last heard or as the window manager keeps it now.
bool IsIconic(SDL_Window* sdl);

// window_shape.cpp: gives the window the shape its style asks (WS_POPUP without a caption:
// full screen; else a window, framed with WS_CAPTION, resizable with WS_THICKFRAME).
void ApplyShape(WindowHandle window, SDL_Window* sdl, uint32_t style);
// The window is gone: the place kept to put back, if any, goes with it.
void ForgetShape(WindowHandle window);

// window_focus.cpp:
// A window of the display thread was made: it may take the focus from now on.
void NoteWindowMade(WindowHandle window);
// The window (its SDL window) took or lost the focus, as the pump reads it: a focus that comes back
// to the application is a switch back through the window, handed over by HandOverSwitchBack.
void NoteWindowFocus(WindowHandle window, SDL_Window* sdl, bool focused);
// A pointer button was pressed on the window: the player's click, which keeps the keyboard there.
void NoteWindowPress(WindowHandle window);
// The windows are gone (called as they leave the window list): they and the dialogs they own leave
// the focus record, and the activation is decided at once when none is left.
void ForgetFocusOf(const std::vector<WindowHandle>& gone, bool noneLeft);
// Decides the activation after a change of the focus record, or as time passes (now: at once).
void DecideActivation(bool now = false);
// Whether none has the focus and the application leaves unless one takes it again in time.
bool LeavePending();
// Once the events read with a switch back are taken: the keyboard passed on to the window's last
// open dialog, unless the player clicked the window. `sdlOf` finds the window's SDL window.
void HandOverSwitchBack(SDL_Window* (*sdlOf)(WindowHandle));
// Then: the window asked activated where the player clicked it after one of its dialogs was asked
// activated (at its map, or at a switch back), which a manager may grant after the click.
void HandBackToClickedWindow(SDL_Window* (*sdlOf)(WindowHandle));
// The X windows of the open dialogs and boxes the window owns, in the order they opened.
std::vector<unsigned long> OpenDialogWindows(WindowHandle owner);

}  // namespace morna::platform::window_state
