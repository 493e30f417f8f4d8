#pragma once
// The window layer's state, shared by its two files: window.cpp (the windows, the threads' queues,
// the pump) and window_focus.cpp (the focus record, the application's activation, the open dialogs
// and the switch-back to them). One lock guards it all; SDL and callbacks are never called while
// it is held. Not for use outside the layer.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/window.h"

namespace morna::platform::window_state {

struct ThreadQueue;  // a thread's messages (window.cpp)

struct FocusEntry {
    WindowHandle window = 0;  // ours, or
    uintptr_t token = 0;      // another toolkit's
    WindowHandle owner = 0;   // the window the keyboard counts as focused while it has the focus
};

// An open dialog or box of another toolkit (NoteDialogOpen).
struct DialogRecord {
    uintptr_t token = 0;
    WindowHandle owner = 0;
    DialogCalls calls;
};

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
    uint32_t pressedAt = 0;  // the layer's clock at the last pointer button pressed on it (0: none)
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
    uint32_t wakeEvent = 0;             // our SDL user event that wakes SDL_WaitEvent
    int32_t cursorCount = 0;
    // Files dropped, gathered until SDL says the drop is complete, then handed out by id.
    std::vector<std::string> dropping;
    std::map<uintptr_t, std::vector<std::string>> drops;
    uintptr_t nextDrop = 1;
    // SDL's reason for the last refused video start or window, whichever thread asked.
    std::string windowError;
    // The one record of the focus: our windows, and the dialogs and boxes of another toolkit (by
    // token, with their owner), that hold the keyboard focus, in the order they took it. The last
    // has it; a late loss of one that had it before changes nothing.
    std::vector<FocusEntry> focus;
    // The open dialogs and boxes of another toolkit, in the order they opened.
    std::vector<DialogRecord> openDialogs;
    bool active = false;
    bool leaving = false;  // none has it: the application leaves unless one takes it again in time
    uint32_t lostAt = 0;   // since when none has had it
    bool hasLeft = false;  // the application has left once: a focus coming back is the player's switch
    WindowHandle switchBack = 0;  // ours took the focus back while the application was inactive
    // Taken in the middle of the manager's switch: the hand-over waits for the switch's own last
    // focus (a WM_TAKE_FOCUS after this count), or for a while after its end.
    bool switchBackWaits = false;
    uint32_t switchBackCount = 0, switchBackAt = 0;

    State() {
        for (const char* name :
             {"BUTTON", "COMBOBOX", "EDIT", "LISTBOX", "MDICLIENT", "SCROLLBAR", "STATIC"})
            classes.push_back({name, &DefaultWindowProcedure, false});
    }
};

State& S();

// window.cpp: appends to the queue's posted messages and wakes its thread.
void PostTo(ThreadQueue* queue, const WindowMessage& m);

// window_focus.cpp (none of them is called with the lock held):
// One of ours took or lost the focus: an SDL window by handle, another toolkit's by token.
void NoteFocus(const FocusEntry& entry, bool focused);
// The windows are gone: they and the dialogs they own leave the focus record.
void ForgetFocusOf(const std::vector<WindowHandle>& gone);
// Decides the activation after a change of the focus record, or as time passes (now: at once).
void DecideActivation(bool now = false);
// Whether none has the focus and the application leaves unless one takes it again in time.
bool LeavePending();
// The switch-back: the application was switched back to through the window, noted as the pump
// reads its focus, and taken once the events read with it are taken.
void NoteSwitchBack(WindowHandle window);
WindowHandle TakeSwitchBack();
// The window lost the focus: a switch back through it not yet taken is void.
void DropSwitchBack(WindowHandle window);
// The keyboard passed on to the window's last dialog (its SDL window).
void PassFocusToDialog(WindowHandle window, SDL_Window* sdl);

}  // namespace morna::platform::window_state
