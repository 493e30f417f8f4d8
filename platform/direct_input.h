#pragma once
// The keyboard service of the input layer: an input object made by the
// system's object service (or, failing that, by the entry of its library), and
// the keyboard device it creates, with the result codes the layer tests.
//
// The real provider serves the keyboard state of keyboard_state.h: a device
// in foreground mode can be acquired only while its window has the focus, and
// loses its acquisition with the focus; it is polled on the window's thread. Background mode is
// accepted, but SDL delivers no keys while another program has the focus, so
// such a device then reads every key released. Tests put a provider of their
// own in place with SetInputProvider.
#include <cstdint>
#include <memory>

namespace morna::platform {

namespace input_result {
inline constexpr int32_t kOk = 0;
inline constexpr int32_t kFail = static_cast<int32_t>(0x80004005);
inline constexpr int32_t kInvalidParam = static_cast<int32_t>(0x80070057);
inline constexpr int32_t kHandle = static_cast<int32_t>(0x80070006);
inline constexpr int32_t kOtherAppHasPriority = static_cast<int32_t>(0x80070005);
inline constexpr int32_t kNotAcquired = static_cast<int32_t>(0x8007000C);
inline constexpr int32_t kInputLost = static_cast<int32_t>(0x8007001E);
}  // namespace input_result

// Cooperative-level bits.
inline constexpr uint32_t kInputExclusive = 0x01;
inline constexpr uint32_t kInputNonExclusive = 0x02;
inline constexpr uint32_t kInputForeground = 0x04;
inline constexpr uint32_t kInputBackground = 0x08;

// The window a device cooperates with (a handle of window.h); 0 is no window.
using InputWindow = uint32_t;

class KeyboardDevice {
public:
    virtual ~KeyboardDevice() = default;
    // Selects the 256-byte keyboard state as the data the device returns.
    virtual int32_t SetKeyboardFormat() = 0;
    virtual int32_t SetCooperativeLevel(InputWindow window, uint32_t flags) = 0;
    virtual int32_t Acquire() = 0;
    virtual int32_t Unacquire() = 0;
    virtual int32_t GetState(uint8_t (&keys)[256]) = 0;
};

class InputObject {
public:
    virtual ~InputObject() = default;
    // version: 0x0500 or 0x0300.
    virtual int32_t Initialize(uint32_t version) = 0;
    virtual int32_t CreateKeyboard(std::unique_ptr<KeyboardDevice>& device) = 0;
};

// The input library, opened when the object service gives no object.
class InputLibrary {
public:
    virtual ~InputLibrary() = default;
    virtual bool HasCreateEntry() = 0;
    // The library's create entry; on success the object is initialised for `version`.
    virtual int32_t Create(uint32_t version, std::unique_ptr<InputObject>& object) = 0;
};

class InputProvider {
public:
    virtual ~InputProvider() = default;
    // The object service: null when it has no input object.
    virtual std::unique_ptr<InputObject> CreateObject() = 0;
    // Null when the library cannot be loaded.
    virtual std::unique_ptr<InputLibrary> OpenLibrary() = 0;
};

// The provider in use: the real one unless a test put another in place.
InputProvider& GetInputProvider();
// Puts `provider` in place (not owned); null restores the real one.
void SetInputProvider(InputProvider* provider);

}  // namespace morna::platform
