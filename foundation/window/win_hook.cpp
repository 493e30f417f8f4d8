#include "foundation/window/win_hook.h"

#include <algorithm>

namespace tovarineGameSDK3rd::Window {

void CWinHookList::Add(IWinHook* hook) {
    Thread::CCriticalLock lock(m_lock);
    m_hooks.push_back(hook);
}

void CWinHookList::Del(IWinHook* hook) {
    Thread::CCriticalLock lock(m_lock);
    std::erase(m_hooks, hook);
}

void CWinHookList::Clear() {
    Thread::CCriticalLock lock(m_lock);
    m_hooks.clear();
}

int32_t CWinHookList::GetCount() {
    Thread::CCriticalLock lock(m_lock);
    return static_cast<int32_t>(m_hooks.size());
}

bool CWinHookList::RunHooks(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    // By index with the size read each time: a hook that breaks the rule and
    // changes the list makes hooks run or be skipped, never a dangling read.
    for (size_t i = 0; i < m_hooks.size(); ++i) {
        IWinHook* hook = m_hooks[i];
        if (hook == nullptr) continue;
        result = hook->WndProc(hwnd, msg, wparam, lparam);
        if (result != 0) return true;
    }
    return false;
}

LRESULT CWinHookList::Dispatch(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, WNDPROC previous) {
    {
        Thread::CCriticalLock lock(m_lock);
        LRESULT result = 0;
        if (RunHooks(hwnd, msg, wparam, lparam, result)) return result;
    }
    return morna::platform::CallWindowProcedure(previous, hwnd, msg, wparam, lparam);
}

LRESULT CWinHookList::DispatchHooksOnly(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, WNDPROC) {
    Thread::CCriticalLock lock(m_lock);
    LRESULT result = 0;
    return RunHooks(hwnd, msg, wparam, lparam, result) ? result : 0;
}

}  // namespace tovarineGameSDK3rd::Window
