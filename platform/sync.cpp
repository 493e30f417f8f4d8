#include "platform/sync.h"

#include "platform/thread.h"

namespace morna::platform {

void RecursiveLock::Enter() {
    m_mutex.lock();
    m_owner.store(CurrentThreadId(), std::memory_order_relaxed);
    ++m_count;
}

bool RecursiveLock::Leave() {
    // Unlocking a mutex that the caller does not hold is undefined, so a stray
    // Leave is refused before it reaches the mutex.
    if (m_owner.load(std::memory_order_relaxed) != CurrentThreadId() || m_count == 0) return false;
    if (--m_count == 0) m_owner.store(-1, std::memory_order_relaxed);
    m_mutex.unlock();
    return true;
}

struct Event::Waiter {
    std::mutex mutex;
    std::condition_variable cv;
    int32_t fired = -1;  // index of the event that came for this waiter
};

Event::~Event() = default;

void Event::Set() {
    std::lock_guard<std::mutex> lock(m_mutex);
    // Hand the signal to the first waiter that no other event has released yet;
    // only when nobody takes it does the event stay set.
    for (Link* l = m_head; l; l = l->next) {
        std::lock_guard<std::mutex> wl(l->waiter->mutex);
        if (l->waiter->fired < 0) {
            l->waiter->fired = l->index;
            l->waiter->cv.notify_one();
            return;
        }
    }
    m_signaled = true;
}

void Event::Reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_signaled = false;
}

// Waits for any of n (1 or 2) distinct events; answers the index of the one that
// came, or n on time-out.
int32_t WaitAny(Event* const* events, int32_t n, uint32_t ms) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    Event::Waiter waiter;
    Event::Link links[2];
    {
        std::unique_lock<std::mutex> l0(events[0]->m_mutex, std::defer_lock);
        std::unique_lock<std::mutex> l1;
        if (n == 2) {
            l1 = std::unique_lock<std::mutex>(events[1]->m_mutex, std::defer_lock);
            std::lock(l0, l1);
        } else {
            l0.lock();
        }
        for (int32_t i = 0; i < n; ++i) {
            if (events[i]->m_signaled) {
                events[i]->m_signaled = false;
                return i;
            }
        }
        if (ms == 0) return n;
        for (int32_t i = 0; i < n; ++i) {
            Event* e = events[i];
            links[i] = Event::Link{&waiter, i, nullptr, e->m_tail};
            if (e->m_tail) e->m_tail->next = &links[i];
            else e->m_head = &links[i];
            e->m_tail = &links[i];
        }
    }
    {
        std::unique_lock<std::mutex> wl(waiter.mutex);
        auto came = [&] { return waiter.fired >= 0; };
        if (ms == kWaitForever) waiter.cv.wait(wl, came);
        else waiter.cv.wait_until(wl, deadline, came);
    }
    for (int32_t i = 0; i < n; ++i) {
        Event* e = events[i];
        std::lock_guard<std::mutex> lock(e->m_mutex);
        Event::Link* l = &links[i];
        (l->prev ? l->prev->next : e->m_head) = l->next;
        (l->next ? l->next->prev : e->m_tail) = l->prev;
    }
    // A signal handed over between the time-out and the unlinking above was
    // taken from its event, so it counts as come.
    std::lock_guard<std::mutex> wl(waiter.mutex);
    return waiter.fired >= 0 ? waiter.fired : n;
}

int32_t Event::Wait(uint32_t ms) {
    Event* self = this;
    return WaitAny(&self, 1, ms) == 0 ? kWaitCame : kWaitTimedOut;
}

int32_t WaitEither(Event& first, Event& second, uint32_t ms) {
    Event* events[2] = {&first, &second};
    return WaitAny(events, 2, ms);
}

}  // namespace morna::platform
