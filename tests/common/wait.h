#pragma once
// Waits bounded in time, never in passes: a busy machine makes each pass slower, not a second
// shorter.
#include <algorithm>
#include <cstdint>
#include <functional>

#include "platform/clock.h"

namespace morna::test {

// Calls pass, then sleeps stepMs, until done or ms have gone by; answers done.
inline bool WaitUntil(const std::function<bool()>& done, const std::function<void()>& pass, uint32_t ms,
                      uint32_t stepMs = 10) {
    // done() once a step, its answer the one returned: asked again, a state it saw could have gone.
    for (const uint32_t start = platform::MonotonicMilliseconds();; platform::SleepMilliseconds(stepMs)) {
        if (done()) return true;
        if (platform::MonotonicMilliseconds() - start >= ms) return false;
        if (pass) pass();
    }
}

// Calls pass, then sleeps stepMs, for ms.
inline void WaitFor(uint32_t ms, const std::function<void()>& pass, uint32_t stepMs = 10) {
    WaitUntil([] { return false; }, pass, ms, stepMs);
}

// Holds a key combination down (hold(true)) until done, for 20 s at most. The game reads the
// keyboard's state once a frame: a press it did not read as one (the keys let go and pressed again
// within a frame, or pressed as it did not have the keys yet) stays unread while held, so after
// holdMs unanswered the keys go up for upMs and down again, as a player presses once more. holdMs
// is well past a change's time under load, so a press taken is not pressed again.
inline bool HoldUntil(const std::function<void(bool)>& hold, const std::function<bool()>& done,
                      uint32_t holdMs = 5000, uint32_t upMs = 500) {
    const uint32_t start = platform::MonotonicMilliseconds();
    const auto left = [&] { return 20000 - std::min<uint32_t>(20000, platform::MonotonicMilliseconds() - start); };
    bool answered = false;
    while (!answered && left() != 0) {
        hold(true);
        answered = WaitUntil(done, nullptr, std::min(holdMs, left()), 20);
        hold(false);
        if (!answered) answered = WaitUntil(done, nullptr, std::min(upMs, left()), 20);
    }
    return answered;
}

}  // namespace morna::test
