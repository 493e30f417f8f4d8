#include "platform/joystick.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace morna::platform {
namespace {

constexpr uint32_t kAxisMax = 65535;
constexpr uint32_t kAxisCentre = 32767;
constexpr int kMaskBits = 32;
constexpr int kShortCallButtons = 4;

struct OpenPad {
    SDL_JoystickID instance;
    SDL_Joystick* handle;
};

struct Pads {
    std::mutex lock;
    std::vector<OpenPad> open;
};

Pads& GetPads() {
    static Pads pads;
    return pads;
}

void CloseAllLocked(Pads& pads) {
    for (const OpenPad& p : pads.open) SDL_JoystickClose(p.handle);
    pads.open.clear();
}

// Starts SDL's joystick subsystem on first use, and again after SDL_Quit.
bool EnsureSubsystemLocked(Pads& pads) {
    // Pads are read whichever window has the focus. SDL_Quit clears hints and
    // another part may have started the subsystem, so the hint is checked each time.
    const char* hint = SDL_GetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS);
    if (hint == nullptr || std::strcmp(hint, "1") != 0) {
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    }
    if (SDL_WasInit(SDL_INIT_JOYSTICK) != 0) return true;
    // Handles from before a shutdown are dead; drop them without closing.
    pads.open.clear();
    return SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

// The open handle of device id, opening it when needed; null when there is none.
SDL_Joystick* PadLocked(Pads& pads, uint32_t id) {
    if (!EnsureSubsystemLocked(pads)) return nullptr;
    const int count = SDL_NumJoysticks();
    if (count <= 0 || id >= static_cast<uint32_t>(count)) return nullptr;
    const int index = static_cast<int>(id);
    const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(index);
    if (instance < 0) return nullptr;

    // Close what was unplugged, so the list stays as long as the pads in use.
    auto gone = std::remove_if(pads.open.begin(), pads.open.end(), [](const OpenPad& p) {
        if (SDL_JoystickGetAttached(p.handle)) return false;
        SDL_JoystickClose(p.handle);
        return true;
    });
    pads.open.erase(gone, pads.open.end());

    for (const OpenPad& p : pads.open) {
        if (p.instance == instance) return p.handle;
    }
    SDL_Joystick* handle = SDL_JoystickOpen(index);
    if (handle == nullptr) return nullptr;
    pads.open.push_back({instance, handle});
    return handle;
}

uint32_t ScaledAxis(SDL_Joystick* pad, int axis) {
    if (axis >= SDL_JoystickNumAxes(pad)) return kAxisCentre;
    return static_cast<uint32_t>(static_cast<int32_t>(SDL_JoystickGetAxis(pad, axis)) + 32768);
}

uint32_t ButtonMask(SDL_Joystick* pad, int limit) {
    uint32_t mask = 0;
    const int buttons = std::min(SDL_JoystickNumButtons(pad), limit);
    for (int i = 0; i < buttons; ++i) {
        if (SDL_JoystickGetButton(pad, i) != 0) mask |= 1u << i;
    }
    return mask;
}

// Hundredths of a degree clockwise from up, for SDL's hat bits.
uint32_t PovFromHat(uint8_t hat) {
    switch (hat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return kPovCentred;
    }
}

// The open pad of id, read now (not as of the last pump of the window); null when gone.
SDL_Joystick* FreshPadLocked(Pads& pads, uint32_t id) {
    if (!EnsureSubsystemLocked(pads)) return nullptr;
    SDL_JoystickUpdate();
    return PadLocked(pads, id);
}

}  // namespace

uint32_t JoystickCount() {
    Pads& pads = GetPads();
    std::lock_guard<std::mutex> guard(pads.lock);
    if (!EnsureSubsystemLocked(pads)) return 0;
    const int count = SDL_NumJoysticks();
    return count > 0 ? static_cast<uint32_t>(count) : 0;
}

bool GetJoystickCaps(uint32_t id, JoystickCaps& caps) {
    Pads& pads = GetPads();
    std::lock_guard<std::mutex> guard(pads.lock);
    SDL_Joystick* pad = PadLocked(pads, id);
    if (pad == nullptr) return false;
    caps = JoystickCaps{};
    caps.x_max = kAxisMax;
    caps.y_max = kAxisMax;
    caps.buttons = static_cast<uint32_t>(std::max(SDL_JoystickNumButtons(pad), 0));
    caps.axes = static_cast<uint32_t>(std::max(SDL_JoystickNumAxes(pad), 0));
    if (caps.axes > 2) caps.z_max = kAxisMax;
    if (caps.axes > 3) caps.r_max = kAxisMax;
    return true;
}

bool GetJoystickPosition(uint32_t id, bool all_buttons, JoystickPosition& pos) {
    Pads& pads = GetPads();
    std::lock_guard<std::mutex> guard(pads.lock);
    SDL_Joystick* pad = FreshPadLocked(pads, id);
    if (pad == nullptr) return false;
    pos = JoystickPosition{};
    pos.x = ScaledAxis(pad, 0);
    pos.y = ScaledAxis(pad, 1);
    pos.buttons = ButtonMask(pad, all_buttons ? kMaskBits : kShortCallButtons);
    return true;
}

bool GetJoystickPositionEx(uint32_t id, JoystickPositionEx& pos) {
    Pads& pads = GetPads();
    std::lock_guard<std::mutex> guard(pads.lock);
    SDL_Joystick* pad = FreshPadLocked(pads, id);
    if (pad == nullptr) return false;
    pos = JoystickPositionEx{};
    pos.x = ScaledAxis(pad, 0);
    pos.y = ScaledAxis(pad, 1);
    const int axes = SDL_JoystickNumAxes(pad);
    pos.z = axes > 2 ? ScaledAxis(pad, 2) : 0;
    pos.r = axes > 3 ? ScaledAxis(pad, 3) : 0;
    if (SDL_JoystickNumHats(pad) > 0) pos.pov = PovFromHat(SDL_JoystickGetHat(pad, 0));
    pos.buttons = ButtonMask(pad, kMaskBits);
    return true;
}

void CloseJoysticks() {
    Pads& pads = GetPads();
    std::lock_guard<std::mutex> guard(pads.lock);
    if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) {
        pads.open.clear();
        return;
    }
    CloseAllLocked(pads);
}

}  // namespace morna::platform
