// The vector rows of the blend operators over one vector width. blend_rows.h includes this file
// once per width, inside a namespace of its own that first names V, the width's operations
// (16-bit lanes, pixels in address order; unpack and pack work within 16-byte halves, which
// keeps the order). No include guard: each inclusion makes that namespace's kernels.
//
// All the arithmetic is the tables' exactly:
//   floor(x * w / 255) for lanes x, w in 0..255 is ((x * w + 1) * 257) >> 16;
//   for one weight w below 255 it is (x * m) >> 16, m = ceil(w * 65536 / 255), which overshoots
//   w / 255 by less than 1/65536 per unit of x and so never reaches the next integer;
//   a level l 0..14 of a 16-bit pixel's field c << p (c < 64) is ((c << p) * m) >> 16 with
//   m = ceil(l * 65536 / 15), masked to the field: the error stays below one unit of bit 0.

using T = V::T;

inline T MulDiv255(T x, T w) { return V::Mulhi16(V::Add16(V::Mullo16(x, w), V::Set16(1)), V::Set16(257)); }
inline T Select(T keep, T old, T blended) { return V::Or(V::And(keep, old), V::AndNot(keep, blended)); }

// The weight of a term: one per 16-bit lane, or one for the whole blit. A blit-wide weight
// below 255 leaves the fourth byte of each pixel 0.
struct LaneWeight {
    T w;
    T operator()(T x) const { return MulDiv255(x, w); }
};
struct ConstWeight {
    T m;
    explicit ConstWeight(uint32_t w) {
        const auto k = static_cast<int16_t>((w * 65536 + 254) / 255);
        m = V::PixelLanes(k, k, k, 0);
    }
    T operator()(T x) const { return V::Mulhi16(x, m); }
};
struct FullWeight {
    T operator()(T x) const { return x; }
};

template <class Fn>
void WithConstWeight(uint32_t w, Fn&& fn) {
    if (w == 255) {
        fn(FullWeight{});
    } else {
        fn(ConstWeight(w));
    }
}

// Bytes 0 and 2 of every pixel exchanged: red and blue between the two byte orders.
inline T SwapRedBlue(T v) {
    const T rb = V::And(v, V::Set32(0x00FF00FF));
    return V::Or(V::And(v, V::Set32(0xFF00FF00)), V::template Shuffle16<0xB1>(rb));
}

// Pixels widened to 16-bit lanes: the fourth (alpha) lane of each in all its lanes.
inline T AlphaLanes(T x) { return V::template Shuffle16<0xFF>(x); }

// 4-byte pixels. sourceWeight(sx) gives the source's weight of the source pixels widened to
// 16-bit lanes, destWeight(dx, ws) the destination's; both are taken by value, since the stores
// through d could alias anything the loop reads through a reference. Answers the pixels done.
template <class Op, class SourceWeight, class DestWeight>
int Row4(const Op& op, const uint8_t* s, uint8_t* d, int n, SourceWeight sourceWeight, DestWeight destWeight) {
    using S = typename Op::Src;
    using D = typename Op::Dst;
    constexpr BlendKind K = Op::kKind;
    constexpr int kStep = V::kBytes / 4;
    using WS = decltype(sourceWeight(T{}));
    constexpr bool kFourthIsZero =
        std::is_same_v<WS, ConstWeight> && std::is_same_v<decltype(destWeight(T{}, WS{sourceWeight(T{})})), ConstWeight>;
    const T low8 = V::Set16(0x00FF), colour = V::Set32(0x00FFFFFF), zero = V::Zero();
    const T keyMask = V::Set32(Op::kKeyMask), key = V::Set32(op.key);
    auto half = [=](T sx, T dx) {
        const auto ws = sourceWeight(sx);
        T sum = V::Add16(ws(sx), destWeight(dx, ws)(dx));
        if constexpr (K.twoRates) sum = V::And(sum, low8);  // sums wrap at 256
        return sum;
    };
    int i = 0;
    for (; i + kStep <= n; i += kStep) {
        T sv = V::Load(s + 4 * i);
        const T dv = V::Load(d + 4 * i);
        T keep = zero;
        if constexpr (K.keyed) keep = V::CmpEq32(V::And(sv, keyMask), key);
        if constexpr (S::kR.shift != D::kR.shift) sv = SwapRedBlue(sv);
        if constexpr (Op::kEqualSkip) keep = V::Or(keep, V::CmpEq32(V::And(V::Xor(sv, dv), colour), zero));
        T out = V::PackUs16(half(V::UnpackLo8(sv, zero), V::UnpackLo8(dv, zero)),
                            half(V::UnpackHi8(sv, zero), V::UnpackHi8(dv, zero)));
        if constexpr (kAlpha8<D>) {
            out = V::Or(out, V::Set32(0xFF000000));
        } else if constexpr (!kFourthIsZero) {
            out = V::And(out, colour);
        }
        if constexpr (K.keyed || Op::kEqualSkip) out = Select(keep, dv, out);
        V::Store(d + 4 * i, out);
    }
    return i;
}

template <class Op>
int Row4(const Op& op, const uint8_t* s, uint8_t* d, int n) {
    using S = typename Op::Src;
    using D = typename Op::Dst;
    constexpr BlendKind K = Op::kKind;
    // Per-pixel weights: a rate times the pixel's alpha (op 10: the source's alpha).
    auto sourceLanes = [r = V::Set16(op.rate1)](T sx) {
        const T a = AlphaLanes(sx);
        return LaneWeight{K.alphaOnly ? a : MulDiv255(a, r)};
    };
    auto destLanes = [r = V::Set16(op.rate2)](T dx, auto) { return LaneWeight{MulDiv255(AlphaLanes(dx), r)}; };
    auto constant = [](auto w) { return [w](auto...) { return w; }; };
    int done = 0;
    if constexpr (kAlpha8<S> && !K.twoRates) {
        done = Row4(op, s, d, n, sourceLanes, [](T, LaneWeight ws) { return LaneWeight{V::Xor(ws.w, V::Set16(0xFF))}; });
    } else if constexpr (kAlpha8<S> && kAlpha8<D>) {
        done = Row4(op, s, d, n, sourceLanes, destLanes);
    } else if constexpr (kAlpha8<S>) {
        WithConstWeight(op.rate2, [&](auto wd) { done = Row4(op, s, d, n, sourceLanes, constant(wd)); });
    } else if constexpr (K.twoRates && kAlpha8<D>) {
        WithConstWeight(op.rate1, [&](auto ws) { done = Row4(op, s, d, n, constant(ws), destLanes); });
    } else {
        WithConstWeight(op.rate1, [&](auto ws) {
            WithConstWeight(K.twoRates ? op.rate2 : 255 - op.rate1,
                            [&](auto wd) { done = Row4(op, s, d, n, constant(ws), constant(wd)); });
        });
    }
    return done;
}

// Levels 0..15 per lane as multipliers, and the all-ones mask of level 15, which has none.
struct Levels {
    T m, full;
    explicit Levels(T l) {
        full = V::CmpEq16(l, V::Set16(15));
        const T nonZero = V::AndNot(V::CmpEq16(l, V::Zero()), V::Set16(1));
        m = V::AndNot(full, V::Add16(V::Mullo16(l, V::Set16(4369)), nonZero));
    }
};

// BltLevelTable565/555[l][p] of the 16-bit pixels p of format F at the levels l.
template <class F>
T LevelWord(T p, const Levels& l) {
    const T r = V::Set16(F::Mask(F::kR)), g = V::Set16(F::Mask(F::kG)), b = V::Set16(F::Mask(F::kB));
    const T rs = V::And(V::Mulhi16(V::And(p, r), l.m), r);
    const T gs = V::And(V::Mulhi16(V::And(p, g), l.m), g);
    const T bs = V::Mulhi16(V::And(p, b), l.m);
    const T whole = V::And(p, V::And(l.full, V::Set16(F::kColorMask)));
    return V::Or(V::Or(rs, gs), V::Or(bs, whole));
}

// Plain 16-bit destinations through the levels; the source is a 16-bit format or a 4-bit-alpha
// one (colour word and alpha byte). Answers the pixels done.
template <class Op>
int Row16(const Op& op, const uint8_t* s, uint8_t* d, int n) {
    using S = typename Op::Src;
    using D = typename Op::Dst;
    constexpr BlendKind K = Op::kKind;
    constexpr int kStep = V::kBytes / 2;
    const T key = V::Set16(op.key), rate1 = V::Set16(op.rate1), fifteen = V::Set16(15);
    const Levels constSource(V::Set16(op.rate1 >> 4));
    const uint32_t destLevel = kAlpha4<S> ? Mul(op.rate2, 240) >> 4 : op.rate2 >> 4;
    const Levels constDest(V::Set16(K.twoRates ? destLevel : (op.rate1 >> 4) ^ 15));
    int i = 0;
    for (; i + kStep <= n; i += kStep) {
        const T dv = V::Load(d + 2 * i);
        T sw, ls;
        if constexpr (kAlpha4<S>) {
            const T s0 = V::Load(s + 4 * i), s1 = V::Load(s + 4 * i + V::kBytes);
            // The colour words sign-extended so that the signed pack keeps them whole.
            sw = V::PackWords32(V::template Srai32<16>(V::template Slli32<16>(s0)),
                                V::template Srai32<16>(V::template Slli32<16>(s1)));
            const T a = V::PackWords32(V::And(V::template Srli32<16>(s0), V::Set32(15)),
                                       V::And(V::template Srli32<16>(s1), V::Set32(15)));
            ls = K.alphaOnly ? a : V::template Srli16<4>(MulDiv255(V::template Slli16<4>(a), rate1));
        } else {
            sw = V::Load(s + 2 * i);
        }
        T keep = V::Zero();
        if constexpr (K.keyed) keep = V::CmpEq16(sw, key);
        if constexpr (Op::kEqualSkip) keep = V::Or(keep, V::CmpEq16(sw, dv));
        T out;
        if constexpr (kAlpha4<S>) {
            const Levels dest = K.twoRates ? constDest : Levels(V::Xor(ls, fifteen));
            out = V::Add16(LevelWord<D>(sw, Levels(ls)), LevelWord<D>(dv, dest));
        } else {
            out = V::Add16(LevelWord<D>(sw, constSource), LevelWord<D>(dv, constDest));
        }
        if constexpr (K.keyed || Op::kEqualSkip) out = Select(keep, dv, out);
        V::Store(d + 2 * i, out);
    }
    return i;
}

// The packed worker's arithmetic: per byte (s * r >> 8) + (d * (255 - r) >> 8), the fourth
// weighted 0. Answers the pixels done.
inline int PackedRow(uint32_t rate, const uint8_t* s, uint8_t* d, int n) {
    constexpr int kStep = V::kBytes / 4;
    const auto r = static_cast<int16_t>(rate), q = static_cast<int16_t>(255 - rate);
    const T ws = V::PixelLanes(r, r, r, 0), wd = V::PixelLanes(q, q, q, 0), zero = V::Zero();
    auto half = [=](T sx, T dx) {
        return V::Add16(V::template Srli16<8>(V::Mullo16(sx, ws)), V::template Srli16<8>(V::Mullo16(dx, wd)));
    };
    int i = 0;
    for (; i + kStep <= n; i += kStep) {
        const T sv = V::Load(s + 4 * i), dv = V::Load(d + 4 * i);
        V::Store(d + 4 * i, V::PackUs16(half(V::UnpackLo8(sv, zero), V::UnpackLo8(dv, zero)),
                                        half(V::UnpackHi8(sv, zero), V::UnpackHi8(dv, zero))));
    }
    return i;
}
