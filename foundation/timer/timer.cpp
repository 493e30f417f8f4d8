#include "foundation/timer/timer.h"

namespace tovarineGameSDK3rd::Timer {

CTimer::CTimer(IClock& clock) : clock_(clock), start_(clock.Now()) {}

void CTimer::Reset() {
    start_ = clock_.Now();
    pauseCount_ = 0;
}

uint32_t CTimer::Get() {
    return (pauseCount_ > 0 ? pauseTime_ : clock_.Now()) - start_;
}

void CTimer::Set(uint32_t t) {
    start_ = (pauseCount_ > 0 ? pauseTime_ : clock_.Now()) - t;
}

void CTimer::Pause() {
    if (pauseCount_++ == 0) pauseTime_ = clock_.Now();
}

void CTimer::Restart() {
    if (pauseCount_ <= 0) return;
    if (--pauseCount_ == 0) start_ += clock_.Now() - pauseTime_;
}

}  // namespace tovarineGameSDK3rd::Timer
