#include "foundation/input/joystick.h"

#include "platform/joystick.h"

#include <algorithm>
#include <cstring>

namespace tovarineGameSDK3rd::Input {

namespace mp = morna::platform;

// ---- CWIN32JoyStick

int32_t CWIN32JoyStick::SelectDevice(int32_t id) {
    requestedId_ = id;
    ready_ = false;
    if (id < 0 || static_cast<uint32_t>(id) >= mp::JoystickCount()) return kSelectNoDevice;
    joystickId_ = static_cast<uint32_t>(id);

    mp::JoystickCaps caps;
    if (!mp::GetJoystickCaps(joystickId_, caps)) return kSelectNoCaps;
    xLow_ = (caps.x_max + 2 * caps.x_min) / 3;
    xHigh_ = (caps.x_min + 2 * caps.x_max) / 3;
    yLow_ = (caps.y_max + 2 * caps.y_min) / 3;
    yHigh_ = (caps.y_min + 2 * caps.y_max) / 3;

    mp::JoystickPosition pos;
    if (!mp::GetJoystickPosition(joystickId_, false, pos)) return kSelectNoPosition;
    ready_ = true;
    ResetKey();
    return kSelectReady;
}

int32_t CWIN32JoyStick::SetButtonCount(int32_t count) {
    buttonCount_ = std::clamp(count, 0, kMaxButtons);
    ResetKey();
    return 0;
}

int32_t CWIN32JoyStick::Input() {
    if (!ready_) return kInputNotReady;
    FlipBuffer();
    uint8_t* states = CurrentStates();

    // Beyond four buttons only the long position call reports them.
    mp::JoystickPosition pos;
    if (!mp::GetJoystickPosition(joystickId_, buttonCount_ > 4, pos)) {
        // The array holds the poll before last: an unplugged pad must read as
        // released, not as pressing again what it pressed then.
        std::memset(states, 0, kKeyCount);
        return kInputPollFailed;
    }
    states[kStateUp] = pos.y < yLow_;
    states[kStateDown] = pos.y > yHigh_;
    states[kStateLeft] = pos.x < xLow_;
    states[kStateRight] = pos.x > xHigh_;
    for (int32_t i = 0; i < buttonCount_; ++i) {
        // The mask has 32 buttons; any further ones are never pressed.
        states[kStateFirstButton + i] = i < 32 ? (pos.buttons >> i) & 1u : 0;
    }
    return 0;
}

// ---- CJoyStick

CJoyStick::CJoyStick() : device_(new CJoyStickNullDevice) {}

int32_t CJoyStick::Input() { return device_->Input(); }
bool CJoyStick::IsKeyPress(int key) { return device_->IsKeyPress(key); }
bool CJoyStick::IsKeyPush(int key) { return device_->IsKeyPush(key); }
const uint8_t* CJoyStick::GetKeyBuffer() { return device_->GetKeyBuffer(); }
void CJoyStick::ResetKey() { device_->ResetKey(); }
int32_t CJoyStick::SetButtonCount(int32_t count) { return device_->SetButtonCount(count); }
int32_t CJoyStick::GetButtonCount() { return device_->GetButtonCount(); }
bool CJoyStick::IsReady() { return device_->IsReady(); }

void CJoyStick::SetNullDevice() { device_ = VTL::smart_ptr<IJoyStick>(new CJoyStickNullDevice); }

int32_t CJoyStick::SelectDevice(int32_t id) {
    if (id < 0) {
        SetNullDevice();
        return 1;
    }
    device_ = VTL::smart_ptr<IJoyStick>(new CWIN32JoyStick);
    return device_->SelectDevice(id) == 0 ? 0 : 1;
}

}  // namespace tovarineGameSDK3rd::Input
