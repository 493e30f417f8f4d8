#include "foundation/thread/critical_section.h"

#include "foundation/vtl/exception.h"
#include "foundation/vtl/text_output_stream.h"

namespace tovarineGameSDK3rd::Thread {

void CCriticalSection::Enter() { m_lock.Enter(); }

void CCriticalSection::Leave() {
    // The lock refuses a Leave from a thread that does not hold it, also when
    // another thread does: unlocking someone else's lock would break it.
    if (!m_lock.Leave()) throw VTL::CRuntimeException("CCriticalSectionをEnterしていないのにLeaveしている");
}

bool CCriticalSection::IsLockedByThisThread() { return m_lock.Owner() == GetCurrentThreadId(); }

CCriticalSection::~CCriticalSection() {
    if (m_lock.Owner() == -1) return;
    GetErrorLog().Out("CCriticalSectionをEnterした回数だけLeaveしないまま終了している");
    while (m_lock.Owner() == GetCurrentThreadId()) m_lock.Leave();
}

}  // namespace tovarineGameSDK3rd::Thread
