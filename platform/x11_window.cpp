#include "platform/x11_window.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xproto.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <mutex>
#include <map>
#include <utility>
#include <vector>

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

// The hints the window manager says it supports (_NET_SUPPORTED), read once for every question.
class Supported {
public:
    explicit Supported(Display* display)
        : display_(display),
          hints_(Words(display, DefaultRootWindow(display), XInternAtom(display, "_NET_SUPPORTED", False), XA_ATOM,
                       4096)) {}
    bool operator()(const char* hint) const {
        const Atom wanted = XInternAtom(display_, hint, False);
        return std::find(hints_.begin(), hints_.end(), static_cast<long>(wanted)) != hints_.end();
    }

private:
    Display* display_;
    std::vector<long> hints_;
};

bool Supports(Display* display, const char* hint) { return Supported(display)(hint); }

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

std::atomic<UserTimeSource> gUserTimeSource{nullptr};

// Whether X server time a is later than b, across the 32-bit wrap.
bool Later(Time a, Time b) { return static_cast<int32_t>(static_cast<uint32_t>(a - b)) > 0; }

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

// X errors, kept until the display thread's pump reports them: by then the pump has seen whether
// their window was destroyed by another program, and the requests SDL made on it while it read the
// destruction's events go unlogged. The handler runs inside Xlib, on the thread that made the
// failing request; nothing calls Xlib while the lock is held.
struct Errors {
    std::mutex lock;
    std::map<unsigned long, DestroySerials> destroyed;  // our windows destroyed by another program
    std::vector<XErrorNote> pending;
    size_t dropped = 0;  // past the bound, while nobody reports
};
constexpr size_t kPendingErrors = 256;

Errors& TheErrors() {
    static Errors* errors = new Errors;  // the handler may run until the process ends
    return *errors;
}

// The handler another toolkit set for its own connection (GTK's, whose error traps rest on it).
using ErrorHandler = int (*)(Display*, XErrorEvent*);
std::atomic<Display*> gBesideDisplay{nullptr};
std::atomic<ErrorHandler> gBesideHandler{nullptr};

int OnError(Display* display, XErrorEvent* e) {
    if (const ErrorHandler beside = gBesideHandler.load(); beside != nullptr && display == gBesideDisplay.load())
        return beside(display, e);
    Errors& errors = TheErrors();
    std::lock_guard<std::mutex> guard(errors.lock);
    if (errors.destroyed.count(e->resourceid) != 0) return 0;  // said once, when it went
    if (errors.pending.size() == kPendingErrors) ++errors.dropped;
    else errors.pending.push_back({e->error_code, e->request_code, e->resourceid, e->serial});
    return 0;
}

// Makes requests on windows that another program may destroy meanwhile (the manager's other
// clients): an error on one is expected, and is dropped rather than logged.
template <typename Requests>
void Unlogged(Display* display, Requests&& requests) {
    const unsigned long first = NextRequest(display);
    requests();
    XSync(display, False);
    const unsigned long next = NextRequest(display);
    Errors& errors = TheErrors();
    std::lock_guard<std::mutex> guard(errors.lock);
    std::erase_if(errors.pending, [&](const XErrorNote& e) { return e.serial - first < next - first; });
}

}  // namespace

void GuardErrors() {
    static std::once_flag once;
    std::call_once(once, [] { XSetErrorHandler(&OnError); });
}

void TakeBackErrorHandler(Display* display) {
    const ErrorHandler previous = XSetErrorHandler(&OnError);
    if (previous == &OnError || previous == nullptr) return;
    gBesideHandler = nullptr;
    gBesideDisplay = display;
    gBesideHandler = previous;
}

namespace {

const XEvent* XEventOf(const SDL_Event& event) {
    if (event.type != SDL_SYSWMEVENT || event.syswm.msg == nullptr || event.syswm.msg->subsystem != SDL_SYSWM_X11)
        return nullptr;
    return &event.syswm.msg->msg.x11.event;
}

}  // namespace

unsigned long DestroyedWindow(const SDL_Event& event, DestroySerials* serials) {
    const XEvent* x = XEventOf(event);
    if (x == nullptr || x->type != DestroyNotify) return 0;
    if (serials != nullptr) *serials = {x->xdestroywindow.serial, XNextRequest(x->xdestroywindow.display) - 1};
    return x->xdestroywindow.window;
}

unsigned long PressedWindow(const SDL_Event& event) {
    const XEvent* x = XEventOf(event);
    return x != nullptr && x->type == ButtonPress ? x->xbutton.window : 0;
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

bool NoteDestroyed(unsigned long xwindow, DestroySerials serials) {
    Errors& errors = TheErrors();
    std::lock_guard<std::mutex> guard(errors.lock);
    return xwindow != 0 && errors.destroyed.emplace(xwindow, serials).second;
}

std::vector<XErrorNote> ErrorsToLog(const std::vector<XErrorNote>& met,
                                    const std::map<unsigned long, DestroySerials>& destroyed) {
    // Dispatching the events read before a destroy notice, SDL asks the server for the parent of a
    // window it hears reconfigured and translates coordinates from that parent, answered or not. For
    // our window destroyed meanwhile the query fails, and the translation goes from whatever the
    // parent was left as; or the query is answered, and the manager destroys the frame it named
    // before the translation comes. Either fails with BadWindow on a window that is not ours (one of
    // ours destroyed is dropped anyway, a live one gives no BadWindow), and both fall after the
    // notice's serial (the server took them after the destruction) and no later than the last
    // request sent when the pump takes the notice (SDL dispatches the events before it first, and
    // waits for the translation's answer). That stretch is the bound: a fixed count of requests would
    // not do (out of full screen SDL answers the queued events with a hundred requests and more
    // before it reaches the notice), nor would a time on a busy machine.
    std::vector<XErrorNote> kept;
    for (const XErrorNote& e : met) {
        if (destroyed.count(e.resource) != 0) continue;
        const bool sdlTranslation =
            e.code == BadWindow && e.request == X_TranslateCoords &&
            std::any_of(destroyed.begin(), destroyed.end(),
                        [&](const auto& d) { return e.serial > d.second.notice && e.serial <= d.second.taken; });
        if (!sdlTranslation) kept.push_back(e);
    }
    return kept;
}

void ReportErrors() {
    Errors& errors = TheErrors();
    std::vector<XErrorNote> pending;
    size_t dropped = 0;
    {
        std::lock_guard<std::mutex> guard(errors.lock);
        pending = ErrorsToLog(errors.pending, errors.destroyed);
        errors.pending.clear();
        dropped = std::exchange(errors.dropped, 0);
    }
    for (const XErrorNote& e : pending)
        std::fprintf(stderr, "X error %d on request %d (resource 0x%lx) ignored\n", e.code, e.request, e.resource);
    if (dropped != 0) std::fprintf(stderr, "%zu more X errors ignored\n", dropped);
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

void AwaitLeftFullScreen(SDL_Window* window) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XOf(window, display, xwindow)) return;
    const Supported supports(display);
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

// The time of the user's last key or click in the window (SDL writes it on the window for the
// manager) or in the platform's other windows (a dialog knows the key or click that closed it),
// whichever is later; the server's time now only where the user has done nothing yet. A manager
// takes a request's time for the user's, and would refuse the focus to the next window shown with
// the time of the real action that opened it, older than now.
Time UserTime(Display* display, Window xwindow) {
    const std::vector<long> own = Words(display, xwindow, XInternAtom(display, "_NET_WM_USER_TIME", False), XA_CARDINAL);
    Time time = own.empty() ? 0 : static_cast<Time>(static_cast<uint32_t>(own[0]));
    if (const UserTimeSource source = gUserTimeSource.load()) {
        const Time others = source();
        if (others != 0 && (time == 0 || Later(others, time))) time = others;
    }
    return time != 0 ? time : ServerTime(display, xwindow);
}

// A time read on the window's connection; 0 where it is not on X.
uint32_t TimeOn(SDL_Window* window, Time (*read)(Display*, Window)) {
    Display* display = nullptr;
    Window xwindow = 0;
    return XOf(window, display, xwindow) ? static_cast<uint32_t>(read(display, xwindow)) : 0;
}

}  // namespace

uint32_t LastUserTime(SDL_Window* window) { return TimeOn(window, &UserTime); }

bool RequestActivate(SDL_Window* window) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XOf(window, display, xwindow)) return false;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, xwindow, &attributes) || attributes.map_state == IsUnmapped) return false;
    const Time time = UserTime(display, xwindow);
    if (time == 0) return false;
    XRaiseWindow(display, xwindow);
    AskManager(display, xwindow, "_NET_ACTIVE_WINDOW", {1 /* an application asks */, static_cast<long>(time)});
    return true;
}

void SetUserTimeSource(UserTimeSource source) { gUserTimeSource.store(source); }

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

std::vector<unsigned long> ClientStacking(SDL_Window* window) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XOf(window, display, xwindow)) return {};
    const std::vector<long> words = Words(display, DefaultRootWindow(display),
                                          XInternAtom(display, "_NET_CLIENT_LIST_STACKING", False), XA_WINDOW, 4096);
    return {words.begin(), words.end()};
}

namespace {

// The window and the windows transient for it (its dialogs and boxes) among the manager's clients.
std::vector<unsigned long> WindowAndDialogs(Display* display, Window xwindow, const std::vector<unsigned long>& clients) {
    std::vector<unsigned long> ours{xwindow};
    Unlogged(display, [&] {
        for (const unsigned long w : clients) {
            Window owner = 0;
            if (XGetTransientForHint(display, static_cast<Window>(w), &owner) && owner == xwindow) ours.push_back(w);
        }
    });
    return ours;
}

// Asks the restacks as a pager asks, each on the one connection, so that the manager takes them in
// order: _NET_RESTACK_WINDOW where the manager takes it, a configure request elsewhere.
void AskRestacks(Display* display, const std::vector<Restack>& plan) {
    if (plan.empty()) return;
    const bool restackRequest = Supports(display, "_NET_RESTACK_WINDOW");
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

void KeepStacking(SDL_Window* window, const std::vector<unsigned long>& before) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (before.empty() || !XOf(window, display, xwindow)) return;
    AskRestacks(display, PlanRestacks(before, ClientStacking(window), WindowAndDialogs(display, xwindow, before)));
}

void KeepUnderDialogs(SDL_Window* window) {
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XOf(window, display, xwindow)) return;
    const std::vector<unsigned long> now = ClientStacking(window);
    const std::vector<unsigned long> ours = WindowAndDialogs(display, xwindow, now);
    // Wanted: the window just below the lowest of its dialogs, where it is lower.
    const auto self = std::find(now.begin(), now.end(), xwindow);
    const auto dialog = std::find_first_of(now.begin(), now.end(), ours.begin() + 1, ours.end());
    if (self == now.end() || dialog == now.end() || self > dialog) return;
    std::vector<unsigned long> wanted(now.begin(), self);
    wanted.insert(wanted.end(), self + 1, dialog);
    wanted.push_back(xwindow);
    wanted.insert(wanted.end(), dialog, now.end());
    AskRestacks(display, PlanRestacks(wanted, now, {xwindow}));
}

namespace {

struct EventTimes {
    std::atomic<uint32_t> latest{0};          // of a key, a click or a property change of ours
    std::atomic<unsigned long> takeFocusWindow{0};
    std::atomic<uint32_t> takeFocus{0};       // the last WM_TAKE_FOCUS, for takeFocusWindow; 0: none stamped
    std::atomic<Atom> protocols{0}, takeFocusAtom{0};  // interned once: the filter makes no round trip
    std::atomic<uint32_t> takeFocusCount{0};
    std::atomic<bool> grabbed{false};  // the last focus event of ours came during a keyboard grab
};
EventTimes gEventTimes;

}  // namespace

void NoteEventTime(const SDL_Event& event) {
    const XEvent* x = XEventOf(event);
    if (x == nullptr) return;
    Time time = 0;
    switch (x->type) {
        case FocusIn:
        case FocusOut:
            // A grab's start and the focus moved under it say a switch is going on; its end, or a
            // plain change, that none is.
            gEventTimes.grabbed = x->xfocus.mode == NotifyGrab || x->xfocus.mode == NotifyWhileGrabbed;
            return;
        case KeyPress:
        case KeyRelease: time = x->xkey.time; break;
        case ButtonPress:
        case ButtonRelease: time = x->xbutton.time; break;
        case PropertyNotify: time = x->xproperty.time; break;
        case ClientMessage: {
            if (gEventTimes.protocols.load() == 0) {
                gEventTimes.takeFocusAtom = XInternAtom(x->xclient.display, "WM_TAKE_FOCUS", False);
                gEventTimes.protocols = XInternAtom(x->xclient.display, "WM_PROTOCOLS", False);
            }
            if (x->xclient.format != 32 || x->xclient.message_type != gEventTimes.protocols.load() ||
                static_cast<Atom>(x->xclient.data.l[0]) != gEventTimes.takeFocusAtom.load())
                return;
            // One without a time still says which window the manager gave the focus to last.
            time = static_cast<Time>(x->xclient.data.l[1]);
            gEventTimes.takeFocus = static_cast<uint32_t>(time);
            gEventTimes.takeFocusWindow = x->xclient.window;
            ++gEventTimes.takeFocusCount;
            break;
        }
        default: return;
    }
    const uint32_t latest = gEventTimes.latest.load();
    if (time != CurrentTime && (latest == 0 || Later(time, latest))) gEventTimes.latest = static_cast<uint32_t>(time);
}

bool ManagerSwitching() { return gEventTimes.grabbed.load(); }

uint32_t TakeFocusCount() { return gEventTimes.takeFocusCount.load(); }

uint32_t FocusTime(SDL_Window* window) {
    const unsigned long xwindow = WindowId(window);
    if (xwindow == 0) return 0;
    const uint32_t takeFocus = gEventTimes.takeFocusWindow.load() == xwindow ? gEventTimes.takeFocus.load() : 0;
    return takeFocus != 0 ? takeFocus : gEventTimes.latest.load();
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

}  // namespace morna::platform::x11
