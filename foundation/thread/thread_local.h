#pragma once
// Per-thread variables, keyed by the SDK's thread id.
#include <cstdint>
#include <list>
#include <map>

#include "foundation/thread/critical_section.h"

namespace tovarineGameSDK3rd::Thread {

class ThreadLocalBase {
public:
    // Frees the calling thread's cell.
    virtual void Erase() = 0;
    // Frees every cell.
    virtual void ClearAll() = 0;
    // A detached variable no longer leaves the registry when destroyed.
    virtual void SetDetached(bool detached) = 0;
    virtual ~ThreadLocalBase() {}
};

// The registry of every ThreadLocal. At the end of the program (the finalizer
// list of the CAppInitializer) it detaches them all, so that the variables that
// outlive it free their cells without reaching back into it.
class ThreadLocalBaseHelper {
public:
    ThreadLocalBaseHelper();
    // Registers a variable (creating the registry on first use).
    static void Add(ThreadLocalBase* tl);
    // Unregisters it; nothing when the registry is gone.
    static void Remove(ThreadLocalBase* tl);
    static ThreadLocalBaseHelper* GetInstance();
    static void DestroyInstance();
    // The finalizer: detaches every registered variable and forgets it; frees nothing.
    static void Finalize();

private:
    CCriticalSection m_lock;
    std::list<ThreadLocalBase*> m_list;
};

template <class T>
class ThreadLocal : public ThreadLocalBase {
public:
    ThreadLocal() { ThreadLocalBaseHelper::Add(this); }
    ThreadLocal(const ThreadLocal&) = delete;
    ThreadLocal& operator=(const ThreadLocal&) = delete;
    ~ThreadLocal() override {
        ClearAll();
        if (!m_detached) ThreadLocalBaseHelper::Remove(this);
    }

    // The calling thread's cell, made (value-initialised: 0, null, an empty
    // smart_ptr) on first use.
    T* Get() {
        CCriticalLock lock(m_lock);
        return CellLocked();
    }
    void Set(const T& value) {
        CCriticalLock lock(m_lock);
        *CellLocked() = value;
    }
    // Stores the value and answers a copy of the cell.
    T SetAndGet(const T& value) {
        CCriticalLock lock(m_lock);
        T* cell = CellLocked();
        *cell = value;
        return *cell;
    }
    // True when the calling thread has no cell.
    bool IsEmpty() {
        CCriticalLock lock(m_lock);
        return m_cells.find(GetCurrentThreadId()) == m_cells.end();
    }
    void Erase() override {
        CCriticalLock lock(m_lock);
        auto it = m_cells.find(GetCurrentThreadId());
        if (it == m_cells.end()) return;
        delete it->second;
        m_cells.erase(it);
    }
    void ClearAll() override {
        CCriticalLock lock(m_lock);
        for (auto& cell : m_cells) delete cell.second;
        m_cells.clear();
    }
    void SetDetached(bool detached) override {
        CCriticalLock lock(m_lock);
        m_detached = detached;
    }

private:
    T* CellLocked() {
        T*& cell = m_cells[GetCurrentThreadId()];
        if (!cell) cell = new T();
        return cell;
    }

    CCriticalSection m_lock;
    std::map<int32_t, T*> m_cells;
    bool m_detached = false;
};

}  // namespace tovarineGameSDK3rd::Thread
