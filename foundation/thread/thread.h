#pragma once
// The SDK's thread: every thread that the program starts is a CThread.
#include <atomic>
#include <cstdint>

#include "foundation/thread/critical_section.h"
#include "foundation/thread/event.h"
#include "foundation/thread/lock_object.h"
#include "foundation/thread/thread_local.h"
#include "foundation/vtl/function_callback.h"
#include "foundation/vtl/smart_ptr.h"
#include "platform/thread.h"

namespace tovarineGameSDK3rd::Thread {

class IThread {
public:
    // Replaces the body and starts the thread (see CreateThread()).
    virtual int32_t CreateThread(const VTL::smart_ptr<VTL::function_callback>& body) = 0;
    // Joins a running thread first, then starts a new one and returns once it
    // runs: 0 started, -1 the system made no thread.
    virtual int32_t CreateThread() = 0;
    virtual void SetThreadBody(const VTL::smart_ptr<VTL::function_callback>& body) = 0;
    // Requests the stop and joins: 0 joined or nothing to join, 1 the join
    // failed, 2 called by the thread itself (nothing joined).
    virtual int32_t StopThread() = 0;
    // Runs ThreadProc on the calling thread instead of a new one.
    virtual int32_t InnerRun() = 0;
    virtual bool IsThreadRunning() = 0;
    // False once a stop was requested; bodies loop while it is true.
    virtual bool IsThreadValid() = 0;
    // The stop request: wakes the thread's own waits on its monitor and sets the stop event.
    virtual void Interrupt() = 0;
    virtual int32_t GetThreadId() = 0;
    // CLockObject::wait on the thread's monitor; throws VTL::CInterruptedException
    // after raiseInterrupt.
    virtual int32_t wait(uint32_t ms = kInfinite) = 0;
    // Waits ms for a stop request: true when one came, false on time-out;
    // throws VTL::CInterruptedException after raiseInterrupt.
    virtual bool sleep(uint32_t ms) = 0;
    virtual void notify() = 0;
    virtual void notifyAll() = 0;
    // Makes the current or next wait or sleep of the thread throw.
    virtual void raiseInterrupt() = 0;
    virtual bool isInterrupted() = 0;
    // Reads and clears the interrupt.
    virtual bool interrupted() = 0;
    virtual ~IThread() {}
    virtual CEvent& GetInterruptEvent() = 0;
};

class CThread : public IThread {
public:
    // stackSize: bytes of the new thread's stack, 0 for the system's default.
    explicit CThread(uint32_t stackSize = 0);
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;
    // Requests the stop and joins; destroyed on its own thread, it detaches instead.
    ~CThread() override;

    int32_t CreateThread(const VTL::smart_ptr<VTL::function_callback>& body) override;
    int32_t CreateThread() override;
    void SetThreadBody(const VTL::smart_ptr<VTL::function_callback>& body) override;
    int32_t StopThread() override;
    int32_t InnerRun() override;
    bool IsThreadRunning() override;
    bool IsThreadValid() override;
    void Interrupt() override;
    int32_t GetThreadId() override;
    int32_t wait(uint32_t ms = kInfinite) override;
    bool sleep(uint32_t ms) override;
    void notify() override;
    void notifyAll() override;
    void raiseInterrupt() override;
    bool isInterrupted() override;
    bool interrupted() override;
    CEvent& GetInterruptEvent() override { return m_interrupt; }

    // The thread's work when it has no body; subclasses override it.
    virtual void ThreadProc() {}
    morna::platform::Thread* GetThreadHandle() { return m_handle; }
    // The monitor that wait, notify and notifyAll work on; hold its lock around them.
    CLockObject& GetMonitor() { return m_monitor; }

private:
    struct StartFrame;
    static uint32_t ThreadStart(void* arg);

    morna::platform::Thread* m_handle = nullptr;
    std::atomic<int32_t> m_threadId{-1};
    CEvent m_stop;
    CEvent m_running;
    CEvent m_interrupt;
    CEvent m_started;
    CCriticalSection m_lock;
    VTL::smart_ptr<VTL::function_callback> m_body;
    CLockObject m_monitor;
    bool m_joinable = false;
    uint32_t m_stackSize;
    StartFrame* m_frame = nullptr;  // ThreadStart's, while it runs the thread
};

// Each thread's CThread (null on the first thread once the CAppInitializer has
// run, no cell on threads that the SDK did not start).
ThreadLocal<IThread*>& CurrentThreadSlot();
// The calling thread's CThread, or null when it is not one.
IThread* GetCurrentThread();

}  // namespace tovarineGameSDK3rd::Thread
