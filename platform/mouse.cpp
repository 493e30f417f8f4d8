#include "platform/mouse.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <mutex>

#include "platform/display_present.h"
#include "platform/event_observer.h"
#include "platform/hook_slot.h"

namespace morna::platform {
namespace {

HookSlot<CursorSource> gSource;
// The held buttons as the posted messages last told them (MK_ bits).
std::atomic<uintptr_t> gHeld{0};

intptr_t PackPoint(int32_t x, int32_t y) {
    return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) | static_cast<uint32_t>(x & 0xFFFF));
}

uintptr_t HeldOfSdl(uint32_t state) {
    return ((state & SDL_BUTTON_LMASK) ? MK_LBUTTON : 0) | ((state & SDL_BUTTON_RMASK) ? MK_RBUTTON : 0) |
           ((state & SDL_BUTTON_MMASK) ? MK_MBUTTON : 0);
}

// 0 left, 1 right, 2 middle (the order of the message numbers); -1 for other buttons.
int ButtonIndex(uint8_t sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT: return 0;
        case SDL_BUTTON_RIGHT: return 1;
        case SDL_BUTTON_MIDDLE: return 2;
        default: return -1;
    }
}

constexpr uintptr_t kHeldBit[3] = {MK_LBUTTON, MK_RBUTTON, MK_MBUTTON};
// A wheel event can claim any number of notches; more than this many are not posted.
constexpr int32_t kMaxNotchesPerEvent = 64;

void OnMouseEvent(const SDL_Event& e, void*) {
    switch (e.type) {
        case SDL_MOUSEMOTION: {
            const WindowHandle h = WindowOfSdlId(e.motion.windowID);
            gHeld = HeldOfSdl(e.motion.state);
            if (h != 0) PostWindowMessage(h, WM_MOUSEMOVE, gHeld, PackPoint(e.motion.x, e.motion.y));
            return;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const int index = ButtonIndex(e.button.button);
            const WindowHandle h = WindowOfSdlId(e.button.windowID);
            if (index < 0) return;
            const bool down = e.type == SDL_MOUSEBUTTONDOWN;
            gHeld = down ? (gHeld | kHeldBit[index]) : (gHeld & ~kHeldBit[index]);
            uint32_t message = WM_LBUTTONDOWN + 3 * index;
            if (!down) message += 1;
            else if (e.button.clicks != 0 && e.button.clicks % 2 == 0) message += 2;  // the double click
            if (h != 0) PostWindowMessage(h, message, gHeld, PackPoint(e.button.x, e.button.y));
            return;
        }
        case SDL_MOUSEWHEEL: {
            const WindowHandle h = WindowOfSdlId(e.wheel.windowID);
            if (h == 0) return;
            int32_t notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
            notches = std::clamp(notches, -kMaxNotchesPerEvent, kMaxNotchesPerEvent);
            const uint16_t delta = static_cast<uint16_t>(notches > 0 ? WHEEL_DELTA : -WHEEL_DELTA);
            const uintptr_t wparam = (uintptr_t{delta} << 16) | gHeld;
            for (int32_t i = 0; i < std::abs(notches); ++i)
                PostWindowMessage(h, WM_MOUSEWHEEL, wparam, PackPoint(e.wheel.mouseX, e.wheel.mouseY));
            return;
        }
        default: return;
    }
}

// Division rounding down and up, also for negative numerators (denominator > 0).
int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// The window's client origin on the desktop and where the picture lies in its client area.
bool PictureRect(WindowHandle window, int32_t pictureW, int32_t pictureH, int& originX, int& originY,
                 PresentRect& rect) {
    SDL_Window* sdl = GetSdlWindow(window);
    if (sdl == nullptr) return false;
    int w = 0, h = 0;
    SDL_GetWindowPosition(sdl, &originX, &originY);
    SDL_GetWindowSize(sdl, &w, &h);
    rect = LetterboxRect(pictureW, pictureH, w, h);
    return rect.width > 0 && rect.height > 0;
}

}  // namespace

void InstallMouseMessages() {
    static std::once_flag once;
    std::call_once(once, [] { AddEventObserver(&OnMouseEvent, nullptr); });
}

bool GetCursorPos(int32_t& x, int32_t& y) {
    CursorSource source = gSource.Get();
    if (source.get) return source.get(x, y);
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
    int gx = 0, gy = 0;
    SDL_GetGlobalMouseState(&gx, &gy);
    x = gx;
    y = gy;
    return true;
}

bool SetCursorPos(int32_t x, int32_t y) {
    CursorSource source = gSource.Get();
    if (source.warp) return source.warp(x, y);
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
    return SDL_WarpMouseGlobal(x, y) == 0;
}

bool ClientToScreen(WindowHandle window, int32_t& x, int32_t& y) {
    SDL_Window* sdl = GetSdlWindow(window);
    if (sdl == nullptr) return false;
    int wx = 0, wy = 0;
    SDL_GetWindowPosition(sdl, &wx, &wy);
    x += wx;
    y += wy;
    return true;
}

bool ScreenToPicture(WindowHandle window, int32_t pictureW, int32_t pictureH, int32_t& x, int32_t& y,
                     bool keepInside) {
    int ox = 0, oy = 0;
    PresentRect r;
    if (!PictureRect(window, pictureW, pictureH, ox, oy, r)) return false;
    const int64_t px = FloorDiv((int64_t{x} - ox - r.x) * pictureW, r.width);
    const int64_t py = FloorDiv((int64_t{y} - oy - r.y) * pictureH, r.height);
    x = static_cast<int32_t>(std::clamp<int64_t>(px, keepInside ? 0 : INT32_MIN, keepInside ? pictureW - 1 : INT32_MAX));
    y = static_cast<int32_t>(std::clamp<int64_t>(py, keepInside ? 0 : INT32_MIN, keepInside ? pictureH - 1 : INT32_MAX));
    return true;
}

bool PictureToScreen(WindowHandle window, int32_t pictureW, int32_t pictureH, int32_t& x, int32_t& y) {
    int ox = 0, oy = 0;
    PresentRect r;
    if (!PictureRect(window, pictureW, pictureH, ox, oy, r)) return false;
    const int64_t sx = ox + r.x + CeilDiv(int64_t{x} * r.width, pictureW);
    const int64_t sy = oy + r.y + CeilDiv(int64_t{y} * r.height, pictureH);
    x = static_cast<int32_t>(std::clamp<int64_t>(sx, INT32_MIN, INT32_MAX));
    y = static_cast<int32_t>(std::clamp<int64_t>(sy, INT32_MIN, INT32_MAX));
    return true;
}

void SetCursorSourceForTests(CursorSource source) { gSource.Set(std::move(source)); }

}  // namespace morna::platform
