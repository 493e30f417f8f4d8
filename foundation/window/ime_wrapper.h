#pragma once
// The main window recorded per thread, and the process-wide switch of the input
// method (text input) that the window turns off in full screen.
#include <cstdint>

#include "foundation/thread/thread_local.h"
#include "foundation/window/win_hook.h"

namespace tovarineGameSDK3rd::Window {

class IHWndManager {
public:
    virtual HWND GetHWnd() = 0;
    virtual void SetHWnd(HWND hwnd) = 0;
    virtual ~IHWndManager() {}
};

// The application thread records its window here when it has created it.
class CHWndManager : public IHWndManager {
public:
    static CHWndManager* GetInstance();
    static void DestroyInstance();

    // The calling thread's recorded window, 0 when none.
    HWND GetHWnd() override;
    void SetHWnd(HWND hwnd) override;

private:
    Thread::ThreadLocal<HWND> m_hwnd;
};

class IIMEWrapper {
public:
    virtual void EnableIME() = 0;
    virtual void DisableIME() = 0;
    virtual ~IIMEWrapper() {}
};

// State 0 at creation, 1 after EnableIME, 2 after DisableIME. The system is
// called only when the state changes, and only for a recorded window.
class CIMEWrapper : public IIMEWrapper {
public:
    static CIMEWrapper* GetInstance();
    static void DestroyInstance();

    void EnableIME() override;
    void DisableIME() override;
    int32_t GetState();

private:
    void Switch(int32_t state);

    Thread::CCriticalSection m_lock;
    int32_t m_state = 0;
};

}  // namespace tovarineGameSDK3rd::Window
