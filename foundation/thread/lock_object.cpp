#include "foundation/thread/lock_object.h"

#include <algorithm>

#include "foundation/thread/thread.h"
#include "foundation/vtl/exception.h"

namespace tovarineGameSDK3rd::Thread {

CLockObject::~CLockObject() {
    CCriticalLock lock(m_lock);
    m_waiters.clear();
}

void CLockObject::CheckOwner() {
    if (!m_lock.IsLockedByThisThread()) throw VTL::CIllegalMonitorStateException();
}

int32_t CLockObject::wait(uint32_t ms) {
    CheckOwner();
    // The waiter keeps its own reference: a notify may drop the record from the
    // list before the waiter has run again. Every count change of the holder
    // happens under the monitor's lock.
    VTL::smart_ptr<CWaitState> state(new CWaitState);
    state->m_threadId = GetCurrentThreadId();
    m_waiters.push_back(state);
    CWaitState* st = state.GetNoCheck();
    IThread* thread = GetCurrentThread();

    m_lock.Leave();
    int32_t result;
    if (thread) {
        result = WaitForEither(thread->GetInterruptEvent(), st->m_event, ms) == 2 ? 1 : 0;
    } else {
        result = st->m_event.Wait(ms);
    }
    m_lock.Enter();

    // A notify that chose this waiter after its time ran out still counts:
    // it dropped the record, so nobody else was woken in its place.
    if (result == 1 && st->m_event.IsSignaled()) result = 0;
    RemoveThread(st->m_threadId);
    state.Release();
    if (thread && thread->interrupted()) throw VTL::CInterruptedException();
    return result;
}

void CLockObject::notify() {
    CheckOwner();
    if (m_waiters.empty()) return;
    // The woken record leaves the list at once, so that a second notify wakes
    // the next waiter instead of the one that has not run yet.
    m_waiters.front()->m_event.Set();
    m_waiters.erase(m_waiters.begin());
}

void CLockObject::notifyAll() {
    CheckOwner();
    for (auto& w : m_waiters) w->m_event.Set();
    m_waiters.clear();
}

void CLockObject::WakeThread(int32_t threadId) {
    CCriticalLock lock(m_lock);
    auto it = std::stable_partition(m_waiters.begin(), m_waiters.end(),
                                    [&](VTL::smart_ptr<CWaitState>& w) { return w->m_threadId != threadId; });
    for (auto w = it; w != m_waiters.end(); ++w) (*w)->m_event.Set();
    m_waiters.erase(it, m_waiters.end());
}

void CLockObject::RemoveThread(int32_t threadId) {
    CCriticalLock lock(m_lock);
    std::erase_if(m_waiters, [&](VTL::smart_ptr<CWaitState>& w) { return w->m_threadId == threadId; });
}

}  // namespace tovarineGameSDK3rd::Thread
