#pragma once
// The keyboard device, which hooks the calling thread's main window while it lives.
#include "foundation/input/direct_input.h"
#include "foundation/input/key_base.h"
#include "foundation/window/win_hook.h"
#include "platform/direct_input.h"

#include <cstdint>
#include <memory>

namespace tovarineGameSDK3rd::Input {

class CKeyInput : public IKeyBase, public Window::IWinHook {
public:
    // Status codes beyond those of CDirectInput.
    enum : int32_t {
        kCreateDeviceFailed = 6,
        kDataFormatFailed = 7,
        kCooperativeLevelFailed = 8,
    };
    // Cooperative levels: non-exclusive, and foreground or background.
    static constexpr uint32_t kForegroundLevel = 0x06;
    static constexpr uint32_t kBackgroundLevel = 0x0A;

    // background: keep reading while another window has the focus. SDL reports
    // no keys then, so on this system the keys read as released anyway.
    explicit CKeyInput(bool background = false);
    ~CKeyInput() override;

    // 0 read; 1 unusable, not acquired (no focus) or read failed, every key
    // released; -1 the device was lost and could not be acquired again.
    int32_t Input() override;
    // A key is down when its state has the high bit.
    bool IsKeyPress(int key) override;
    bool IsKeyPush(int key) override;

    int32_t GetStatus() const { return status_; }

    // The window hook: the keyboard needs no message; it is there so that the
    // device goes with the window.
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) override;

private:
    int32_t Fail(int32_t answer);

    CDirectInput directInput_;
    std::unique_ptr<morna::platform::KeyboardDevice> device_;
    int32_t status_;
    bool acquired_ = false;
};

}  // namespace tovarineGameSDK3rd::Input
