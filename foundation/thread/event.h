#pragma once
// The automatic-reset event with a flag that remembers it was set.
#include <cstdint>

#include "foundation/thread/critical_section.h"
#include "platform/sync.h"

namespace tovarineGameSDK3rd::Thread {

// A wait time that never runs out.
inline constexpr uint32_t kInfinite = morna::platform::kWaitForever;

class IEvent {
public:
    virtual void Set() = 0;
    virtual void Reset() = 0;
    // 0 the event came, 1 time-out, 2 failure.
    virtual int32_t Wait(uint32_t ms = kInfinite) = 0;
    virtual morna::platform::Event* GetHandle() = 0;
    virtual bool IsSignaled() = 0;
    virtual ~IEvent() {}
};

// Set lets one wait through and is cleared by it, but IsSignaled keeps
// answering true until Reset: threads test the flag, not the event.
class CEvent : public IEvent {
public:
    CEvent() = default;
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    void Set() override;
    void Reset() override;
    int32_t Wait(uint32_t ms = kInfinite) override;
    morna::platform::Event* GetHandle() override { return &m_event; }
    bool IsSignaled() override;

private:
    CCriticalSection m_lock;  // the flag and the event change together
    morna::platform::Event m_event;
    bool m_signaled = false;
};

// Waits until the first or the second event comes, at most ms: 0 the first, 1
// the second, 2 time-out. When both are set the first is taken and the second
// stays set.
int32_t WaitForEither(IEvent& first, IEvent& second, uint32_t ms);

}  // namespace tovarineGameSDK3rd::Thread
