#include "foundation/appframe/app_manager.h"

#include <algorithm>

#include "foundation/appframe/app_base.h"
#include "foundation/thread/singleton.h"
#include "foundation/thread/thread_manager.h"
#include "foundation/vtl/text_output_stream.h"

namespace tovarineGameSDK3rd::AppFrame {
namespace {

Thread::CSingletonHolder<CAppManager>& Holder() {
    static Thread::CSingletonHolder<CAppManager> holder;
    return holder;
}

CAppManager& M() { return *CAppManager::GetInstance(); }

}  // namespace

CAppManager* CAppManager::GetInstance() { return Holder().Get(); }
void CAppManager::DestroyInstance() { Holder().Destroy(); }

CAppManager::CAppManageInfo* CAppManager::FindMineLocked() {
    const int32_t me = Thread::GetCurrentThreadId();
    for (auto& e : m_entries)
        if (e->threadId == me) return e.GetNoCheck();
    return nullptr;
}

void CAppManager::Add(IAppBase* app) {
    CAppManager& m = M();
    Thread::CCriticalLock lock(m.m_lock);
    for (auto& e : m.m_entries) {
        if (e->app != app) continue;
        if (e->threadId != 0) {
            GetErrorLog().Out("CAppManager::Addするのに空きが無い");
            return;
        }
        e->threadId = Thread::GetCurrentThreadId();
        return;
    }
    auto* info = new CAppManageInfo;
    info->app = app;
    info->threadId = Thread::GetCurrentThreadId();
    m.m_entries.push_back(VTL::smart_ptr<CAppManageInfo>(info));
}

void CAppManager::Remove(IAppBase* app) {
    CAppManager& m = M();
    Thread::CCriticalLock lock(m.m_lock);
    std::erase_if(m.m_entries, [app](const VTL::smart_ptr<CAppManageInfo>& e) { return e->app == app; });
}

void CAppManager::AddFrame(IAppFrame* frame) {
    CAppManager& m = M();
    Thread::CCriticalLock lock(m.m_lock);
    if (CAppManageInfo* e = m.FindMineLocked()) e->frame = frame;
}

void CAppManager::DelFrame(IAppFrame* frame) {
    CAppManager& m = M();
    Thread::CCriticalLock lock(m.m_lock);
    for (auto& e : m.m_entries)
        if (e->frame == frame) e->frame = nullptr;
}

void CAppManager::AddDraw(IAppDraw* draw) {
    CAppManager& m = M();
    Thread::CCriticalLock lock(m.m_lock);
    if (CAppManageInfo* e = m.FindMineLocked()) e->draw = draw;
    else GetErrorLog().Out("CAppManager::Addするのに空きが無い");
}

void CAppManager::DelDraw(IAppDraw* draw) {
    CAppManager& m = M();
    Thread::CCriticalLock lock(m.m_lock);
    CAppManageInfo* e = m.FindMineLocked();
    if (e != nullptr && e->draw == draw) e->draw = nullptr;
}

IAppBase* CAppManager::GetMyApp() {
    CAppManager& m = M();
    Thread::CCriticalLock lock(m.m_lock);
    CAppManageInfo* e = m.FindMineLocked();
    return e != nullptr ? e->app : nullptr;
}

IAppFrame* CAppManager::GetMyFrame() {
    CAppManager& m = M();
    Thread::CCriticalLock lock(m.m_lock);
    CAppManageInfo* e = m.FindMineLocked();
    return e != nullptr ? e->frame : nullptr;
}

IAppDraw* CAppManager::GetMyDraw() {
    CAppManager& m = M();
    Thread::CCriticalLock lock(m.m_lock);
    CAppManageInfo* e = m.FindMineLocked();
    return e != nullptr ? e->draw : nullptr;
}

Window::IWindow* CAppManager::GetMyWindow() {
    CAppManager& m = M();
    Thread::CCriticalLock lock(m.m_lock);
    CAppManageInfo* e = m.FindMineLocked();
    return e != nullptr && e->app != nullptr ? e->app->GetWindow() : nullptr;
}

HWND CAppManager::GetMyHWnd() {
    CAppManager& m = M();
    Thread::CCriticalLock lock(m.m_lock);
    CAppManageInfo* e = m.FindMineLocked();
    return e != nullptr && e->app != nullptr ? e->app->GetHWnd() : 0;
}

// The hook list is changed outside the manager's lock: hooks run under the list's lock and
// may ask the manager (a window hook that changes the display mode), so holding both here
// would take them in the other order. The window is the calling thread's own: it stays.
void CAppManager::Hook(Window::IWinHook* hook) {
    if (Window::IWindow* w = GetMyWindow()) w->GetHookList()->Add(hook);
}

void CAppManager::Unhook(Window::IWinHook* hook) {
    if (Window::IWindow* w = GetMyWindow()) w->GetHookList()->Del(hook);
}

bool CAppManager::IsFullScreen() { return Window::CWindow::IsProcessFullScreen(); }

void CAppManager::AddExitCallback(const VTL::smart_ptr<VTL::function_callback>& callback) {
    CAppManager& m = M();
    Thread::CCriticalLock lock(m.m_lock);
    m.m_exitCallbacks.push_back(callback);
}

void CAppManager::RunExitCallbacks() {
    // StopAll waits for the other threads to end; they may need this manager on
    // their way out (Unhook, Remove), so it is not held meanwhile, nor while the
    // callbacks run.
    if (!Thread::CThreadManager::GetInstance()->StopAll()) return;
    std::vector<VTL::smart_ptr<VTL::function_callback>> callbacks;
    {
        CAppManager& m = M();
        Thread::CCriticalLock lock(m.m_lock);
        callbacks = m.m_exitCallbacks;
    }
    for (auto& c : callbacks) c->run();
}

int32_t CAppManager::GetAppCount() {
    CAppManager& m = M();
    Thread::CCriticalLock lock(m.m_lock);
    return m.m_appCount;
}

int32_t CAppManager::GetEntryCount() {
    CAppManager& m = M();
    Thread::CCriticalLock lock(m.m_lock);
    return static_cast<int32_t>(m.m_entries.size());
}

void CAppManager::IncrementAppCount() {
    CAppManager& m = M();
    Thread::CCriticalLock lock(m.m_lock);
    ++m.m_appCount;
}

void CAppManager::DecrementAppCount() {
    CAppManager& m = M();
    Thread::CCriticalLock lock(m.m_lock);
    --m.m_appCount;
}

HWND GetMainHWnd() { return CAppManager::GetMyHWnd(); }

}  // namespace tovarineGameSDK3rd::AppFrame
