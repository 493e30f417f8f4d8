// The focus of the application's windows: the one focus record, the application's activation
// decided from it, the list of open dialogs of another toolkit, and the switch-back (the keyboard
// passed on to an open dialog when the player switches back to the game's window). The state and
// its lock are the window layer's (window_state.h).
#include "platform/window.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/keyboard_state.h"
#include "platform/sound_output.h"
#include "platform/window_state.h"
#include "platform/x11_window.h"

namespace morna::platform {
namespace window_state {
namespace {

// How long the application stays active with none of its windows focused. Two toolkits report the
// focus moving between their windows on two connections, in either order, and a window manager
// gives the focus back to the game a moment after its dialog closes: a loss only counts once no
// window of ours has taken the focus again meanwhile.
std::atomic<uint32_t> gFocusSettleMs{250};

// Tells every window of the display thread that the application became active or left, and
// the sound that it may play or must fall silent.
void AnnounceActivation(bool active) {
    State& s = S();
    std::vector<WindowHandle> windows;
    ThreadQueue* owner = nullptr;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        owner = s.videoOwner;
        for (auto& [h, w] : s.windows)
            if (w.owner.get() == owner && !w.destroying) windows.push_back(h);
    }
    SetApplicationActive(active);
    if (owner == nullptr) return;
    for (WindowHandle h : windows) PostTo(owner, {h, WM_ACTIVATEAPP, active ? 1u : 0u, 0});
}

}  // namespace

// Decides the application's activation after a change of the focus record, or as time passes:
// active at once when one of its windows has the focus; left when none has, once the settle time
// is up (at once when asked: no window is left whose focus could come back).
void DecideActivation(bool now) {
    State& s = S();
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
    if (announce >= 0) AnnounceActivation(announce == 1);
}

bool LeavePending() {
    std::lock_guard<std::mutex> guard(S().lock);
    return S().leaving;
}

namespace {

// The entry of the record that has the focus; under the lock.
std::optional<FocusEntry> HolderLocked(const State& s) {
    return s.focus.empty() ? std::nullopt : std::optional(s.focus.back());
}

bool SameHolder(const FocusEntry& a, const FocusEntry& b) { return a.window == b.window && a.token == b.token; }

// Whether the one that had the focus has it no more; under the lock. The keys it reported go then:
// their key-ups will not come.
bool HolderLostLocked(const std::optional<FocusEntry>& before, const State& s) {
    const std::optional<FocusEntry> now = HolderLocked(s);
    return before && (!now || !SameHolder(*before, *now));
}

// The game window whose keys count by the record, while it exists; under the lock.
WindowHandle KeyInputWindowLocked(const State& s) {
    const std::optional<FocusEntry> holder = HolderLocked(s);
    const WindowHandle window = !holder ? 0 : holder->token == 0 ? holder->window : holder->owner;
    return s.windows.count(window) != 0 ? window : 0;
}

}  // namespace

// One of ours took or lost the focus: an SDL window by handle, another toolkit's by token.
void NoteFocus(const FocusEntry& entry, bool focused) {
    bool lost = false;
    {
        State& s = S();
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

// Takes the windows, and the dialogs they own, out of the record (they are gone); decides at once
// when no window is left.
void ForgetFocusOf(const std::vector<WindowHandle>& gone) {
    bool none = false, lost = false;
    {
        State& s = S();
        std::lock_guard<std::mutex> guard(s.lock);
        const std::optional<FocusEntry> before = HolderLocked(s);
        std::erase_if(s.focus, [&](const FocusEntry& e) {
            return std::find(gone.begin(), gone.end(), e.token == 0 ? e.window : e.owner) != gone.end();
        });
        lost = HolderLostLocked(before, s);
        SetKeyboardFocusHeld(KeyInputWindowLocked(s) != 0);
        none = s.windows.empty();
    }
    if (lost) ForgetKeyboardKeys();
    DecideActivation(none);
}

// How long a hand-over noted in the middle of the manager's switch waits, past the switch's end, for
// the manager's last focus of it.
constexpr uint32_t kSwitchEndMs = 500;

void NoteSwitchBack(WindowHandle window) {
    const bool switching = x11::ManagerSwitching();
    const uint32_t count = x11::TakeFocusCount(), at = MonotonicMilliseconds();
    std::lock_guard<std::mutex> guard(S().lock);
    State& s = S();
    // A window's first focus, as the manager shows it, is none: a box opened meanwhile has the time
    // of the action that opened it, and one asked later would stand as the player's latest action.
    if (!s.hasLeft) return;
    s.switchBack = window;
    s.switchBackWaits = switching;
    s.switchBackCount = count;
    s.switchBackAt = at;
}

// The switch back to hand over now, if any. One noted in the middle of the manager's switch waits for
// its end and the manager's focus that ends it (metacity focuses the window as the player tabs to
// it and again at the release of Alt, with the time of the release): a dialog activated before
// that would lose the focus to it, and with an older time be refused.
WindowHandle TakeSwitchBack() {
    std::lock_guard<std::mutex> guard(S().lock);
    State& s = S();
    if (s.switchBack == 0) return 0;  // every pump pass asks: nothing more is read then
    const uint32_t at = MonotonicMilliseconds();
    if (x11::ManagerSwitching()) {
        s.switchBackAt = at;  // the wait past its end counts from the last pass that saw it going on
        return 0;
    }
    if (s.switchBackWaits && x11::TakeFocusCount() == s.switchBackCount &&
        static_cast<uint32_t>(at - s.switchBackAt) < kSwitchEndMs)
        return 0;
    return std::exchange(s.switchBack, 0);
}

void DropSwitchBack(WindowHandle window) {
    std::lock_guard<std::mutex> guard(S().lock);
    if (S().switchBack == window) S().switchBack = 0;
}

// The application was switched back to through the window while a dialog of its is open: the
// keyboard goes on to the last one opened, as an owner's last active popup takes it, unless the
// player clicked the window (a pointer button is down on it, or was pressed on it since the
// application left). Asked with the time the focus came with, never one read for the purpose.
void PassFocusToDialog(WindowHandle window, SDL_Window* sdl) {
    std::optional<DialogRecord> last;
    bool clicked = false;
    {
        std::lock_guard<std::mutex> guard(S().lock);
        for (const DialogRecord& o : S().openDialogs)
            if (o.owner == window) last = o;
        if (auto it = S().windows.find(window); it != S().windows.end())
            clicked = it->second.pressedAt != 0 && static_cast<int32_t>(it->second.pressedAt - S().lostAt) >= 0;
    }
    if (!last || last->calls.activate == nullptr || sdl == nullptr) return;
    if (clicked || x11::ButtonDownOn(sdl)) return;
    if (const uint32_t time = x11::FocusTime(sdl); time != 0) last->calls.activate(last->token, time);
}

}  // namespace window_state

using namespace window_state;

WindowHandle GetFocus() {
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    const std::optional<FocusEntry> holder = HolderLocked(s);
    return holder && holder->token == 0 && s.windows.count(holder->window) != 0 ? holder->window : 0;
}

WindowHandle GetKeyInputWindow() {
    State& s = S();
    std::lock_guard<std::mutex> guard(s.lock);
    return KeyInputWindowLocked(s);
}

bool DialogHasFocus(uintptr_t token) {
    State& s = S();
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
        if (SDL_Window* sdl = GetSdlWindow(owner)) x11::KeepUnderDialogs(sdl);
}

void NoteDialogOpen(uintptr_t token, WindowHandle owner, const DialogCalls& calls) {
    if (token == 0) return;
    NoteDialogClosed(token);
    std::lock_guard<std::mutex> guard(S().lock);
    S().openDialogs.push_back({token, owner, calls});
}

void NoteDialogClosed(uintptr_t token) {
    std::lock_guard<std::mutex> guard(S().lock);
    std::erase_if(S().openDialogs, [&](const DialogRecord& o) { return o.token == token; });
}

WindowHandle DialogOwner(uintptr_t token) {
    std::lock_guard<std::mutex> guard(S().lock);
    for (const DialogRecord& o : S().openDialogs)
        if (o.token == token) return o.owner;
    return 0;
}

bool IsApplicationActive() {
    std::lock_guard<std::mutex> guard(S().lock);
    return S().active;
}

}  // namespace morna::platform
