#pragma once
// Modal message boxes: OK or OK/Cancel, with an icon. Text and caption are Shift-JIS and shown
// as UTF-8 in a GTK message dialog (SDL's box, which draws with the X server's core fonts, only
// where GTK cannot open the display). A hook can take the place of the box: tests install one
// that records the request and answers from a script, so that no test ever waits on a box.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/window.h"

namespace morna::platform {

// Flags: one button kind, one icon. Their values are the ones the program's callers pass.
constexpr uint32_t MB_OK = 0x00000000u;
constexpr uint32_t MB_OKCANCEL = 0x00000001u;
constexpr uint32_t MB_ICONERROR = 0x00000010u;
constexpr uint32_t MB_ICONQUESTION = 0x00000020u;
constexpr uint32_t MB_ICONWARNING = 0x00000030u;
constexpr uint32_t MB_ICONINFORMATION = 0x00000040u;
constexpr uint32_t kMessageBoxButtonMask = 0x0000000Fu;
constexpr uint32_t kMessageBoxIconMask = 0x000000F0u;

// Answers: the button chosen; 0 when no box could be shown.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

struct MessageBoxRequest {
    WindowHandle owner = 0;
    std::string text;     // Shift-JIS
    std::string caption;  // Shift-JIS
    uint32_t flags = 0;
};

// Shows the box and waits for the answer: IDOK, or IDCANCEL from an OK/Cancel box (Escape and
// closing the box answer Cancel, or OK when there is no Cancel). Button kinds other than
// OK/Cancel show OK alone. The box runs on the thread that has the game's window (a caller on
// another thread waits for it there; with no such thread, on the caller's), above the owner
// window. 0 when no box could be shown (no display, text that is not Shift-JIS), with the
// reason in *error when given.
int ShowMessageBox(const MessageBoxRequest& request, std::string* error = nullptr);

// While set, ShowMessageBox hands every request to the hook and answers what it answers;
// SDL is not called. Answers the hook it replaces; an empty function removes it.
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

}  // namespace morna::platform
