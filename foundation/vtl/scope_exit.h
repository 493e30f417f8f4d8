#pragma once
// Runs a function when the block is left, by return or by exception: the closing half of a
// bracket (a flag set, a lock left, a change opened) that must happen on every path.
#include <utility>

namespace tovarineGameSDK3rd::VTL {

template <class F>
class scope_exit {
public:
    explicit scope_exit(F f) : m_f(std::move(f)) {}
    scope_exit(const scope_exit&) = delete;
    scope_exit& operator=(const scope_exit&) = delete;
    ~scope_exit() {
        if (m_armed) m_f();
    }
    // The block closed the bracket itself: nothing runs at its end.
    void release() { m_armed = false; }

private:
    F m_f;
    bool m_armed = true;
};

}  // namespace tovarineGameSDK3rd::VTL
