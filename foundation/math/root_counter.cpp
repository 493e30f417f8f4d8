#include "foundation/math/root_counter.h"

#include <algorithm>

namespace tovarineGameSDK3rd::Math {

void CRootCounter::Serialize(Auxiliary::ISerialize& ar) {
    int32_t f[5] = {current_, start_, end_, step_, subCount_};
    for (int32_t& x : f) ar << x;
    if (ar.IsStoring() || ar.IsFailed()) return;
    current_ = f[0];
    start_ = f[1];
    end_ = f[2];
    step_ = f[3];
    subCount_ = f[4];
}

void CRootCounter::Step(bool towardEnd) {
    // 64-bit throughout: current + step and -step leave the 32-bit range at the
    // bounds (the default end is 0x7FFFFFFF), and the wrap must still see it.
    const int64_t lo = std::min(start_, end_);
    const int64_t hi = std::max(start_, end_);
    const int64_t step = step_;
    int64_t cur = current_;
    const bool down = (start_ > end_) == towardEnd;
    if (!down) {
        if (step >= 1) {
            cur += step;
        } else {
            const int64_t sub = int64_t{subCount_} + 1;
            if (sub >= -step) {
                cur += 1;
                subCount_ = 0;
            } else {
                subCount_ = static_cast<int32_t>(sub);
            }
        }
        if (cur > hi) cur = lo;
    } else {
        if (step >= 1) {
            cur -= step;
        } else {
            const int64_t sub = int64_t{subCount_} - 1;
            if (sub <= step) {
                cur -= 1;
                subCount_ = 0;
            } else {
                subCount_ = static_cast<int32_t>(sub);
            }
        }
        if (cur < lo) cur = hi;
    }
    // Past hi wraps to lo and below lo to hi, so cur is back in 32-bit range.
    current_ = static_cast<int32_t>(cur);
}

}  // namespace tovarineGameSDK3rd::Math
