#include "foundation/timer/clock.h"

#include "platform/clock.h"

namespace tovarineGameSDK3rd::Timer {

namespace {

class CSystemClock final : public IClock {
public:
    uint32_t Now() override { return morna::platform::MonotonicMilliseconds(); }
    void Sleep(uint32_t ms) override { morna::platform::SleepMilliseconds(ms); }
};

}  // namespace

IClock& SystemClock() {
    static CSystemClock clock;
    return clock;
}

}  // namespace tovarineGameSDK3rd::Timer
