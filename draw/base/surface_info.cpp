#include "draw/base/surface_info.h"

#include "foundation/vtl/exception.h"

namespace tovarineGameSDK3rd::Draw {

CSurfaceInfo::CSurfaceInfo() : locker_(new INullSurfaceLocker) {}

CSurfaceInfo::~CSurfaceInfo() = default;

int CSurfaceInfo::Lock() {
    if (!initialised) return -1;
    if (locked) throw VTL::CRuntimeException("２重Lock(CSurfaceInfo::Lock)");
    locked = true;
    const int r = locker_->Lock();
    if (r != 0) locked = false;
    return r;
}

int CSurfaceInfo::Unlock() {
    if (!initialised) return -1;
    if (!locked) throw VTL::CRuntimeException("２重UnlockCSurfaceInfo::Unlock");
    locked = false;
    return locker_->Unlock();
}

int CSurfaceInfo::GetPixel(int x, int y, uint32_t* colour) {
    if (Lock() != 0) return 1;
    int r = -2;
    if (x < 0 || y < 0 || x >= width || y >= height) {
        r = -1;
    } else {
        VisitPixelFormat(type, [&](auto f) {
            using F = decltype(f);
            if constexpr (F::kType == Palette8) {
                *colour = 0;  // an index has no colour here
            } else {
                const uint8_t* p = pixels + static_cast<intptr_t>(y) * pitch + static_cast<intptr_t>(x) * F::kBytes;
                const uint32_t c = ToColor<F>(F::Load(p));
                *colour = F::kHasAlpha ? c : c & 0x00FFFFFFu;
            }
            r = 0;
        });
        if (r == -2) *colour = 0;
    }
    Unlock();
    return r;
}

Rect CSurfaceInfo::ClipRect(Rect* out, const Rect* rect) const {
    Rect r = rect ? *rect : Rect{0, 0, width, height};
    if (r.left < 0) r.left = 0;
    if (r.right > width) r.right = width;
    if (r.top < 0) r.top = 0;
    if (r.bottom > height) r.bottom = height;
    if (out) *out = r;
    return r;
}

}  // namespace tovarineGameSDK3rd::Draw
