#pragma once
// The X server's key map: which keys are down, whoever has the focus. The background
// keyboard's source while another program's window has the focus.
#include <SDL2/SDL_video.h>

#include <cstdint>

#include "platform/keyboard_state.h"

namespace morna::platform {

// The key map of the display of window (bit k for X key code k); false where there is none
// to read: no window, a video driver other than X11, or no Xlib.
bool ReadServerKeymap(SDL_Window* window, uint8_t (&keymap)[kServerKeymapSize]);

}  // namespace morna::platform
