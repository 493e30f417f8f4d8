#include "platform/server_keymap.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>

#include <cstring>

#include "platform/shared_library.h"

namespace morna::platform {
namespace {

using QueryKeymap = int (*)(Display*, char*);

// Xlib through the loader, as SDL reaches it: the program runs where there is none.
QueryKeymap Query() {
    static const QueryKeymap query = []() -> QueryKeymap {
        SharedLibraryHandle x11 = OpenSharedLibrary("libX11.so.6");
        return x11 != nullptr ? reinterpret_cast<QueryKeymap>(FindSharedLibrarySymbol(x11, "XQueryKeymap")) : nullptr;
    }();
    return query;
}

}  // namespace

bool ReadServerKeymap(SDL_Window* window, uint8_t (&keymap)[kServerKeymapSize]) {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (window == nullptr || driver == nullptr || std::strcmp(driver, "x11") != 0) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    const QueryKeymap query = Query();
    if (query == nullptr) return false;
    char keys[kServerKeymapSize] = {};
    query(info.info.x11.display, keys);  // one round trip on SDL's own connection, on its thread
    std::memcpy(keymap, keys, sizeof keys);
    return true;
}

}  // namespace morna::platform
