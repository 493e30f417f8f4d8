#pragma once
#include <cstdint>

#include "foundation/timer/clock.h"
#include "foundation/timer/timer.h"

namespace tovarineGameSDK3rd::Timer {

// The frame timer: the main loop calls WaitFrame once per frame to hold a fixed
// frame rate; it says when a frame is too late to be drawn and measures the real rate.
class IFPSTimer {
public:
    virtual void SetFPS(uint32_t rate) = 0;
    virtual uint32_t GetFPS() = 0;
    virtual uint32_t GetRealFPS() = 0;
    virtual uint32_t GetIdleRate() = 0;
    virtual uint32_t GetSkipFrame() = 0;
    virtual uint32_t ResetTimer() = 0;
    virtual void WaitFrame() = 0;
    virtual bool IsFrameSkip() = 0;
    virtual void ResetBusyTime() = 0;
    virtual uint32_t GetBusyTime() = 0;
    virtual void ResetFrameCount() = 0;
    virtual uint32_t GetFrameCount() = 0;
    virtual ~IFPSTimer() = default;
};

class CFPSTimer : public IFPSTimer {
public:
    // Starts at 60 frames per second. The clock must outlive the timer.
    explicit CFPSTimer(IClock& clock = SystemClock());

    // Restarts the schedule and the measures; 0 switches pacing and skipping off.
    void SetFPS(uint32_t rate) override;
    uint32_t GetFPS() override;
    // Frames per second over the last 31 frames (15 while fewer than 32 have passed
    // since SetFPS, 0 while fewer than 16), rounded to nearest.
    uint32_t GetRealFPS() override;
    // Percent of frame time left idle on average; 0 while fewer than 16 frames.
    uint32_t GetIdleRate() override;
    // Frames marked for skipping in the last whole second of frames.
    uint32_t GetSkipFrame() override;
    // Restarts the schedule from now; answers the timer's time.
    uint32_t ResetTimer() override;
    // Ends a frame: sleeps until the next frame time, or marks the frame for
    // skipping when the loop has fallen three frame lengths behind.
    void WaitFrame() override;
    bool IsFrameSkip() override;
    void ResetBusyTime() override;
    uint32_t GetBusyTime() override;
    void ResetFrameCount() override;
    uint32_t GetFrameCount() override;

private:
    static constexpr uint32_t kRing = 32;
    // Lateness of this much or more is forgotten rather than caught up.
    static constexpr uint32_t kForgetLateness = 250;

    IClock& clock_;
    uint32_t rate_ = 60;
    uint32_t step_ = 65536000u / 60;  // frame length in ms, 16.16 fixed point
    uint32_t lastFrameTime_ = 0;
    uint32_t accumulator_ = 0;  // only the fractional half carries over
    uint32_t busySum_ = 0;
    uint32_t stamps_[kRing] = {};
    uint32_t busy_[kRing] = {};
    uint32_t stampCount_ = 0;  // 0..63, then 32..63 for good
    uint32_t frameCount_ = 0;
    bool skip_ = false;
    uint32_t skippedLastSecond_ = 0;
    uint32_t skippedThisSecond_ = 0;
    CTimer timer_;
};

}  // namespace tovarineGameSDK3rd::Timer
