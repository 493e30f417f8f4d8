#pragma once
// What the window layer asks of the X server itself where SDL has no call for it. Each call does
// nothing and answers false for a window that is not on an X display.
#include <cstdint>

#include "platform/keyboard_state.h"

struct SDL_Window;

namespace morna::platform::x11 {

// Installs, once, the handler of X errors: it logs them and the process carries on, where Xlib's
// own handler ends it. SDL's X11 code asks about windows that the window manager may be destroying
// at the same moment (the frame of a full-screen window that closes). Called before SDL's video
// starts: SDL passes X errors on to the handler it found at its start.
void GuardErrors();

// The key map of the window's display (bit k for X key code k), whoever has the focus: the
// background keyboard's source while another program's window has it.
bool ReadKeymap(SDL_Window* window, uint8_t (&keymap)[kServerKeymapSize]);

// The window manager keeps the window iconic (its WM_STATE property).
bool IsIconic(SDL_Window* window);
// Asks the window manager to take a managed window out of full screen. SDL sends that request only
// for a mapped window and writes the state itself on an unmapped one, which a manager keeping the
// window iconic does not read: it would map the window again as full screen.
bool RequestLeaveFullScreen(SDL_Window* window);
// What the window has not drawn is painted by the server in black (or white), as a window class's
// background brush paints it: the window never shows what was on the screen before it.
bool SetBackground(SDL_Window* window, bool white);

}  // namespace morna::platform::x11
