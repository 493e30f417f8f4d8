#include "foundation/window/ime_wrapper.h"

#include "foundation/thread/singleton.h"

namespace tovarineGameSDK3rd::Window {
namespace {

Thread::CSingletonHolder<CHWndManager>& HWndManagerHolder() {
    static Thread::CSingletonHolder<CHWndManager> holder;
    return holder;
}

Thread::CSingletonHolder<CIMEWrapper>& IMEWrapperHolder() {
    static Thread::CSingletonHolder<CIMEWrapper> holder;
    return holder;
}

}  // namespace

CHWndManager* CHWndManager::GetInstance() { return HWndManagerHolder().Get(); }
void CHWndManager::DestroyInstance() { HWndManagerHolder().Destroy(); }

HWND CHWndManager::GetHWnd() {
    if (m_hwnd.IsEmpty()) return 0;
    return *m_hwnd.Get();
}

void CHWndManager::SetHWnd(HWND hwnd) {
    if (hwnd == 0) m_hwnd.Erase();  // a thread that ends leaves no cell behind
    else m_hwnd.Set(hwnd);
}

CIMEWrapper* CIMEWrapper::GetInstance() { return IMEWrapperHolder().Get(); }
void CIMEWrapper::DestroyInstance() { IMEWrapperHolder().Destroy(); }

void CIMEWrapper::EnableIME() { Switch(1); }
void CIMEWrapper::DisableIME() { Switch(2); }

int32_t CIMEWrapper::GetState() {
    Thread::CCriticalLock lock(m_lock);
    return m_state;
}

void CIMEWrapper::Switch(int32_t state) {
    Thread::CCriticalLock lock(m_lock);
    if (m_state == state) return;
    m_state = state;
    HWND window = CHWndManager::GetInstance()->GetHWnd();
    if (window != 0) morna::platform::EnableInputMethod(window, state == 1);
}

}  // namespace tovarineGameSDK3rd::Window
