#include "foundation/timer/fps_timer.h"

namespace tovarineGameSDK3rd::Timer {

CFPSTimer::CFPSTimer(IClock& clock) : clock_(clock), timer_(clock) {
    ResetTimer();
    ResetBusyTime();
}

void CFPSTimer::SetFPS(uint32_t rate) {
    ResetTimer();
    ResetBusyTime();
    frameCount_ = 0;
    stampCount_ = 0;
    rate_ = rate;
    if (rate != 0) {
        accumulator_ = 0;
        step_ = 65536000u / rate;
    }
}

uint32_t CFPSTimer::GetFPS() { return rate_; }

uint32_t CFPSTimer::GetRealFPS() {
    if (stampCount_ < 16) return 0;
    // Over n frames: from the stamp n calls before the newest to the newest.
    const uint32_t frames = stampCount_ >= 32 ? 31 : 15;
    const uint32_t newest = stamps_[(stampCount_ - 1) % kRing];
    const uint32_t oldest = stamps_[(stampCount_ - 1 - frames) % kRing];
    const uint32_t span = newest - oldest;
    if (span == 0) return 0;
    return (frames * 1000u + span / 2) / span;
}

uint32_t CFPSTimer::GetIdleRate() {
    if (stampCount_ < 16) return 0;
    uint32_t sum = 0;
    for (uint32_t i = 0; i < 16; ++i) sum += busy_[i];
    return 100u - rate_ * sum / 160u;
}

uint32_t CFPSTimer::GetSkipFrame() { return skippedLastSecond_; }

uint32_t CFPSTimer::ResetTimer() {
    lastFrameTime_ = timer_.Get();
    skip_ = false;
    skippedLastSecond_ = 0;
    skippedThisSecond_ = 0;
    return lastFrameTime_;
}

void CFPSTimer::WaitFrame() {
    const uint32_t now = timer_.Get();
    if (rate_ != 0 && frameCount_ % rate_ == 0) {
        skippedLastSecond_ = skippedThisSecond_;
        skippedThisSecond_ = 0;
    }
    stamps_[stampCount_ % kRing] = now;
    if (++stampCount_ == 64) stampCount_ = 32;
    ++frameCount_;
    // The busy time is filed one slot ahead of the stamp, as the measures expect.
    uint32_t& busy = busy_[stampCount_ % kRing];
    if (rate_ == 0) {
        busy = 0;
        return;
    }

    accumulator_ = step_ + (accumulator_ & 0xFFFFu);
    const uint32_t length = accumulator_ >> 16;
    const uint32_t elapsed = now - lastFrameTime_;
    if (elapsed < length) {
        busySum_ += elapsed;
        busy = elapsed;
        skip_ = false;
        clock_.Sleep(length - elapsed);
        lastFrameTime_ += length;
        return;
    }
    // Late: stay on the grid of frame times unless the backlog is too large to catch up.
    uint32_t lateness = elapsed - length;
    if (lateness >= kForgetLateness) lateness = 0;
    skip_ = lateness >= 3 * length;
    if (skip_) ++skippedThisSecond_;
    lastFrameTime_ = now - lateness;
    busy = 0;
}

bool CFPSTimer::IsFrameSkip() { return skip_; }

void CFPSTimer::ResetBusyTime() { busySum_ = 0; }

uint32_t CFPSTimer::GetBusyTime() { return busySum_; }

void CFPSTimer::ResetFrameCount() { frameCount_ = 0; }

uint32_t CFPSTimer::GetFrameCount() { return frameCount_; }

}  // namespace tovarineGameSDK3rd::Timer
