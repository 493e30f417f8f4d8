#pragma once
// Window handles, message words and the hook chain through which every message
// of an SDK window passes.
#include <cstdint>
#include <vector>

#include "foundation/thread/critical_section.h"
#include "platform/window.h"

namespace tovarineGameSDK3rd {

using HWND = morna::platform::WindowHandle;  // 0 = no window
using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using WNDPROC = morna::platform::WindowProcedure;

namespace Window {

// A message hook. A non-zero answer means the hook handled the message and this
// is its result; later hooks and the default procedure do not see it.
class IWinHook {
public:
    virtual LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) = 0;
    virtual ~IWinHook() {}
};

class IWinHookList {
public:
    virtual void Add(IWinHook* hook) = 0;
    virtual void Del(IWinHook* hook) = 0;
    virtual void Clear() = 0;
    virtual LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, WNDPROC previous) = 0;
    virtual LRESULT DispatchHooksOnly(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam,
                                      WNDPROC previous) = 0;
    virtual ~IWinHookList() {}
};

// Hooks in insertion order; one hook may stand more than once (and then runs
// once per entry). The lock is held while the hooks run, so they see one message
// at a time; a hook must not add or remove hooks of its own list.
class CWinHookList : public IWinHookList {
public:
    CWinHookList() = default;
    CWinHookList(const CWinHookList&) = delete;
    CWinHookList& operator=(const CWinHookList&) = delete;

    void Add(IWinHook* hook) override;
    // Removes every entry of the hook.
    void Del(IWinHook* hook) override;
    void Clear() override;
    // The first non-zero answer of a hook; when all answer 0, the previous
    // procedure's answer (or the default procedure's when there is none).
    LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, WNDPROC previous) override;
    // The first non-zero answer of a hook, else 0 (dialogs: 0 lets the default
    // dialog handling work).
    LRESULT DispatchHooksOnly(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam,
                              WNDPROC previous) override;
    int32_t GetCount();

private:
    bool RunHooks(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result);

    std::vector<IWinHook*> m_hooks;
    Thread::CCriticalSection m_lock;
};

}  // namespace Window
}  // namespace tovarineGameSDK3rd
