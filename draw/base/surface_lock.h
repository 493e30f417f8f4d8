#pragma once
// Scoped lock of a surface description: locks on construction, unlocks on destruction when the
// lock was granted, so that an operation that throws leaves its surfaces unlocked.
#include "draw/base/surface_info.h"

namespace tovarineGameSDK3rd::Draw {

class CSurfaceLock {
public:
    // Throws what CSurfaceInfo::Lock throws (the double-lock exception).
    explicit CSurfaceLock(CSurfaceInfo& s) : s_(s), granted_(s.Lock() == 0) {}
    ~CSurfaceLock() {
        if (granted_ && s_.locked) s_.Unlock();
    }
    CSurfaceLock(const CSurfaceLock&) = delete;
    CSurfaceLock& operator=(const CSurfaceLock&) = delete;

    explicit operator bool() const { return granted_; }

private:
    CSurfaceInfo& s_;
    bool granted_;
};

}  // namespace tovarineGameSDK3rd::Draw
