#include <gtest/gtest.h>

#include "foundation/timer/timer.h"
#include "tests/common/fake_clock.h"

namespace {

using tovarineGameSDK3rd::Timer::CTimer;
using morna::test::FakeClock;

// Every case runs from the clock's zero and from just before its 32-bit wrap.
class StopwatchTest : public testing::TestWithParam<uint32_t> {
protected:
    FakeClock clock{GetParam()};
    CTimer timer{clock};
};

TEST_P(StopwatchTest, CountsFromStartAndFromSetValue) {
    clock.Advance(300);
    EXPECT_EQ(timer.Get(), 300u);
    timer.Set(0xFFFFFFF0u);
    clock.Advance(0x20);
    EXPECT_EQ(timer.Get(), 0x10u);  // the timer's own count wraps too
    timer.Reset();
    clock.Advance(5);
    EXPECT_EQ(timer.Get(), 5u);
}

// Pauses nest and resume without a jump; a Restart without a Pause does not cancel the next.
TEST_P(StopwatchTest, NestedPausesResumeWithoutJump) {
    timer.Restart();
    clock.Advance(100);
    timer.Pause();
    clock.Advance(50);
    timer.Pause();
    clock.Advance(50);
    timer.Restart();
    clock.Advance(50);
    EXPECT_EQ(timer.Get(), 100u);  // one Restart of two Pauses: still paused
    timer.Set(40);                 // set while paused: stays at 40
    clock.Advance(10);
    EXPECT_EQ(timer.Get(), 40u);
    timer.Restart();
    EXPECT_EQ(timer.Get(), 40u);
    clock.Advance(7);
    EXPECT_EQ(timer.Get(), 47u);
}

INSTANTIATE_TEST_SUITE_P(ClockStarts, StopwatchTest, testing::Values(0u, 0xFFFFFFC0u));

}  // namespace
