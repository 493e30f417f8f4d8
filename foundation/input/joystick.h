#pragma once
// Joysticks: the device read through the platform's pad calls, the device
// that is always ready and never pressed, and the front the program holds.
#include "foundation/input/key_base.h"
#include "foundation/vtl/smart_ptr.h"

#include <cstdint>

namespace tovarineGameSDK3rd::Input {

// Stands in for "no joystick": polls succeed and nothing is ever pressed.
class CJoyStickNullDevice : public IJoyStick {
public:
    int32_t Input() override { return 0; }
    bool IsKeyPress(int) override { return false; }
    bool IsKeyPush(int) override { return false; }
    int32_t SelectDevice(int32_t) override { return 0; }
    int32_t SetButtonCount(int32_t) override { return 0; }
    int32_t GetButtonCount() override { return 0; }
    bool IsReady() override { return true; }
};

class CWIN32JoyStick : public IJoyStick {
public:
    // Answers of SelectDevice.
    enum : int32_t {
        kSelectReady = 0,
        kSelectNoDevice = 1,
        kSelectNoCaps = 3,
        kSelectNoPosition = 4,
    };
    // Answers of Input besides 0.
    enum : int32_t {
        kInputNotReady = 1,
        kInputPollFailed = 2,
    };
    static constexpr int32_t kDefaultButtonCount = 6;

    int32_t Input() override;
    int32_t SelectDevice(int32_t id) override;
    // Bounded to 0..kMaxButtons; resets both polls.
    int32_t SetButtonCount(int32_t count) override;
    int32_t GetButtonCount() override { return buttonCount_; }
    bool IsReady() override { return ready_; }

protected:
    bool ready_ = false;
    uint32_t joystickId_ = 0;
    int32_t buttonCount_ = kDefaultButtonCount;
    // An axis reads as pushed beyond one third of its range from either end.
    uint32_t xLow_ = 0;
    uint32_t xHigh_ = 0;
    uint32_t yLow_ = 0;
    uint32_t yHigh_ = 0;
    int32_t requestedId_ = 0;
};

// The joystick the program holds: forwards to the device in use, which is the
// null device until one is selected.
class CJoyStick : public IJoyStick {
public:
    CJoyStick();

    int32_t Input() override;
    bool IsKeyPress(int key) override;
    bool IsKeyPush(int key) override;
    const uint8_t* GetKeyBuffer() override;
    // Resets the device's polls, not the front's unused arrays.
    void ResetKey() override;
    // Negative id: the null device, answer 1. Otherwise a platform device is put
    // in place (kept even when selection fails); 0 when it is ready, else 1.
    int32_t SelectDevice(int32_t id) override;
    int32_t SetButtonCount(int32_t count) override;
    int32_t GetButtonCount() override;
    bool IsReady() override;

    void SetNullDevice();
    VTL::smart_ptr<IJoyStick> GetDevice() { return device_; }

protected:
    VTL::smart_ptr<IJoyStick> device_;
};

}  // namespace tovarineGameSDK3rd::Input
