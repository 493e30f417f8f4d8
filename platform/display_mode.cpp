#include "platform/display_mode.h"

#include <SDL2/SDL.h>

#include <atomic>

#include "platform/clock.h"
#include "platform/window.h"

namespace morna::platform {

namespace {
std::atomic<int32_t> g_desktopOverride{0};
std::atomic<int32_t> g_refusals{0};
std::atomic<DisplaySleeper> g_sleeper{nullptr};
}  // namespace

int32_t DisplayFormatOfSdl(uint32_t sdlFormat) {
    switch (sdlFormat) {
    case SDL_PIXELFORMAT_INDEX8: return 2;
    case SDL_PIXELFORMAT_RGB565: return 3;
    case SDL_PIXELFORMAT_RGB555: return 4;
    case SDL_PIXELFORMAT_BGR24: return 5;  // bytes B, G, R
    case SDL_PIXELFORMAT_RGB24: return 6;  // bytes R, G, B
    case SDL_PIXELFORMAT_XRGB8888:
    case SDL_PIXELFORMAT_ARGB8888: return 7;  // the alpha byte of a visual is not read
    case SDL_PIXELFORMAT_XBGR8888:
    case SDL_PIXELFORMAT_ABGR8888: return 8;
    default: return 1;
    }
}

int32_t DesktopDisplayFormat() {
    int32_t selected = g_desktopOverride.load();
    if (selected != 0) return selected;
    uint32_t format = 0;
    if (!GetDesktopSdlFormat(format)) return 0;
    return DisplayFormatOfSdl(format);
}

bool SelectDesktopFormatForTests(int32_t code) {
    if (code != 0 && (code < 2 || code > 8)) return false;
    g_desktopOverride.store(code);
    return true;
}

int32_t FullScreenFormat(int32_t bpp) {
    switch (bpp) {
    case 16: return 3;
    case 32: return 7;
    default: return 0;
    }
}

bool SetFullScreenMode(int32_t width, int32_t height, int32_t bpp, int32_t* format) {
    int32_t n = g_refusals.load();
    while (n > 0) {
        if (g_refusals.compare_exchange_weak(n, n - 1)) return false;
    }
    int32_t f = FullScreenFormat(bpp);
    if (f == 0 || width <= 0 || height <= 0) return false;
    if (format) *format = f;
    return true;
}

void InjectDisplayModeRefusals(int32_t count) { g_refusals.store(count > 0 ? count : 0); }

void SetDisplaySleeper(DisplaySleeper sleeper) { g_sleeper.store(sleeper); }

void DisplaySleep(uint32_t ms) {
    DisplaySleeper sleeper = g_sleeper.load();
    if (sleeper != nullptr) sleeper(ms);
    else SleepMilliseconds(ms);
}

}  // namespace morna::platform
