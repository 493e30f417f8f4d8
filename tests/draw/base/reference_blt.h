#pragma once
// A plain reference of the blit geometry, written from the nearest-pixel rule rather than the
// error terms, and random placements that exercise every clipping and scaling edge.
#include <algorithm>
#include <cstdint>
#include <random>

#include <gtest/gtest.h>

#include "draw/base/surface_info.h"

namespace morna::test {

using tovarineGameSDK3rd::Draw::BltGeometry;
using tovarineGameSDK3rd::Draw::CSurfaceInfo;
using tovarineGameSDK3rd::Draw::Point;
using tovarineGameSDK3rd::Draw::Rect;
using tovarineGameSDK3rd::Draw::Size;

inline int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Source offset of drawn pixel j of n when `span` source pixels are drawn n wide; written from
// the nearest-pixel rule, independent of the error terms.
inline int64_t SourceOffset(int64_t j, int64_t span, int64_t n) {
    return j * (span / n) + std::max<int64_t>(0, FloorDiv((j + 1) * (span % n) - 1, n));
}

// Plain reference of a blit: every destination pixel inside the drawn rectangle, the clip and
// the destination gets fn(source pixel, destination pixel).
// sbpp, dbpp: bytes per pixel of the source and the destination.
template <class Fn>
void ReferenceBlt(const CSurfaceInfo& src, CSurfaceInfo& dst, const BltGeometry& g, int sbpp, int dbpp, Fn fn) {
    int64_t sl = 0, st = 0, sr = src.width, sb = src.height;
    if (g.srcRect) {
        sl = std::max<int64_t>(sl, g.srcRect->left);
        st = std::max<int64_t>(st, g.srcRect->top);
        sr = std::min<int64_t>(sr, g.srcRect->right);
        sb = std::min<int64_t>(sb, g.srcRect->bottom);
    }
    const int64_t sw = sr - sl, sh = sb - st;
    if (sw <= 0 || sh <= 0) return;
    int64_t x = g.dstPoint ? g.dstPoint->x : 0, y = g.dstPoint ? g.dstPoint->y : 0;
    const int64_t w = g.dstSize ? g.dstSize->cx : sw, h = g.dstSize ? g.dstSize->cy : sh;
    if (w <= 0 || h <= 0) return;
    const int b = g.basePoint >= 0 && g.basePoint <= 8 ? g.basePoint : 0;
    x -= (b % 3 == 1) ? (w >> 1) : (b % 3 == 2) ? w : 0;
    y -= (b / 3 == 1) ? (h >> 1) : (b / 3 == 2) ? h : 0;
    Rect k = g.clipRect ? *g.clipRect : Rect{0, 0, dst.width, dst.height};
    const int64_t x0 = std::max<int64_t>({x, k.left, 0}), x1 = std::min<int64_t>({x + w, k.right, dst.width});
    const int64_t y0 = std::max<int64_t>({y, k.top, 0}), y1 = std::min<int64_t>({y + h, k.bottom, dst.height});
    for (int64_t Y = y0; Y < y1; ++Y) {
        const int64_t sy = st + SourceOffset(Y - y, sh, h);
        for (int64_t X = x0; X < x1; ++X) {
            const int64_t sx = sl + SourceOffset(X - x, sw, w);
            ASSERT_TRUE(sx >= sl && sx < sr && sy >= st && sy < sb);
            fn(src.pixels + sy * src.pitch + sx * sbpp, dst.pixels + Y * dst.pitch + X * dbpp);
        }
    }
}

// Random placement: points around and beyond the destination, sizes equal, larger, smaller,
// zero or negative, source and clip rectangles partly outside, every base-point code.
struct RandomBlt {
    Point p;
    Size z;
    Rect sr, clip;
    BltGeometry g;

    RandomBlt(std::mt19937& rng, int sw, int sh, int dw, int dh) {
        auto r = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        p = {r(-dw, dw + 5), r(-dh, dh + 5)};
        sr = {r(-3, sw), r(-3, sh), r(0, sw + 3), r(0, sh + 3)};
        const bool useSrc = r(0, 2) == 0;
        const int cw = useSrc ? std::min(sr.right, sw) - std::max(sr.left, 0) : sw;
        const int ch = useSrc ? std::min(sr.bottom, sh) - std::max(sr.top, 0) : sh;
        switch (r(0, 4)) {
            case 0: z = {cw, ch}; break;                         // given but unscaled
            case 1: z = {r(1, 3 * dw), r(1, 3 * dh)}; break;     // any stretch
            case 2: z = {cw * 2, ch}; break;                     // one axis doubled
            case 3: z = {r(-2, 2), r(-2, 2)}; break;             // degenerate
            default: z = {cw, r(1, 2 * dh)}; break;              // one axis unscaled
        }
        clip = {r(-5, dw), r(-5, dh), r(0, dw + 5), r(0, dh + 5)};
        g = BltGeometry{r(0, 5) ? &p : nullptr, r(0, 2) ? &z : nullptr, useSrc ? &sr : nullptr,
                        r(0, 1) ? &clip : nullptr, r(-1, 9)};
    }
};

}  // namespace morna::test
