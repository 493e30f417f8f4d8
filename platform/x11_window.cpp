#include "platform/x11_window.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "platform/restack_plan.h"
#include "platform/x11_errors.h"
#include "platform/x11_events.h"

namespace morna::platform::x11 {
namespace {

bool XOf(SDL_Window* window, Display*& display, Window& xwindow) {
    if (window == nullptr) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    display = info.info.x11.display;
    xwindow = info.info.x11.window;
    return display != nullptr && xwindow != 0;
}

// A property's 32-bit words (longs, as Xlib hands them); empty when it is absent or of another type.
std::vector<long> Words(Display* display, Window xwindow, Atom property, Atom type, long most = 64) {
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> words;
    if (XGetWindowProperty(display, xwindow, property, 0, most, False, type, &actual, &format, &count, &after, &data) ==
            Success &&
        data != nullptr) {
        if (format == 32) words.assign(reinterpret_cast<const long*>(data), reinterpret_cast<const long*>(data) + count);
        XFree(data);
    }
    return words;
}

// A request about the window to the window manager (a client message to the root window), flushed.
void AskManager(Display* display, Window xwindow, const char* type, std::initializer_list<long> words) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = xwindow;
    e.xclient.message_type = XInternAtom(display, type, False);
    e.xclient.format = 32;
    std::copy(words.begin(), words.end(), e.xclient.data.l);
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(display);
}

}  // namespace

ManagerHints::ManagerHints(SDL_Window* window) {
    Window xwindow = 0;
    if (!XOf(window, display_, xwindow)) display_ = nullptr;
}

bool ManagerHints::operator()(const char* hint) {
    if (!Running()) return false;
    if (!read_)
        hints_ = Words(display_, DefaultRootWindow(display_), XInternAtom(display_, "_NET_SUPPORTED", False), XA_ATOM,
                       4096);
    read_ = true;
    const Atom wanted = XInternAtom(display_, hint, False);
    return std::find(hints_.begin(), hints_.end(), static_cast<long>(wanted)) != hints_.end();
}

bool ManagerHints::Running() {
    if (display_ == nullptr || checked_) return running_;
    checked_ = true;
    const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
    const std::vector<long> named = Words(display_, DefaultRootWindow(display_), check, XA_WINDOW, 1);
    if (named.size() != 1) return running_;
    // A manager that ended leaves the root naming a window that is gone (or reused by another client).
    Unlogged(display_, [&] { running_ = Words(display_, static_cast<Window>(named[0]), check, XA_WINDOW, 1) == named; });
    return running_;
}

bool PlaceOf(SDL_Window* window, Place& place) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XOf(window, display, xwindow)) return false;
    XWindowAttributes attributes;
    Window child = 0;
    if (!XGetWindowAttributes(display, xwindow, &attributes) ||
        !XTranslateCoordinates(display, xwindow, attributes.root, 0, 0, &place.x, &place.y, &child))
        return false;
    place.width = attributes.width;
    place.height = attributes.height;
    return true;
}

bool SetPlace(SDL_Window* window, const Place& place) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XOf(window, display, xwindow) || place.width <= 0 || place.height <= 0) return false;
    XMoveResizeWindow(display, xwindow, place.x, place.y, static_cast<unsigned>(place.width),
                      static_cast<unsigned>(place.height));
    XFlush(display);
    return true;
}

bool FrameExtents(SDL_Window* window, int& left, int& top) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XOf(window, display, xwindow)) return false;
    const std::vector<long> extents =  // left, right, top, bottom
        Words(display, xwindow, XInternAtom(display, "_NET_FRAME_EXTENTS", False), XA_CARDINAL);
    if (extents.size() != 4) return false;
    left = static_cast<int>(extents[0]);
    top = static_cast<int>(extents[2]);
    return true;
}

unsigned long WindowId(SDL_Window* window) {
    Display* display = nullptr;
    Window xwindow = 0;
    return XOf(window, display, xwindow) ? xwindow : 0;
}

void QueueUnmapNotice(SDL_Window* window) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XOf(window, display, xwindow)) return;
    XEvent e{};
    e.xunmap.type = UnmapNotify;
    e.xunmap.display = display;
    e.xunmap.event = xwindow;
    e.xunmap.window = xwindow;
    XPutBackEvent(display, &e);
}

bool ReadKeymap(SDL_Window* window, uint8_t (&keymap)[kServerKeymapSize]) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XOf(window, display, xwindow)) return false;
    char keys[kServerKeymapSize] = {};
    XQueryKeymap(display, keys);  // one round trip on SDL's own connection, on its thread
    std::memcpy(keymap, keys, sizeof keys);
    return true;
}

bool IsIconic(SDL_Window* window) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XOf(window, display, xwindow)) return false;
    const Atom wmState = XInternAtom(display, "WM_STATE", False);
    const std::vector<long> state = Words(display, xwindow, wmState, wmState);
    return !state.empty() && state[0] == IconicState;
}

bool RequestLeaveFullScreen(SDL_Window* window) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XOf(window, display, xwindow)) return false;
    const Atom full = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    AskManager(display, xwindow, "_NET_WM_STATE", {0 /* remove */, static_cast<long>(full), 0, 1 /* an application asks */});
    return true;
}

void AwaitLeftFullScreen(SDL_Window* window, ManagerHints& supports) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XOf(window, display, xwindow)) return;
    if (!supports("_NET_WM_STATE_FULLSCREEN")) return;
    const Atom full = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    const Atom motif = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    const std::vector<long> hints = Words(display, xwindow, motif, motif);  // flags, functions, decorations
    const bool decorated = (hints.size() < 3 || (hints[0] & 2) == 0 || hints[2] != 0) &&
                           supports("_NET_FRAME_EXTENTS");
    const Atom extents = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
    for (uint32_t start = SDL_GetTicks(); SDL_GetTicks() - start < 250; SDL_Delay(5)) {
        XSync(display, False);
        const std::vector<long> words = Words(display, xwindow, state, XA_ATOM);
        const bool still = std::find(words.begin(), words.end(), static_cast<long>(full)) != words.end();
        const std::vector<long> frame = Words(display, xwindow, extents, XA_CARDINAL);
        const bool framed = std::any_of(frame.begin(), frame.end(), [](long v) { return v != 0; });
        if (!still && (framed || !decorated)) break;
    }
}

namespace {

// The X server's time now, from the notification of an empty change to a property of the window's
// (one round trip on the window's own connection, on its thread); 0 where the window does not
// hear its property changes, which SDL asks for.
Time ServerTime(Display* display, Window xwindow) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, xwindow, &attributes) || (attributes.your_event_mask & PropertyChangeMask) == 0)
        return 0;
    struct SProbe {
        Window window;
        Atom property;
    } probe{xwindow, XInternAtom(display, "_MORNA_TIMESTAMP", False)};
    static const unsigned char nothing = 0;
    XChangeProperty(display, xwindow, probe.property, XA_STRING, 8, PropModeAppend, &nothing, 0);
    XSync(display, False);  // the notification is queued before the answer that ends the sync
    const auto isProbe = [](Display*, XEvent* e, XPointer p) -> Bool {
        const auto* probe = reinterpret_cast<const SProbe*>(p);
        return e->type == PropertyNotify && e->xproperty.window == probe->window && e->xproperty.atom == probe->property;
    };
    XEvent e;
    Time time = 0;
    while (XCheckIfEvent(display, &e, isProbe, reinterpret_cast<XPointer>(&probe))) time = e.xproperty.time;
    return time;
}

// The time of a request the application makes of its own accord (a window activated, a dialog shown):
// the player's last action. Before any event of ours came, the server's time now, read on purpose:
// all the player has done is start the game, and a manager that prevents focus stealing weighs the
// time against the focused window's last action, which is older. That time stands as his action
// from then on: the manager took it for the window's, and a request with an older one (the focus the
// map gave, read before the answer to this request) would be refused.
Time RequestTime(Display* display, Window xwindow) {
    const uint32_t time = LastEventTime();
    if (time != 0) return time;
    const Time now = ServerTime(display, xwindow);
    NoteRequestTime(static_cast<uint32_t>(now));
    return now;
}

}  // namespace

uint32_t LastUserTime(SDL_Window* window) {
    Display* display = nullptr;
    Window xwindow = 0;
    return XOf(window, display, xwindow) ? static_cast<uint32_t>(RequestTime(display, xwindow)) : 0;
}

bool RequestActivate(SDL_Window* window) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XOf(window, display, xwindow)) return false;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, xwindow, &attributes) || attributes.map_state == IsUnmapped) return false;
    const Time time = RequestTime(display, xwindow);
    if (time == 0) return false;
    if (!ManagerHints(window).Running()) {
        // Nobody reads the request: the window takes the focus itself, as a manager would give it (a
        // closing dialog's focus reverts to the root, which leaves the keys nowhere). With the
        // player's time, not the server's now: a dialog activated later with his time would be refused.
        if (attributes.map_state != IsViewable) return false;
        Unlogged(display, [&] {  // the window may be destroyed by another program meanwhile
            XRaiseWindow(display, xwindow);
            XSetInputFocus(display, xwindow, RevertToParent, time);
        });
        return true;
    }
    XRaiseWindow(display, xwindow);
    AskManager(display, xwindow, "_NET_ACTIVE_WINDOW", {1 /* an application asks */, static_cast<long>(time)});
    return true;
}

bool SetBackground(SDL_Window* window, bool white) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XOf(window, display, xwindow)) return false;
    const int screen = DefaultScreen(display);
    XSetWindowBackground(display, xwindow, white ? WhitePixel(display, screen) : BlackPixel(display, screen));
    XClearWindow(display, xwindow);
    XFlush(display);
    return true;
}

bool ResizeFixedWithoutRaise(SDL_Window* window, int width, int height) {
    Display* display = nullptr;
    Window xwindow = 0;
    if ((SDL_GetWindowFlags(window) & SDL_WINDOW_RESIZABLE) != 0 || !XOf(window, display, xwindow)) return false;
    XSizeHints* hints = XAllocSizeHints();
    if (hints == nullptr) return false;
    long supplied = 0;
    XGetWMNormalHints(display, xwindow, hints, &supplied);
    hints->flags |= PMinSize | PMaxSize;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(display, xwindow, hints);
    XFree(hints);
    XResizeWindow(display, xwindow, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(display);
    return true;
}

std::vector<unsigned long> ClientStacking(SDL_Window* window, ManagerHints& supports) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XOf(window, display, xwindow) || !supports("_NET_CLIENT_LIST_STACKING")) return {};
    const std::vector<long> words = Words(display, DefaultRootWindow(display),
                                          XInternAtom(display, "_NET_CLIENT_LIST_STACKING", False), XA_WINDOW, 4096);
    return {words.begin(), words.end()};
}

namespace {

// The window and those of its dialogs that the stacking lists.
std::vector<unsigned long> WindowAndDialogs(Window xwindow, const std::vector<unsigned long>& dialogs,
                                            const std::vector<unsigned long>& stacking) {
    std::vector<unsigned long> ours{xwindow};
    for (const unsigned long d : dialogs)
        if (std::find(stacking.begin(), stacking.end(), d) != stacking.end()) ours.push_back(d);
    return ours;
}

// Asks the restacks as a pager asks, each on the one connection, so that the manager takes them in
// order: _NET_RESTACK_WINDOW where the manager takes it, a configure request elsewhere.
void AskRestacks(Display* display, const std::vector<Restack>& plan, ManagerHints& supports) {
    if (plan.empty()) return;
    const bool restackRequest = supports("_NET_RESTACK_WINDOW");
    Unlogged(display, [&] {
        for (const Restack& r : plan) {
            if (restackRequest) {
                AskManager(display, r.window, "_NET_RESTACK_WINDOW",
                           {2, static_cast<long>(r.sibling), r.above ? Above : Below});
            } else {
                XWindowChanges changes{};
                changes.sibling = static_cast<Window>(r.sibling);
                changes.stack_mode = r.above ? Above : Below;
                XReconfigureWMWindow(display, r.window, DefaultScreen(display), CWSibling | CWStackMode, &changes);
            }
        }
    });
}

}  // namespace

void KeepStacking(SDL_Window* window, const std::vector<unsigned long>& before,
                  const std::vector<unsigned long>& dialogs, ManagerHints& supports) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (before.empty() || !XOf(window, display, xwindow)) return;
    const std::vector<unsigned long> after = ClientStacking(window, supports);
    AskRestacks(display, PlanRestacks(before, after, WindowAndDialogs(xwindow, dialogs, before)), supports);
}

void KeepUnderDialogs(SDL_Window* window, const std::vector<unsigned long>& dialogs) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (dialogs.empty() || !XOf(window, display, xwindow)) return;
    ManagerHints supports(window);
    const std::vector<unsigned long> now = ClientStacking(window, supports);
    const std::vector<unsigned long> ours = WindowAndDialogs(xwindow, dialogs, now);
    // Wanted: the window just below the lowest of its dialogs, where it is lower.
    const auto self = std::find(now.begin(), now.end(), xwindow);
    const auto dialog = std::find_first_of(now.begin(), now.end(), ours.begin() + 1, ours.end());
    if (self == now.end() || dialog == now.end() || self > dialog) return;
    std::vector<unsigned long> wanted(now.begin(), self);
    wanted.insert(wanted.end(), self + 1, dialog);
    wanted.push_back(xwindow);
    wanted.insert(wanted.end(), dialog, now.end());
    AskRestacks(display, PlanRestacks(wanted, now, {xwindow}), supports);
}

bool HoldsFocusUnclicked(SDL_Window* window) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XOf(window, display, xwindow)) return false;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (focus != xwindow) return false;
    // Looked for among the events queued, none taken: SDL reads them in its own time.
    const auto pressOn = [](Display*, XEvent* e, XPointer w) -> Bool {
        if (e->type == ButtonPress && e->xbutton.window == *reinterpret_cast<Window*>(w)) *reinterpret_cast<Window*>(w) = 0;
        return False;
    };
    XEvent e;
    Window pressed = xwindow;
    XCheckIfEvent(display, &e, pressOn, reinterpret_cast<XPointer>(&pressed));
    return pressed != 0;
}

bool ButtonDownOn(SDL_Window* window) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XOf(window, display, xwindow)) return false;
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(display, xwindow, &root, &child, &rootX, &rootY, &x, &y, &mask)) return false;
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    const bool inside = x >= 0 && y >= 0 && x < width && y < height;
    return inside && (mask & (Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask)) != 0;
}

bool DrawHeld(SDL_Window* window, const std::function<void()>& draw) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XOf(window, display, xwindow)) {
        draw();
        return true;
    }
    // Held, the server serves this connection alone: a destroy asked by another program waits until
    // the driver's requests are in. Without the hold a check before the draw would only narrow it.
    // Released on every way out, a throw's too: held, it stops every other program on the display.
    struct Hold {
        Display* display;
        explicit Hold(Display* d) : display(d) { XGrabServer(display); }
        ~Hold() {
            XUngrabServer(display);
            XFlush(display);  // the release must not wait in the buffer for the next frame's requests
        }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
    } hold(display);
    bool there = false;
    Unlogged(display, [&] {
        XWindowAttributes attributes;
        there = XGetWindowAttributes(display, xwindow, &attributes) != 0;
    });
    if (there) draw();
    return there;
}

}  // namespace morna::platform::x11
