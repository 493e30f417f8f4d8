#pragma once
#include <cstdint>
#include <list>

#include "foundation/timer/clock.h"
#include "foundation/timer/timer.h"
#include "foundation/vtl/function_callback.h"
#include "foundation/vtl/smart_ptr.h"

namespace tovarineGameSDK3rd::Timer {

// Calls registered callbacks after a delay and then every interval, a given number
// of times or without end. It has no thread: the owner calls Check regularly (the
// application once per pump pass) and the callbacks run inside that call.
class IIntervalTimer {
public:
    // count 0 (or below) = without end. An entry without end whose interval is 0 or less runs
    // once per Check; with a count it runs its count out in the Check that finds it due.
    virtual void Add(int id, int32_t delay, int32_t interval, int32_t count,
                     const VTL::smart_ptr<VTL::function_callback_v>& callback) = 0;
    // Stops every entry with this id at once; they leave the list at the next Check.
    virtual void Remove(int id) = 0;
    // Runs what is due, in the order the entries were added; a late entry catches up.
    // A Check made from inside a callback returns at once.
    virtual void Check() = 0;
    // Stored times keep their values on the new clock.
    virtual void SetTimer(const VTL::smart_ptr<CTimer>& timer) = 0;
    virtual ~IIntervalTimer() = default;
};

class CIntervalTimer : public IIntervalTimer {
public:
    // Reads a new CTimer on the given clock until SetTimer replaces it.
    explicit CIntervalTimer(IClock& clock = SystemClock());

    void Add(int id, int32_t delay, int32_t interval, int32_t count,
             const VTL::smart_ptr<VTL::function_callback_v>& callback) override;
    void Remove(int id) override;
    void Check() override;
    void SetTimer(const VTL::smart_ptr<CTimer>& timer) override;
    VTL::smart_ptr<CTimer> GetTimer() const { return timer_; }

private:
    struct CTimerInfo {
        int id;
        uint32_t nextTime;  // compared by signed 32-bit difference, so it survives the wrap
        int32_t interval;
        int32_t remaining;  // 0 = without end
        VTL::smart_ptr<VTL::function_callback_v> callback;
        bool finished;
    };

    std::list<VTL::smart_ptr<CTimerInfo>> entries_;
    VTL::smart_ptr<CTimer> timer_;
    bool checking_ = false;
};

}  // namespace tovarineGameSDK3rd::Timer
