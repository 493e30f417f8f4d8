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
    if (display_ == nullptr) return false;
    if (!read_)
        hints_ = Words(display_, DefaultRootWindow(display_), XInternAtom(display_, "_NET_SUPPORTED", False), XA_ATOM,
                       4096);
    read_ = true;
    const Atom wanted = XInternAtom(display_, hint, False);
    return std::find(hints_.begin(), hints_.end(), static_cast<long>(wanted)) != hints_.end();
}

namespace {

std::atomic<UserTimeSource> gUserTimeSource{nullptr};

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
// their window was destroyed by another program, and the requests SDL made for it go unlogged. The
// handler runs inside Xlib, on the thread that made the failing request; nothing calls Xlib while
// the lock is held.
struct Errors {
    std::mutex lock;
    std::map<unsigned long, DestroyedNote> destroyed;  // our windows destroyed by another program
    // Of the windows SDL asked about lately: their parents, as reparented, and their failed queries.
    std::map<unsigned long, std::vector<unsigned long>> frames, failedQueries;
    std::vector<XErrorNote> pending;
    size_t dropped = 0;  // past the bound, while nobody reports
};
constexpr size_t kPendingErrors = 256;

// Appends a serial or window to a list that keeps the latest few.
void KeepLatest(std::vector<unsigned long>& list, unsigned long value) {
    if (list.size() == 8) list.erase(list.begin());
    list.push_back(value);
}
// The same to a window's list, of the latest windows: the lists outlive the windows we destroy ourselves.
void KeepLatest(std::map<unsigned long, std::vector<unsigned long>>& lists, unsigned long window, unsigned long value) {
    if (lists.size() == 32 && lists.count(window) == 0) lists.erase(lists.begin());
    KeepLatest(lists[window], value);
}

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
    // A failed query for a window's parent is kept for the translation SDL makes from it next.
    if (e->request_code == X_QueryTree) {
        if (auto it = errors.destroyed.find(e->resourceid); it != errors.destroyed.end())
            KeepLatest(it->second.failedQueries, e->serial);
        else
            KeepLatest(errors.failedQueries, e->resourceid, e->serial);
    }
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

bool NoteDestroyed(unsigned long xwindow) {
    Errors& errors = TheErrors();
    std::lock_guard<std::mutex> guard(errors.lock);
    if (xwindow == 0 || errors.destroyed.count(xwindow) != 0) return false;
    DestroyedNote& note = errors.destroyed[xwindow];
    for (auto [lists, into] :
         {std::pair{&errors.frames, &note.frames}, std::pair{&errors.failedQueries, &note.failedQueries}})
        if (auto it = lists->find(xwindow); it != lists->end()) {
            *into = std::move(it->second);
            lists->erase(it);
        }
    return true;
}

std::vector<XErrorNote> ErrorsToLog(const std::vector<XErrorNote>& met,
                                    const std::map<unsigned long, DestroyedNote>& destroyed,
                                    const std::map<unsigned long, std::vector<unsigned long>>& frames) {
    // SDL finds a window's place on the screen by asking for its parent and translating from it, with
    // at most a read of the window's attributes (two requests) between. The manager may destroy the
    // frame the query named before the translation comes: as it takes a window out of full screen or
    // closes it, and as another program destroys the window. For a window destroyed, the query fails
    // and leaves the parent unset (whatever its variable held). SDL does that as it dispatches the
    // events queued before the destruction's notice, and as its teardown takes a window it believes
    // full screen out of full screen, long after the pump took the notice: no bound of requests or
    // time from the notice would do, but the query's failure says it.
    constexpr unsigned long kQueryToTranslation = 3;
    const auto isIn = [](const std::vector<unsigned long>& list, unsigned long v) {
        return std::find(list.begin(), list.end(), v) != list.end();
    };
    std::vector<XErrorNote> kept;
    for (const XErrorNote& e : met) {
        if (destroyed.count(e.resource) != 0) continue;
        const bool sdlTranslation =
            e.code == BadWindow && e.request == X_TranslateCoords &&
            (std::any_of(frames.begin(), frames.end(), [&](const auto& f) { return isIn(f.second, e.resource); }) ||
             std::any_of(destroyed.begin(), destroyed.end(), [&](const auto& d) {
                 const std::vector<unsigned long>& queries = d.second.failedQueries;
                 return isIn(d.second.frames, e.resource) || std::any_of(queries.begin(), queries.end(), [&](unsigned long q) {
                            return e.serial > q && e.serial - q <= kQueryToTranslation;
                        });
             }));
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
        pending = ErrorsToLog(errors.pending, errors.destroyed, errors.frames);
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

// The time of a request the application makes of its own accord (a window activated, a dialog shown):
// the player's last action. Before any event of ours came, the server's time now, read on purpose:
// all the player has done is start the game, and a manager that prevents focus stealing weighs the
// time against the focused window's last action, which is older.
Time RequestTime(Display* display, Window xwindow) {
    const uint32_t time = LastEventTime();
    return time != 0 ? time : ServerTime(display, xwindow);
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

namespace {

// What the X events of our windows told of the manager's focus and of the player's times. The filter
// writes it on the display thread; the atoms it compares are interned at the first client message,
// the filter's only round trip.
struct EventNotes {
    std::mutex lock;
    FocusEvents focus;
    Atom protocols = 0, takeFocus = 0;
};

EventNotes& Notes() {
    static EventNotes* notes = new EventNotes;  // the filter may run until the process ends
    return *notes;
}

}  // namespace

XEventSeen NoteXEvent(const SDL_Event& event) {
    const XEvent* x = XEventOf(event);
    XEventSeen seen;
    if (x == nullptr) return seen;
    EventNotes& notes = Notes();
    switch (x->type) {
        case DestroyNotify:
            seen.destroyed = x->xdestroywindow.window;
            return seen;
        case ReparentNotify: {
            if (x->xreparent.parent == DefaultRootWindow(x->xreparent.display)) return seen;
            Errors& errors = TheErrors();
            std::lock_guard<std::mutex> guard(errors.lock);
            KeepLatest(errors.frames, x->xreparent.window, x->xreparent.parent);
            return seen;
        }
        case FocusIn:
        case FocusOut: {
            const bool fromOutside = x->xfocus.detail != NotifyInferior && x->xfocus.detail <= NotifyNonlinearVirtual;
            std::lock_guard<std::mutex> guard(notes.lock);
            notes.focus.Focus(x->xfocus.window, x->type == FocusIn, static_cast<FocusMode>(x->xfocus.mode & 3),
                              fromOutside);
            return seen;
        }
        case ButtonPress: seen.pressed = x->xbutton.window; [[fallthrough]];
        case ButtonRelease: {
            std::lock_guard<std::mutex> guard(notes.lock);
            notes.focus.Stamped(static_cast<uint32_t>(x->xbutton.time));
            return seen;
        }
        case KeyPress:
        case KeyRelease: {
            std::lock_guard<std::mutex> guard(notes.lock);
            notes.focus.Stamped(static_cast<uint32_t>(x->xkey.time));
            return seen;
        }
        case ClientMessage: {
            std::unique_lock<std::mutex> guard(notes.lock);
            if (notes.protocols == 0) {
                guard.unlock();
                const Atom protocols = XInternAtom(x->xclient.display, "WM_PROTOCOLS", False);
                const Atom takeFocus = XInternAtom(x->xclient.display, "WM_TAKE_FOCUS", False);
                guard.lock();
                notes.protocols = protocols;
                notes.takeFocus = takeFocus;
            }
            if (x->xclient.format == 32 && x->xclient.message_type == notes.protocols &&
                static_cast<Atom>(x->xclient.data.l[0]) == notes.takeFocus)
                notes.focus.TakeFocus(x->xclient.window, static_cast<uint32_t>(x->xclient.data.l[1]));
            return seen;
        }
        default: return seen;
    }
}

FocusEvents FocusNotes() {
    std::lock_guard<std::mutex> guard(Notes().lock);
    return Notes().focus;
}

uint32_t LastEventTime() {
    FocusEvents notes = FocusNotes();
    if (const UserTimeSource source = gUserTimeSource.load()) notes.Stamped(source());
    return notes.Latest();
}

uint32_t FocusTime(SDL_Window* window) {
    const unsigned long xwindow = WindowId(window);
    if (xwindow == 0) return 0;
    uint32_t takeFocus = 0;
    {
        std::lock_guard<std::mutex> guard(Notes().lock);
        takeFocus = Notes().focus.TakeFocusTime(xwindow);
    }
    return takeFocus != 0 ? takeFocus : LastEventTime();
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
