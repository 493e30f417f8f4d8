#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "foundation/timer/fps_timer.h"
#include "tests/common/fake_clock.h"

namespace {

using tovarineGameSDK3rd::Timer::CFPSTimer;
using morna::test::FakeClock;

// One frame of the main loop: `work` ms pass, then the frame ends.
void Frame(FakeClock& clock, CFPSTimer& fps, uint32_t work = 0) {
    clock.Advance(work);
    fps.WaitFrame();
}

class FrameLengthTest : public testing::TestWithParam<uint32_t> {};

TEST_P(FrameLengthTest, SixtyFramesAlternateSixteenAndSeventeen) {
    FakeClock clock{GetParam()};
    CFPSTimer fps{clock};
    for (int i = 0; i < 12; ++i) Frame(clock, fps);
    const std::vector<uint32_t> first9(clock.sleeps.begin(), clock.sleeps.begin() + 9);
    EXPECT_EQ(first9, (std::vector<uint32_t>{16, 17, 16, 17, 17, 16, 17, 17, 16}));
    EXPECT_EQ(clock.Now() - GetParam(), 199u);  // twelve empty frames: 200 ms less the carried fraction
}

INSTANTIATE_TEST_SUITE_P(ClockStarts, FrameLengthTest, testing::Values(0u, 0xFFFFFFF0u));

// Over 65536 frames the carried fractions add up to exactly the 16.16 step in ms,
// so the total pins the step; the run starts 64 s before the clock wraps.
class FrameStepTest : public testing::TestWithParam<std::tuple<uint32_t, uint32_t>> {};

TEST_P(FrameStepTest, FullFractionCycleSumsToTheStep) {
    const auto [rate, step] = GetParam();
    const uint32_t start = 0xFFFF0000u;
    FakeClock clock{start};
    CFPSTimer fps{clock};
    fps.SetFPS(rate);
    EXPECT_EQ(fps.GetFPS(), rate);
    bool anySkip = false;
    for (int i = 0; i < 65536; ++i) {
        Frame(clock, fps);
        anySkip |= fps.IsFrameSkip();
    }
    EXPECT_FALSE(anySkip);
    EXPECT_EQ(clock.sleeps.size(), 65536u);
    EXPECT_EQ(clock.Now() - start, step);
    EXPECT_EQ(fps.GetFrameCount(), 65536u);
}

INSTANTIATE_TEST_SUITE_P(Rates, FrameStepTest,
                         testing::Values(std::make_tuple(60u, 1092266u), std::make_tuple(240u, 273066u)));

// Lateness after one frame of `work` ms: the first frame at 60 per second is 16 ms long, so a
// skip starts at 48 ms late; 250 ms or more is forgotten and the schedule restarts from now.
// Then the frames that follow, each without work: skip or not, and the sleeps they make.
TEST(FrameTimer, LatenessSkipsCatchesUpOrIsForgotten) {
    const struct {
        uint32_t work;
        std::vector<bool> skips;
        std::vector<uint32_t> sleeps;
        uint32_t now;  // when the last frame ended
    } cases[] = {
        {50, {false, false}, {}, 50},
        {63, {false, false}, {}, 63},
        {64, {true, false}, {}, 64},
        {70, {true, false, false, false, false}, {13}, 16 + 17 + 16 + 17 + 17},  // 37, 21, 4 behind, then on the grid
        {265, {true, true}, {}, 265},
        {266, {false, false}, {17}, 266 + 17},
        {1000, {false, false}, {17}, 1000 + 17},
    };
    for (const auto& c : cases) {
        FakeClock clock;
        CFPSTimer fps{clock};
        std::vector<bool> skips;
        for (size_t i = 0; i < c.skips.size(); ++i) {
            Frame(clock, fps, i == 0 ? c.work : 0);
            skips.push_back(fps.IsFrameSkip());
        }
        EXPECT_EQ(skips, c.skips) << c.work;
        EXPECT_EQ(clock.sleeps, c.sleeps) << c.work;
        EXPECT_EQ(clock.Now(), c.now) << c.work;
    }
}

TEST(FrameTimer, RealRateOverFifteenThenThirtyOneFrames) {
    FakeClock clock;
    CFPSTimer fps{clock};
    fps.SetFPS(0);  // no pacing: the stamps are exactly the times the frames end
    for (int i = 0; i < 16; ++i) Frame(clock, fps);
    EXPECT_EQ(fps.GetRealFPS(), 0u);  // no time passed

    fps.SetFPS(0);
    std::vector<uint32_t> real;
    for (int k = 0; k < 100; ++k) {
        fps.WaitFrame();
        real.push_back(fps.GetRealFPS());
        clock.Advance(k < 15 ? 10 : 20);  // frames end at 0, 10, .., 150, 170, 190, ..
    }
    EXPECT_EQ(real[14], 0u);
    EXPECT_EQ(real[15], 100u);  // 15 frames in 150 ms
    EXPECT_EQ(real[30], 50u);   // 15 frames in 300 ms
    EXPECT_EQ(real[31], 66u);   // 31 frames in 470 ms
    for (int k = 46; k < 100; ++k) {  // 31 frames in 620 ms, also across the stamp counter's wrap
        EXPECT_EQ(real[k], 50u) << k;
    }
}

TEST(FrameTimer, RealRateRestartsWithSetFps) {
    FakeClock clock;
    CFPSTimer fps{clock};
    for (int i = 0; i < 40; ++i) Frame(clock, fps);
    EXPECT_EQ(fps.GetRealFPS(), 60u);
    fps.SetFPS(60);
    for (int i = 0; i < 15; ++i) Frame(clock, fps);
    EXPECT_EQ(fps.GetRealFPS(), 0u);
    Frame(clock, fps);
    EXPECT_EQ(fps.GetRealFPS(), 60u);
    fps.SetFPS(0);  // rate 0 neither waits nor skips
    for (int i = 0; i < 5; ++i) {
        Frame(clock, fps, 500);
        EXPECT_FALSE(fps.IsFrameSkip());
    }
    EXPECT_EQ(clock.sleeps.size(), 56u);
}

// The busy time of a frame is filed one ring slot after its stamp, so the sum of slots
// 0 to 15 holds only 15 frames until slot 0 is written at the 32nd frame.
class IdleRateTest : public testing::TestWithParam<std::tuple<uint32_t, uint32_t, uint32_t>> {};

TEST_P(IdleRateTest, ShareOfFrameTimeLeftOver) {
    const auto [work, idleAt16, idle] = GetParam();
    FakeClock clock;
    CFPSTimer fps{clock};
    for (int i = 0; i < 15; ++i) Frame(clock, fps, work);
    EXPECT_EQ(fps.GetIdleRate(), 0u);
    Frame(clock, fps, work);
    EXPECT_EQ(fps.GetIdleRate(), idleAt16);
    for (int i = 16; i < 40; ++i) Frame(clock, fps, work);
    EXPECT_EQ(fps.GetIdleRate(), idle);
    EXPECT_EQ(fps.GetBusyTime(), 40 * work);
    fps.ResetBusyTime();
    EXPECT_EQ(fps.GetBusyTime(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Work, IdleRateTest,
                         testing::Values(std::make_tuple(0u, 100u, 100u), std::make_tuple(8u, 55u, 52u),
                                         std::make_tuple(12u, 33u, 28u)));

TEST(FrameTimer, SkippedFramesAreCountedPerSecondOfFrames) {
    FakeClock clock;
    CFPSTimer fps{clock};
    std::vector<int> skipped;
    for (int call = 1; call <= 121; ++call) {
        const bool late = call == 10 || call == 20 || call == 30 || call == 100;
        Frame(clock, fps, late ? 70 : 0);
        if (fps.IsFrameSkip()) skipped.push_back(call);
        if (call == 60) {
            EXPECT_EQ(fps.GetSkipFrame(), 0u);
        }
        if (call == 61) {
            EXPECT_EQ(fps.GetSkipFrame(), 3u);
        }
        if (call == 120) {
            EXPECT_EQ(fps.GetSkipFrame(), 3u);
        }
    }
    EXPECT_EQ(fps.GetSkipFrame(), 1u);
    EXPECT_EQ(skipped, (std::vector<int>{10, 20, 30, 100}));
}

}  // namespace
