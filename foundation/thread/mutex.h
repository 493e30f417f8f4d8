#pragma once
// The named mutex that keeps a second instance of the program from starting.
#include <cstdint>

#include "foundation/vtl/vtl_string.h"
#include "platform/named_lock.h"

namespace tovarineGameSDK3rd::Thread {

class IMutex {
public:
    // Closes, then opens the mutex of that name, owning it when nobody else
    // does: 0 opened and owned, 1 it existed already (held elsewhere), 2 failure.
    virtual int32_t Open(const VTL::VTLstring& name) = 0;
    // Waits without limit until this process owns it.
    virtual void Wait() = 0;
    virtual void Close() = 0;
    virtual ~IMutex() {}
};

class CMutex : public IMutex {
public:
    CMutex() = default;
    CMutex(const CMutex&) = delete;
    CMutex& operator=(const CMutex&) = delete;
    ~CMutex() override { Close(); }

    int32_t Open(const VTL::VTLstring& name) override;
    void Wait() override;
    void Close() override;

    // Opens the mutex of that name (empty: the executable's full path with
    // every '\' made '?') and answers whether this is the first instance. The
    // mutex stays held for as long as this object lives.
    bool IsFirstInstance(const VTL::VTLstring& name);

    // The name IsFirstInstance uses for an empty one.
    static VTL::VTLstring ExecutableMutexName();

private:
    morna::platform::NamedLock m_lock;
};

}  // namespace tovarineGameSDK3rd::Thread
