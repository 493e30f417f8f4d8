#include "platform/window.h"

#include <SDL2/SDL.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/charset.h"
#include "platform/clock.h"
#include "platform/event_observer.h"
#include "platform/file_system.h"
#include "platform/render_driver.h"
#include "platform/window_state.h"
#include "platform/x11_errors.h"
#include "platform/x11_events.h"
#include "platform/x11_window.h"

namespace morna::platform {
namespace window_state {

struct ThreadQueue;  // a thread's messages (window.cpp)

struct WindowRecord {
    std::shared_ptr<ThreadQueue> owner;
    SDL_Window* sdl = nullptr;
    uint32_t sdlId = 0;
    WindowProcedure procedure = nullptr;
    WindowProcedure dialogProcedure = nullptr;
    void* userData = nullptr;
    std::string caption;
    uint32_t style = 0;
    bool inputMethod = false;
    bool acceptsDrops = false;  // DragAcceptFiles
    bool destroying = false;  // WM_DESTROY sent: a second DestroyWindow does nothing
    bool whiteBackground = false;  // its class's
    bool destroyedOutside = false;  // its X window was destroyed by another program
    int frameLeft = 0, frameTop = 0;  // the manager's frame, as last known while the X window was there
};

// Everything shared between threads, under one lock. SDL is never called
// while it is held.
struct State {
    std::mutex lock;
    std::vector<WindowClass> classes;
    std::map<WindowHandle, WindowRecord> windows;
    std::map<int32_t, DialogTemplate> dialogTemplates;  // by id
    WindowHandle nextHandle = 1;
    ThreadQueue* videoOwner = nullptr;  // the thread that started SDL video
    // Held while SDL video starts or stops, and by another thread's push into its event queue,
    // which the stop frees. Taken before `lock`.
    std::mutex videoLife;
    uint32_t wakeEvent = 0;             // our SDL user event that wakes SDL_WaitEvent
    int32_t cursorCount = 0;
    // Files dropped, gathered until SDL says the drop is complete, then handed out by id.
    std::vector<std::string> dropping;
    std::map<uintptr_t, std::vector<std::string>> drops;
    uintptr_t nextDrop = 1;
    // SDL's reason for the last refused video start or window, whichever thread asked.
    std::string windowError;

    State() {
        for (const char* name :
             {"BUTTON", "COMBOBOX", "EDIT", "LISTBOX", "MDICLIENT", "SCROLLBAR", "STATIC"})
            classes.push_back({name, &DefaultWindowProcedure, false});
    }
};

State& S();
void PostTo(ThreadQueue* queue, const WindowMessage& m);

// A message sent from another thread, answered by the window's thread.
struct SentCall {
    WindowMessage message;
    std::function<void()> work;  // run in place of a dispatch when set
    std::shared_ptr<ThreadQueue> sender;  // woken on completion
    intptr_t result = 0;
    bool done = false;  // guarded by the sender's queue lock
};

struct ThreadQueue {
    std::mutex lock;
    std::condition_variable wake;
    std::deque<WindowMessage> posted;
    std::deque<std::shared_ptr<SentCall>> sent;
    bool quitPending = false;
    int32_t quitCode = 0;
    bool alive = true;
};

State& S() {
    static State* state = new State;  // outlives every thread's clean-up
    return *state;
}

}  // namespace window_state

using namespace window_state;

namespace {

std::atomic<PumpPassHook> gPassHook{nullptr};

// A termination signal caught since the pump last looked; the handler sets it and nothing else.
volatile sig_atomic_t gCloseSignal = 0;
std::atomic<bool> gCatchingSignals{false};

void OnCloseSignal(int) { gCloseSignal = 1; }

void DestroyThreadWindows(ThreadQueue* queue);
// Queues the call on the owner's thread and waits for its answer, serving what is sent to us.
intptr_t SendAndWait(const std::shared_ptr<ThreadQueue>& owner, const std::shared_ptr<SentCall>& call);

// The calling thread's queue. At thread end, whatever the thread left behind is
// released without calling procedures (their objects may already be gone).
struct ThreadHolder {
    std::shared_ptr<ThreadQueue> queue = std::make_shared<ThreadQueue>();
    ~ThreadHolder() {
        DestroyThreadWindows(queue.get());
        // SDL frees its data of a thread (the error message) only for the threads it starts: this
        // one's goes as it ends, where it would be left unreachable.
        SDL_TLSCleanup();
    }
};

std::shared_ptr<ThreadQueue>& MyQueue() {
    thread_local ThreadHolder holder;
    return holder.queue;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto up = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; };
               return up(x) == up(y);
           });
}

// The window's SDL handle, only for its own thread.
SDL_Window* OwnSdlWindow(WindowHandle window) {
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    auto it = s.windows.find(window);
    if (it == s.windows.end() || it->second.owner != MyQueue()) return nullptr;
    return it->second.sdl;
}

// SDL keeps its error per thread: the reason is kept here for whoever reports it.
void NoteWindowError(const char* reason) {
    std::lock_guard<std::mutex> guard(S().lock);
    S().windowError = reason;
}

// The filter of SDL's X events (system events), where SDL reads them, on the display thread: each is
// noted by the X side (times, focus, frames); only the server's notice that one of our windows was
// destroyed passes on to the pump, and a press of a pointer button on one is noted for the focus it
// may bring.
int FilterSdlXEvents(void*, SDL_Event* e) {
    if (e->type != SDL_SYSWMEVENT) return 1;
    const x11::XEventSeen seen = x11::NoteXEvent(*e);
    const unsigned long xwindow = seen.destroyed != 0 ? seen.destroyed : seen.pressed;
    if (xwindow == 0) return 0;
    std::vector<std::pair<WindowHandle, SDL_Window*>> ours;
    {
        std::lock_guard<std::mutex> guard(S().lock);
        for (const auto& [h, w] : S().windows) ours.emplace_back(h, w.sdl);
    }
    const auto mine =
        std::find_if(ours.begin(), ours.end(), [&](const auto& w) { return x11::WindowId(w.second) == xwindow; });
    if (mine == ours.end()) return 0;
    if (seen.destroyed != 0) return 1;
    NoteWindowPress(mine->first);
    return 0;
}

// The drivers SDL may take by itself are those that show a window, in SDL's order of preference:
// left to itself it falls back on one that draws nowhere (offscreen), and the game would play on with
// nothing to see or close. A driver that shows nothing (offscreen, dummy) or takes the console's screen
// (kmsdrm) runs only where SDL_VIDEODRIVER names it. Answers the drivers given to SDL, or empty where
// the player named his own.
std::string ChooseVideoDrivers() {
    const char* named = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (named != nullptr && *named != '\0') return {};
    std::string list;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const char* driver = SDL_GetVideoDriver(i);
        if (SDL_strcmp(driver, "x11") != 0 && SDL_strcmp(driver, "wayland") != 0) continue;
        if (!list.empty()) list += ',';
        list += driver;
    }
    // An empty SDL_VIDEODRIVER names nothing; only the override outranks the variable.
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, list.empty() ? "none" : list.c_str(), SDL_HINT_OVERRIDE);
    return list.empty() ? "none" : list;
}

// Why none of the drivers ChooseVideoDrivers gave could start: the displays they looked for. (Built
// by appends: g++ 12 at -O3 warns of overlaps that are not there in chains of string sums.)
std::string NoDisplayReason(const std::string& drivers) {
    const auto named = [](const char* variable) -> const char* {
        const char* value = SDL_getenv(variable);
        return value != nullptr && *value != '\0' ? value : nullptr;
    };
    std::string reason = "no display could be opened (";
    const char* separator = "";
    if (drivers.find("x11") != std::string::npos) {
        if (const char* display = named("DISPLAY"))
            reason.append("X11: no X server answers at DISPLAY \"").append(display).append("\"");
        else
            reason.append("X11: DISPLAY is not set");
        separator = "; ";
    }
    if (drivers.find("wayland") != std::string::npos) {
        reason.append(separator);
        if (const char* display = named("WAYLAND_DISPLAY"))
            reason.append("Wayland: no compositor at \"").append(display).append("\"");
        else
            reason.append("Wayland: no compositor at the default display");
        separator = "; ";
    }
    if (*separator == '\0') reason.append("SDL has no X11 or Wayland driver");
    return reason.append("); a driver that shows no window runs only where SDL_VIDEODRIVER names it");
}

// Starts SDL video for the calling thread unless it already owns it.
bool EnsureVideo() {
    State& s = S();
    ThreadQueue* me = MyQueue().get();
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.videoOwner == me) return true;
        if (s.videoOwner != nullptr) {
            s.windowError = "the display belongs to another thread";
            return false;
        }
        s.videoOwner = me;  // claimed; the others are refused until released
    }
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // SDL would turn SIGINT and SIGTERM into its quit event, which is ignored here: the
    // signals keep their usual effect, or the one CloseOnSignals gives them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    x11::GuardErrors();
    {
        std::lock_guard<std::mutex> life(s.videoLife);
        const std::string chosen = ChooseVideoDrivers();
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            NoteWindowError(chosen.empty() ? SDL_GetError() : NoDisplayReason(chosen).c_str());
            std::lock_guard<std::mutex> guard(s.lock);
            s.videoOwner = nullptr;
            return false;
        }
    }
    SDL_EventState(SDL_QUIT, SDL_IGNORE);
    // The X server's events come as system events too: a window destroyed by another program is
    // only told that way. SDL would copy every X event into its queue: only those notices pass.
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    SDL_SetEventFilter(&FilterSdlXEvents, nullptr);
    // Drops reach a window only once it accepts them (DragAcceptFiles).
    SDL_EventState(SDL_DROPFILE, SDL_DISABLE);
    SDL_EventState(SDL_DROPCOMPLETE, SDL_DISABLE);
    bool registered = false;
    int32_t cursorCount = 0;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        registered = s.wakeEvent != 0;
        cursorCount = s.cursorCount;
    }
    if (!registered) {
        // Only this thread, the display's, registers it; SDL keeps the number across restarts.
        const uint32_t type = SDL_RegisterEvents(1);
        std::lock_guard<std::mutex> guard(s.lock);
        s.wakeEvent = type == static_cast<uint32_t>(-1) ? 0 : type;
    }
    SDL_ShowCursor(cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return true;
}

// Shuts SDL video down, for its owner.
void QuitVideo() {
    State& s = S();
    {
        std::lock_guard<std::mutex> life(s.videoLife);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        std::lock_guard<std::mutex> guard(s.lock);
        s.videoOwner = nullptr;
    }
    x11::ReportErrors();
}

// Shuts SDL video down when the calling thread owns it and has no window left.
void ReleaseVideoIfIdle() {
    State& s = S();
    ThreadQueue* me = MyQueue().get();
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.videoOwner != me) return;
        for (auto& [h, w] : s.windows)
            if (w.owner.get() == me) return;
    }
    QuitVideo();
}

void Complete(const std::shared_ptr<SentCall>& call, intptr_t result) {
    std::lock_guard<std::mutex> guard(call->sender->lock);
    call->result = result;
    call->done = true;
    call->sender->wake.notify_all();
}

// Wakes the queue's thread wherever it waits: on its condition variable, or in
// SDL_WaitEvent when it owns video.
void Wake(ThreadQueue* queue) {
    queue->wake.notify_all();
    State& s = S();
    // Another thread's push may meet the owner stopping video, which frees SDL's event queue.
    std::unique_lock<std::mutex> life(s.videoLife, std::defer_lock);
    if (queue != MyQueue().get()) life.lock();
    uint32_t type = 0;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.videoOwner == queue) type = s.wakeEvent;
    }
    if (type != 0) {
        SDL_Event e{};
        e.type = type;
        SDL_PushEvent(&e);
    }
}

// Answers, with 0, every call still waiting on sends to the window (or to every
// window of the queue when window is 0).
void FailSends(ThreadQueue* queue, WindowHandle window) {
    std::vector<std::shared_ptr<SentCall>> failed;
    {
        std::lock_guard<std::mutex> guard(queue->lock);
        auto keep = queue->sent.begin();
        for (auto& call : queue->sent) {
            if (window == 0 || call->message.window == window) failed.push_back(call);
            else *keep++ = call;
        }
        queue->sent.erase(keep, queue->sent.end());
    }
    for (auto& call : failed) Complete(call, 0);
}

void DestroyThreadWindows(ThreadQueue* queue) {
    State& s = S();
    std::vector<std::pair<SDL_Window*, bool>> sdlWindows;  // and whether destroyed from outside
    std::vector<WindowHandle> gone;
    bool noneLeft = false;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        for (auto it = s.windows.begin(); it != s.windows.end();) {
            if (it->second.owner.get() == queue) {
                sdlWindows.emplace_back(it->second.sdl, it->second.destroyedOutside);
                gone.push_back(it->first);
                it = s.windows.erase(it);
            } else {
                ++it;
            }
        }
        noneLeft = s.windows.empty();
    }
    if (!gone.empty()) ForgetFocusOf(gone, noneLeft);  // their losses of the focus come with no window to name
    {
        std::lock_guard<std::mutex> guard(queue->lock);
        queue->alive = false;
    }
    FailSends(queue, 0);
    if (x11::ConnectionLost()) return;  // the process is ending with the server gone: nothing to tear down there
    for (auto [w, destroyedOutside] : sdlWindows) {
        if (destroyedOutside) x11::QueueUnmapNotice(w);
        SDL_DestroyWindow(w);
    }
    bool owner;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        owner = s.videoOwner == queue;
    }
    if (owner) QuitVideo();
}

}  // namespace

void window_state::PostToDisplayWindows(uint32_t message, uintptr_t wparam) {
    State& s = S();
    std::vector<WindowHandle> windows;
    ThreadQueue* owner = nullptr;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        owner = s.videoOwner;
        // A window another program destroyed hears only its close: it lost the focus as it went,
        // and told that the application was left, the game would leave full screen on it.
        for (auto& [h, w] : s.windows)
            if (w.owner.get() == owner && !w.destroying && !w.destroyedOutside) windows.push_back(h);
    }
    if (owner == nullptr) return;
    for (WindowHandle h : windows) PostTo(owner, {h, message, wparam, 0});
}

void window_state::PostTo(ThreadQueue* queue, const WindowMessage& m) {
    {
        std::lock_guard<std::mutex> guard(queue->lock);
        if (!queue->alive) return;
        queue->posted.push_back(m);
    }
    Wake(queue);
}

namespace {

WindowHandle HandleOfSdlId(uint32_t sdlId) {
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    for (auto& [h, w] : s.windows)
        if (w.sdlId == sdlId) return h;
    return 0;
}

intptr_t PackSize(int32_t w, int32_t h) {
    return static_cast<intptr_t>((static_cast<uint32_t>(h & 0xFFFF) << 16) |
                                 static_cast<uint32_t>(w & 0xFFFF));
}

// The names of one drop, gathered as Shift-JIS "Z:" paths; the completion posts
// them to the window as one WM_DROPFILES.
void TranslateDrop(const SDL_Event& e) {
    State& s = S();
    if (e.type == SDL_DROPFILE) {
        std::string name;
        if (e.drop.file != nullptr && !NameFromSystemPath(e.drop.file, name)) {
            std::fprintf(stderr, "drop: a file name without a Shift-JIS form is skipped\n");
        } else if (e.drop.file != nullptr) {
            std::lock_guard<std::mutex> guard(s.lock);
            s.dropping.push_back(std::move(name));
        }
        SDL_free(e.drop.file);
        return;
    }
    if (e.type == SDL_DROPBEGIN) return;
    const WindowHandle h = HandleOfSdlId(e.drop.windowID);
    uintptr_t id = 0;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        auto it = s.windows.find(h);
        if (it != s.windows.end() && it->second.acceptsDrops && !s.dropping.empty()) {
            id = s.nextDrop++;
            s.drops[id] = std::move(s.dropping);
        }
        s.dropping.clear();
    }
    if (id != 0) PostTo(MyQueue().get(), {h, WM_DROPFILES, id, 0});
}

// A window whose X window another program destroyed closes as by its close box, once: the
// application ends it through its usual path. SDL keeps the window until then, and every request
// on it fails (those errors go unlogged); a show, a hide or a new shape would have SDL wait for
// the server's notice of it for ever, so they are left out.
void CloseDestroyedWindow(unsigned long xwindow) {
    if (xwindow == 0) return;
    State& s = S();
    std::vector<std::pair<WindowHandle, SDL_Window*>> mine;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        for (auto& [h, w] : s.windows)
            if (w.owner == MyQueue() && !w.destroyedOutside) mine.emplace_back(h, w.sdl);
    }
    for (auto [h, sdl] : mine) {
        if (x11::WindowId(sdl) != xwindow) continue;  // SDL's own X windows when it made one anew
        {
            std::lock_guard<std::mutex> guard(s.lock);
            auto it = s.windows.find(h);
            if (it == s.windows.end()) return;
            it->second.destroyedOutside = true;
        }
        if (x11::NoteDestroyed(xwindow))
            std::fprintf(stderr, "window 0x%lx was destroyed by another program: it closes\n", xwindow);
        PostTo(MyQueue().get(), {h, WM_CLOSE, 0, 0});
        return;
    }
}

// One SDL event: observers first, then the window message it stands for.
void TranslateSdlEvent(const SDL_Event& e) {
    uint32_t wake;
    {
        std::lock_guard<std::mutex> guard(S().lock);
        wake = S().wakeEvent;
    }
    if (wake != 0 && e.type == wake) return;
    NotifyEventObservers(e);
    if (e.type == SDL_DROPFILE || e.type == SDL_DROPBEGIN || e.type == SDL_DROPCOMPLETE) {
        TranslateDrop(e);
        return;
    }
    if (e.type == SDL_SYSWMEVENT) {  // only destroy notices pass the filter, and they note nothing
        CloseDestroyedWindow(x11::NoteXEvent(e).destroyed);
        return;
    }
    if (e.type != SDL_WINDOWEVENT) return;  // SDL_QUIT included: closing is per window
    WindowHandle h = HandleOfSdlId(e.window.windowID);
    if (h == 0) return;
    ThreadQueue* me = MyQueue().get();
    switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE: PostTo(me, {h, WM_CLOSE, 0, 0}); break;
        case SDL_WINDOWEVENT_EXPOSED: PostTo(me, {h, WM_PAINT, 0, 0}); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
            NoteWindowFocus(h, OwnSdlWindow(h), e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED);
            break;
        case SDL_WINDOWEVENT_MINIMIZED: PostTo(me, {h, WM_SIZE, SIZE_MINIMIZED, 0}); break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED: {
            int32_t w = 0, hh = 0;
            GetClientSize(h, w, hh);
            uintptr_t kind =
                e.window.event == SDL_WINDOWEVENT_MAXIMIZED ? SIZE_MAXIMIZED : SIZE_RESTORED;
            PostTo(me, {h, WM_SIZE, kind, PackSize(w, hh)});
            break;
        }
        default: break;
    }
}

bool OwnsVideo() {
    std::lock_guard<std::mutex> guard(S().lock);
    return S().videoOwner == MyQueue().get();
}

// A caught termination signal becomes the close box's request to the display thread's first window.
void TakeCloseSignal() {
    if (gCloseSignal == 0) return;
    State& s = S();
    WindowHandle first = 0;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        for (auto& [h, w] : s.windows)
            if (w.owner == MyQueue() && !w.destroying) {
                first = h;
                break;
            }
    }
    if (first == 0) return;  // kept for when the window exists
    gCloseSignal = 0;
    PostTo(MyQueue().get(), {first, WM_CLOSE, 0, 0});
}

// One pass over the display's events: SDL's queue taken, the X errors reported, a pending leave
// decided.
void PumpDisplayEvents() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) TranslateSdlEvent(e);
    // With the events read with the focus taken: a press the manager passes on after it is known.
    HandOverSwitchBack(&OwnSdlWindow);
    HandBackToClickedWindow(&OwnSdlWindow);
    x11::ReportErrors();  // now that a destruction among these events is known
    if (LeavePending()) DecideActivation();
}

void PumpSdl() {
    if (!OwnsVideo()) return;
    TakeCloseSignal();
    PumpDisplayEvents();
}

// Serves the calling thread's sent messages; answers whether it served any.
bool ServeSentCalls() {
    auto& q = MyQueue();
    bool any = false;
    for (;;) {
        std::shared_ptr<SentCall> call;
        {
            std::lock_guard<std::mutex> guard(q->lock);
            if (q->sent.empty()) return any;
            call = q->sent.front();
            q->sent.pop_front();
        }
        any = true;
        if (call->work) {
            call->work();
            Complete(call, 1);
        } else {
            Complete(call, DispatchWindowMessage(call->message));
        }
    }
}

// Takes the next posted message (or the quit) of the calling thread.
bool TakePosted(WindowMessage& m) {
    auto& q = MyQueue();
    std::lock_guard<std::mutex> guard(q->lock);
    if (!q->posted.empty()) {
        m = q->posted.front();
        q->posted.pop_front();
        return true;
    }
    if (q->quitPending) {
        q->quitPending = false;
        m = {0, WM_QUIT, static_cast<uintptr_t>(static_cast<intptr_t>(q->quitCode)), 0};
        return true;
    }
    return false;
}

// A window a renderer will present into is made with what that renderer needs (render_driver.h),
// or without OpenGL where SDL refuses it (not loadable, or a video driver without it); SDL refuses
// before it makes any X window.
SDL_Window* CreateSdlWindow(const std::string& captionSjis, uint32_t style, int32_t x, int32_t y,
                            int32_t w, int32_t h, bool presented) {
    std::string utf8;
    if (!Cp932ToUtf8(captionSjis, utf8)) utf8.clear();
    uint32_t flags = SDL_WINDOW_HIDDEN | (presented ? RenderWindowFlags() : 0);
    bool popup = (style & WS_POPUP) && (style & WS_CAPTION) == 0;
    if (popup) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    else if ((style & WS_CAPTION) == 0) flags |= SDL_WINDOW_BORDERLESS;
    if (style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
    int sx = x == kDefaultPosition ? SDL_WINDOWPOS_UNDEFINED : x;
    int sy = y == kDefaultPosition ? SDL_WINDOWPOS_UNDEFINED : y;
    const auto make = [&](uint32_t f) { return SDL_CreateWindow(utf8.c_str(), sx, sy, std::max(w, 1), std::max(h, 1), f); };
    SDL_Window* window = make(flags);
    return window != nullptr || (flags & SDL_WINDOW_OPENGL) == 0 ? window : make(flags & ~SDL_WINDOW_OPENGL);
}

WindowHandle AddWindow(SDL_Window* sdl, WindowProcedure procedure, WindowProcedure dialogProcedure,
                       const std::string& caption, uint32_t style) {
    const uint32_t sdlId = SDL_GetWindowID(sdl);
    const bool inputMethod = SDL_IsTextInputActive() == SDL_TRUE;
    State& s = S();
    WindowHandle h = 0;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        h = s.nextHandle++;
        WindowRecord& r = s.windows[h];
        r.owner = MyQueue();
        r.sdl = sdl;
        r.sdlId = sdlId;
        r.procedure = procedure;
        r.dialogProcedure = dialogProcedure;
        r.caption = caption;
        r.style = style;
        r.inputMethod = inputMethod;
    }
    NoteWindowMade(h);
    return h;
}

intptr_t DialogClassProcedure(WindowHandle window, uint32_t message, uintptr_t wparam,
                              intptr_t lparam) {
    WindowProcedure dialog = nullptr;
    {
        std::lock_guard<std::mutex> guard(S().lock);
        auto it = S().windows.find(window);
        if (it != S().windows.end()) dialog = it->second.dialogProcedure;
    }
    return dialog != nullptr ? dialog(window, message, wparam, lparam) : 0;
}

// Gives the window's X window its class's background: what it has not drawn shows black, or white.
void GiveBackground(WindowHandle window) {
    SDL_Window* sdl = OwnSdlWindow(window);
    if (sdl == nullptr) return;
    bool white = false;
    {
        std::lock_guard<std::mutex> guard(S().lock);
        auto it = S().windows.find(window);
        if (it == S().windows.end()) return;
        white = it->second.whiteBackground;
    }
    x11::SetBackground(sdl, white);
}

}  // namespace

// Whether the window is minimised, as SDL last heard or as the window manager keeps it now (its
// events may not have reached SDL yet).
bool window_state::IsIconic(SDL_Window* sdl) {
    return (SDL_GetWindowFlags(sdl) & SDL_WINDOW_MINIMIZED) != 0 || x11::IsIconic(sdl);
}

bool DestroyedOutside(WindowHandle window) {
    std::lock_guard<std::mutex> guard(S().lock);
    auto it = S().windows.find(window);
    return it != S().windows.end() && it->second.destroyedOutside;
}

bool RegisterWindowClass(const WindowClass& windowClass) {
    if (windowClass.name.empty() || windowClass.procedure == nullptr) return false;
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    for (auto& c : s.classes)
        if (SameName(c.name, windowClass.name)) return false;
    s.classes.push_back(windowClass);
    return true;
}

bool FindWindowClass(std::string_view name, WindowClass* out) {
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    for (auto& c : s.classes) {
        if (SameName(c.name, name)) {
            if (out != nullptr) *out = c;
            return true;
        }
    }
    return false;
}

WindowHandle CreateWindow(const WindowCreation& creation) {
    WindowClass cls;
    if (!FindWindowClass(creation.className, &cls)) return 0;
    if (!EnsureVideo()) return 0;
    SDL_Window* sdl = CreateSdlWindow(creation.caption, creation.style, creation.x, creation.y,
                                      creation.width, creation.height, true);
    if (sdl == nullptr) {
        NoteWindowError(SDL_GetError());
        ReleaseVideoIfIdle();
        return 0;
    }
    WindowHandle h = AddWindow(sdl, cls.procedure, nullptr, creation.caption, creation.style);
    {
        std::lock_guard<std::mutex> guard(S().lock);
        S().windows[h].whiteBackground = cls.whiteBackground;
    }
    GiveBackground(h);
    CallWindowProcedure(cls.procedure, h, WM_CREATE, 0, creation.createParam);
    if ((creation.style & WS_VISIBLE) && IsWindow(h)) ShowWindow(h, true);
    return h;
}

void RegisterDialogTemplate(int32_t id, const DialogTemplate& dialogTemplate) {
    std::lock_guard<std::mutex> guard(S().lock);
    S().dialogTemplates[id] = dialogTemplate;
}

WindowHandle CreateDialogWindow(int32_t templateId, WindowHandle /*parent*/,
                                WindowProcedure dialogProcedure, intptr_t param) {
    DialogTemplate t;
    {
        std::lock_guard<std::mutex> guard(S().lock);
        auto it = S().dialogTemplates.find(templateId);
        if (it == S().dialogTemplates.end()) return 0;
        t = it->second;
    }
    if (dialogProcedure == nullptr || !EnsureVideo()) return 0;
    SDL_Window* sdl =
        CreateSdlWindow(t.caption, t.style, kDefaultPosition, kDefaultPosition, t.width, t.height, false);
    if (sdl == nullptr) {
        ReleaseVideoIfIdle();
        return 0;
    }
    WindowHandle h = AddWindow(sdl, &DialogClassProcedure, dialogProcedure, t.caption, t.style);
    DispatchWindowMessage({h, WM_INITDIALOG, 0, param});
    if ((t.style & WS_VISIBLE) && IsWindow(h)) ShowWindow(h, true);
    return h;
}

bool IsDialogMessage(WindowHandle dialog, const WindowMessage& message) {
    if (dialog == 0 || message.window != dialog || !IsWindow(dialog)) return false;
    DispatchWindowMessage(message);
    return true;
}

bool DestroyWindow(WindowHandle window) {
    if (OwnSdlWindow(window) == nullptr) return false;
    {
        std::lock_guard<std::mutex> guard(S().lock);
        if (std::exchange(S().windows[window].destroying, true)) return false;
    }
    DispatchWindowMessage({window, WM_DESTROY, 0, 0});
    DispatchWindowMessage({window, WM_NCDESTROY, 0, 0});
    SDL_Window* sdl = nullptr;
    bool destroyedOutside = false, noneLeft = false;
    {
        std::lock_guard<std::mutex> guard(S().lock);
        auto it = S().windows.find(window);
        if (it == S().windows.end()) return true;  // a procedure destroyed it already
        sdl = it->second.sdl;
        destroyedOutside = it->second.destroyedOutside;
        S().windows.erase(it);
        noneLeft = S().windows.empty();
    }
    ForgetFocusOf({window}, noneLeft);  // its loss of the focus comes with no window to name
    ForgetShape(window);
    FailSends(MyQueue().get(), window);
    if (destroyedOutside) x11::QueueUnmapNotice(sdl);
    SDL_DestroyWindow(sdl);
    ReleaseVideoIfIdle();
    return true;
}

bool IsWindow(WindowHandle window) {
    std::lock_guard<std::mutex> guard(S().lock);
    return S().windows.count(window) != 0;
}

intptr_t DefaultWindowProcedure(WindowHandle window, uint32_t message, uintptr_t, intptr_t) {
    if (message == WM_CLOSE) DestroyWindow(window);
    return 0;
}

intptr_t CallWindowProcedure(WindowProcedure procedure, WindowHandle window, uint32_t message,
                             uintptr_t wparam, intptr_t lparam) {
    if (procedure == nullptr) return DefaultWindowProcedure(window, message, wparam, lparam);
    return procedure(window, message, wparam, lparam);
}

WindowProcedure SetWindowProcedure(WindowHandle window, WindowProcedure procedure) {
    std::lock_guard<std::mutex> guard(S().lock);
    auto it = S().windows.find(window);
    if (it == S().windows.end() || procedure == nullptr) return nullptr;
    return std::exchange(it->second.procedure, procedure);
}

WindowProcedure GetWindowProcedure(WindowHandle window) {
    std::lock_guard<std::mutex> guard(S().lock);
    auto it = S().windows.find(window);
    return it == S().windows.end() ? nullptr : it->second.procedure;
}

bool SetWindowUserData(WindowHandle window, void* data) {
    std::lock_guard<std::mutex> guard(S().lock);
    auto it = S().windows.find(window);
    if (it == S().windows.end()) return false;
    it->second.userData = data;
    return true;
}

void* GetWindowUserData(WindowHandle window) {
    std::lock_guard<std::mutex> guard(S().lock);
    auto it = S().windows.find(window);
    return it == S().windows.end() ? nullptr : it->second.userData;
}

bool ShowWindow(WindowHandle window, bool show) {
    SDL_Window* sdl = OwnSdlWindow(window);
    if (sdl == nullptr || DestroyedOutside(window)) return false;
    // Showing a minimised window leaves it minimised: SDL would map it again, restoring it.
    if (show && !IsIconic(sdl)) SDL_ShowWindow(sdl);
    else if (!show) SDL_HideWindow(sdl);
    // Mapped, it has the manager's frame: SDL reads it only when its events are next pumped.
    int left = 0, top = 0;
    if (show && x11::FrameExtents(sdl, left, top) && (left != 0 || top != 0)) {
        std::lock_guard<std::mutex> guard(S().lock);
        auto it = S().windows.find(window);
        if (it != S().windows.end()) std::tie(it->second.frameLeft, it->second.frameTop) = std::pair(left, top);
    }
    return true;
}

bool IsWindowVisible(WindowHandle window) {
    SDL_Window* sdl = OwnSdlWindow(window);
    return sdl != nullptr && (SDL_GetWindowFlags(sdl) & SDL_WINDOW_SHOWN) != 0;
}

// The manager's frame above and left of the client area; 0 while it is not known (SDL
// then moves the window by its frame's corner, as the manager places it). A window destroyed by
// another program keeps the frame it last had: SDL reads the frame on the manager's notice, which
// for a window shown a moment before it was destroyed comes when the window is gone.
void FrameCorner(WindowHandle window, SDL_Window* sdl, int& left, int& top) {
    int bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(sdl, &top, &left, &bottom, &right) != 0) top = left = 0;
    const bool fullScreen = (SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN) != 0;
    std::lock_guard<std::mutex> guard(S().lock);
    auto it = S().windows.find(window);
    if (it == S().windows.end()) return;
    WindowRecord& r = it->second;
    if (r.destroyedOutside && !fullScreen) std::tie(left, top) = std::pair(r.frameLeft, r.frameTop);
    else if (!r.destroyedOutside && (left != 0 || top != 0)) std::tie(r.frameLeft, r.frameTop) = std::pair(left, top);
}

bool MoveWindow(WindowHandle window, int32_t x, int32_t y) {
    SDL_Window* sdl = OwnSdlWindow(window);
    if (sdl == nullptr) return false;
    int left = 0, top = 0;
    FrameCorner(window, sdl, left, top);
    SDL_SetWindowPosition(sdl, x + left, y + top);
    return true;
}

bool ResizeWindow(WindowHandle window, int32_t width, int32_t height) {
    SDL_Window* sdl = OwnSdlWindow(window);
    if (sdl == nullptr) return false;
    // A size it has already is left alone: SDL moves a fixed-size window to where it last heard
    // the window was while it sets the size, which in the middle of the manager's own changes (the
    // repaints after leaving full screen) can be a place the window has since left.
    int w = 0, h = 0;
    SDL_GetWindowSize(sdl, &w, &h);
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (w == width && h == height) return true;
    // SDL raises a window of fixed size as it sets its size; an inactive application's window (the
    // repaints after a leave from full screen) is not brought up over the program in use.
    if (IsApplicationActive() || !x11::ResizeFixedWithoutRaise(sdl, width, height)) SDL_SetWindowSize(sdl, width, height);
    return true;
}

bool GetWindowPosition(WindowHandle window, int32_t& x, int32_t& y) {
    SDL_Window* sdl = OwnSdlWindow(window);
    if (sdl == nullptr) return false;
    int ix = 0, iy = 0, left = 0, top = 0;
    SDL_GetWindowPosition(sdl, &ix, &iy);
    FrameCorner(window, sdl, left, top);
    x = ix - left;
    y = iy - top;
    return true;
}

bool GetClientSize(WindowHandle window, int32_t& width, int32_t& height) {
    SDL_Window* sdl = OwnSdlWindow(window);
    if (sdl == nullptr) return false;
    int w = 0, h = 0;
    SDL_GetWindowSize(sdl, &w, &h);
    width = w;
    height = h;
    return true;
}

bool SetWindowStyle(WindowHandle window, uint32_t style) {
    SDL_Window* sdl = OwnSdlWindow(window);
    if (sdl == nullptr) return false;
    {
        std::lock_guard<std::mutex> guard(S().lock);
        S().windows[window].style = style;
    }
    // A destroyed window only keeps the style for those who ask (see CloseDestroyedWindow).
    if (!DestroyedOutside(window)) ApplyShape(window, sdl, style);
    return true;
}

uint32_t GetWindowStyle(WindowHandle window) {
    std::lock_guard<std::mutex> guard(S().lock);
    auto it = S().windows.find(window);
    return it == S().windows.end() ? 0 : it->second.style;
}

bool IsFullScreenWindow(WindowHandle window) {
    SDL_Window* sdl = OwnSdlWindow(window);
    return sdl != nullptr && (SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
                                 SDL_WINDOW_FULLSCREEN_DESKTOP;
}

bool SetWindowCaption(WindowHandle window, std::string_view captionSjis) {
    SDL_Window* sdl = OwnSdlWindow(window);
    if (sdl == nullptr) return false;
    std::string utf8;
    if (!Cp932ToUtf8(captionSjis, utf8)) utf8.clear();
    {
        std::lock_guard<std::mutex> guard(S().lock);
        S().windows[window].caption = std::string(captionSjis);
    }
    SDL_SetWindowTitle(sdl, utf8.c_str());
    return true;
}

std::string GetWindowCaption(WindowHandle window) {
    std::lock_guard<std::mutex> guard(S().lock);
    auto it = S().windows.find(window);
    return it == S().windows.end() ? std::string() : it->second.caption;
}

bool IsWindowMinimized(WindowHandle window) {
    // As SDL heard it, without asking the server: each frame's present asks. Where it must not be
    // late (a show, leaving full screen) the layer asks the server too.
    SDL_Window* sdl = OwnSdlWindow(window);
    return sdl != nullptr && (SDL_GetWindowFlags(sdl) & SDL_WINDOW_MINIMIZED) != 0;
}

bool IsWindowMaximized(WindowHandle window) {
    SDL_Window* sdl = OwnSdlWindow(window);
    return sdl != nullptr && (SDL_GetWindowFlags(sdl) & SDL_WINDOW_MAXIMIZED) != 0;
}

bool FocusWindow(WindowHandle window) {
    SDL_Window* sdl = OwnSdlWindow(window);
    if (sdl == nullptr) return false;
    // SDL's request carries the time of the last key or click its window saw, or none at all.
    if (!x11::RequestActivate(sdl)) SDL_RaiseWindow(sdl);
    return true;
}

bool DragAcceptFiles(WindowHandle window, bool accept) {
    if (OwnSdlWindow(window) == nullptr) return false;
    bool any = false;
    {
        std::lock_guard<std::mutex> guard(S().lock);
        S().windows[window].acceptsDrops = accept;
        for (const auto& [h, w] : S().windows) any = any || w.acceptsDrops;
    }
    // SDL offers drops on every window or none: on while one of ours takes them.
    SDL_EventState(SDL_DROPFILE, any ? SDL_ENABLE : SDL_DISABLE);
    SDL_EventState(SDL_DROPCOMPLETE, any ? SDL_ENABLE : SDL_DISABLE);
    return true;
}

std::vector<std::string> TakeDroppedFiles(uintptr_t drop) {
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    auto it = s.drops.find(drop);
    if (it == s.drops.end()) return {};
    std::vector<std::string> names = std::move(it->second);
    s.drops.erase(it);
    return names;
}

bool SetWindowTopmost(WindowHandle window, bool topmost) {
    SDL_Window* sdl = OwnSdlWindow(window);
    if (sdl == nullptr) return false;
    SDL_SetWindowAlwaysOnTop(sdl, topmost ? SDL_TRUE : SDL_FALSE);
    return true;
}

void AllowScreenSaver(bool allow) {
    if (allow) SDL_EnableScreenSaver();
    else SDL_DisableScreenSaver();
}

std::string LastWindowError() {
    std::lock_guard<std::mutex> guard(S().lock);
    return S().windowError;
}


bool EnableInputMethod(WindowHandle window, bool enable) {
    if (OwnSdlWindow(window) == nullptr) return false;
    if (enable) SDL_StartTextInput();
    else SDL_StopTextInput();
    std::lock_guard<std::mutex> guard(S().lock);
    S().windows[window].inputMethod = enable;
    return true;
}

bool IsInputMethodEnabled(WindowHandle window) {
    std::lock_guard<std::mutex> guard(S().lock);
    auto it = S().windows.find(window);
    return it != S().windows.end() && it->second.inputMethod;
}

void AdjustWindowSize(int32_t&, int32_t&, uint32_t, bool) {}

bool GetScreenSize(int32_t& width, int32_t& height) {
    if (!EnsureVideo()) return false;
    SDL_DisplayMode mode;
    bool ok = SDL_GetDesktopDisplayMode(0, &mode) == 0;
    if (ok) {
        width = mode.w;
        height = mode.h;
    }
    ReleaseVideoIfIdle();
    return ok;
}

bool GetDesktopSdlFormat(uint32_t& format) {
    if (!EnsureVideo()) return false;
    SDL_DisplayMode mode;
    bool ok = SDL_GetDesktopDisplayMode(0, &mode) == 0;
    if (ok) format = mode.format;
    ReleaseVideoIfIdle();
    return ok;
}

int32_t ShowCursor(bool show) {
    int32_t count;
    {
        std::lock_guard<std::mutex> guard(S().lock);
        count = S().cursorCount += show ? 1 : -1;
    }
    if (OwnsVideo()) SDL_ShowCursor(count >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return count;
}

SDL_Window* GetSdlWindow(WindowHandle window) { return OwnSdlWindow(window); }

WindowHandle WindowOfSdlId(uint32_t sdlWindowId) { return sdlWindowId == 0 ? 0 : HandleOfSdlId(sdlWindowId); }

bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    std::shared_ptr<ThreadQueue> owner;
    {
        std::lock_guard<std::mutex> guard(S().lock);
        auto it = S().windows.find(window);
        if (it == S().windows.end()) return false;
        owner = it->second.owner;
    }
    PostTo(owner.get(), {window, message, wparam, lparam});
    return true;
}

void PostQuitMessage(int32_t exitCode) {
    auto& q = MyQueue();
    std::lock_guard<std::mutex> guard(q->lock);
    q->quitPending = true;
    q->quitCode = exitCode;
}

void CloseOnSignals() {
    struct sigaction action {};
    action.sa_handler = &OnCloseSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
    gCatchingSignals = true;
}

void BypassCompositor() { SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "1"); }

bool CloseSignalPending() { return gCloseSignal != 0; }

void SetPumpPassHook(PumpPassHook hook) { gPassHook = hook; }

void PumpWindowEventsInModalLoop() {
    if (OwnsVideo()) PumpDisplayEvents();
}

bool PeekWindowMessage(WindowMessage& message) {
    ServeSentCalls();
    if (PumpPassHook hook = gPassHook; hook != nullptr && OwnsVideo()) hook();
    PumpSdl();
    // The pump took the wake event of every send that came meanwhile: they are
    // served now or, in GetWindowMessage, never (nothing would wake its wait).
    ServeSentCalls();
    return TakePosted(message);
}

int32_t GetWindowMessage(WindowMessage& message) {
    auto& q = MyQueue();
    for (;;) {
        if (PeekWindowMessage(message)) return message.message == WM_QUIT ? 0 : 1;
        if (OwnsVideo()) {
            // A post or send from another thread queues first, then pushes our wake
            // event. The queue was last looked at after the last SDL pump, so what
            // came later has its wake event still on SDL's queue.
            SDL_Event e;
            if (gPassHook.load() != nullptr || gCatchingSignals || LeavePending()) {
                // SDL's wait resumes after a signal: looking again soon finds a caught one. A loss of
                // the focus is decided when its settle time is up.
                const int wait = gPassHook.load() != nullptr || LeavePending() ? 10 : 100;
                if (SDL_WaitEventTimeout(&e, wait) != 0) TranslateSdlEvent(e);
                continue;
            }
            if (SDL_WaitEvent(&e) == 0) return -1;
            TranslateSdlEvent(e);
        } else {
            std::unique_lock<std::mutex> guard(q->lock);
            q->wake.wait(guard, [&] { return !q->posted.empty() || !q->sent.empty() || q->quitPending; });
        }
    }
}

intptr_t DispatchWindowMessage(const WindowMessage& message) {
    WindowProcedure procedure = GetWindowProcedure(message.window);
    if (procedure == nullptr) return 0;
    return procedure(message.window, message.message, message.wparam, message.lparam);
}

intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wparam,
                           intptr_t lparam) {
    std::shared_ptr<ThreadQueue> owner;
    {
        std::lock_guard<std::mutex> guard(S().lock);
        auto it = S().windows.find(window);
        if (it == S().windows.end()) return 0;
        owner = it->second.owner;
    }
    auto& me = MyQueue();
    if (owner == me) return DispatchWindowMessage({window, message, wparam, lparam});

    auto call = std::make_shared<SentCall>();
    call->message = {window, message, wparam, lparam};
    return SendAndWait(owner, call);
}

bool OwnsDisplay() { return OwnsVideo(); }

bool RunOnDisplayThread(const std::function<void()>& work) {
    std::shared_ptr<ThreadQueue> owner;
    {
        std::lock_guard<std::mutex> guard(S().lock);
        for (auto& [h, w] : S().windows)
            if (w.owner.get() == S().videoOwner) {
                owner = w.owner;
                break;
            }
        if (owner == nullptr) return false;  // the display is idle, or being started or shut
    }
    if (owner == MyQueue()) {
        work();
        return true;
    }
    auto call = std::make_shared<SentCall>();
    call->work = work;
    return SendAndWait(owner, call) == 1;
}

namespace {

intptr_t SendAndWait(const std::shared_ptr<ThreadQueue>& owner, const std::shared_ptr<SentCall>& call) {
    auto& me = MyQueue();
    call->sender = me;
    {
        std::lock_guard<std::mutex> guard(owner->lock);
        if (!owner->alive) return 0;
        owner->sent.push_back(call);
    }
    Wake(owner.get());
    for (;;) {
        // Serve what others send us meanwhile, so two threads sending to each
        // other do not wait for ever.
        ServeSentCalls();
        std::unique_lock<std::mutex> guard(me->lock);
        if (call->done) return call->result;
        me->wake.wait(guard, [&] { return call->done || !me->sent.empty(); });
        if (call->done) return call->result;
    }
}

}  // namespace

}  // namespace morna::platform
