#pragma once
// Top-level windows and per-thread message queues over SDL2.
//
// A window belongs to the thread that created it: its SDL calls are made there
// and its messages are queued for that thread. Other threads reach a window only
// through PostWindowMessage and SendWindowMessage. SDL video is started on the
// first thread that creates a window (or asks the screen size), pumped by that
// thread's PeekWindowMessage/GetWindowMessage, and shut down when that thread's
// last window is destroyed or the thread ends. Only one thread owns SDL video at
// a time; a window wanted on another thread meanwhile is refused.
//
// The pump turns SDL's window events into the message numbers that hooks test:
// close request -> WM_CLOSE, focus gained/lost -> the focus record and the application's
// activation (see NoteDialogFocus) with WM_ACTIVATEAPP (wparam 1/0),
// exposure -> WM_PAINT, the files of one drop -> WM_DROPFILES (wparam: the drop),
// minimised/restored/maximised -> WM_SIZE (SIZE_MINIMIZED/RESTORED/MAXIMIZED,
// lparam height << 16 | width). SDL's own quit event is switched off and ignored.
// Every SDL event taken off SDL's queue goes to the event observers first.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct SDL_Window;

namespace morna::platform {

using WindowHandle = uint32_t;  // 0 = no window; handles are never reused
using WindowProcedure = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wparam,
                                     intptr_t lparam);

// Message numbers (their values are facts the program tests).
constexpr uint32_t WM_NULL = 0x0000;  // means nothing; posted to wake a waiting pump
constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_NCDESTROY = 0x0082;
constexpr uint32_t WM_INITDIALOG = 0x0110;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_DROPFILES = 0x0233;
constexpr uint32_t WM_PALETTECHANGED = 0x0311;
constexpr uint32_t WM_USER = 0x0400;

// WM_SIZE kinds (wparam).
constexpr uintptr_t SIZE_RESTORED = 0;
constexpr uintptr_t SIZE_MINIMIZED = 1;
constexpr uintptr_t SIZE_MAXIMIZED = 2;

// Window styles. A pop-up without a caption is shown as the desktop's full
// screen; a caption gives the window manager's frame; WS_THICKFRAME makes it
// resizable. WS_MINIMIZE and WS_MAXIMIZE are kept in the style word only: a
// minimised window that leaves full screen stays minimised.
constexpr uint32_t WS_POPUP = 0x80000000u;
constexpr uint32_t WS_CHILD = 0x40000000u;
constexpr uint32_t WS_MINIMIZE = 0x20000000u;
constexpr uint32_t WS_VISIBLE = 0x10000000u;
constexpr uint32_t WS_MAXIMIZE = 0x01000000u;
constexpr uint32_t WS_CAPTION = 0x00C00000u;
constexpr uint32_t WS_SYSMENU = 0x00080000u;
constexpr uint32_t WS_THICKFRAME = 0x00040000u;
constexpr uint32_t WS_MINIMIZEBOX = 0x00020000u;
constexpr uint32_t WS_MAXIMIZEBOX = 0x00010000u;

// Position that leaves the placement to the window manager.
constexpr int32_t kDefaultPosition = INT32_MIN;

struct WindowMessage {
    WindowHandle window = 0;
    uint32_t message = 0;
    uintptr_t wparam = 0;
    intptr_t lparam = 0;
};

// ---- Window classes ----------------------------------------------------------
// Names compare without regard to ASCII case. The system classes "BUTTON",
// "COMBOBOX", "EDIT", "LISTBOX", "MDICLIENT", "SCROLLBAR" and "STATIC" exist from
// the start, with DefaultWindowProcedure as their procedure.
struct WindowClass {
    std::string name;
    WindowProcedure procedure = nullptr;
    bool whiteBackground = false;  // what a window has not drawn shows white, else black
};
// False when the name is empty or taken, or the procedure is null.
bool RegisterWindowClass(const WindowClass& windowClass);
// True when the class exists; copies it to *out when out is given.
bool FindWindowClass(std::string_view name, WindowClass* out = nullptr);

// ---- Creation and destruction -----------------------------------------------
struct WindowCreation {
    std::string className;
    std::string caption;  // Shift-JIS; shown as UTF-8
    uint32_t style = 0;
    int32_t x = kDefaultPosition, y = kDefaultPosition;
    int32_t width = 0, height = 0;  // outer size (see AdjustWindowSize)
    WindowHandle parent = 0;
    intptr_t createParam = 0;  // lparam of WM_CREATE
};
// Creates the window on the calling thread; WM_CREATE is sent to the class's
// procedure before it returns; shown when the style has WS_VISIBLE. 0 on failure
// (unknown class, SDL video owned by another thread, SDL refused).
WindowHandle CreateWindow(const WindowCreation& creation);
// Why the last window (or SDL video) could not be made, on any thread; empty when none failed.
std::string LastWindowError();

// Dialog templates: a dialog is a window made from a template registered under
// an id. Its messages go to its dialog procedure; 0 from it means "not handled"
// and the default dialog handling (which does nothing) answers 0.
struct DialogTemplate {
    std::string caption;  // Shift-JIS
    int32_t width = 0, height = 0;
    uint32_t style = 0;
};
void RegisterDialogTemplate(int32_t id, const DialogTemplate& dialogTemplate);
// Creates the dialog and sends it WM_INITDIALOG with lparam = param. 0 when no
// template has that id or the window cannot be created.
WindowHandle CreateDialogWindow(int32_t templateId, WindowHandle parent,
                                WindowProcedure dialogProcedure, intptr_t param);
// When the message is for the dialog, dispatches it there and answers true.
bool IsDialogMessage(WindowHandle dialog, const WindowMessage& message);

// On the owning thread: sends WM_DESTROY then WM_NCDESTROY to the procedure and
// destroys the window. Pending sends to it are answered 0. False for an unknown
// window or another thread.
bool DestroyWindow(WindowHandle window);
bool IsWindow(WindowHandle window);
// Whether another program destroyed the window's X window: the window is closing, as by its close
// box, and nothing drawn for it can be shown.
bool DestroyedOutside(WindowHandle window);

// ---- Procedures and user data ------------------------------------------------
intptr_t DefaultWindowProcedure(WindowHandle window, uint32_t message, uintptr_t wparam,
                                intptr_t lparam);  // WM_CLOSE destroys the window
intptr_t CallWindowProcedure(WindowProcedure procedure, WindowHandle window, uint32_t message,
                             uintptr_t wparam, intptr_t lparam);
// Replaces the window's procedure; answers the previous one (null for an unknown window).
WindowProcedure SetWindowProcedure(WindowHandle window, WindowProcedure procedure);
WindowProcedure GetWindowProcedure(WindowHandle window);
bool SetWindowUserData(WindowHandle window, void* data);
void* GetWindowUserData(WindowHandle window);

// ---- Shape and state (on the owning thread; false for another thread) --------
// Showing a minimised window leaves it minimised, as it is.
bool ShowWindow(WindowHandle window, bool show);
bool IsWindowVisible(WindowHandle window);
// A window's position is its outer corner, the manager's frame included, so that a place
// read back and given again puts the window where it was.
bool MoveWindow(WindowHandle window, int32_t x, int32_t y);
bool ResizeWindow(WindowHandle window, int32_t width, int32_t height);  // outer size
bool GetWindowPosition(WindowHandle window, int32_t& x, int32_t& y);
bool GetClientSize(WindowHandle window, int32_t& width, int32_t& height);
bool SetWindowStyle(WindowHandle window, uint32_t style);
uint32_t GetWindowStyle(WindowHandle window);
bool IsFullScreenWindow(WindowHandle window);
bool SetWindowCaption(WindowHandle window, std::string_view captionSjis);
std::string GetWindowCaption(WindowHandle window);  // Shift-JIS, as given
bool IsWindowMinimized(WindowHandle window);
bool IsWindowMaximized(WindowHandle window);
bool FocusWindow(WindowHandle window);
// Whether files dropped on the window reach it (WM_DROPFILES); off by default.
bool DragAcceptFiles(WindowHandle window, bool accept);
// The names of a WM_DROPFILES drop, each a Shift-JIS "Z:" path (a name without a
// Shift-JIS form is skipped and logged), and the drop freed; empty for an unknown drop.
std::vector<std::string> TakeDroppedFiles(uintptr_t drop);
// Keeps the window above the others, or lets it go back among them.
bool SetWindowTopmost(WindowHandle window, bool topmost);
// Whether the screensaver may start (it is kept off while our window has the focus).
void AllowScreenSaver(bool allow);

// Our window that has the keyboard focus (as the pump last saw it), 0 when none has (a dialog or
// box of another toolkit may have it: see the focus record below).
WindowHandle GetFocus();
// Switches text input (the input method) for the window on or off.
bool EnableInputMethod(WindowHandle window, bool enable);
bool IsInputMethodEnabled(WindowHandle window);

// The window manager draws the frame outside the client area here, so the outer
// size of a window is its client size: the size is left as it is.
void AdjustWindowSize(int32_t& width, int32_t& height, uint32_t style, bool hasMenu);

// Asks the display server not to composite the windows made from now on (on X11, the window's
// bypass-compositor request); where there is no such request nothing happens. A choice made in the
// environment (SDL_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR) stands.
void BypassCompositor();

// The desktop's size; starts SDL video on the calling thread when nobody owns it.
bool GetScreenSize(int32_t& width, int32_t& height);
// SDL's pixel format of the desktop, likewise.
bool GetDesktopSdlFormat(uint32_t& format);

// The cursor's display counter: +1 for show, -1 for hide; shown while it is >= 0.
// Answers the new count.
int32_t ShowCursor(bool show);

// The SDL window behind a handle, for platform code on the owning thread (the
// display presents into it); null for an unknown window or another thread.
SDL_Window* GetSdlWindow(WindowHandle window);
// Our window of an SDL window id (events carry the id), on any thread; 0 when none.
WindowHandle WindowOfSdlId(uint32_t sdlWindowId);

// ---- Message queue of the calling thread --------------------------------------
// Appends to the queue of the window's thread; false for an unknown window.
bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam);
// Makes the next retrieval of the calling thread answer WM_QUIT with the code.
void PostQuitMessage(int32_t exitCode);
// Removes the next message when there is one. Sent messages are delivered first
// (they are not answered as messages), SDL is pumped when this thread owns video.
bool PeekWindowMessage(WindowMessage& message);
// Work of another toolkit's windows that every pass of the calling thread's pump does (its
// events handled without waiting); a waiting pump wakes every 10 ms to do it. Null removes it.
using PumpPassHook = void (*)();
void SetPumpPassHook(PumpPassHook hook);
// ---- The focus of the application's windows -----------------------------------
// One record of which of the application's windows has the keyboard focus: its SDL windows (from
// the pump's events) and the dialogs and boxes of another toolkit that it shows, which report
// their focus under a token of their own (not 0) with the window that owns them, and false before
// they go. Focus events of two toolkits come on two connections, in either order: the window
// that took the focus last, and has not lost it since, has it.
// The application is active while one of them has the focus; the focus moving between them is no
// switch of applications. Its becoming active or leaving is posted as WM_ACTIVATEAPP (wparam 1/0)
// to every window of the display thread and tells the sound whether it may play. Becoming active
// counts at once; leaving counts when none of them has taken the focus again within the settle
// time (the window manager gives the focus back a moment after a dialog closes), decided by the
// pump (a modal loop of another toolkit pumps through PumpWindowEventsInModalLoop). A dialog that
// takes the focus as the application comes back brings its owner up under it, where another
// program's window came between them.
void NoteDialogFocus(uintptr_t token, WindowHandle owner, bool focused);
// Whether the dialog or box of that token has the keyboard focus now.
bool DialogHasFocus(uintptr_t token);
// The game window whose keys count: ours with the focus, or the owner of our dialog or box that has
// it; 0 while another program has it.
WindowHandle GetKeyInputWindow();
// The one list of the dialogs and boxes of another toolkit that are open, each with the window that
// owns it and what the layer asks of it: to take the keyboard when the application is switched back
// to through its owner (by the window manager, not by a click on the owner), as an owner's last
// active popup is. The window layer finds them in the server's stacking by their X window (0 for
// none) where it keeps the owner's place.
// The calls run on the display thread (its pump), without the layer's lock, and touch GTK's own
// windows: right only because GTK runs on the display thread. The toolkit's side asks the list
// too (FindOpenDialog, OpenDialogXWindow): it keeps none of its own.
struct DialogCalls {
    void (*activate)(uintptr_t token, uint32_t serverTime) = nullptr;  // a real time, never 0
};
void AddOpenDialog(uintptr_t token, WindowHandle owner, const DialogCalls& calls, unsigned long xwindow = 0);
void RemoveOpenDialog(uintptr_t token);
// The manager has shown the open dialog (its first map). A manager that prevents focus stealing
// may leave the keyboard with the owner: it weighs the dialog's time against the owner's last key,
// which a key held through a slow opening repeats past it, or against the time of the owner's own
// activation at its start. Where the owner holds the X focus, and the player did not click it since
// the dialog opened, the dialog is asked to take it (DialogCalls::activate, with LastEventTime), as
// a window the active application shows does.
void NoteOpenDialogMapped(uintptr_t token);
// The window that owns the open dialog or box of that token; 0 when none is open under it.
WindowHandle DialogOwner(uintptr_t token);
// The open dialog or box whose X window that is (its token and owner), if any; and the X window of
// an open one's token (0 for none).
struct OpenDialog {
    uintptr_t token = 0;
    WindowHandle owner = 0;
};
std::optional<OpenDialog> FindOpenDialog(unsigned long xwindow);
unsigned long OpenDialogXWindow(uintptr_t token);
// The settle time in milliseconds: 250 unless set (a test sets its own).
void SetFocusSettleTime(uint32_t ms);
// The application's activation as last decided.
bool IsApplicationActive();
// What the pump does with the display's events, for a modal loop of another toolkit on the display
// thread (a message box): SDL's events are taken as the pump takes them (messages are posted, to
// be handled after the loop) and a pending leave is decided; a caught termination signal is left
// for the pump, which the loop ends for (CloseSignalPending).
void PumpWindowEventsInModalLoop();
// From now on SIGTERM, SIGINT and SIGHUP ask the display thread's first window to close, as
// its close box does: the signal's handler only notes it, and the pump posts WM_CLOSE.
void CloseOnSignals();
// Whether such a signal came and its WM_CLOSE is not posted yet: a modal loop of another toolkit
// ends on it, so that the pump comes round to post it.
bool CloseSignalPending();
// Waits for the next message: 1 for a message, 0 for WM_QUIT, -1 on failure.
int32_t GetWindowMessage(WindowMessage& message);
// Calls the window's procedure; 0 for an unknown window.
intptr_t DispatchWindowMessage(const WindowMessage& message);
// Calls the window's procedure on its own thread and answers its result. From
// another thread it waits until that thread retrieves messages; messages sent
// to the waiting thread meanwhile are served. 0 when the window is unknown, or is
// destroyed or its thread ends before it was served.
intptr_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wparam,
                           intptr_t lparam);

// Whether the calling thread owns the display (SDL video).
bool OwnsDisplay();
// Runs work on the thread that owns the display and has a window, and answers true once it
// ran: at once on that thread; from another thread it is handed over and waited for (that
// thread's pump runs it; what is sent to the waiting thread meanwhile is served). False, with
// nothing run, when no thread has the display with a window or that thread ends first.
bool RunOnDisplayThread(const std::function<void()>& work);

}  // namespace morna::platform
