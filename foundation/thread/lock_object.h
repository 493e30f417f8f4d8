#pragma once
// The monitor: a lock with wait, notify and notifyAll.
#include <cstdint>
#include <vector>

#include "foundation/thread/critical_section.h"
#include "foundation/thread/event.h"
#include "foundation/vtl/smart_ptr.h"

namespace tovarineGameSDK3rd::Thread {

// One waiting call of CLockObject::wait.
class CWaitState {
public:
    CEvent m_event;
    int32_t m_threadId = -1;
};

class CLockObject {
public:
    CLockObject() = default;
    CLockObject(const CLockObject&) = delete;
    CLockObject& operator=(const CLockObject&) = delete;
    ~CLockObject();

    // The monitor's lock; wait, notify and notifyAll need the caller to hold it.
    CCriticalSection& GetLock() { return m_lock; }

    // Leaves the lock for one level and waits at most ms for a notify (a CThread
    // also wakes on its interrupt, and then throws VTL::CInterruptedException).
    // 0 when woken, 1 on time-out (2 when the wait failed). Throws
    // VTL::CIllegalMonitorStateException when the caller does not hold the lock.
    int32_t wait(uint32_t ms = kInfinite);
    // Wakes the longest waiting thread; nothing when none waits (nothing is kept
    // for a later wait).
    void notify();
    void notifyAll();

    // Wakes every wait of the given thread (CThread::Interrupt).
    void WakeThread(int32_t threadId);
    // Forgets every wait of the given thread without waking it (CThread::raiseInterrupt).
    void RemoveThread(int32_t threadId);

private:
    void CheckOwner();

    CCriticalSection m_lock;
    std::vector<VTL::smart_ptr<CWaitState>> m_waiters;  // in arrival order
};

}  // namespace tovarineGameSDK3rd::Thread
