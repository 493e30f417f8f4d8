// The focus of the application's windows: the one focus record, the application's activation
// decided from it, the list of open dialogs of another toolkit, and the switch-back (the keyboard
// passed on to an open dialog when the player switches back to the game's window). Its state and
// lock are its own; the window layer's other room (window.cpp) reaches it through window_state.h.
#include "platform/window.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/focus_events.h"
#include "platform/keyboard_state.h"
#include "platform/sound_output.h"
#include "platform/window_state.h"
#include "platform/x11_events.h"
#include "platform/x11_window.h"

namespace morna::platform {
namespace window_state {
namespace {

struct FocusEntry {
    WindowHandle window = 0;  // ours, or
    uintptr_t token = 0;      // another toolkit's
    WindowHandle owner = 0;   // the window the keyboard counts as focused while it has the focus
};

// An open dialog or box of another toolkit (AddOpenDialog).
struct DialogRecord {
    uintptr_t token = 0;
    WindowHandle owner = 0;
    DialogCalls calls;
    unsigned long xwindow = 0;
    uint32_t openedAt = 0;  // the layer's clock
    bool mapped = false;    // the manager has shown it
    bool asked = false;     // the layer asked it activated, and no click on its owner was read since
};

struct FocusState {
    std::mutex lock;
    // The windows that may hold the focus, each with the layer's clock at the last pointer button
    // pressed on it (0: none).
    std::map<WindowHandle, uint32_t> windows;
    // The one record of the focus: our windows, and the dialogs and boxes of another toolkit (by
    // token, with their owner), that hold the keyboard focus, in the order they took it. The last
    // has it; a late loss of one that had it before changes nothing.
    std::vector<FocusEntry> focus;
    // The open dialogs and boxes of another toolkit, in the order they opened: the one list of them.
    std::vector<DialogRecord> openDialogs;
    bool active = false;
    bool leaving = false;  // none has it: the application leaves unless one takes it again in time
    uint32_t lostAt = 0;   // since when none has had it
    bool hasLeft = false;  // the application has left once: a focus coming back is the player's switch
    SwitchBack switchBack;  // ours took the focus back while the application was inactive
    WindowHandle clickedBack = 0;  // clicked after the layer asked its dialog activated
};

FocusState& F() {
    static FocusState* state = new FocusState;  // outlives every thread's clean-up
    return *state;
}

// How long the application stays active with none of its windows focused. Two toolkits report the
// focus moving between their windows on two connections, in either order, and a window manager
// gives the focus back to the game a moment after its dialog closes: a loss only counts once no
// window of ours has taken the focus again meanwhile.
std::atomic<uint32_t> gFocusSettleMs{250};

}  // namespace

// Decides the application's activation after a change of the focus record, or as time passes:
// active at once when one of its windows has the focus; left when none has, once the settle time
// is up (at once when asked: no window is left whose focus could come back).
void DecideActivation(bool now) {
    FocusState& s = F();
    const uint32_t at = MonotonicMilliseconds();
    const uint32_t settle = now ? 0 : gFocusSettleMs.load();
    int announce = -1;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (!s.focus.empty()) {
            s.leaving = false;
            if (!s.active) announce = 1;
        } else if (s.active) {
            if (!s.leaving) s.lostAt = at;
            s.leaving = true;
            if (static_cast<uint32_t>(at - s.lostAt) >= settle) announce = 0;
        }
        if (announce >= 0) {
            s.active = announce == 1;
            s.leaving = false;
            s.hasLeft = s.hasLeft || announce == 0;
        }
    }
    if (announce < 0) return;
    // Every window of the display thread hears it, and the sound may play or must fall silent.
    SetApplicationActive(announce == 1);
    PostToDisplayWindows(WM_ACTIVATEAPP, announce == 1 ? 1u : 0u);
}

bool LeavePending() {
    std::lock_guard<std::mutex> guard(F().lock);
    return F().leaving;
}

namespace {

// The entry of the record that has the focus; under the lock.
std::optional<FocusEntry> HolderLocked(const FocusState& s) {
    return s.focus.empty() ? std::nullopt : std::optional(s.focus.back());
}

bool SameHolder(const FocusEntry& a, const FocusEntry& b) { return a.window == b.window && a.token == b.token; }

// Whether the one that had the focus has it no more; under the lock. The keys it reported go then:
// their key-ups will not come.
bool HolderLostLocked(const std::optional<FocusEntry>& before, const FocusState& s) {
    const std::optional<FocusEntry> now = HolderLocked(s);
    return before && (!now || !SameHolder(*before, *now));
}

// The game window whose keys count by the record, while it exists; under the lock.
WindowHandle KeyInputWindowLocked(const FocusState& s) {
    const std::optional<FocusEntry> holder = HolderLocked(s);
    const WindowHandle window = !holder ? 0 : holder->token == 0 ? holder->window : holder->owner;
    return s.windows.count(window) != 0 ? window : 0;
}

// One of ours took or lost the focus: an SDL window by handle, another toolkit's by token.
void NoteFocus(const FocusEntry& entry, bool focused) {
    bool lost = false;
    {
        FocusState& s = F();
        std::lock_guard<std::mutex> guard(s.lock);
        const std::optional<FocusEntry> before = HolderLocked(s);
        std::erase_if(s.focus, [&](const FocusEntry& e) { return SameHolder(e, entry); });
        if (focused) s.focus.push_back(entry);
        lost = HolderLostLocked(before, s);
        SetKeyboardFocusHeld(KeyInputWindowLocked(s) != 0);  // in the record's order
    }
    if (lost) ForgetKeyboardKeys();
    DecideActivation();
}

}  // namespace

void NoteWindowMade(WindowHandle window) {
    std::lock_guard<std::mutex> guard(F().lock);
    F().windows.emplace(window, 0);
}

void NoteWindowPress(WindowHandle window) {
    const uint32_t now = std::max(MonotonicMilliseconds(), 1u);
    FocusState& s = F();
    std::lock_guard<std::mutex> guard(s.lock);
    if (auto it = s.windows.find(window); it != s.windows.end()) it->second = now;
    // A click that the guards of a dialog's activation could not see: it came after the request.
    for (DialogRecord& o : s.openDialogs)
        if (o.owner == window && std::exchange(o.asked, false)) s.clickedBack = window;
}

namespace {

// A dialog of ours was asked activated with that time; under no lock.
void AskActivated(const DialogRecord& dialog, uint32_t time) {
    dialog.calls.activate(dialog.token, time);
    std::lock_guard<std::mutex> guard(F().lock);
    for (DialogRecord& o : F().openDialogs)
        if (o.token == dialog.token) o.asked = true;
}

}  // namespace

void ForgetFocusOf(const std::vector<WindowHandle>& gone, bool noneLeft) {
    bool lost = false;
    {
        FocusState& s = F();
        std::lock_guard<std::mutex> guard(s.lock);
        const std::optional<FocusEntry> before = HolderLocked(s);
        for (const WindowHandle w : gone) {
            s.windows.erase(w);
            s.switchBack.Drop(w);
        }
        std::erase_if(s.focus, [&](const FocusEntry& e) {
            return std::find(gone.begin(), gone.end(), e.token == 0 ? e.window : e.owner) != gone.end();
        });
        lost = HolderLostLocked(before, s);
        SetKeyboardFocusHeld(KeyInputWindowLocked(s) != 0);
    }
    if (lost) ForgetKeyboardKeys();
    DecideActivation(noneLeft);
}

void NoteWindowFocus(WindowHandle window, SDL_Window* sdl, bool focused) {
    bool returning = false;
    {
        FocusState& s = F();
        std::lock_guard<std::mutex> guard(s.lock);
        // A window's first focus, as the manager shows it, is none: a box opened meanwhile has the
        // time of the action that opened it, and one asked later would stand as the player's latest.
        returning = focused && !s.active && s.hasLeft;
        if (!focused) s.switchBack.Drop(window);
    }
    NoteFocus({window, 0, 0}, focused);
    if (!returning) return;
    // Read with the focus event itself: how it came (in the manager's switch or not), and after how
    // many of the manager's WM_TAKE_FOCUS.
    const unsigned long xwindow = x11::WindowId(sdl);
    const FocusEvents::Arrival arrival = x11::FocusNotes().LastArrival(xwindow);
    const uint32_t now = MonotonicMilliseconds();
    std::lock_guard<std::mutex> guard(F().lock);
    F().switchBack.Note(window, xwindow, arrival, now);
}

// The application was switched back to through the window while a dialog of its is open: the
// keyboard goes on to the last one opened, as an owner's last active popup takes it, unless the
// player clicked the window (a pointer button is down on it, or was pressed on it since the
// application left) or went on to another program (the window lost the X focus since). Asked
// with the time the focus came with, never one read for the purpose.
void HandOverSwitchBack(SDL_Window* (*sdlOf)(WindowHandle)) {
    WindowHandle window = 0;
    {
        std::lock_guard<std::mutex> guard(F().lock);
        if (!F().switchBack.Pending()) return;  // every pump pass asks: nothing more is read then
    }
    const FocusEvents notes = x11::FocusNotes();
    std::optional<DialogRecord> last;
    bool clicked = false;
    {
        FocusState& s = F();
        std::lock_guard<std::mutex> guard(s.lock);
        window = s.switchBack.Take(notes, MonotonicMilliseconds());
        if (window == 0) return;
        for (const DialogRecord& o : s.openDialogs)
            if (o.owner == window) last = o;
        if (auto it = s.windows.find(window); it != s.windows.end())
            clicked = it->second != 0 && static_cast<int32_t>(it->second - s.lostAt) >= 0;
    }
    SDL_Window* sdl = sdlOf(window);
    if (!last || last->calls.activate == nullptr || sdl == nullptr) return;
    if (clicked || x11::ButtonDownOn(sdl)) return;
    if (const uint32_t time = x11::FocusTime(sdl); time != 0) AskActivated(*last, time);
}

// A click on the window read after the layer asked its dialog activated, which a busy manager may
// act on only after the click; one that grabs clicks only on windows without the focus (metacity)
// never saw this one, made on the focused window, and gives the dialog the keys the player has just
// taken back. The window is asked activated in turn, with his latest time (the click's or a later
// key's), as the manager would have activated it. Where no manager runs, a click moves no focus.
void HandBackToClickedWindow(SDL_Window* (*sdlOf)(WindowHandle)) {
    WindowHandle window = 0;
    {
        std::lock_guard<std::mutex> guard(F().lock);
        window = std::exchange(F().clickedBack, 0);
    }
    SDL_Window* sdl = window != 0 ? sdlOf(window) : nullptr;
    if (sdl != nullptr && x11::ManagerHints(sdl).Running()) x11::RequestActivate(sdl);
}

std::vector<unsigned long> OpenDialogWindows(WindowHandle owner) {
    std::vector<unsigned long> windows;
    std::lock_guard<std::mutex> guard(F().lock);
    for (const DialogRecord& o : F().openDialogs)
        if (o.owner == owner && o.xwindow != 0) windows.push_back(o.xwindow);
    return windows;
}

}  // namespace window_state

using namespace window_state;

WindowHandle GetFocus() {
    FocusState& s = F();
    std::lock_guard<std::mutex> guard(s.lock);
    const std::optional<FocusEntry> holder = HolderLocked(s);
    return holder && holder->token == 0 && s.windows.count(holder->window) != 0 ? holder->window : 0;
}

WindowHandle GetKeyInputWindow() {
    FocusState& s = F();
    std::lock_guard<std::mutex> guard(s.lock);
    return KeyInputWindowLocked(s);
}

bool DialogHasFocus(uintptr_t token) {
    FocusState& s = F();
    std::lock_guard<std::mutex> guard(s.lock);
    const std::optional<FocusEntry> holder = HolderLocked(s);
    return token != 0 && holder && holder->token == token;
}

void SetFocusSettleTime(uint32_t ms) { gFocusSettleMs = ms; }

void NoteDialogFocus(uintptr_t token, WindowHandle owner, bool focused) {
    if (token == 0) return;
    const bool returning = focused && !IsApplicationActive();
    NoteFocus({0, token, owner}, focused);
    // Switched back to through the dialog: its owner comes up under it, as an owned window's owner does.
    if (returning)
        if (SDL_Window* sdl = GetSdlWindow(owner)) x11::KeepUnderDialogs(sdl, OpenDialogWindows(owner));
}

void AddOpenDialog(uintptr_t token, WindowHandle owner, const DialogCalls& calls, unsigned long xwindow) {
    if (token == 0) return;
    RemoveOpenDialog(token);
    std::lock_guard<std::mutex> guard(F().lock);
    F().openDialogs.push_back({token, owner, calls, xwindow, MonotonicMilliseconds()});
}

void NoteOpenDialogMapped(uintptr_t token) {
    std::optional<DialogRecord> dialog;
    bool clicked = false;
    {
        FocusState& s = F();
        std::lock_guard<std::mutex> guard(s.lock);
        for (DialogRecord& o : s.openDialogs)
            if (o.token == token && !std::exchange(o.mapped, true)) dialog = o;
        if (auto it = dialog ? s.windows.find(dialog->owner) : s.windows.end(); it != s.windows.end())
            clicked = it->second != 0 && static_cast<int32_t>(it->second - dialog->openedAt) >= 0;
    }
    if (!dialog || dialog->calls.activate == nullptr || clicked || DialogHasFocus(token)) return;
    // The owner keeps the keyboard where the manager left it there: the dialog is asked activated, as
    // a window the active application shows is, with the time of the player's latest action. Not
    // where the player clicked the owner since the dialog opened, his click read or still waiting: a
    // busy pump reads the map late, and the focus events with it.
    SDL_Window* sdl = GetSdlWindow(dialog->owner);
    if (sdl == nullptr || !x11::HoldsFocusUnclicked(sdl)) return;
    if (const uint32_t time = x11::LastEventTime(); time != 0) AskActivated(*dialog, time);
}

void RemoveOpenDialog(uintptr_t token) {
    std::lock_guard<std::mutex> guard(F().lock);
    std::erase_if(F().openDialogs, [&](const DialogRecord& o) { return o.token == token; });
}

WindowHandle DialogOwner(uintptr_t token) {
    std::lock_guard<std::mutex> guard(F().lock);
    for (const DialogRecord& o : F().openDialogs)
        if (o.token == token) return o.owner;
    return 0;
}

std::optional<OpenDialog> FindOpenDialog(unsigned long xwindow) {
    std::lock_guard<std::mutex> guard(F().lock);
    for (const DialogRecord& o : F().openDialogs)
        if (xwindow != 0 && o.xwindow == xwindow) return OpenDialog{o.token, o.owner};
    return std::nullopt;
}

unsigned long OpenDialogXWindow(uintptr_t token) {
    std::lock_guard<std::mutex> guard(F().lock);
    for (const DialogRecord& o : F().openDialogs)
        if (o.token == token) return o.xwindow;
    return 0;
}

bool IsApplicationActive() {
    std::lock_guard<std::mutex> guard(F().lock);
    return F().active;
}

}  // namespace morna::platform
