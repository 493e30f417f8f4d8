#pragma once
// The multi-thread flag and the lazily created singletons of the SDK.
#include <atomic>

#include "foundation/thread/critical_section.h"

namespace tovarineGameSDK3rd::Thread {

// 1 from the construction of the CAppInitializer until its destructor has
// waited for every thread; while it is set, singletons are created and deleted
// under their creation locks.
bool GetMultiThreadFlag();
void SetMultiThreadFlag(bool on);

// Holds one lazily created T. Declare it `constinit` at namespace scope: it is
// then usable before any constructor runs, and deletes its object at exit.
template <class T>
class CSingletonHolder {
public:
    constexpr CSingletonHolder() = default;
    CSingletonHolder(const CSingletonHolder&) = delete;
    CSingletonHolder& operator=(const CSingletonHolder&) = delete;
    ~CSingletonHolder() { Destroy(); }

    // The object, created on first use.
    T* Get() {
        T* p = m_object.load(std::memory_order_acquire);
        if (p) return p;
        if (!GetMultiThreadFlag()) return Create();
        CCriticalLock lock(CreationLock());
        p = m_object.load(std::memory_order_acquire);
        return p ? p : Create();
    }
    // The object, or null when it does not exist; never creates it.
    T* Peek() const { return m_object.load(std::memory_order_acquire); }
    // Deletes the object (it is made anew on the next Get).
    void Destroy() {
        if (!GetMultiThreadFlag()) {
            delete m_object.exchange(nullptr, std::memory_order_acq_rel);
            return;
        }
        CCriticalLock lock(CreationLock());
        delete m_object.exchange(nullptr, std::memory_order_acq_rel);
    }

private:
    T* Create() {
        T* p = new T;
        m_object.store(p, std::memory_order_release);
        return p;
    }
    // Made on first use and never destroyed, so that it outlives every holder.
    static CCriticalSection& CreationLock() {
        static CCriticalSection* lock = new CCriticalSection;
        return *lock;
    }

    std::atomic<T*> m_object{nullptr};
};

}  // namespace tovarineGameSDK3rd::Thread
