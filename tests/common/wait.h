#pragma once
// Waits bounded in time, never in passes: a busy machine makes each pass slower, not a second
// shorter.
#include <cstdint>
#include <functional>

#include "platform/clock.h"

namespace morna::test {

// Calls pass, then sleeps stepMs, until done or ms have gone by; answers done.
inline bool WaitUntil(const std::function<bool()>& done, const std::function<void()>& pass, uint32_t ms,
                      uint32_t stepMs = 10) {
    const uint32_t start = platform::MonotonicMilliseconds();
    while (!done() && platform::MonotonicMilliseconds() - start < ms) {
        if (pass) pass();
        platform::SleepMilliseconds(stepMs);
    }
    return done();
}

// Calls pass, then sleeps stepMs, for ms.
inline void WaitFor(uint32_t ms, const std::function<void()>& pass, uint32_t stepMs = 10) {
    WaitUntil([] { return false; }, pass, ms, stepMs);
}

}  // namespace morna::test
