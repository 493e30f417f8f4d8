#include "foundation/thread/event.h"

namespace tovarineGameSDK3rd::Thread {

void CEvent::Set() {
    CCriticalLock lock(m_lock);
    m_signaled = true;
    m_event.Set();
}

void CEvent::Reset() {
    CCriticalLock lock(m_lock);
    m_event.Reset();
    m_signaled = false;
}

int32_t CEvent::Wait(uint32_t ms) { return m_event.Wait(ms); }

bool CEvent::IsSignaled() {
    CCriticalLock lock(m_lock);
    return m_signaled;
}

int32_t WaitForEither(IEvent& first, IEvent& second, uint32_t ms) {
    return morna::platform::WaitEither(*first.GetHandle(), *second.GetHandle(), ms);
}

}  // namespace tovarineGameSDK3rd::Thread
