#pragma once
// The per-pixel operators of the blend blits (ops 10 and 14 to 17), one template over the two
// format traits for every pair of an operation.
//
// Every blend writes, per channel, Mul[ws][s] + Mul[wd][d] (Mul = BltMulTable; BltInvMulTable
// row w is Mul row 255 - w) with a source weight ws and a destination weight wd:
//   ws  the rate (op 10: 255), times the source's alpha where it has one: Mul[a][rate] for
//       8-bit alpha, Mul[16a][rate] for 4-bit alpha;
//   wd  255 - ws for one rate (ops 10, 14, 15); for two rates (ops 16, 17) rate 2, times the
//       destination's alpha where it has one, and Mul[rate2][240] for a plain 16-bit
//       destination under a 4-bit-alpha source (it counts as alpha 15).
// A plain 16-bit destination blends whole words through the level tables at levels ws >> 4
// and (one rate) 15 - that or (two rates) wd >> 4; every other destination blends channels:
// the bytes of the 24- and 32-bit formats red with red, the 16-bit fields widened to bytes and
// narrowed back. Two-rate sums wrap (a byte mod 256, a word mod 65536) as the operation is
// defined. A blended pixel gets alpha 255 (8-bit alpha) or X byte 0; a 4-bit-alpha
// destination keeps its alpha and pad bytes.
// One rate leaves a pixel whose colour already equals the source's (24- and 32-bit
// destinations; a 16-bit format onto itself compares whole words); the keyed operations leave
// a source pixel equal to the packed key before anything else.
// Op 10 onto the source's own alpha format composes source over destination instead
// (AlphaComposePixel).
#include <cstdint>
#include <type_traits>

#include "draw/base/blend_tables.h"
#include "draw/base/blt_loop.h"
#include "draw/base/pixel_format.h"

namespace tovarineGameSDK3rd::Draw {

// What an operation of the family reads from its parameter and does around the blend.
struct BlendKind {
    bool keyed;      // a source pixel equal to the packed key leaves the destination alone
    bool twoRates;   // rate 1 weighs the source, rate 2 the destination; no skip, sums wrap
    bool alphaOnly;  // no rate: the source's alpha alone weighs it (op 10)
};
inline constexpr BlendKind kBlendOneRate{false, false, false};
inline constexpr BlendKind kKeyedBlendOneRate{true, false, false};
inline constexpr BlendKind kBlendTwoRates{false, true, false};
inline constexpr BlendKind kKeyedBlendTwoRates{true, true, false};
inline constexpr BlendKind kBlendSourceAlpha{false, false, true};

namespace blend {

template <class F>
inline constexpr bool kWord = F::kBytes == 2 || F::kExtra == PixelExtra::Alpha4;  // colour in a 16-bit word
template <class F>
inline constexpr bool kAlpha8 = F::kExtra == PixelExtra::Alpha8;
template <class F>
inline constexpr bool kAlpha4 = F::kExtra == PixelExtra::Alpha4;

inline uint32_t Mul(uint32_t w, uint32_t x) { return BltMulTable[w][x]; }

// A 4-bit alpha as a weight 0..240. A byte above 15 (a same-format copy can carry one) counts
// as its low four bits instead of indexing past the tables.
template <class F>
uint32_t Alpha16(uint32_t raw) {
    return (raw >> F::kA.shift & 15u) << 4;
}

template <class F>
const uint16_t* LevelRow(uint32_t l) {
    if constexpr (F::kG.bits == 6) {
        return BltLevelTable565[l];
    } else {
        return BltLevelTable555[l];
    }
}

template <class S, class D>
bool SameColour(uint32_t s, uint32_t d) {
    if constexpr (S::kR.shift == D::kR.shift) {
        return ((s ^ d) & S::kColorMask) == 0;
    } else {
        return S::template Get8<S::kR>(s) == D::template Get8<D::kR>(d) &&
               S::template Get8<S::kG>(s) == D::template Get8<D::kG>(d) &&
               S::template Get8<S::kB>(s) == D::template Get8<D::kB>(d);
    }
}

// The three colour channels Mul[ws][s] + Mul[wd][d], each cut to a byte and put in D's place.
template <class S, class D>
uint32_t MixChannels(uint32_t ws, uint32_t s, uint32_t wd, uint32_t d) {
    auto mix = [&](auto cs, auto cd) {
        constexpr Channel CS = decltype(cs)::value, CD = decltype(cd)::value;
        return D::template Put8<CD>(Mul(ws, S::template Get8<CS>(s)) + Mul(wd, D::template Get8<CD>(d)));
    };
    return mix(std::integral_constant<Channel, S::kR>{}, std::integral_constant<Channel, D::kR>{}) |
           mix(std::integral_constant<Channel, S::kG>{}, std::integral_constant<Channel, D::kG>{}) |
           mix(std::integral_constant<Channel, S::kB>{}, std::integral_constant<Channel, D::kB>{});
}

// The 1:1 row of an operator that has vector kernels (blend_rows.h). A free function: clang
// cannot match an out-of-line definition of a member constrained by the class's own terms.
template <class Op>
void VectorRow(const Op& op, const uint8_t* s, uint8_t* d, int n);

}  // namespace blend

template <class S, class D, BlendKind K>
struct WeightedBlendPixel {
    using Src = S;
    using Dst = D;
    static constexpr BlendKind kKind = K;
    static constexpr bool kLevels = D::kBytes == 2;
    static constexpr bool kEqualSkip = !K.twoRates && (!blend::kWord<D> || (kLevels && S::kType == D::kType));
    static constexpr uint32_t kKeyMask = S::kBltKeyMask;

    explicit WeightedBlendPixel(const BltParam& p)
        : key(p.key & kKeyMask), rate1(K.alphaOnly ? 255u : p.rate), rate2(p.rate2) {}

    uint32_t SourceWeight(uint32_t s) const {
        if constexpr (blend::kAlpha8<S>) {
            return blend::Mul(s >> S::kA.shift, rate1);
        } else if constexpr (blend::kAlpha4<S>) {
            return blend::Mul(blend::Alpha16<S>(s), rate1);
        } else {
            return rate1;
        }
    }
    // Two rates only.
    uint32_t DestWeight(uint32_t d) const {
        if constexpr (blend::kAlpha8<D>) {
            return blend::Mul(d >> D::kA.shift, rate2);
        } else if constexpr (blend::kAlpha4<D>) {
            return blend::Mul(blend::Alpha16<D>(d), rate2);
        } else if constexpr (kLevels && blend::kAlpha4<S>) {
            return blend::Mul(rate2, 240);
        } else {
            return rate2;
        }
    }

    // The blended destination pixel.
    uint32_t Blend(uint32_t s, uint32_t d) const {
        const uint32_t ws = SourceWeight(s);
        if constexpr (kLevels) {
            const uint32_t ls = ws >> 4, ld = K.twoRates ? DestWeight(d) >> 4 : ls ^ 15u;
            return static_cast<uint16_t>(blend::LevelRow<D>(ld)[d] + blend::LevelRow<D>(ls)[s & 0xFFFFu]);
        } else {
            const uint32_t wd = K.twoRates ? DestWeight(d) : 255u - ws;
            uint32_t out = blend::MixChannels<S, D>(ws, s, wd, d);
            if constexpr (blend::kAlpha8<D>) out |= 0xFFu << D::kA.shift;
            if constexpr (blend::kAlpha4<D>) out |= d & 0xFFu << D::kA.shift;
            return out;
        }
    }

    void operator()(const uint8_t* sp, uint8_t* dp) const {
        const uint32_t s = S::Load(sp);
        if constexpr (K.keyed) {
            if ((s & kKeyMask) == key) return;
        }
        const uint32_t d = D::Load(dp);
        if constexpr (kEqualSkip) {
            if (kLevels ? s == d : blend::SameColour<S, D>(s, d)) return;
        }
        D::Store(dp, static_cast<typename D::Raw>(Blend(s, d)));
    }

#if defined(__SSE2__)
    // Whole 4-byte pixels and plain 16-bit destinations have a vector row (blend_rows.h).
    static constexpr bool kVectorRow =
        (S::kBytes == 4 && D::kBytes == 4 && !blend::kWord<S> && !blend::kWord<D>) || kLevels;
    void Row(const uint8_t* s, uint8_t* d, int n) const
        requires(kVectorRow)
    {
        blend::VectorRow(*this, s, d, n);
    }
#endif

    uint32_t key;
    uint32_t rate1, rate2;
};

// Op 10 onto the source's own alpha format: source over destination, the destination's alpha
// becoming the combined alpha sA + Mul[dA][255 - sA] (4-bit alpha on a 0..240 scale, the
// colour through the level tables).
template <class F>
struct AlphaComposePixel {
    void operator()(const uint8_t* sp, uint8_t* dp) const {
        const uint32_t s = F::Load(sp), d = F::Load(dp);
        if constexpr (blend::kAlpha8<F>) {
            const uint32_t sa = s >> F::kA.shift, t = blend::Mul(d >> F::kA.shift, 255 - sa), a = sa + t;
            if (a == 0) return;  // both transparent: nothing shows, alpha stays 0
            const uint32_t colour = blend::MixChannels<F, F>(sa * 255 / a, s, t * 255 / a, d);
            F::Store(dp, colour | a << F::kA.shift);
        } else {
            const uint32_t s16 = blend::Alpha16<F>(s), t = blend::Mul(blend::Alpha16<F>(d), 240 - s16), a = s16 + t;
            uint32_t colour = d & 0xFFFFu;
            if (a != 0) {
                colour = static_cast<uint16_t>(blend::LevelRow<F>(s16 * 15 / a)[s & 0xFFFFu] +
                                               blend::LevelRow<F>(t * 15 / a)[d & 0xFFFFu]);
            }
            F::Store(dp, colour | (a >> 4) << F::kA.shift);
        }
    }
};

// The one-rate blend of XRGB8888 onto itself as the packed 16-bit arithmetic of processors with
// MMX does it: each byte (s * r >> 8) + (d * (255 - r) >> 8), the X byte weighted 0. So no pixel
// is skipped, rate 255 gives s - 1, the X byte is always 0; the scaled path takes its error steps
// after the pixel, and a 1:1 row runs one odd pixel, then pairs.
template <class S, class D>
struct PackedBlendPixel {
    static_assert(S::kType == XRGB8888 && D::kType == XRGB8888, "the packed worker of XRGB8888 onto itself");
    static constexpr BltStepping kStepping = BltStepping::ErrorAfter;

    explicit PackedBlendPixel(const BltParam& p) : rate(p.rate) {}
    uint32_t Blend(uint32_t s, uint32_t d) const {
        uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8)
            out |= (((s >> shift & 255u) * rate >> 8) + ((d >> shift & 255u) * (255u - rate) >> 8)) << shift;
        return out;
    }
    void operator()(const uint8_t* s, uint8_t* d) const { D::Store(d, Blend(S::Load(s), D::Load(d))); }
    void Row(const uint8_t* s, uint8_t* d, int n) const;

    uint32_t rate;
};

template <class S, class D>
using BlendPixel = WeightedBlendPixel<S, D, kBlendOneRate>;
template <class S, class D>
using KeyedBlendPixel = WeightedBlendPixel<S, D, kKeyedBlendOneRate>;
template <class S, class D>
using BlendTwoRatesPixel = WeightedBlendPixel<S, D, kBlendTwoRates>;
template <class S, class D>
using KeyedBlendTwoRatesPixel = WeightedBlendPixel<S, D, kKeyedBlendTwoRates>;
template <class S, class D>
using AlphaPixel =
    std::conditional_t<std::is_same_v<S, D>, AlphaComposePixel<S>, WeightedBlendPixel<S, D, kBlendSourceAlpha>>;

}  // namespace tovarineGameSDK3rd::Draw

#include "blit/blend/blend_rows.h"  // IWYU pragma: keep
