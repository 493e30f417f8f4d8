#include "platform/focus_events.h"

#include <utility>

namespace morna::platform {
namespace {

// Whether X server time a is later than b, across the 32-bit wrap.
bool Later(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) > 0; }

}  // namespace

void FocusEvents::Stamped(uint32_t time) {
    if (time != 0 && (latest_ == 0 || Later(time, latest_))) latest_ = time;
}

void FocusEvents::TakeFocus(unsigned long window, uint32_t time) {
    ++takeFocusCount_;
    takeFocusWindow_ = window;
    takeFocusTime_ = time;
    Stamped(time);
    // A manager may set the focus before it sends the message: then it is the arrival's own.
    if (arrivalOpen_ && window == arrivalWindow_) arrival_.takeFocusCount = takeFocusCount_;
}

void FocusEvents::Focus(unsigned long window, bool in, FocusMode mode, bool fromOutside) {
    // A grab's start and the focus moved under it say a switch is going on; its end, or a plain
    // change, that none is.
    grabbed_ = mode == FocusMode::grab || mode == FocusMode::whileGrabbed;
    arrivalOpen_ = false;
    // The grab's own notices move no focus: the window keeps it (or keeps not having it).
    if (!fromOutside || mode == FocusMode::grab || mode == FocusMode::ungrab) return;
    if (in) holder_ = window;
    else if (window == holder_) holder_ = 0;
    if (in) {
        arrivalWindow_ = window;
        arrivalOpen_ = true;
        arrival_ = {mode == FocusMode::whileGrabbed, takeFocusCount_};
    }
    // A WM_TAKE_FOCUS counts for the focus it came with: not once its window lost it, nor for another.
    if (in ? window != takeFocusWindow_ : window == takeFocusWindow_) takeFocusWindow_ = 0;
}

FocusEvents::Arrival FocusEvents::LastArrival(unsigned long window) const {
    return window == arrivalWindow_ ? arrival_ : Arrival{};
}

uint32_t FocusEvents::TakeFocusTime(unsigned long window) const {
    return window != 0 && window == takeFocusWindow_ ? takeFocusTime_ : 0;
}

void SwitchBack::Note(uint32_t window, unsigned long xwindow, FocusEvents::Arrival arrival, uint32_t now) {
    window_ = window;
    xwindow_ = xwindow;
    waits_ = arrival.inSwitch;
    count_ = arrival.takeFocusCount;
    at_ = now;
}

void SwitchBack::Drop(uint32_t window) {
    if (window_ == window) window_ = 0;
}

uint32_t SwitchBack::Take(const FocusEvents& seen, uint32_t now) {
    if (window_ == 0) return 0;
    if (xwindow_ != 0 && !seen.HoldsFocus(xwindow_)) {
        window_ = 0;  // the player went on to another program (or tabbed past the window)
        return 0;
    }
    if (seen.Switching()) {
        at_ = now;  // the wait past its end counts from the last pass that saw it going on
        return 0;
    }
    if (waits_ && seen.TakeFocusCount() == count_ && now - at_ < kSwitchEndMs) return 0;
    return std::exchange(window_, 0);
}

}  // namespace morna::platform
