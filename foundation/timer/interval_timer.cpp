#include "foundation/timer/interval_timer.h"

namespace tovarineGameSDK3rd::Timer {

CIntervalTimer::CIntervalTimer(IClock& clock) : timer_(new CTimer(clock)) {}

void CIntervalTimer::Add(int id, int32_t delay, int32_t interval, int32_t count,
                         const VTL::smart_ptr<VTL::function_callback_v>& callback) {
    const uint32_t next = timer_->Get() + static_cast<uint32_t>(delay);
    // A negative count would take billions of calls to count down: it means without end.
    const int32_t remaining = count < 0 ? 0 : count;
    entries_.push_back(VTL::smart_ptr<CTimerInfo>(new CTimerInfo{id, next, interval, remaining, callback, false}));
}

void CIntervalTimer::Remove(int id) {
    for (auto& entry : entries_) {
        if (entry->id == id) entry->finished = true;
    }
}

void CIntervalTimer::Check() {
    // A callback that pumps messages would come back here and could unlink the entry
    // that the outer pass is standing on.
    if (checking_) return;
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{checking_};
    checking_ = true;

    const uint32_t now = timer_->Get();
    for (auto it = entries_.begin(); it != entries_.end();) {
        CTimerInfo& e = **it;
        while (!e.finished && static_cast<int32_t>(now - e.nextTime) >= 0) {
            e.callback->run();
            if (e.remaining != 0 && --e.remaining == 0) {
                e.finished = true;
            } else if (e.remaining == 0 && e.interval <= 0) {
                // Without end and without an interval it would never leave the past.
                e.nextTime = now;
                break;
            } else {
                e.nextTime += static_cast<uint32_t>(e.interval);
            }
        }
        if (e.finished) {
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
}

void CIntervalTimer::SetTimer(const VTL::smart_ptr<CTimer>& timer) { timer_ = timer; }

}  // namespace tovarineGameSDK3rd::Timer
