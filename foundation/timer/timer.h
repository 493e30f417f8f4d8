#pragma once
#include <cstdint>

#include "foundation/timer/clock.h"

namespace tovarineGameSDK3rd::Timer {

// A millisecond stopwatch that can be paused; pauses nest.
class ITimer {
public:
    virtual void Reset() = 0;
    virtual uint32_t Get() = 0;
    virtual void Set(uint32_t t) = 0;
    virtual void Pause() = 0;
    virtual void Restart() = 0;
    virtual ~ITimer() = default;
};

class CTimer : public ITimer {
public:
    // The clock must outlive the timer.
    explicit CTimer(IClock& clock = SystemClock());

    void Reset() override;
    // Milliseconds since the start, not counting paused spans; wraps with the clock.
    uint32_t Get() override;
    // From now on Get answers t, counting on from there (or staying there while paused).
    void Set(uint32_t t) override;
    void Pause() override;
    // Undoes one Pause; the last one resumes without a jump. A Restart without a
    // Pause is ignored, so that it cannot cancel a later Pause.
    void Restart() override;

private:
    IClock& clock_;
    uint32_t start_ = 0;
    uint32_t pauseTime_ = 0;
    int32_t pauseCount_ = 0;
};

}  // namespace tovarineGameSDK3rd::Timer
