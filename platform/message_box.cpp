#include "platform/message_box.h"

#include <SDL.h>

#include "platform/charset.h"
#include "platform/hook_slot.h"

namespace morna::platform {
namespace {

HookSlot<MessageBoxHook> gHook;

uint32_t SdlIcon(uint32_t flags) {
    switch (flags & kMessageBoxIconMask) {
        case MB_ICONERROR: return SDL_MESSAGEBOX_ERROR;
        case MB_ICONWARNING: return SDL_MESSAGEBOX_WARNING;
        case MB_ICONQUESTION: case MB_ICONINFORMATION: return SDL_MESSAGEBOX_INFORMATION;
        default: return 0;
    }
}

}  // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) { return gHook.Set(std::move(hook)); }

int ShowMessageBox(const MessageBoxRequest& request, std::string* error) {
    if (MessageBoxHook hook = gHook.Get()) return hook(request);

    std::string text, caption;
    if (!Cp932ToUtf8(request.text, text) || !Cp932ToUtf8(request.caption, caption)) {
        if (error) *error = "message box text is not Shift-JIS";
        return 0;
    }
    const bool okCancel = (request.flags & kMessageBoxButtonMask) == MB_OKCANCEL;
    const int noAnswer = okCancel ? IDCANCEL : IDOK;
    const uint32_t okKeys = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT |
                            (okCancel ? 0u : static_cast<uint32_t>(SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT));
    SDL_MessageBoxButtonData buttons[2] = {
        {okKeys, IDOK, "OK"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"},
    };
    SDL_MessageBoxData data{};
    data.flags = SdlIcon(request.flags);
    data.window = GetSdlWindow(request.owner);  // null on any thread but the owner's
    data.title = caption.c_str();
    data.message = text.c_str();
    data.numbuttons = okCancel ? 2 : 1;
    data.buttons = buttons;
    int chosen = -1;
    if (SDL_ShowMessageBox(&data, &chosen) != 0) {
        if (error) *error = SDL_GetError();
        return 0;
    }
    return chosen == IDOK || chosen == IDCANCEL ? chosen : noAnswer;  // -1: closed
}

}  // namespace morna::platform
