#pragma once
#include <cstdint>

namespace tovarineGameSDK3rd::Timer {

// The millisecond clock and sleep that every timer reads. Times are 32-bit counts
// that wrap; timers only ever subtract them in uint32_t. The game uses SystemClock();
// tests hand the timers a clock of their own so that nothing waits for real time.
class IClock {
public:
    virtual ~IClock() = default;
    virtual uint32_t Now() = 0;
    virtual void Sleep(uint32_t ms) = 0;
};

// The platform's monotonic clock and a real sleep; one for the whole process, stateless.
IClock& SystemClock();

}  // namespace tovarineGameSDK3rd::Timer
