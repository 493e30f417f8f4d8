#include "foundation/thread/thread_manager.h"

#include <algorithm>

#include "foundation/thread/singleton.h"

namespace tovarineGameSDK3rd::Thread {
namespace {
constinit CSingletonHolder<CThreadManager> g_manager;
}

CThreadManager* CThreadManager::GetInstance() { return g_manager.Get(); }

void CThreadManager::DestroyInstance() { g_manager.Destroy(); }

CThreadManager::~CThreadManager() {
    CCriticalLock lock(m_monitor.GetLock());
    m_managed.clear();
}

int32_t CThreadManager::StartThread(IThread* thread) {
    CThreadManager* self = GetInstance();
    {
        // The holder's count is a plain integer: it is only ever touched under
        // the monitor's lock, here as in the passes that drop dead records.
        CCriticalLock lock(self->m_monitor.GetLock());
        VTL::smart_ptr<IThread> owner(thread);
        self->Register(owner, VTL::smart_ptr<IThread>());
    }
    const int32_t result = thread->CreateThread();
    if (result == -1) {
        // A thread that never ran would never mark its record dead, and
        // WaitAll would wait for it for ever.
        CCriticalLock lock(self->m_monitor.GetLock());
        self->MarkDeadLocked(thread);
        self->m_monitor.notifyAll();
    }
    return result;
}

void CThreadManager::Add(IThread* thread) {
    CCriticalLock lock(m_monitor.GetLock());
    m_running.push_back(thread);
    m_monitor.notifyAll();
}

void CThreadManager::Remove(IThread* thread) {
    CCriticalLock lock(m_monitor.GetLock());
    auto it = std::find(m_running.begin(), m_running.end(), thread);
    if (it != m_running.end()) m_running.erase(it);
    MarkDeadLocked(thread);
    m_monitor.notifyAll();
}

void CThreadManager::MarkDeadLocked(IThread* thread) {
    for (auto& record : m_managed) {
        if (record->m_thread.GetNoCheck() == thread) record->m_alive = false;
    }
}

void CThreadManager::DropDeadLocked() {
    // Erasing a record may destroy its thread object (joining the ended thread).
    for (auto it = m_managed.begin(); it != m_managed.end();) {
        if ((*it)->m_alive) {
            ++it;
        } else {
            it = m_managed.erase(it);
        }
    }
}

bool CThreadManager::StopAll() {
    {
        CCriticalLock lock(m_stoppingLock);
        if (m_stopping) return false;
        m_stopping = true;
    }
    IThread* self = GetCurrentThread();
    CCriticalLock lock(m_monitor.GetLock());
    DropDeadLocked();
    for (;;) {
        const bool runningDone = m_running.empty() || (m_running.size() == 1 && m_running.front() == self && self);
        const bool managedDone =
            m_managed.empty() || (m_managed.size() == 1 && self && m_managed.front()->m_thread.GetNoCheck() == self);
        if (runningDone && managedDone) break;
        for (IThread* t : m_running) t->Interrupt();
        m_monitor.wait(kInfinite);
        DropDeadLocked();
    }
    return true;
}

void CThreadManager::WaitAll() {
    CCriticalLock lock(m_monitor.GetLock());
    DropDeadLocked();
    while (!m_running.empty() || !m_managed.empty()) {
        m_monitor.wait(kInfinite);
        DropDeadLocked();
    }
}

void CThreadManager::Register(const VTL::smart_ptr<IThread>& thread, const VTL::smart_ptr<IThread>& second) {
    CCriticalLock lock(m_monitor.GetLock());
    VTL::smart_ptr<CThreadList> record(new CThreadList);
    record->m_thread = thread;
    record->m_second = second;
    m_managed.push_back(record);
}

}  // namespace tovarineGameSDK3rd::Thread
