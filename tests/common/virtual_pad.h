#pragma once
// A pad made by SDL's virtual joystick driver, read back through the same SDL
// calls a plugged-in pad goes through. SDL's joystick subsystem must be up.
#include <SDL2/SDL.h>

#include <cstdint>

class VirtualPad {
public:
    VirtualPad(int axes, int buttons, int hats = 0) {
        index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, axes, buttons, hats);
        if (index_ >= 0) handle_ = SDL_JoystickOpen(index_);
    }
    ~VirtualPad() { Detach(); }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    bool Ok() const { return handle_ != nullptr; }
    // The platform's device id of this pad while it is attached.
    uint32_t Id() const { return static_cast<uint32_t>(index_); }
    void Axis(int axis, int16_t v) { SDL_JoystickSetVirtualAxis(handle_, axis, v); }
    void Button(int button, bool down) { SDL_JoystickSetVirtualButton(handle_, button, down ? 1 : 0); }
    void Hat(int hat, uint8_t value) { SDL_JoystickSetVirtualHat(handle_, hat, value); }
    // Unplugs the pad.
    void Detach() {
        if (handle_ == nullptr) return;
        const SDL_JoystickID instance = SDL_JoystickInstanceID(handle_);
        SDL_JoystickClose(handle_);
        handle_ = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == instance) SDL_JoystickDetachVirtual(i);
        }
    }

private:
    int index_ = -1;
    SDL_Joystick* handle_ = nullptr;
};
