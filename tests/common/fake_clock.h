#pragma once
#include <cstdint>
#include <vector>

#include "foundation/timer/clock.h"

namespace morna::test {

// A clock that moves only when told to: Sleep advances it by exactly the time asked
// and remembers each sleep, so timer tests are exact and never wait.
class FakeClock final : public tovarineGameSDK3rd::Timer::IClock {
public:
    explicit FakeClock(uint32_t start = 0) : now_(start) {}

    uint32_t Now() override { return now_; }
    void Sleep(uint32_t ms) override {
        sleeps.push_back(ms);
        now_ += ms;
    }

    void Advance(uint32_t ms) { now_ += ms; }
    void SetNow(uint32_t t) { now_ = t; }

    std::vector<uint32_t> sleeps;

private:
    uint32_t now_;
};

}  // namespace morna::test
