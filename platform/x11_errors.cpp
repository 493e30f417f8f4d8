#include "platform/x11_errors.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <utility>

#include <poll.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/Xlibint.h>  // the connection's resource ids, and its errors' and events' converters (last: its macros)
#include <X11/Xproto.h>
#include <X11/extensions/render.h>

namespace morna::platform::x11 {
namespace {

// SDL's software renderer makes a graphics context for its picture on the window, and frees it in its
// teardown. Made after another program destroyed the window, it never was, and its free fails. The
// making's own error cannot be counted: SDL makes it while resizing for full screen, under a handler
// of its own that swallows every error. Nothing else here frees a context it did not make. SDL frees
// it at its teardown and at each remaking of the picture for a new size (a resize read after the
// destruction): no bound narrower than the first window destroyed holds.
bool FreedUnmade(int code, int request, const std::map<unsigned long, DestroyedNote>& destroyed) {
    return code == BadGC && request == X_FreeGC && !destroyed.empty();
}

// X errors, kept until the display thread's pump reports them: by then the pump has seen whether
// their window was destroyed by another program, and the requests SDL made for it go unlogged. The
// handler runs inside Xlib, on the thread that made the failing request; nothing calls Xlib while
// the lock is held.
struct Errors {
    std::mutex lock;
    std::map<unsigned long, DestroyedNote> destroyed;  // our windows destroyed by another program
    // Of 32 windows at most (KeepLatest): their parents, as reparented, and their failed queries.
    std::map<unsigned long, std::vector<unsigned long>> frames, failedQueries;
    std::vector<XErrorNote> pending;
    size_t dropped = 0;  // past the bound, while nobody reports
    ToolkitIds toolkit;
    ToolkitDestroys toolkitDestroys;
    size_t toolkitDropped = 0;  // since the last LogDroppedToolkitErrors
};
constexpr size_t kPendingErrors = 256;

// Appends a serial or window to a list that keeps the latest few.
void KeepLatest(std::vector<unsigned long>& list, unsigned long value, size_t bound = 8) {
    if (list.size() == bound) list.erase(list.begin());
    list.push_back(value);
}
// The same to a window's list, with the lists of 32 windows at most: a window new past them
// evicts the list of the lowest window id, not the oldest. The lists outlive the windows we
// destroy ourselves.
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
    const ErrorHandler beside = gBesideHandler.load();
    Errors& errors = TheErrors();
    std::unique_lock<std::mutex> guard(errors.lock);
    switch (RouteError({e->error_code, e->request_code, e->resourceid, e->serial},
                       beside != nullptr && display == gBesideDisplay.load(), errors.toolkit, errors.toolkitDestroys)) {
    case ErrorRoute::Toolkit:
        guard.unlock();
        return beside(display, e);
    case ErrorRoute::Dropped:
        ++errors.toolkitDropped;
        return 0;
    case ErrorRoute::Logged:
        break;
    }
    // A failed query for a window's parent is kept for the translation SDL makes from it next.
    if (e->request_code == X_QueryTree) {
        if (auto it = errors.destroyed.find(e->resourceid); it != errors.destroyed.end())
            KeepLatest(it->second.failedQueries, e->serial);
        else
            KeepLatest(errors.failedQueries, e->resourceid, e->serial);
    }
    // A destroyed window was said once, when it went; its failed requests are not.
    if (errors.destroyed.count(e->resourceid) != 0 || FreedUnmade(e->error_code, e->request_code, errors.destroyed))
        return 0;
    if (errors.pending.size() == kPendingErrors) ++errors.dropped;
    else errors.pending.push_back({e->error_code, e->request_code, e->resourceid, e->serial});
    return 0;
}

// The converters of the toolkit connection's errors that were there before ours (Xlib's own, which
// passes every error on), by error code.
using WireToError = Bool (*)(Display*, XErrorEvent*, xError*);
WireToError gBesideWire[256];

// Every error of the listed codes on the toolkit's connection comes here before it reaches the
// process's handler, whoever's that is at the time: a GDK trap pushed installs GDK's, which ends the
// process on an error it did not trap (one of an earlier request, read by a request in the trap).
// False drops the error.
Bool OnToolkitWire(Display* display, XErrorEvent* e, xError* wire) {
    {
        Errors& errors = TheErrors();
        std::lock_guard<std::mutex> guard(errors.lock);
        if (RouteError({e->error_code, e->request_code, e->resourceid, e->serial}, true, errors.toolkit,
                       errors.toolkitDestroys) == ErrorRoute::Dropped) {
            ++errors.toolkitDropped;
            return False;
        }
    }
    const WireToError beside = gBesideWire[e->error_code];
    return beside == nullptr || beside(display, e, wire);
}

// The converter of the toolkit connection's destroy notices that was there before ours (Xlib's own),
// and the toolkit's answer to whether it destroyed a window itself.
using WireToEvent = Bool (*)(Display*, XEvent*, xEvent*);
WireToEvent gBesideDestroyWire = nullptr;
std::atomic<bool (*)(unsigned long)> gDestroyedItself{nullptr};

// Every destroy notice on the toolkit's connection, as Xlib takes it off the wire: ahead of the
// errors the server sent after it, whatever reads them (a round trip inside a trap, or the toolkit's
// own read), and before the toolkit handles it. Only noted; the event goes on as converted.
Bool OnToolkitDestroyWire(Display* display, XEvent* event, xEvent* wire) {
    const WireToEvent beside = gBesideDestroyWire;
    const Bool converted = beside != nullptr && beside(display, event, wire);
    if (!converted || event->type != DestroyNotify) return converted;
    const unsigned long window = event->xdestroywindow.window;
    const auto destroyedItself = gDestroyedItself.load();
    const bool itself = destroyedItself != nullptr && destroyedItself(window);  // outside the lock: it asks GDK
    Errors& errors = TheErrors();
    std::lock_guard<std::mutex> guard(errors.lock);
    NoteToolkitDestroy(errors.toolkitDestroys, errors.toolkit, window, event->xdestroywindow.serial, itself);
    return converted;
}

// The function Xlib calls after each request of the toolkit's connection that was there before ours
// (none, or Xlib's own where the requests are made synchronous).
using AfterFunction = int (*)(Display*);
std::atomic<AfterFunction> gBesideAfter{nullptr};

// After each request of the toolkit's connection, on the thread that made it (the toolkit's): a
// destroy of one of its windows is noted with its serial, which the notice of that destroy carries.
// Xlib's last request is in its buffer still, or a dummy of no type once the buffer was sent.
int OnToolkitRequest(Display* display) {
    const char* last = display->last_req;
    if (reinterpret_cast<const xReq*>(last)->reqType == X_DestroyWindow) {
        const unsigned long window = reinterpret_cast<const xResourceReq*>(last)->id;
        Errors& errors = TheErrors();
        std::lock_guard<std::mutex> guard(errors.lock);
        NoteToolkitDestroyRequest(errors.toolkitDestroys, errors.toolkit, window, NextRequest(display) - 1);
    }
    const AfterFunction beside = gBesideAfter.load();
    return beside != nullptr ? beside(display) : 0;
}

std::atomic<bool> gConnectionLost{false};

// The connection is gone: the process ends with exit code 1, as Xlib's own handler ends it, but
// without exit()'s clean-up. That would run the static objects' destructors on whichever thread
// read the loss, while the others still run and use them (the application object among them,
// destroyed under its own thread's frames). Nor does it touch a stream: another thread may hold a
// stream's lock, or be blocked writing to it, for ever. The line goes straight to descriptor 2, and
// only where that takes it at once.
[[noreturn]] int OnIoError(Display* display) {
    gConnectionLost = true;
    char line[256];
    const int length = std::snprintf(line, sizeof line, "X11: the connection to the X server %s was lost; the program ends\n",
                                     display != nullptr ? DisplayString(display) : "");
    pollfd out{2, POLLOUT, 0};
    if (length > 0 && poll(&out, 1, 0) == 1 && (out.revents & POLLOUT) != 0) {
        const size_t size = static_cast<size_t>(length) < sizeof line ? static_cast<size_t>(length) : sizeof line - 1;
        const ssize_t written = write(2, line, size);
        static_cast<void>(written);  // nothing more to do where it was not
    }
    _exit(1);
}

}  // namespace

void GuardErrors() {
    static std::once_flag once;
    std::call_once(once, [] {
        XSetErrorHandler(&OnError);
        XSetIOErrorHandler(&OnIoError);
    });
}

bool ConnectionLost() { return gConnectionLost.load(); }

void TakeBackErrorHandler(Display* display, bool (*destroyedItself)(unsigned long xwindow)) {
    XSetIOErrorHandler(&OnIoError);  // GTK's own would end the process its way
    const ErrorHandler previous = XSetErrorHandler(&OnError);
    if (previous == &OnError || previous == nullptr) return;
    gBesideHandler = nullptr;
    gBesideDisplay = display;
    gBesideHandler = previous;
    ToolkitIds ids{display->resource_base, display->resource_mask, 0};
    int major = 0, firstEvent = 0, firstError = 0;
    if (XQueryExtension(display, "RENDER", &major, &firstEvent, &firstError)) ids.badPicture = firstError + BadPicture;
    {
        Errors& errors = TheErrors();
        std::lock_guard<std::mutex> guard(errors.lock);
        errors.toolkit = ids;
    }
    gDestroyedItself = destroyedItself;
    if (const AfterFunction before = XSetAfterFunction(display, &OnToolkitRequest); before != &OnToolkitRequest)
        gBesideAfter = before;
    for (const int code : {int{BadWindow}, int{BadPixmap}, int{BadDrawable}, int{BadGC}, int{ids.badPicture}})
        if (code != 0) gBesideWire[code] = XESetWireToError(display, code, &OnToolkitWire);
    gBesideDestroyWire = XESetWireToEvent(display, DestroyNotify, &OnToolkitDestroyWire);
}

void LogDroppedToolkitErrors() {
    Errors& errors = TheErrors();
    size_t dropped = 0;
    {
        std::lock_guard<std::mutex> guard(errors.lock);
        dropped = std::exchange(errors.toolkitDropped, 0);
    }
    if (dropped != 0)
        std::fprintf(stderr, "GTK: %zu of its X requests failed on resources gone with a dialog's window that "
                             "another program destroyed; not reported\n", dropped);
}

namespace {
bool Owns(const ToolkitIds& ids, unsigned long resource) {
    return ids.mask != 0 && (resource & ~ids.mask) == ids.base;
}
}  // namespace

void NoteToolkitDestroyRequest(ToolkitDestroys& destroys, const ToolkitIds& ids, unsigned long xwindow,
                               unsigned long serial) {
    // The latest few: a request whose notice never comes (its window was gone already, or the toolkit
    // never asked for its notices) is pushed out by later ones, and one pushed out before its notice
    // came is judged by the toolkit's word.
    constexpr size_t kAskedDestroys = 16;
    std::vector<std::pair<unsigned long, unsigned long>>& asked = destroys.asked;
    const std::pair request{xwindow, serial};
    // Xlib calls its after function too where a call made no request, the destroy still its last.
    if (!Owns(ids, xwindow) || std::find(asked.begin(), asked.end(), request) != asked.end()) return;
    if (asked.size() == kAskedDestroys) asked.erase(asked.begin());
    asked.push_back(request);
}

void NoteToolkitDestroy(ToolkitDestroys& destroys, const ToolkitIds& ids, unsigned long xwindow, unsigned long serial,
                        bool destroyedItself) {
    if (!Owns(ids, xwindow)) return;
    bool itself = destroyedItself;
    const auto of = [&](const std::pair<unsigned long, unsigned long>& request) { return request.first == xwindow; };
    if (const auto first = std::find_if(destroys.asked.begin(), destroys.asked.end(), of); first != destroys.asked.end()) {
        itself = serial >= first->second;  // handled when the server came to the toolkit's own request
        std::erase_if(destroys.asked, of);
    }
    if (!itself) destroys.byAnother = true;
}

ErrorRoute RouteError(const XErrorNote& e, bool toolkits, const ToolkitIds& ids, const ToolkitDestroys& destroys) {
    if (!toolkits) return ErrorRoute::Logged;
    // Each of these says that the resource it names is not there. The toolkit's own were made by its
    // requests: one is not there when another program destroyed it (a window, with its children) or
    // its making failed on such a window, or when the toolkit freed it twice.
    const bool absent = e.code == BadWindow || e.code == BadPixmap || e.code == BadDrawable || e.code == BadGC ||
                        (ids.badPicture != 0 && e.code == ids.badPicture);
    return absent && Owns(ids, e.resource) && destroys.byAnother ? ErrorRoute::Dropped : ErrorRoute::Toolkit;
}

void NoteFrame(unsigned long xwindow, unsigned long frame) {
    Errors& errors = TheErrors();
    std::lock_guard<std::mutex> guard(errors.lock);
    KeepLatest(errors.frames, xwindow, frame);
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
        if (destroyed.count(e.resource) != 0 || FreedUnmade(e.code, e.request, destroyed)) continue;
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

void Unlogged(Display* display, const std::function<void()>& requests) {
    const unsigned long first = NextRequest(display);
    requests();
    XSync(display, False);
    const unsigned long next = NextRequest(display);
    Errors& errors = TheErrors();
    std::lock_guard<std::mutex> guard(errors.lock);
    std::erase_if(errors.pending, [&](const XErrorNote& e) { return e.serial - first < next - first; });
}

}  // namespace morna::platform::x11
