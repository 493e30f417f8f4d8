#include "draw/base/surface_info.h"

#include "foundation/vtl/exception.h"
#include "foundation/vtl/text_output_stream.h"
#include "platform/surface_desc.h"

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

int32_t CDirectDrawSurfaceManager::GetSurfaceType(morna::platform::ISurfaceDescSource* surface) {
    if (!surface) return -1;
    morna::platform::SurfaceDesc d;
    if (!surface->GetSurfaceDesc(d)) {
        GetErrorLog().Out("CDirectDrawSurfaceManager::GetSurfaceTypeでGetSurfaceDescに失敗");
        return 0;
    }
    const bool rgb = d.redMask == 0xFF0000 && d.greenMask == 0x00FF00 && d.blueMask == 0x0000FF;
    const bool bgr = d.redMask == 0x0000FF && d.greenMask == 0x00FF00 && d.blueMask == 0xFF0000;
    switch (d.bitCount) {
        case 8:
            return Palette8;
        case 16:
            if (d.redMask == 0xF800 && d.greenMask == 0x07E0 && d.blueMask == 0x001F) return RGB565;
            if (d.redMask == 0x7C00 && d.greenMask == 0x03E0 && d.blueMask == 0x001F) return RGB555;
            GetErrorLog().Out("CDirectDrawSurfaceManager::16bppの不明ピクセルフォーマット検出");
            break;
        case 24:
            if (rgb) return RGB888;
            if (bgr) return BGR888;
            GetErrorLog().Out("CDirectDrawSurfaceManager::24bppの不明ピクセルフォーマット検出");
            break;
        case 32:
            if (rgb) return XRGB8888;
            if (bgr) return XBGR8888;
            GetErrorLog().Out("CDirectDrawSurfaceManager::32bppの不明ピクセルフォーマット検出");
            break;
        default:
            GetErrorLog().Out("CDirectDrawSurfaceManager::bpp不明のピクセルフォーマット検出");
            GetErrorLog().Out("nBpp=%d BMask=0x%x BMask=0x%x BMask=0x%x", static_cast<int>(d.bitCount),
                              d.redMask, d.greenMask, d.blueMask);
            return 1;
    }
    GetErrorLog().Out("BMask=0x%x BMask=0x%x BMask=0x%x", d.redMask, d.greenMask, d.blueMask);
    return 1;
}

}  // namespace tovarineGameSDK3rd::Draw
