#pragma once
// Locks and events for the SDK's CCriticalSection and CEvent, on the C++
// library's mutexes and condition variables.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace morna::platform {

// A wait time that never runs out.
inline constexpr uint32_t kWaitForever = 0xFFFFFFFFu;

// A recursive lock that knows its owner (a CurrentThreadId, -1 when free) and
// how deep the owner holds it.
class RecursiveLock {
public:
    RecursiveLock() = default;
    RecursiveLock(const RecursiveLock&) = delete;
    RecursiveLock& operator=(const RecursiveLock&) = delete;

    void Enter();
    // False, changing nothing, when the calling thread does not hold the lock.
    bool Leave();
    int32_t Owner() const { return m_owner.load(std::memory_order_relaxed); }
    // The owner's depth; only meaningful to the owner (or with nobody else around).
    int32_t Count() const { return m_count; }

private:
    std::recursive_mutex m_mutex;
    std::atomic<int32_t> m_owner{-1};
    int32_t m_count = 0;
};

// Answers of Event::Wait.
inline constexpr int32_t kWaitCame = 0;
inline constexpr int32_t kWaitTimedOut = 1;
inline constexpr int32_t kWaitFailed = 2;
// Answers of WaitEither.
inline constexpr int32_t kWaitFirst = 0;
inline constexpr int32_t kWaitSecond = 1;
inline constexpr int32_t kWaitNeither = 2;

// An automatic-reset event: Set lets exactly one wait through (a waiting one,
// else the next to come) and is cleared by it. Starts clear.
class Event {
public:
    Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    ~Event();

    void Set();
    void Reset();
    // kWaitCame or kWaitTimedOut, at most ms (kWaitForever: no limit). No
    // condition here makes it fail; callers still handle kWaitFailed.
    int32_t Wait(uint32_t ms);

    struct Waiter;  // one thread's wait, registered with each event it waits for
    struct Link {
        Waiter* waiter;
        int32_t index;  // which of the waiter's events this is
        Link* next;
        Link* prev;
    };

private:
    friend int32_t WaitAny(Event* const* events, int32_t n, uint32_t ms);

    std::mutex m_mutex;
    bool m_signaled = false;
    Link* m_head = nullptr;  // waiters in arrival order
    Link* m_tail = nullptr;
};

// Waits until the first or the second event comes, at most ms: 0 the first came,
// 1 the second came, 2 time-out. Takes only the signal it answers; when both are
// set the first one wins. The two must be different events.
int32_t WaitEither(Event& first, Event& second, uint32_t ms);

}  // namespace morna::platform
