#include "platform/direct_input.h"

#include "platform/keyboard_state.h"
#include "platform/window.h"
#include "platform/x11_window.h"

#include <SDL2/SDL_video.h>

#include <atomic>

namespace morna::platform {
namespace {

namespace r = input_result;

// Asked on the window's own thread, where the device is polled.
bool HasKeyboardFocus(InputWindow window) { return window != 0 && GetKeyInputWindow() == window; }

class SdlKeyboardDevice final : public KeyboardDevice {
public:
    int32_t SetKeyboardFormat() override {
        if (acquired_) return r::kFail;
        has_format_ = true;
        return r::kOk;
    }

    int32_t SetCooperativeLevel(InputWindow window, uint32_t flags) override {
        if (!IsWindow(window)) return r::kHandle;
        const uint32_t sharing = flags & (kInputExclusive | kInputNonExclusive);
        const uint32_t focus = flags & (kInputForeground | kInputBackground);
        if (sharing == 0 || sharing == (kInputExclusive | kInputNonExclusive) || focus == 0 ||
            focus == (kInputForeground | kInputBackground)) {
            return r::kInvalidParam;
        }
        // Nobody may hold the keyboard in the background alone.
        if (sharing == kInputExclusive && focus == kInputBackground) return r::kFail;
        window_ = window;
        foreground_ = focus == kInputForeground;
        return r::kOk;
    }

    int32_t Acquire() override {
        if (!has_format_) return r::kInvalidParam;
        if (foreground_ && !HasKeyboardFocus(window_)) return r::kOtherAppHasPriority;
        acquired_ = true;
        return r::kOk;
    }

    int32_t Unacquire() override {
        acquired_ = false;
        return r::kOk;
    }

    int32_t GetState(uint8_t (&keys)[256]) override {
        if (!acquired_) return r::kNotAcquired;
        if (foreground_ && !HasKeyboardFocus(window_)) {
            acquired_ = false;
            return r::kInputLost;
        }
        // No key events come while another program has the focus: the server's key map stands
        // in, and once ours have it again it says when the keys held from there are released.
        if (GetKeyInputWindow() == 0 || HasBackgroundKeys()) {
            uint8_t keymap[kServerKeymapSize];
            if (x11::ReadKeymap(GetSdlWindow(window_), keymap)) {
                SetServerKeymap(keymap);
            } else {
                ClearBackgroundKeys();
            }
        }
        GetKeyboardState(keys);
        return r::kOk;
    }

private:
    InputWindow window_ = 0;
    bool has_format_ = false;
    bool foreground_ = false;  // until a level is set, the device reads in the background
    bool acquired_ = false;
};

class SdlInputObject final : public InputObject {
public:
    int32_t Initialize(uint32_t version) override {
        return version == 0x0500 || version == 0x0300 ? r::kOk : r::kInvalidParam;
    }

    int32_t CreateKeyboard(std::unique_ptr<KeyboardDevice>& device) override {
        device = std::make_unique<SdlKeyboardDevice>();
        return r::kOk;
    }
};

class SdlInputProvider final : public InputProvider {
public:
    std::unique_ptr<InputObject> CreateObject() override {
        InstallKeyboardState();
        return std::make_unique<SdlInputObject>();
    }
    // The object above is always there; no separate library exists on this system.
    std::unique_ptr<InputLibrary> OpenLibrary() override { return nullptr; }
};

SdlInputProvider g_real_provider;
std::atomic<InputProvider*> g_provider{nullptr};

}  // namespace

InputProvider& GetInputProvider() {
    InputProvider* p = g_provider.load();
    return p != nullptr ? *p : g_real_provider;
}

void SetInputProvider(InputProvider* provider) { g_provider.store(provider); }

}  // namespace morna::platform
