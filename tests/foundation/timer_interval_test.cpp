#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "foundation/timer/interval_timer.h"
#include "foundation/vtl/exception.h"
#include "tests/common/fake_clock.h"

namespace {

using tovarineGameSDK3rd::Timer::CIntervalTimer;
using tovarineGameSDK3rd::Timer::CTimer;
using tovarineGameSDK3rd::VTL::function_callback_v;
using tovarineGameSDK3rd::VTL::smart_ptr;
using morna::test::FakeClock;

class Callback final : public function_callback_v {
public:
    Callback(std::function<void()> body, bool* destroyed) : body_(std::move(body)), destroyed_(destroyed) {}
    ~Callback() override {
        if (destroyed_) *destroyed_ = true;
    }
    void run() override { body_(); }

private:
    std::function<void()> body_;
    bool* destroyed_;
};

smart_ptr<function_callback_v> Make(std::function<void()> body, bool* destroyed = nullptr) {
    return smart_ptr<function_callback_v>(new Callback(std::move(body), destroyed));
}

// The interval timer reads a CTimer on a fake clock; each case starts the timer's own
// time at `GetParam()`, so the cases run once from 0 and once across the 32-bit wrap.
class IntervalTimerTest : public testing::TestWithParam<uint32_t> {
protected:
    IntervalTimerTest() : timers(clock) { timers.GetTimer()->Set(GetParam()); }

    // Moves the clock to `t` ms after the start and checks.
    void CheckAt(uint32_t t) {
        clock.SetNow(t - GetParam() + clockBase);
        timers.Check();
    }

    const uint32_t clockBase = 5000;
    FakeClock clock{clockBase};
    CIntervalTimer timers;
    std::vector<std::string> calls;
};

TEST_P(IntervalTimerTest, DelayThenIntervalThenSpent) {
    bool destroyed = false;
    int runs = 0;
    timers.Add(1, 100, 50, 3, Make([&] { ++runs; }, &destroyed));
    const uint32_t t0 = GetParam();
    CheckAt(t0 + 99);
    EXPECT_EQ(runs, 0);
    CheckAt(t0 + 100);
    EXPECT_EQ(runs, 1);
    CheckAt(t0 + 300);  // due at 150 and 200: both run now, and the count is spent
    EXPECT_EQ(runs, 3);
    EXPECT_TRUE(destroyed);  // the spent entry left the list with its callback
    CheckAt(t0 + 1000);
    EXPECT_EQ(runs, 3);
}

TEST_P(IntervalTimerTest, WithoutEndUntilRemoved) {
    const uint32_t t0 = GetParam();
    int runs = 0;
    timers.Add(7, 0, 10, 0, Make([&] { ++runs; }));
    CheckAt(t0 + 95);  // due at 0, 10, .., 90
    EXPECT_EQ(runs, 10);
    timers.Remove(8);  // no such id: nothing changes
    CheckAt(t0 + 100);
    EXPECT_EQ(runs, 11);
    timers.Remove(7);
    CheckAt(t0 + 200);
    EXPECT_EQ(runs, 11);
}

TEST_P(IntervalTimerTest, DueEntriesRunInTheOrderAdded) {
    const uint32_t t0 = GetParam();
    timers.Add(1, 20, 100, 1, Make([&] { calls.push_back("a"); }));
    timers.Add(2, 10, 100, 1, Make([&] { calls.push_back("b"); }));
    timers.Add(1, 15, 100, 1, Make([&] { calls.push_back("c"); }));
    CheckAt(t0 + 30);
    EXPECT_EQ(calls, (std::vector<std::string>{"a", "b", "c"}));
}

TEST_P(IntervalTimerTest, CallbackRemovingEntriesStopsThemAtOnce) {
    const uint32_t t0 = GetParam();
    timers.Add(1, 0, 10, 0, Make([&] {
                   calls.push_back("first");
                   timers.Remove(1);
                   timers.Remove(2);
               }));
    timers.Add(2, 0, 10, 0, Make([&] { calls.push_back("second"); }));
    timers.Add(1, 0, 10, 0, Make([&] { calls.push_back("third"); }));
    CheckAt(t0 + 50);  // the first would have caught up six times
    CheckAt(t0 + 100);
    EXPECT_EQ(calls, std::vector<std::string>{"first"});
}

TEST_P(IntervalTimerTest, CheckFromInsideACallbackDoesNothing) {
    const uint32_t t0 = GetParam();
    timers.Add(1, 0, 0, 2, Make([&] {
                   calls.push_back("outer");
                   timers.Check();
               }));
    timers.Add(2, 0, 0, 1, Make([&] { calls.push_back("other"); }));
    CheckAt(t0);
    EXPECT_EQ(calls, (std::vector<std::string>{"outer", "outer", "other"}));
}

// Without a count, an entry whose interval is 0 or less would stay due for ever;
// it runs once per Check instead. With a count it runs the count out at once.
class NoIntervalTest : public testing::TestWithParam<std::tuple<int32_t, int32_t, std::vector<int>>> {};

TEST_P(NoIntervalTest, RunsAtMostOncePerCheckWithoutCount) {
    const auto& [interval, count, runsPerCheck] = GetParam();
    FakeClock clock;
    CIntervalTimer timers{clock};
    int runs = 0;
    timers.Add(1, 5, interval, count, Make([&] { ++runs; }));
    std::vector<int> seen;
    for (uint32_t t : {0u, 5u, 5u, 6u, 1000u, 0x7FFFFFF0u}) {  // the last is 2^31 ms on
        clock.SetNow(t);
        const int before = runs;
        timers.Check();
        seen.push_back(runs - before);
    }
    EXPECT_EQ(seen, runsPerCheck);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, NoIntervalTest,
    testing::Values(std::make_tuple(0, 0, std::vector<int>{0, 1, 1, 1, 1, 1}),
                    std::make_tuple(-20, 0, std::vector<int>{0, 1, 1, 1, 1, 1}),
                    std::make_tuple(0, -1, std::vector<int>{0, 1, 1, 1, 1, 1}),
                    std::make_tuple(0, 3, std::vector<int>{0, 3, 0, 0, 0, 0}),
                    std::make_tuple(-20, 2, std::vector<int>{0, 2, 0, 0, 0, 0})));

TEST(IntervalTimer, EmptyCallbackThrowsWhenDue) {
    FakeClock clock;
    CIntervalTimer timers{clock};
    timers.Add(1, 10, 10, 1, smart_ptr<function_callback_v>());
    EXPECT_NO_THROW(timers.Check());
    clock.Advance(10);
    EXPECT_THROW(timers.Check(), tovarineGameSDK3rd::VTL::CNullPointerException);
}

TEST(IntervalTimer, NewClockKeepsStoredTimes) {
    FakeClock clock;
    CIntervalTimer timers{clock};
    int runs = 0;
    timers.Add(1, 100, 100, 0, Make([&] { ++runs; }));
    smart_ptr<CTimer> other(new CTimer(clock));
    other->Set(99);
    timers.SetTimer(other);
    timers.Check();
    EXPECT_EQ(runs, 0);
    clock.Advance(1);
    timers.Check();
    EXPECT_EQ(runs, 1);
}

INSTANTIATE_TEST_SUITE_P(TimerStarts, IntervalTimerTest, testing::Values(0u, 0xFFFFFFD0u));

}  // namespace
