#pragma once
// The recursive lock that knows its owner, and the scoped lock over it.
#include <cstdint>

#include "platform/sync.h"
#include "platform/thread.h"

namespace tovarineGameSDK3rd::Thread {

// The id by which the SDK knows the calling thread (lock owners, per-thread
// values, CThread::GetThreadId): process-wide, from 1 up, never reused.
inline int32_t GetCurrentThreadId() { return morna::platform::CurrentThreadId(); }

class ICriticalSection {
public:
    virtual void Enter() = 0;
    virtual void Leave() = 0;
    virtual bool IsLockedByThisThread() = 0;
    virtual ~ICriticalSection() {}
};

class CCriticalSection : public ICriticalSection {
public:
    CCriticalSection() = default;
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Enter() override;
    // Throws VTL::CRuntimeException when the calling thread does not hold the section.
    void Leave() override;
    bool IsLockedByThisThread() override;
    // A section still held here is reported to the error log (a destructor
    // must not throw); levels that the calling thread holds are released first.
    ~CCriticalSection() override;

private:
    morna::platform::RecursiveLock m_lock;
};

// Enters a section for the length of a block, leaving it as often as it entered.
class CCriticalLock {
public:
    explicit CCriticalLock(ICriticalSection& cs) : m_cs(&cs), m_count(1) { m_cs->Enter(); }
    explicit CCriticalLock(ICriticalSection* cs) : CCriticalLock(*cs) {}
    CCriticalLock(const CCriticalLock&) = delete;
    CCriticalLock& operator=(const CCriticalLock&) = delete;
    ~CCriticalLock() {
        for (; m_count > 0; --m_count) m_cs->Leave();
    }

    void Enter() {
        m_cs->Enter();
        ++m_count;
    }
    // Leaves one level when this lock still holds one (before a long wait).
    void Leave() {
        if (m_count > 0) {
            --m_count;
            m_cs->Leave();
        }
    }

private:
    ICriticalSection* m_cs;
    int32_t m_count;
};

// Leaves every level the calling thread holds of a section for the length of a block (a join
// the holder must not block) and enters them all again on every way out of it.
class CCriticalUnlock {
public:
    explicit CCriticalUnlock(ICriticalSection& cs) : m_cs(&cs), m_count(0) {
        for (; m_cs->IsLockedByThisThread(); ++m_count) m_cs->Leave();
    }
    CCriticalUnlock(const CCriticalUnlock&) = delete;
    CCriticalUnlock& operator=(const CCriticalUnlock&) = delete;
    ~CCriticalUnlock() {
        for (; m_count > 0; --m_count) m_cs->Enter();
    }

private:
    ICriticalSection* m_cs;
    int32_t m_count;
};

}  // namespace tovarineGameSDK3rd::Thread
