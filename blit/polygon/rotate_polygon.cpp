#include "blit/polygon/rotate_polygon.h"

#include <algorithm>
#include <limits>

#include "foundation/math/sin_table.h"
#include "foundation/vtl/exception.h"

namespace tovarineGameSDK3rd::Draw {

namespace {

// A 16.16 product to a whole pixel, halves away from zero.
int64_t RoundFixed(int64_t v) { return (v - (v < 0 ? 1 : 0) + 32768) >> 16; }

int32_t ToInt32(int64_t v) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    const int64_t p = int64_t{a} * b;
    const int64_t ap = p < 0 ? -p : p, ac = c < 0 ? -int64_t{c} : c;
    const int64_t q = (ap + ac / 2) / ac;
    const int64_t r = (p < 0) != (c < 0) ? -q : q;
    if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max()) return -1;
    return static_cast<int32_t>(r);
}

int MakeRotatePolygon(PolyBltGeometry* geometry, const CSurfaceInfo* source, int32_t x, int32_t y, int32_t angle,
                      int32_t zoom, int32_t anchor, const Rect* srcRect, const Rect* clipRect, Rect* rectBuffer,
                      Point* srcPoints, Point* dstPoints) {
    if (!source || !geometry || !srcPoints || !dstPoints || (!srcRect && !rectBuffer)) return -1;
    const Rect* r = srcRect;
    if (!r) {
        SetRect(rectBuffer, 0, 0, source->width, source->height);
        r = rectBuffer;
    }
    // A rectangle whose width, height or last row/column falls outside 32 bits is no picture's.
    const int64_t w64 = int64_t{r->right} - r->left, h64 = int64_t{r->bottom} - r->top;
    if (w64 != static_cast<int32_t>(w64) || h64 != static_cast<int32_t>(h64) ||
        r->right == std::numeric_limits<int32_t>::min() || r->bottom == std::numeric_limits<int32_t>::min())
        return -1;
    const int32_t w = static_cast<int32_t>(w64), h = static_cast<int32_t>(h64);
    const int32_t zw = zoom ? MulDiv(w, zoom, 65536) : 0, zh = zoom ? MulDiv(h, zoom, 65536) : 0;
    if (zw == 0 || zh == 0) {
        // A geometry without points, so that a caller that draws it all the same draws nothing.
        *geometry = PolyBltGeometry{srcPoints, dstPoints, clipRect, 0, 0};
        return 0;
    }
    if (static_cast<uint32_t>(anchor) > 4) throw VTL::CRuntimeException("回転中心の指定が範囲外");

    const int64_t px = x + int64_t{anchor == 1 || anchor == 3 ? zw : anchor == 4 ? zw >> 1 : 0};
    const int64_t py = y + int64_t{anchor == 2 || anchor == 3 ? zh : anchor == 4 ? zh >> 1 : 0};
    srcPoints[0] = {r->left, r->top};
    srcPoints[1] = {r->right - 1, r->top};
    srcPoints[2] = {r->right - 1, r->bottom - 1};
    srcPoints[3] = {r->left, r->bottom - 1};

    const uint32_t turn = 2u * static_cast<uint32_t>(angle);
    const int64_t cosA = Math::SinTable.cosine[turn & 0x1FF], sinA = Math::SinTable.cosine[(turn - 128) & 0x1FF];
    const int64_t cx[4] = {x, int64_t{x} + zw, int64_t{x} + zw, x};
    const int64_t cy[4] = {y, y, int64_t{y} + zh, int64_t{y} + zh};
    for (int k = 0; k < 4; ++k) {
        const int64_t dx = cx[k] - px, dy = cy[k] - py;
        dstPoints[k] = {ToInt32(RoundFixed(dx * cosA - dy * sinA) + px), ToInt32(RoundFixed(dy * cosA + dx * sinA) + py)};
    }
    *geometry = PolyBltGeometry{srcPoints, dstPoints, clipRect, 0, 4};
    return 0;
}

}  // namespace tovarineGameSDK3rd::Draw
