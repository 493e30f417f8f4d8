#pragma once
// The registry of running threads, and the owner of the threads it started.
#include <cstdint>
#include <list>
#include <vector>

#include "foundation/thread/critical_section.h"
#include "foundation/thread/lock_object.h"
#include "foundation/thread/thread.h"
#include "foundation/vtl/smart_ptr.h"

namespace tovarineGameSDK3rd::Thread {

class IThreadManager {
public:
    // A thread's body begins (ThreadStart, InnerRun).
    virtual void Add(IThread* thread) = 0;
    // A thread's body has ended; its records are marked dead.
    virtual void Remove(IThread* thread) = 0;
    // Requests every running thread to stop and waits until none but the
    // caller is left. False when a StopAll already ran or runs.
    virtual bool StopAll() = 0;
    // Waits until no thread runs and every record is dead, destroying the
    // threads whose records it drops.
    virtual void WaitAll() = 0;
    virtual ~IThreadManager() {}
    // Keeps a record of a thread (the second holder may be empty).
    virtual void Register(const VTL::smart_ptr<IThread>& thread, const VTL::smart_ptr<IThread>& second) = 0;
};

class CThreadManager : public IThreadManager {
public:
    // One thread started through StartThread.
    class CThreadList {
    public:
        VTL::smart_ptr<IThread> m_thread;
        VTL::smart_ptr<IThread> m_second;
        bool m_alive = true;
    };

    CThreadManager() = default;
    CThreadManager(const CThreadManager&) = delete;
    CThreadManager& operator=(const CThreadManager&) = delete;
    ~CThreadManager() override;

    static CThreadManager* GetInstance();
    static void DestroyInstance();
    // Takes ownership of the thread, records it and starts it; returns once the
    // new thread runs, with CreateThread's answer. The object is destroyed by
    // the first WaitAll or StopAll pass after its body has ended.
    static int32_t StartThread(IThread* thread);

    void Add(IThread* thread) override;
    void Remove(IThread* thread) override;
    bool StopAll() override;
    void WaitAll() override;
    void Register(const VTL::smart_ptr<IThread>& thread, const VTL::smart_ptr<IThread>& second) override;

private:
    void DropDeadLocked();
    void MarkDeadLocked(IThread* thread);

    std::vector<IThread*> m_running;  // in the order their bodies began
    std::list<VTL::smart_ptr<CThreadList>> m_managed;
    CLockObject m_monitor;
    bool m_stopping = false;
    CCriticalSection m_stoppingLock;
};

}  // namespace tovarineGameSDK3rd::Thread
