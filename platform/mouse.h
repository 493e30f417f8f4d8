#pragma once
// The mouse as window messages and a pointer position.
//
// SDL's mouse events, taken off SDL's queue by the pump (through the event observers), are
// posted to our window they name as the messages a window hook reads: a move with the held
// buttons, presses and releases (a press with an even click count is the double click), and
// one wheel message per notch. Positions: the pointer on the desktop, a window's client origin
// on the desktop, and the picture inside a window (letterboxed where the window has another shape).
#include <cstdint>
#include <functional>

#include "platform/window.h"

namespace morna::platform {

// Message numbers; lparam of each is the client place y << 16 | x (16 bits each).
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MBUTTONDBLCLK = 0x0209;
// wparam: the notch's delta (+120 away from the player) in the high 16 bits, the held
// buttons in the low ones.
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
constexpr int32_t WHEEL_DELTA = 120;

// Held buttons in the low word of wparam.
constexpr uintptr_t MK_LBUTTON = 0x0001;
constexpr uintptr_t MK_RBUTTON = 0x0002;
constexpr uintptr_t MK_MBUTTON = 0x0010;

// Starts posting mouse messages (once per process; later calls do nothing).
void InstallMouseMessages();

// The pointer on the desktop. False when there is no pointer to ask (no video).
bool GetCursorPos(int32_t& x, int32_t& y);
// Moves the pointer to a desktop place. False when the system refuses.
bool SetCursorPos(int32_t x, int32_t y);
// Adds the client origin's desktop place of our window (on its own thread).
bool ClientToScreen(WindowHandle window, int32_t& x, int32_t& y);

// Our window shows a picture of pictureW x pictureH as the present puts it: at 1:1 in a client
// area of its size, else scaled keeping its shape and centred (full screen, or a window the
// manager sized). The picture's pixel under a desktop place, kept inside the picture when
// keepInside (a place on a band belongs to the picture's nearest edge), else as far off it as
// the place is; and back, the first desktop pixel that shows a picture pixel. False for a
// window that is not ours on this thread, an empty picture, or a client area too small to show
// any of it (1 pixel wide for a wide picture).
bool ScreenToPicture(WindowHandle window, int32_t pictureW, int32_t pictureH, int32_t& x, int32_t& y,
                     bool keepInside = true);
bool PictureToScreen(WindowHandle window, int32_t pictureW, int32_t pictureH, int32_t& x, int32_t& y);

// Tests: a pointer of their own in place of SDL's (both set) or SDL's again (both empty).
struct CursorSource {
    std::function<bool(int32_t& x, int32_t& y)> get;
    std::function<bool(int32_t x, int32_t y)> warp;
};
void SetCursorSourceForTests(CursorSource source);

}  // namespace morna::platform
