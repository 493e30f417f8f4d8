#pragma once
// Additive and subtractive blits (ops 2 to 9): one operator over the two format traits serves
// every pair of every one of these operations.
//
// Per pixel, after the key test of ops 4, 5, 8 and 9 (the raw source pixel's S::kBltKeyMask bits
// against the packed key; a key pixel keeps every byte):
//   1. Weigh: the source's colour is weakened by nothing (ops 2 to 5 from a plain source, or
//      an alpha format onto itself: its alpha is not read), by the rate (ops 6 to 9; an alpha
//      format onto itself too, so that a low rate is a faint glow and 255 equals ops 2 to 5),
//      by its own alpha (ops 2 to 5 onto a plain format) or by that alpha scaled by the rate
//      (ops 6, 7 onto a plain format: a' = floor(rate * a / 255), 4-bit floor(rate * 16a / 255)
//      >> 4). 8-bit channels: floor(c * w / 255). 16-bit channels: floor(c * l / 15) at a level
//      l of rate >> 4 or of the 4-bit alpha (a byte above 15 read as a & 15, inside the scale);
//      onto or from RGB565 only the even levels (l & 14), so rate 255 gives 14.
//   2. The weakened channels are paired with the destination's by colour (bytes 0 and 2
//      exchanged between the two byte orders).
//   3. Each colour channel saturates: min(max, d + s) or max(0, d - s). The other bits: RGB555
//      bit 15 = d15 XOR s15, a pad byte (d3 +- s3) mod 256 (an unweakened source only;
//      weakened, it keeps its value), an 8-bit alpha 255, a 4-bit alpha and its pad byte kept.
//
// The 1:1 rows of pairs with equal pixel sizes run 16 bytes at a time (SSE2 or its portable
// form): the same steps on vectors of pixels, which give the same pixels as the one-pixel path
// because no step carries from one pixel to the next (rows that share bytes go pixel by pixel).
// Ops 2 and 3 between 4-byte pixels of one byte order take the shorter row of add_sub_rows.h,
// also in 32-byte vectors where the processor has them.
#include <array>
#include <cstdint>

#include "blit/addsub/add_sub_rows.h"
#include "draw/base/add_sub_pixel.h"
#include "draw/base/blt_loop.h"
#include "draw/base/blt_pairs.h"
#include "draw/base/simd_kernels.h"

namespace tovarineGameSDK3rd::Draw {

using simd::U16x8;
using simd::U32x4;
using simd::U8x16;

namespace addsub {

// T is one pixel in a uint32_t or a vector of pixels (U32x4).
template <class T>
inline constexpr bool kIsVector = sizeof(T) == 16;

template <class T>
T Splat(uint32_t x) {
    if constexpr (kIsVector<T>) {
        return U32x4{} + x;
    } else {
        return x;
    }
}

// A weight for MulBytes: a number for one pixel, that number in every byte of a vector lane.
template <class T>
T PerByte(T w) {
    if constexpr (kIsVector<T>) {
        w |= w << 8;
        return w | w << 16;
    } else {
        return w;
    }
}

// Each byte x of v replaced by floor(x * w / 255).
template <class T>
T MulBytes(T v, T w) {
    if constexpr (kIsVector<T>) {
        return reinterpret_cast<U32x4>(simd::MulDiv255U8(reinterpret_cast<U8x16>(v), reinterpret_cast<U8x16>(w)));
    } else {
        return simd::MulDiv255Bytes(v, w);
    }
}

}  // namespace addsub

enum class AddSubWeight { None, Rate, Alpha, AlphaRate };

template <class S, class D, bool Sub, bool Keyed, bool Rated>
struct AddSubOp {
    static constexpr AddSubWeight kWeight = S::kHasAlpha && !D::kHasAlpha
                                                ? (Rated ? AddSubWeight::AlphaRate : AddSubWeight::Alpha)
                                                : (Rated ? AddSubWeight::Rate : AddSubWeight::None);
    static constexpr bool k8Bit = S::kR.bits == 8;
    static constexpr bool kSwap = k8Bit && S::kR.shift != D::kR.shift;
    static constexpr bool kEvenLevels = S::kType == RGB565 || D::kType == RGB565;
    // The 1:1 row runs on vectors where both pixels have one size, and on the bytes of a
    // 24-bit format onto itself, all of whose bytes are channels.
    static constexpr bool kVectorRow =
        (S::kBytes == D::kBytes && S::kBytes != 3) || (S::kType == D::kType && S::kBytes == 3 && !Keyed);
    // Whole 4-byte pixels whose bytes meet byte for byte, the source as it stands: the fourth
    // byte of an X destination the sum (or difference), of an alpha one 255.
    static constexpr bool kBytewise = k8Bit && S::kBytes == 4 && D::kBytes == 4 && !kSwap && !Keyed &&
                                      kWeight == AddSubWeight::None &&
                                      (D::kExtra == PixelExtra::Pad || D::kExtra == PixelExtra::Alpha8);
    // Rows that follow each other go as one: on a whole frame, the start and end of each row's
    // run cost a tenth of the time.
    static constexpr bool kJoinsRows = kBytewise;

    explicit AddSubOp(const BltParam& p)
        : key(p.key & S::kBltKeyMask), rate(p.rate), level(kEvenLevels ? p.rate >> 4 & 14u : p.rate >> 4u) {}

    static constexpr uint32_t Rep(uint32_t m) { return D::kBytes == 2 ? m | m << 16 : m; }

    template <class T>
    T Weigh(T s) const {
        using namespace addsub;
        if constexpr (kWeight == AddSubWeight::None) {
            return s;
        } else if constexpr (k8Bit) {
            T w = PerByte(kWeight == AddSubWeight::Rate ? Splat<T>(rate) : s >> 24);
            if constexpr (kWeight == AddSubWeight::AlphaRate) w = MulBytes(w, PerByte(Splat<T>(rate)));
            return MulBytes(s & S::kColorMask, w);
        } else {
            T l;
            if constexpr (kWeight == AddSubWeight::Rate) {
                l = Splat<T>(kIsVector<T> && S::kBytes == 2 ? level * 0x10001u : level);
            } else {
                l = s >> 16 & 15u;
                if constexpr (kWeight == AddSubWeight::AlphaRate) l = MulBytes(l << 4, PerByte(Splat<T>(rate))) >> 4;
                if constexpr (kEvenLevels) l &= 14u;
            }
            return ScaleLevel<S>(s, l);
        }
    }

    template <class T>
    static T Rearrange(T w) {
        if constexpr (kSwap) {
            return (w & 0xFF00FF00u) | (w >> 16 & 0xFFu) | (w & 0xFFu) << 16;
        } else {
            return w;
        }
    }

    // d and the weakened source w in D's layout to the new d.
    template <class T>
    static T Combine(T d, T w) {
        T c;
        if constexpr (k8Bit && addsub::kIsVector<T>) {
            const U8x16 db = reinterpret_cast<U8x16>(d), wb = reinterpret_cast<U8x16>(w);
            c = reinterpret_cast<T>(Sub ? simd::SubSatU8(db, wb) : simd::AddSatU8(db, wb));
            if constexpr (D::kBytes == 3) return c;  // a run of 24-bit pixels: every byte is a channel
        } else {
            c = Sub ? SaturatingSub<D>(d, w) : SaturatingAdd<D>(d, w);
        }
        T out = c & Rep(D::kColorMask);
        if constexpr (D::kExtra == PixelExtra::Bit15) {
            out |= (d ^ w) & Rep(0x8000u);
        } else if constexpr (D::kExtra == PixelExtra::Pad) {
            const T dp = d & 0xFF000000u, wp = w & 0xFF000000u;
            out |= kWeight != AddSubWeight::None ? dp : Sub ? dp - wp : dp + wp;  // a weakened source's is 0
        } else if constexpr (D::kExtra == PixelExtra::Alpha8) {
            out |= 0xFF000000u;
        } else if constexpr (D::kExtra == PixelExtra::Alpha4) {
            out |= d & 0xFFFF0000u;
        }
        return out;
    }

    // Each key pixel's lane all ones.
    U32x4 KeyLanes(U32x4 s) const {
        if constexpr (S::kBytes == 2) {
            const U16x8 k = reinterpret_cast<U16x8>(U32x4{} + key * 0x10001u);
            return reinterpret_cast<U32x4>(reinterpret_cast<U16x8>(s) == k);
        } else {
            return reinterpret_cast<U32x4>((s & S::kBltKeyMask) == key);
        }
    }

    U32x4 Apply(U32x4 s, U32x4 d) const {
        U32x4 out = Combine(d, Rearrange(Weigh(s)));
        if constexpr (Keyed) {
            const U32x4 skip = KeyLanes(s);
            out = (out & ~skip) | (d & skip);
        }
        return out;
    }

    void operator()(const uint8_t* sp, uint8_t* dp) const {
        const uint32_t s = S::Load(sp);
        if constexpr (Keyed) {
            if ((s & S::kBltKeyMask) == key) return;
        }
        D::Store(dp, static_cast<typename D::Raw>(Combine<uint32_t>(D::Load(dp), Rearrange(Weigh(s)))));
    }

    void Row(const uint8_t* s, uint8_t* d, int n) const
        requires(kVectorRow)
    {
        if (BltRowsOverlap(s, static_cast<size_t>(n) * S::kBytes, d, static_cast<size_t>(n) * D::kBytes)) {
            for (int i = 0; i < n; ++i) (*this)(s + i * S::kBytes, d + i * D::kBytes);
            return;
        }
        // A copy the stores cannot reach, so that its splatted key and weights stay in registers.
        const AddSubOp op = *this;
        op.RowOf(s, d, n);
    }

    void RowOf(const uint8_t* s, uint8_t* d, int n) const {
        int i = 0;
        if constexpr (S::kBytes == 3) {
            const U32x4 w = addsub::PerByte(addsub::Splat<U32x4>(rate));
            for (; i + 16 <= n; i += 16) {
                for (int k = 0; k < 48; k += 16) {
                    const U32x4 sv = simd::Load(s + 3 * i + k), dv = simd::Load(d + 3 * i + k);
                    simd::Store(d + 3 * i + k, Combine(dv, Rated ? addsub::MulBytes(sv, w) : sv));
                }
            }
        } else {
#if defined(__SSE2__)
            if constexpr (kBytewise) {
                const auto [first, last] = addsub::SaturateRow4<Sub, D::kExtra == PixelExtra::Alpha8>(s, d, n);
                for (; i < first; ++i) (*this)(s + i * S::kBytes, d + i * D::kBytes);
                i = last;
            }
#endif
            constexpr int kPer = 16 / S::kBytes;
            for (; i + kPer <= n; i += kPer) {
                simd::Store(d + i * D::kBytes, Apply(simd::Load(s + i * S::kBytes), simd::Load(d + i * D::kBytes)));
            }
        }
        for (; i < n; ++i) (*this)(s + i * S::kBytes, d + i * D::kBytes);
    }

    uint32_t key;
    uint32_t rate;
    uint32_t level;  // the 16-bit level of the rate
};

template <class S, class D>
using BltAddOp = AddSubOp<S, D, false, false, false>;
template <class S, class D>
using BltSubOp = AddSubOp<S, D, true, false, false>;
template <class S, class D>
using BltKeyedAddOp = AddSubOp<S, D, false, true, false>;
template <class S, class D>
using BltKeyedSubOp = AddSubOp<S, D, true, true, false>;
template <class S, class D>
using BltAddRateOp = AddSubOp<S, D, false, false, true>;
template <class S, class D>
using BltSubRateOp = AddSubOp<S, D, true, false, true>;
template <class S, class D>
using BltKeyedAddRateOp = AddSubOp<S, D, false, true, true>;
template <class S, class D>
using BltKeyedSubRateOp = AddSubOp<S, D, true, true, true>;

// The member tables of ops 2 to 7 (the family pairs) and 8, 9 (the same-format pairs but
// RGB888's), in the order of their pair sets.
extern const std::array<BltPair, kBltFamilyPairs.Count()> kBltAddMembers, kBltSubMembers, kBltKeyedAddMembers,
    kBltKeyedSubMembers, kBltAddRateMembers, kBltSubRateMembers;
extern const std::array<BltPair, kBltKeyedRatePairs.Count()> kBltKeyedAddRateMembers, kBltKeyedSubRateMembers;

}  // namespace tovarineGameSDK3rd::Draw
