#include <gtest/gtest.h>

#include <vector>

#include "foundation/timer/fps_timer.h"
#include "platform/clock.h"

namespace {

// With the real clock only what a loaded machine cannot break is checked: frames end
// in order and none ends before its place on the grid of 60 frames per second.
TEST(FrameTimerRealClock, PacesFramesNeverEarly) {
    const uint32_t before = morna::platform::MonotonicMilliseconds();
    tovarineGameSDK3rd::Timer::CFPSTimer fps;
    uint64_t grid = 0, accumulator = 0;
    uint32_t previous = 0;
    for (int i = 0; i < 12; ++i) {
        fps.WaitFrame();
        const uint32_t elapsed = morna::platform::MonotonicMilliseconds() - before;
        accumulator = 1092266 + (accumulator & 0xFFFF);
        grid += accumulator >> 16;
        EXPECT_GE(elapsed, grid) << "frame " << i;
        EXPECT_GE(elapsed, previous) << "frame " << i;
        previous = elapsed;
    }
    EXPECT_EQ(fps.GetFrameCount(), 12u);
}

}  // namespace
