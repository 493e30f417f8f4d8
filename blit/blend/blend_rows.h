#pragma once
// Vector rows of the blend operators: four 4-byte pixels or eight 16-bit destination pixels
// per step, with the same bytes as the operator's pixel-by-pixel form (which does the rest of
// a row, and whole rows whose source and destination share bytes).
#include "blit/blend/blend_pixel.h"

#if defined(__SSE2__)
#include <type_traits>

#include "draw/base/simd_kernels.h"

namespace tovarineGameSDK3rd::Draw {

namespace blend::sse2 {

using namespace simd;

// The weight of a term: one per 16-bit lane, or one for the whole blit. A blit-wide weight
// below 255 leaves the fourth byte of each pixel 0.
struct LaneWeight {
    __m128i w;
    __m128i operator()(__m128i x) const { return MulDiv255Epu16(x, w); }
};
struct ConstWeight {
    __m128i m;
    explicit ConstWeight(uint32_t w) {
        const auto k = static_cast<int16_t>(Mul255Multiplier(w));
        m = _mm_setr_epi16(k, k, k, 0, k, k, k, 0);
    }
    __m128i operator()(__m128i x) const { return _mm_mulhi_epu16(x, m); }
};
struct FullWeight {
    __m128i operator()(__m128i x) const { return x; }
};

// Calls fn with the weight of one rate for the whole blit.
template <class Fn>
void WithConstWeight(uint32_t w, Fn&& fn) {
    if (w == 255) {
        fn(FullWeight{});
    } else {
        fn(ConstWeight(w));
    }
}

// Bytes 0 and 2 of every pixel exchanged: red and blue between the two byte orders.
inline __m128i SwapRedBlue(__m128i v) {
    const __m128i rb = _mm_and_si128(v, Splat32(0x00FF00FF));
    const __m128i swapped = _mm_shufflehi_epi16(_mm_shufflelo_epi16(rb, 0xB1), 0xB1);
    return _mm_or_si128(_mm_and_si128(v, Splat32(0xFF00FF00)), swapped);
}

// Two 4-byte pixels widened to 16-bit lanes: the fourth (alpha) lane of each in all its lanes.
inline __m128i AlphaLanes(__m128i x) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, 0xFF), 0xFF); }

inline __m128i Select(__m128i keep, __m128i old, __m128i blended) {
    return _mm_or_si128(_mm_and_si128(keep, old), _mm_andnot_si128(keep, blended));
}

// 4-byte pixels, four at a time. sourceWeight(sx) gives the source's weight of two source
// pixels widened to 16-bit lanes, destWeight(dx, ws) the destination's. Both are taken by value:
// the stores through d could alias anything the loop reads through a reference.
template <class Op, class SourceWeight, class DestWeight>
void Row4(const Op& op, const uint8_t* s, uint8_t* d, int n, SourceWeight sourceWeight, DestWeight destWeight) {
    using S = typename Op::Src;
    using D = typename Op::Dst;
    constexpr BlendKind K = Op::kKind;
    using WS = decltype(sourceWeight(__m128i{}));
    constexpr bool kFourthIsZero =
        std::is_same_v<WS, ConstWeight> && std::is_same_v<decltype(destWeight(__m128i{}, WS{sourceWeight(__m128i{})})), ConstWeight>;
    const __m128i low8 = Splat16(0x00FF), colour = Splat32(0x00FFFFFF), zero = _mm_setzero_si128();
    const __m128i keyMask = Splat32(Op::kKeyMask), key = Splat32(op.key);
    auto half = [=](__m128i sx, __m128i dx) {
        const auto ws = sourceWeight(sx);
        __m128i sum = _mm_add_epi16(ws(sx), destWeight(dx, ws)(dx));
        if constexpr (K.twoRates) sum = _mm_and_si128(sum, low8);  // sums wrap at 256
        return sum;
    };
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * i));
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + 4 * i));
        __m128i keep = zero;
        if constexpr (K.keyed) keep = _mm_cmpeq_epi32(_mm_and_si128(sv, keyMask), key);
        if constexpr (S::kR.shift != D::kR.shift) sv = SwapRedBlue(sv);
        if constexpr (Op::kEqualSkip) {
            keep = _mm_or_si128(keep, _mm_cmpeq_epi32(_mm_and_si128(_mm_xor_si128(sv, dv), colour), zero));
        }
        __m128i out = _mm_packus_epi16(half(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(dv, zero)),
                                       half(_mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(dv, zero)));
        if constexpr (kAlpha8<D>) {
            out = _mm_or_si128(out, Splat32(0xFF000000));
        } else if constexpr (!kFourthIsZero) {
            out = _mm_and_si128(out, colour);
        }
        if constexpr (K.keyed || Op::kEqualSkip) out = Select(keep, dv, out);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * i), out);
    }
    for (; i < n; ++i) op(s + 4 * i, d + 4 * i);
}

template <class Op>
void Row4(const Op& op, const uint8_t* s, uint8_t* d, int n) {
    using S = typename Op::Src;
    using D = typename Op::Dst;
    constexpr BlendKind K = Op::kKind;
    // Per-pixel weights: a rate times the pixel's alpha (op 10: the source's alpha).
    auto sourceLanes = [r = Splat16(op.rate1)](__m128i sx) {
        const __m128i a = AlphaLanes(sx);
        return LaneWeight{K.alphaOnly ? a : MulDiv255Epu16(a, r)};
    };
    auto destLanes = [r = Splat16(op.rate2)](__m128i dx, auto) { return LaneWeight{MulDiv255Epu16(AlphaLanes(dx), r)}; };
    auto constant = [](auto w) { return [w](auto...) { return w; }; };
    if constexpr (kAlpha8<S> && !K.twoRates) {
        Row4(op, s, d, n, sourceLanes, [](__m128i, LaneWeight ws) { return LaneWeight{_mm_xor_si128(ws.w, Splat16(0xFF))}; });
    } else if constexpr (kAlpha8<S> && kAlpha8<D>) {
        Row4(op, s, d, n, sourceLanes, destLanes);
    } else if constexpr (kAlpha8<S>) {
        WithConstWeight(op.rate2, [&](auto wd) { Row4(op, s, d, n, sourceLanes, constant(wd)); });
    } else if constexpr (K.twoRates && kAlpha8<D>) {
        WithConstWeight(op.rate1, [&](auto ws) { Row4(op, s, d, n, constant(ws), destLanes); });
    } else {
        WithConstWeight(op.rate1, [&](auto ws) {
            WithConstWeight(K.twoRates ? op.rate2 : 255 - op.rate1,
                            [&](auto wd) { Row4(op, s, d, n, constant(ws), constant(wd)); });
        });
    }
}

// Levels of eight pixels as multipliers (LevelWord's m and its level-15 mask).
struct Levels {
    __m128i m, full;
    explicit Levels(__m128i l) : m(LevelMultipliers(l, full)) {}
};

// Plain 16-bit destinations: eight pixels through the levels; the source is a 16-bit format or
// a 4-bit-alpha one (colour word and alpha byte).
template <class Op>
void Row16(const Op& op, const uint8_t* s, uint8_t* d, int n) {
    using S = typename Op::Src;
    using D = typename Op::Dst;
    constexpr BlendKind K = Op::kKind;
    const __m128i key = Splat16(op.key), rate1 = Splat16(op.rate1), fifteen = Splat16(15);
    const Levels constSource(Splat16(op.rate1 >> 4));
    const uint32_t destLevel = kAlpha4<S> ? Mul(op.rate2, 240) >> 4 : op.rate2 >> 4;
    const Levels constDest(Splat16(K.twoRates ? destLevel : (op.rate1 >> 4) ^ 15));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + 2 * i));
        __m128i sw, ls;
        if constexpr (kAlpha4<S>) {
            const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * i));
            const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * i + 16));
            // The colour words sign-extended so that the signed pack keeps them whole.
            sw = _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(s0, 16), 16), _mm_srai_epi32(_mm_slli_epi32(s1, 16), 16));
            const __m128i a = _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(s0, 16), Splat32(15)),
                                              _mm_and_si128(_mm_srli_epi32(s1, 16), Splat32(15)));
            ls = K.alphaOnly ? a : _mm_srli_epi16(MulDiv255Epu16(_mm_slli_epi16(a, 4), rate1), 4);
        } else {
            sw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 2 * i));
        }
        __m128i keep = _mm_setzero_si128();
        if constexpr (K.keyed) keep = _mm_cmpeq_epi16(sw, key);
        if constexpr (Op::kEqualSkip) keep = _mm_or_si128(keep, _mm_cmpeq_epi16(sw, dv));
        __m128i out;
        if constexpr (kAlpha4<S>) {
            const Levels source(ls);
            const Levels dest = K.twoRates ? constDest : Levels(_mm_xor_si128(ls, fifteen));
            out = _mm_add_epi16(LevelWord<D>(sw, source.m, source.full), LevelWord<D>(dv, dest.m, dest.full));
        } else {
            out = _mm_add_epi16(LevelWord<D>(sw, constSource.m, constSource.full),
                                LevelWord<D>(dv, constDest.m, constDest.full));
        }
        if constexpr (K.keyed || Op::kEqualSkip) out = Select(keep, dv, out);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 2 * i), out);
    }
    for (; i < n; ++i) op(s + S::kBytes * i, d + 2 * i);
}

}  // namespace blend::sse2

template <class Op>
void blend::VectorRow(const Op& op, const uint8_t* s, uint8_t* d, int n) {
    using S = typename Op::Src;
    using D = typename Op::Dst;
    if (BltRowsOverlap(s, static_cast<size_t>(n) * S::kBytes, d, static_cast<size_t>(n) * D::kBytes)) {
        for (int i = 0; i < n; ++i) op(s + i * S::kBytes, d + i * D::kBytes);
    } else if constexpr (Op::kLevels) {
        blend::sse2::Row16(op, s, d, n);
    } else {
        blend::sse2::Row4(op, s, d, n);
    }
}

}  // namespace tovarineGameSDK3rd::Draw

#endif
