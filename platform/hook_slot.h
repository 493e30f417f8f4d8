#pragma once
// A replaceable function that tests put in place of a platform facility, readable from any
// thread: the caller takes a copy and calls that, so a replacement never cuts a call short.
#include <mutex>
#include <utility>

namespace morna::platform {

template <class Hook>
class HookSlot {
public:
    // Puts the hook in place (an empty one removes it); answers the one it replaces.
    Hook Set(Hook hook) {
        std::lock_guard<std::mutex> guard(lock_);
        std::swap(hook, hook_);
        return hook;
    }
    Hook Get() const {
        std::lock_guard<std::mutex> guard(lock_);
        return hook_;
    }

private:
    mutable std::mutex lock_;
    Hook hook_;
};

}  // namespace morna::platform
