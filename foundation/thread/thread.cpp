#include "foundation/thread/thread.h"

#include <exception>

#include "foundation/thread/thread_manager.h"
#include "foundation/vtl/exception.h"
#include "foundation/vtl/text_output_stream.h"

namespace tovarineGameSDK3rd::Thread {

ThreadLocal<IThread*>& CurrentThreadSlot() {
    static ThreadLocal<IThread*> slot;
    return slot;
}

IThread* GetCurrentThread() {
    ThreadLocal<IThread*>& slot = CurrentThreadSlot();
    return slot.IsEmpty() ? nullptr : *slot.Get();
}

// What ThreadStart keeps on its own stack: the destructor of a CThread that runs
// on its own thread marks it, and ThreadStart then leaves the object alone.
struct CThread::StartFrame {
    bool destroyed = false;
};

CThread::CThread(uint32_t stackSize) : m_stackSize(stackSize) {}

CThread::~CThread() {
    StopThread();
    if (GetCurrentThreadId() == m_threadId.load() && m_frame) {
        // Destroyed by its own body: the thread runs on for a moment after this,
        // so it is detached, and it counts as ended from here on.
        m_frame->destroyed = true;
        CurrentThreadSlot().Erase();
        CThreadManager::GetInstance()->Remove(this);
    }
    if (m_handle) morna::platform::CloseThread(m_handle);
    CCriticalLock lock(m_lock);
    m_body.Release();
}

int32_t CThread::CreateThread(const VTL::smart_ptr<VTL::function_callback>& body) {
    CCriticalLock lock(m_lock);
    // Join first, so that the old body cannot clear the new one on its way out.
    StopThread();
    m_body = body;
    return CreateThread();
}

int32_t CThread::CreateThread() {
    CCriticalLock lock(m_lock);
    StopThread();
    m_stop.Reset();
    m_started.Reset();
    m_interrupt.Reset();
    m_running.Reset();
    m_joinable = true;
    int32_t id = -1;
    morna::platform::Thread* handle = morna::platform::StartThread(&CThread::ThreadStart, this, m_stackSize, &id);
    if (!handle) return -1;
    m_handle = handle;
    m_threadId.store(id);
    return m_started.Wait(kInfinite);
}

void CThread::SetThreadBody(const VTL::smart_ptr<VTL::function_callback>& body) {
    CCriticalLock lock(m_lock);
    m_body = body;
}

int32_t CThread::StopThread() {
    CCriticalLock lock(m_lock);
    Interrupt();
    if (!m_handle) return 0;
    if (GetCurrentThreadId() == m_threadId.load()) return 2;
    morna::platform::Thread* handle = m_handle;
    m_handle = nullptr;
    m_threadId.store(-1);
    if (m_joinable) {
        // The ending thread takes this lock once more (Interrupt in ThreadStart),
        // so every level the caller holds is left during the join, not just one:
        // a caller nested deeper (CreateThread on a running thread) would
        // otherwise wait for a thread that waits for it.
        bool joined;
        {
            CCriticalUnlock away(m_lock);
            joined = morna::platform::JoinThread(handle);
        }
        if (!joined) {
            morna::platform::CloseThread(handle);
            return 1;
        }
    }
    morna::platform::CloseThread(handle);
    return 0;
}

int32_t CThread::InnerRun() {
    StopThread();
    m_stop.Reset();
    m_started.Reset();
    m_interrupt.Reset();
    m_running.Reset();
    m_joinable = false;
    m_threadId.store(GetCurrentThreadId());
    CThreadManager::GetInstance()->Add(this);
    m_running.Set();
    ThreadProc();
    m_running.Reset();
    CThreadManager::GetInstance()->Remove(this);
    m_threadId.store(-1);
    return 0;
}

bool CThread::IsThreadRunning() { return m_running.IsSignaled(); }

bool CThread::IsThreadValid() { return !m_stop.IsSignaled(); }

void CThread::Interrupt() {
    CCriticalLock lock(m_lock);
    CCriticalLock monitorLock(m_monitor.GetLock());
    m_monitor.WakeThread(m_threadId.load());
    m_stop.Set();
}

int32_t CThread::GetThreadId() { return m_threadId.load(); }

int32_t CThread::wait(uint32_t ms) {
    if (interrupted()) throw VTL::CInterruptedException();
    return m_monitor.wait(ms);
}

bool CThread::sleep(uint32_t ms) {
    if (interrupted()) throw VTL::CInterruptedException();
    const int32_t r = WaitForEither(m_stop, m_interrupt, ms);
    if (interrupted()) throw VTL::CInterruptedException();
    return r != 2;
}

void CThread::notify() { m_monitor.notify(); }

void CThread::notifyAll() { m_monitor.notifyAll(); }

void CThread::raiseInterrupt() {
    CCriticalLock lock(m_monitor.GetLock());
    m_monitor.RemoveThread(m_threadId.load());
    m_interrupt.Set();
}

bool CThread::isInterrupted() { return m_interrupt.IsSignaled(); }

bool CThread::interrupted() {
    CCriticalLock lock(m_monitor.GetLock());
    const bool was = m_interrupt.IsSignaled();
    m_interrupt.Reset();
    return was;
}

uint32_t CThread::ThreadStart(void* arg) {
    auto* self = static_cast<CThread*>(arg);
    StartFrame frame;
    self->m_threadId.store(GetCurrentThreadId());
    self->m_frame = &frame;
    CThreadManager::GetInstance()->Add(self);
    // The creator holds the thread lock until the started event, so the body
    // cannot change under this copy.
    VTL::smart_ptr<VTL::function_callback> body = self->m_body;
    self->m_running.Set();
    self->m_started.Set();
    CurrentThreadSlot().Set(self);
    try {
        if (!body.GetNoCheck()) {
            self->ThreadProc();
        } else {
            body->run();
            if (!frame.destroyed) {
                CCriticalLock lock(self->m_lock);
                // Only the body this run took: a new one set meanwhile stays.
                if (self->m_body.GetNoCheck() == body.GetNoCheck()) self->m_body.Release();
            }
        }
    } catch (const VTL::CException& e) {
        // Escaping the thread would end the process; the thread ends instead.
        GetErrorLog().Out("CThread::ThreadStartで例外 %s", e.getMessage().c_str());
    } catch (const std::exception& e) {
        GetErrorLog().Out("CThread::ThreadStartで例外 %s", e.what());
    }
    // The body belongs to the thread until its end, not past the Remove below
    // after which the program may be tearing down.
    body.Release();
    if (frame.destroyed) {
        // The destructor did the rest and the thread has counted as ended since;
        // the program may be past its exit already, so nothing more is touched.
        return 0;
    }
    self->m_running.Reset();  // ended: no longer running, joined or not
    CurrentThreadSlot().Erase();
    self->m_frame = nullptr;
    self->Interrupt();
    CThreadManager::GetInstance()->Remove(self);
    return 0;
}

}  // namespace tovarineGameSDK3rd::Thread
