// The window's shape as its style asks: full screen, or a window with or without its frame. Where
// no manager runs, full screen is the layer's own to make.
#include <SDL2/SDL.h>

#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/window.h"
#include "platform/window_state.h"
#include "platform/x11_window.h"

namespace morna::platform::window_state {
namespace {

// Where no manager runs, the layer makes full screen itself: the place each window had before, to put
// back. Under a lock of its own; nothing is called while it is held.
struct Covered {
    std::mutex lock;
    std::map<WindowHandle, x11::Place> from;
};

Covered& C() {
    static Covered* covered = new Covered;  // outlives every thread's clean-up
    return *covered;
}

// The place the layer gave a window itself for full screen, taken off its record; none when it gave none.
std::optional<x11::Place> TakeCoveredFrom(WindowHandle window) {
    std::lock_guard<std::mutex> guard(C().lock);
    const auto node = C().from.extract(window);
    return node ? std::optional<x11::Place>(node.mapped()) : std::nullopt;
}

// Full screen where no window manager runs: nobody acts on the state SDL asks for, and the window
// would keep its place and size while the renderer draws for the whole screen. The layer gives it
// the screen (the display it is on) itself, and keeps the place it had (`before`) to put back.
void CoverScreen(WindowHandle window, SDL_Window* sdl, const x11::Place& before) {
    SDL_Rect screen;
    if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(sdl), &screen) != 0 ||
        !x11::SetPlace(sdl, {screen.x, screen.y, screen.w, screen.h}))
        return;
    std::lock_guard<std::mutex> guard(C().lock);
    C().from[window] = before;
}

}  // namespace

void ApplyShape(WindowHandle window, SDL_Window* sdl, uint32_t style) {
    bool popup = (style & WS_POPUP) && (style & WS_CAPTION) == 0;
    x11::ManagerHints supports(sdl);  // read once for the whole change
    if (popup) {
        std::optional<x11::Place> before = TakeCoveredFrom(window);  // covered already: its first place stands
        x11::Place place;
        if (!before && !supports.Running() && x11::PlaceOf(sdl, place)) before = place;
        SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
        if (before) CoverScreen(window, sdl, *before);
    } else {
        const bool wasFullScreen = (SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN) != 0;
        // A minimised window leaves full screen minimised, to come back framed when restored.
        const bool leftMinimised = wasFullScreen && IsIconic(sdl) && x11::RequestLeaveFullScreen(sdl);
        if (leftMinimised) x11::AwaitLeftFullScreen(sdl, supports);
        // The manager may raise a window that leaves full screen, its dialogs with it: one that leaves
        // while the player is in another program keeps its place below that program's window.
        const bool away = wasFullScreen && !IsApplicationActive();
        const std::vector<unsigned long> stacking =
            away ? x11::ClientStacking(sdl, supports) : std::vector<unsigned long>{};
        SDL_SetWindowFullscreen(sdl, 0);
        // Only the layer's own full-screen place is undone; a manager puts back what it changed.
        if (const std::optional<x11::Place> before = TakeCoveredFrom(window)) x11::SetPlace(sdl, *before);
        // What comes next (the stacking kept, a place) must reach the window as the manager left it.
        if (wasFullScreen && !leftMinimised) x11::AwaitLeftFullScreen(sdl, supports);
        if (!stacking.empty()) x11::KeepStacking(sdl, stacking, OpenDialogWindows(window), supports);
        SDL_SetWindowBordered(sdl, (style & WS_CAPTION) ? SDL_TRUE : SDL_FALSE);
        SDL_SetWindowResizable(sdl, (style & WS_THICKFRAME) ? SDL_TRUE : SDL_FALSE);
    }
}

void ForgetShape(WindowHandle window) { TakeCoveredFrom(window); }

}  // namespace morna::platform::window_state
