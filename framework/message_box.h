#pragma once
// The framework's message box: the platform's box, with a box that cannot be shown written to
// the error log. Text and caption are Shift-JIS; flags and answers are the platform's
// (MB_OK, MB_OKCANCEL, MB_ICON*; IDOK, IDCANCEL, 0 when no box could be shown).
#include <cstdint>

#include "foundation/vtl/vtl_string.h"
#include "foundation/window/win_hook.h"
#include "platform/message_box.h"

namespace KestraneGameBase2 {

int ShowMessageBox(tovarineGameSDK3rd::HWND owner, const tovarineGameSDK3rd::VTL::VTLstring& text,
                   const tovarineGameSDK3rd::VTL::VTLstring& caption, uint32_t flags);

}  // namespace KestraneGameBase2
