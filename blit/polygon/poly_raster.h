#pragma once
// The rasterizer that every polygon worker is an instance of, over a source format, a
// destination format and a pixel operation Op (constructed from the worker's parameter,
// applied as op(source pixel, destination pixel)).
//
// It walks the destination polygon row by row from its top vertex (least y, then least x)
// down to its bottom vertex (greatest y, then greatest x), a left and a right chain of edges
// in 14.18 fixed point with the source points walked in step, and samples the nearest source
// pixel for each destination pixel: a coordinate c enters as c + 1/2 pixel, both ends of
// every span and the top and bottom rows are drawn. Edge steps are the edge's distance over
// its height (source distances over height + span flag); span steps are the whole-pixel
// source distance over its width (+ flag). A span cut by the clip's left edge starts
// (clip.left - xL) >> 18 steps in, which is one sample short of the unclipped picture where
// xL's fraction is above one half. Spans go four pixels at a time; runs of neighbouring
// samples along one source row are handed to the operation's Row where it has one (and
// scattered samples too, gathered, where it asks for them).
//
// Input outside what the walk can draw is refused rather than read out of bounds: fewer
// than two points, all points on one row, or a chain that climbs (a concave or self-crossing
// outline) draw nothing; zero-height edges are dropped. The state is 64-bit, so coordinates
// far outside any surface neither wrap nor overflow; the clip is cut to the destination; and
// when the source points leave the source surface every sample is clamped into it.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "blit/polygon/poly_blt.h"
#include "draw/base/blt_loop.h"
#include "draw/base/pixel_format.h"

namespace tovarineGameSDK3rd::Draw::polygon {

inline constexpr int kFrac = 18;
inline constexpr int64_t kOne = int64_t{1} << kFrac;
inline constexpr int64_t kHalf = kOne / 2;
inline constexpr int64_t kWhole = ~(kOne - 1);  // clears the fraction

// One side of the polygon: the edges from the top vertex to the bottom one, walked in one
// direction, with the destination x and the source u, v of the current row.
class Chain {
public:
    Chain(const Point* d, const Point* s, int n, int top, int bottom, int dir, int64_t f)
        : d_(d), s_(s), n_(n), dir_(dir), f_(f), last_(Unflat(bottom)), first_(SkipFlat(top)) {}

    // Whether every edge descends or is flat, as a convex outline's do.
    bool Descends() const {
        for (int i = first_; i != last_; i = Next(i))
            if (d_[Next(i)].y < d_[i].y) return false;
        return true;
    }
    // The state of row y (top.y <= y <= bottom.y): the edge that holds it, stepped to it.
    void Seek(int64_t y) {
        int a = first_;
        while (Next(a) != last_ && d_[Next(a)].y <= y) a = SkipFlat(Next(a));
        Begin(a);
        const int64_t k = y - d_[a].y;
        x += k * dx_, u += k * du_, v += k * dv_;
    }
    // From row y - 1 to row y: the next edge starts where the current one ends.
    void Step(int64_t y) {
        const int b = Next(a_);
        if (b != last_ && d_[b].y == y) {
            Begin(SkipFlat(b));
        } else {
            x += dx_, u += du_, v += dv_;
        }
    }

    int64_t x = 0, u = 0, v = 0;

private:
    int Next(int i) const { return dir_ > 0 ? (i + 1 == n_ ? 0 : i + 1) : (i == 0 ? n_ - 1 : i - 1); }
    int Prev(int i) const { return dir_ < 0 ? (i + 1 == n_ ? 0 : i + 1) : (i == 0 ? n_ - 1 : i - 1); }
    // Flat edges are dropped: a chain starts after those at the top and ends before those at
    // the bottom, and skips any between.
    int SkipFlat(int i) const {
        while (i != last_ && d_[Next(i)].y == d_[i].y) i = Next(i);
        return i;
    }
    int Unflat(int i) const {
        while (d_[Prev(i)].y == d_[i].y) i = Prev(i);
        return i;
    }
    void Begin(int a) {
        a_ = a;
        const int b = Next(a);
        const int64_t h = int64_t{d_[b].y} - d_[a].y;
        x = d_[a].x * kOne + kHalf, u = s_[a].x * kOne + kHalf, v = s_[a].y * kOne + kHalf;
        dx_ = (int64_t{d_[b].x} - d_[a].x) * kOne / h;
        du_ = (int64_t{s_[b].x} - s_[a].x) * kOne / (h + f_);
        dv_ = (int64_t{s_[b].y} - s_[a].y) * kOne / (h + f_);
    }

    const Point* d_;
    const Point* s_;
    int n_, dir_;
    int64_t f_;
    int last_, first_;
    int a_ = 0;  // the current edge runs from vertex a_ to Next(a_)
    int64_t dx_ = 0, du_ = 0, dv_ = 0;
};

// n pixels of a span that steps one source pixel along a source row per destination pixel:
// the operation's Row where it has one (a same-format copy moves bytes), else pixel by pixel.
template <class S, class D, class Op>
void RunSpan(const Op& op, const uint8_t* s, uint8_t* d, int64_t n) {
    if constexpr (BltRowOp<Op>) {
        if (!BltRowsOverlap(s, n * S::kBytes, d, n * D::kBytes)) return op.Row(s, d, static_cast<int>(n));
    }
    for (; n > 0; --n, s += S::kBytes, d += D::kBytes) op(s, d);
}

// Whether an operation's Row is worth gathering a span's samples into a run for (a vector row
// far cheaper than its pixels one by one).
template <class Op>
constexpr bool kGathers = [] {
    if constexpr (requires { Op::kGathers; }) {
        return Op::kGathers;
    } else {
        return false;
    }
}();

// n pixels of a span: pixel k samples the source at (au + k su, av + k sv) from s (OneRow: av
// is already in s). Where the surfaces share no bytes (apart) and the operation has a Row, runs
// of kRun samples go to it: straight from the source where they are neighbours along one row,
// else gathered first when the operation asks for it. Other pixels go four at a time.
template <class S, class D, bool OneRow, class Op>
void Span(const Op& op, const uint8_t* s, intptr_t pitch, uint8_t* d, int64_t n, int64_t au, int64_t av, int64_t su,
          int64_t sv, bool apart) {
    auto at = [&](int64_t k) {
        const uint8_t* p = s + ((au + k * su) >> kFrac) * S::kBytes;
        return OneRow ? p : p + ((av + k * sv) >> kFrac) * pitch;
    };
    auto pixels = [&](int64_t m) {
        for (; m >= 4; m -= 4, n -= 4, d += 4 * D::kBytes, au += 4 * su, av += 4 * sv) {
            op(at(0), d), op(at(1), d + D::kBytes), op(at(2), d + 2 * D::kBytes), op(at(3), d + 3 * D::kBytes);
        }
        for (; m > 0; --m, --n, d += D::kBytes, au += su, av += sv) op(at(0), d);
    };
    if constexpr (BltRowOp<Op>) {
        constexpr int64_t kRun = 32;
        // Steps of 0 or 1 pixel that advance m - 1 pixels in m samples are all 1.
        const bool mayRun = OneRow && su >= 0 && su <= kOne;
        if (mayRun && su >= kOne - kOne / kRun) {
            // A zoom just above 1: neighbours come in long runs between repeated samples. The
            // fraction falls by e a pixel, and a run lasts while it stays at e or above.
            const int64_t e = kOne - su;
            while (apart && n > 0) {
                const int64_t m = e == 0 ? n : std::min(n, (au & (kOne - 1)) / e + 1);
                op.Row(at(0), d, static_cast<int>(m));
                n -= m, d += m * D::kBytes, au += m * su;
            }
        }
        while (apart && n > 0) {
            const int64_t m = std::min(n, kRun);
            if (mayRun && ((au + (m - 1) * su) >> kFrac) - (au >> kFrac) == m - 1) {
                op.Row(at(0), d, static_cast<int>(m));
            } else if constexpr (kGathers<Op>) {
                alignas(16) uint8_t run[kRun * S::kBytes];
                for (int64_t k = 0; k < m; ++k) std::memcpy(run + k * S::kBytes, at(k), S::kBytes);
                op.Row(run, d, static_cast<int>(m));
            } else {
                pixels(m);
                continue;
            }
            n -= m, d += m * D::kBytes, au += m * su, av += m * sv;
        }
    }
    pixels(n);
}

template <class S, class D, class Op, bool Clamp>
void DrawRows(const CSurfaceInfo& src, const CSurfaceInfo& dst, const Op& op, Chain& left, Chain& right,
              const Rect& clip, int64_t yFirst, int64_t yLast, int64_t f) {
    const bool apart = src.pitch > 0 && dst.pitch > 0 &&
                       !BltRowsOverlap(src.pixels, static_cast<size_t>(src.height) * src.pitch, dst.pixels,
                                       static_cast<size_t>(dst.height) * dst.pitch);
    const int64_t cL = clip.left * kOne + kHalf, cR = clip.right * kOne - kHalf;
    const intptr_t sPitch = src.pitch;
    const int64_t sMaxX = src.width - 1, sMaxY = src.height - 1;
    uint8_t* row = dst.pixels + yFirst * dst.pitch;
    for (int64_t y = yFirst; y <= yLast; ++y, row += dst.pitch) {
        if (y == yFirst) {
            left.Seek(y), right.Seek(y);
        } else {
            left.Step(y), right.Step(y);
        }
        const int64_t xL = left.x, xR = right.x;
        int64_t first = xL >> kFrac, last = xR >> kFrac;
        const int64_t w = last - first;
        int64_t su = 0, sv = 0;
        if (w != 0 && w + f != 0) {
            su = ((right.u & kWhole) - (left.u & kWhole)) / (w + f);
            sv = ((right.v & kWhole) - (left.v & kWhole)) / (w + f);
        }
        if (cR < xL || xR < cL) continue;
        int64_t au = kHalf, av = kHalf;
        if (cL > xL) {
            const int64_t k = (cL - xL) >> kFrac;
            first = clip.left, au += k * su, av += k * sv;
        }
        if (xR > cR) last = clip.right - 1;
        const int64_t u0 = left.u >> kFrac, v0 = left.v >> kFrac;
        const uint8_t* sRow = src.pixels + v0 * sPitch + u0 * S::kBytes;
        uint8_t* d = row + first * D::kBytes;
        const int64_t n = last - first + 1;
        if constexpr (Clamp) {
            for (int64_t i = 0; i < n; ++i, d += D::kBytes, au += su, av += sv) {
                const int64_t sx = std::clamp(u0 + (au >> kFrac), int64_t{0}, sMaxX);
                const int64_t sy = std::clamp(v0 + (av >> kFrac), int64_t{0}, sMaxY);
                op(src.pixels + sy * sPitch + sx * S::kBytes, d);
            }
        } else if (sv != 0) {
            Span<S, D, false>(op, sRow, sPitch, d, n, au, av, su, sv, apart);
        } else if (su != kOne) {  // along one source row
            Span<S, D, true>(op, sRow + (av >> kFrac) * sPitch, sPitch, d, n, au, av, su, sv, apart);
        } else if (n > 0) {  // along one source row, pixel for pixel
            RunSpan<S, D>(op, sRow + (av >> kFrac) * sPitch + (au >> kFrac) * S::kBytes, d, n);
        }
    }
}

// The worker of formats S onto D with the pixel operation Op.
template <class S, class D, class Op>
int PolyRaster(const CSurfaceInfo* src, const CSurfaceInfo* dst, uint32_t param, const PolyBltGeometry* g) {
    if (!src || !dst || !g || !g->srcPoints || !g->dstPoints) return -1;
    const int n = g->count;
    const Point* dp = g->dstPoints;
    const Point* sp = g->srcPoints;
    if (n < 2) return 0;

    Rect clip = g->clipRect ? *g->clipRect : Rect{0, 0, dst->width, dst->height};
    clip.left = std::max(clip.left, 0), clip.top = std::max(clip.top, 0);
    clip.right = std::min(clip.right, dst->width), clip.bottom = std::min(clip.bottom, dst->height);
    if (clip.left >= clip.right || clip.top >= clip.bottom) return 0;

    int top = 0, bottom = 0;
    int32_t sx0 = sp[0].x, sx1 = sp[0].x, sy0 = sp[0].y, sy1 = sp[0].y;
    for (int i = 1; i < n; ++i) {
        const Point p = dp[i];
        if (p.y < dp[top].y || (p.y == dp[top].y && p.x < dp[top].x)) {
            top = i;
        } else if (p.y > dp[bottom].y || (p.y == dp[bottom].y && p.x > dp[bottom].x)) {
            bottom = i;
        }
        sx0 = std::min(sx0, sp[i].x), sx1 = std::max(sx1, sp[i].x);
        sy0 = std::min(sy0, sp[i].y), sy1 = std::max(sy1, sp[i].y);
    }
    if (dp[top].y == dp[bottom].y) return 0;
    const int64_t yFirst = std::max<int64_t>(dp[top].y, clip.top);
    const int64_t yLast = std::min<int64_t>(dp[bottom].y, clip.bottom - 1);
    if (yFirst > yLast) return 0;

    // Orientation at the top vertex: which way round is the right side.
    const Point t = dp[top], p = dp[top == 0 ? n - 1 : top - 1], q = dp[top + 1 == n ? 0 : top + 1];
    const __int128 cross = static_cast<__int128>(int64_t{q.y} - t.y) * (int64_t{p.x} - t.x) -
                           static_cast<__int128>(int64_t{p.y} - t.y) * (int64_t{q.x} - t.x);
    const int rightDir = cross <= 0 ? 1 : -1;
    const int64_t f = g->spanFlag ? 1 : 0;
    Chain left(dp, sp, n, top, bottom, -rightDir, f), right(dp, sp, n, top, bottom, rightDir, f);
    if (!left.Descends() || !right.Descends()) return 0;

    const Op op(param);
    if (sx0 >= 0 && sy0 >= 0 && sx1 < src->width && sy1 < src->height) {
        DrawRows<S, D, Op, false>(*src, *dst, op, left, right, clip, yFirst, yLast, f);
    } else if (src->width > 0 && src->height > 0) {
        DrawRows<S, D, Op, true>(*src, *dst, op, left, right, clip, yFirst, yLast, f);
    }
    return 0;
}

}  // namespace tovarineGameSDK3rd::Draw::polygon
