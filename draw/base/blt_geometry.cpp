#include "draw/base/blt_geometry.h"

#include <algorithm>
#include <cstdint>

#include "draw/base/surface_info.h"

namespace tovarineGameSDK3rd::Draw {

namespace {

// Coordinates are 32-bit, but sums such as x + w and products such as k * sw are not:
// everything is worked in 64 bits and only results that lie inside a surface are narrowed.
struct Rect64 {
    int64_t left, top, right, bottom;
};

// Moves the source edge past the destination pixels that the clip cuts off before the drawn
// rectangle's edge, and answers the error term that the first drawn pixel continues from.
// cut: destination pixels cut off, span: source extent, den: drawn extent (> 0).
// The edge moves when the term reaches 0, not only above it: at exactly 0 the next destination
// pixel already belongs to the next source pixel (an unscaled axis clipped by one, for one).
// The cut may be near 2^33 and the span 2^31, so their product is worked in 128 bits.
int64_t PreSkip(int64_t cut, int64_t span, int64_t den, int64_t& srcEdge) {
    __int128 e = -den;
    if (cut > 0) {
        e += static_cast<__int128>(cut) * span;
        if (e >= 0) {
            const __int128 q = e / den + 1;
            // Past the source's right edge: the caller finds the source rectangle empty.
            srcEdge = q > INT32_MAX ? INT64_MAX / 2 : srcEdge + static_cast<int64_t>(q);
            e -= q * den;
        }
    }
    return static_cast<int64_t>(e);
}

}  // namespace

int CalcBltGeometry(const CSurfaceInfo& dst, const CSurfaceInfo& src, const BltGeometry& geom,
                    BltClipResult& out) {
    // 1. Source rectangle.
    Rect64 s{0, 0, src.width, src.height};
    if (geom.srcRect) {
        s.left = std::max<int64_t>(s.left, geom.srcRect->left);
        s.top = std::max<int64_t>(s.top, geom.srcRect->top);
        s.right = std::min<int64_t>(s.right, geom.srcRect->right);
        s.bottom = std::min<int64_t>(s.bottom, geom.srcRect->bottom);
        if (s.left >= s.right || s.top >= s.bottom) return 1;
    }
    const int64_t sw = s.right - s.left;
    const int64_t sh = s.bottom - s.top;

    // 2-4. Anchor, drawn size and base point.
    int64_t x = geom.dstPoint ? geom.dstPoint->x : 0;
    int64_t y = geom.dstPoint ? geom.dstPoint->y : 0;
    const int64_t w = geom.dstSize ? geom.dstSize->cx : sw;
    const int64_t h = geom.dstSize ? geom.dstSize->cy : sh;
    switch (geom.basePoint) {
        case 1: x -= w >> 1; break;
        case 2: x -= w; break;
        case 3: y -= h >> 1; break;
        case 4: x -= w >> 1; y -= h >> 1; break;
        case 5: x -= w; y -= h >> 1; break;
        case 6: y -= h; break;
        case 7: x -= w >> 1; y -= h; break;
        case 8: x -= w; y -= h; break;
        default: break;
    }

    // 5. Clip rectangle, cut to the destination.
    Rect k = geom.clipRect ? *geom.clipRect : Rect{0, 0, dst.width, dst.height};
    if (k.left < 0) k.left = 0;
    if (k.top < 0) k.top = 0;
    if (k.right > dst.width) k.right = dst.width;
    if (k.bottom > dst.height) k.bottom = dst.height;

    Rect64 d;
    if (sw == w && sh == h) {
        // 7. One to one.
        out.oneToOne = true;
        d = {x, y, x + sw, y + sh};
        if (k.left > x) {
            s.left += k.left - x;
            d.left = k.left;
        }
        if (k.top > y) {
            s.top += k.top - y;
            d.top = k.top;
        }
        if (x + sw - k.right > 0) {
            s.right -= x + sw - k.right;
            d.right = k.right;
        }
        if (y + sh - k.bottom > 0) {
            s.bottom -= y + sh - k.bottom;
            d.bottom = k.bottom;
        }
        if (s.left >= s.right || s.top >= s.bottom) return 1;
    } else {
        // 8. Scaled. A negative size draws nothing (there is no mirroring); testing it here
        // also keeps the divisions below to positive divisors.
        out.oneToOne = false;
        if (w <= 0 || h <= 0) return 1;
        d = {x, y, x + w, y + h};
        const int64_t ex = PreSkip(k.left - d.left, sw, w, s.left);
        if (k.left > d.left) d.left = k.left;
        const int64_t ey = PreSkip(k.top - d.top, sh, h, s.top);
        if (k.top > d.top) d.top = k.top;
        d.right = std::min<int64_t>(d.right, k.right);
        d.bottom = std::min<int64_t>(d.bottom, k.bottom);
        if (s.left >= s.right || s.top >= s.bottom || d.left >= d.right || d.top >= d.bottom) return 1;
        // e lies in [-w, -1] here, and w, h, sw, sh fit 32 bits, so every term does.
        out.stepX = static_cast<int32_t>(sw / w);
        out.remX = static_cast<int32_t>(sw - sw / w * w);
        out.denX = static_cast<int32_t>(w);
        out.errX = static_cast<int32_t>(ex - 1);
        out.stepY = static_cast<int32_t>(sh / h);
        out.remY = static_cast<int32_t>(sh - sh / h * h);
        out.denY = static_cast<int32_t>(h);
        out.errY = static_cast<int32_t>(ey - 1);
    }

    // 9. Everything left is inside the source and the destination: it fits 32 bits.
    out.srcRect = {static_cast<int32_t>(s.left), static_cast<int32_t>(s.top), static_cast<int32_t>(s.right),
                   static_cast<int32_t>(s.bottom)};
    out.dstRect = {static_cast<int32_t>(d.left), static_cast<int32_t>(d.top), static_cast<int32_t>(d.right),
                   static_cast<int32_t>(d.bottom)};
    out.clipRect = k;
    return 0;
}

}  // namespace tovarineGameSDK3rd::Draw
