#include "foundation/input/key_input.h"

#include "foundation/appframe/app_manager.h"
#include "foundation/vtl/text_output_stream.h"

#include <cstring>

namespace tovarineGameSDK3rd::Input {

namespace mp = morna::platform;
namespace r = morna::platform::input_result;

CKeyInput::CKeyInput(bool background) : status_(directInput_.GetStatus()) {
    if (status_ >= CDirectInput::kLibraryFailed) return;
    if (directInput_.Get()->CreateKeyboard(device_) != r::kOk || !device_) {
        device_.reset();
        GetErrorLog().Out("CKeyInput::CKeyInputでDirectInputの初期化CreateDeviceに失敗");
        status_ = kCreateDeviceFailed;
        return;
    }
    if (device_->SetKeyboardFormat() != r::kOk) {
        GetErrorLog().Out("CKeyInput::CKeyInputでDirectInputの初期化SetDataFormatに失敗");
        status_ = kDataFormatFailed;
        return;
    }
    const uint32_t level = background ? kBackgroundLevel : kForegroundLevel;
    if (device_->SetCooperativeLevel(AppFrame::GetMainHWnd(), level) != r::kOk) {
        GetErrorLog().Out("CKeyInput::CKeyInputでDirectInputの初期化SetCooperativeLevelに失敗");
        status_ = kCooperativeLevelFailed;
        return;
    }
    acquired_ = false;
    AppFrame::CAppManager::Hook(this);
}

CKeyInput::~CKeyInput() {
    if (status_ < CDirectInput::kLibraryFailed) AppFrame::CAppManager::Unhook(this);
    if (device_) {
        if (acquired_) device_->Unacquire();
        device_.reset();
    }
}

LRESULT CKeyInput::WndProc(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

int32_t CKeyInput::Fail(int32_t answer) {
    std::memset(CurrentStates(), 0, kKeyCount);
    acquired_ = false;
    return answer;
}

int32_t CKeyInput::Input() {
    if (status_ >= CDirectInput::kLibraryFailed) return 1;
    FlipBuffer();
    if (!acquired_) {
        if (device_->Acquire() != r::kOk) return Fail(1);
        acquired_ = true;
    }
    uint8_t (&states)[kKeyCount] = keyStates_[bufferIndex_];
    int32_t result = device_->GetState(states);
    if (result == r::kInputLost) {
        if (device_->Acquire() != r::kOk) return Fail(-1);
        result = device_->GetState(states);
    }
    if (result != r::kOk) return Fail(1);
    return 0;
}

bool CKeyInput::IsKeyPress(int key) { return IsKeyIndex(key) && (CurrentStates()[key] & 0x80) != 0; }

bool CKeyInput::IsKeyPush(int key) {
    return IsKeyIndex(key) && (CurrentStates()[key] & 0x80) != 0 && (PreviousStates()[key] & 0x80) == 0;
}

}  // namespace tovarineGameSDK3rd::Input
