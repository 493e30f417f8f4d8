#pragma once
// Copy and keyed-copy members (ops 0 and 1): one operator over the two format traits serves
// every pair of kBltCopyPairs and kBltKeyedCopyPairs.
//
// A pixel converts by FromColor<D>(ToColor<S>(raw)): channels narrowed to their top bits,
// widened with zero low bits, X bytes written 0, a missing alpha 255 (15 in 4 bits). Three
// pairs move raw bits instead:
//   - a format onto itself moves the raw pixel: the whole word of the 16- and 32-bit formats
//     (RGB555 bit 15 and the X byte included), the colour word and all eight alpha bits of
//     the 4-bit-alpha formats, never their fourth byte;
//   - RGB565 onto ARGB4565 and RGB555 onto ARGB4555 write the raw colour word and alpha 15;
//   - RGB555 onto Palette8 writes the palette index of the colour (PaletteLookupTable).
// The keyed operator skips a source pixel whose key part (S::kBltKeyMask; the whole word for
// the XRGB8888 and XBGR8888 sources, X byte included) equals the packed key.
#include <array>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "draw/base/blend_tables.h"
#include "draw/base/blt_loop.h"
#include "draw/base/blt_pairs.h"
#include "draw/base/pixel_lanes.h"

namespace tovarineGameSDK3rd::Draw {

// Pairs whose 1:1 rows run eight pixels a vector: 16- and 32-bit formats other than a format
// onto itself (whose rows are moves).
template <class S, class D>
constexpr bool kCopyVectorRow = kLaneFormat<S> && kLaneFormat<D> && S::kType != D::kType;

template <class S, class D>
struct CopyPixel {
    using SRaw = typename S::Raw;
    using DRaw = typename D::Raw;

    // On a raw word or on a vector of them (Lanes<S, D>::W).
    template <class W>
    static W Convert(W v) {
        if constexpr (S::kType == D::kType) {
            return v;
        } else if constexpr (D::kType == Palette8) {
            static_assert(S::kType == RGB555, "only RGB555 maps onto a palette");
            return PaletteLookupTable[v & 0x7FFFu];
        } else if constexpr (S::kBytes == 2 && D::kExtra == PixelExtra::Alpha4) {
            static_assert(S::kR.shift == D::kR.shift && S::kG.bits == D::kG.bits, "same colour word");
            return v | 15u << D::kA.shift;
        } else {
            return ConvertChannels<S, D>(v);
        }
    }
    void operator()(const uint8_t* s, uint8_t* d) const {
        D::Store(d, static_cast<DRaw>(Convert(static_cast<uint32_t>(S::Load(s)))));
    }
    // A format stored whole onto itself: the 1:1 row is one move, and contiguous rows one
    // move together.
    static constexpr bool kMovesBytes = S::kType == D::kType && S::kWholePixelStore;
    // The pixel written depends on the source pixel alone (a repeated scaled row is a copy).
    static constexpr bool kSourceOnly = true;
    // 8-bit red, green, blue in that order onto RGB565 or RGB555: one multiply-add places two
    // channels (the same bits as Convert, held to it by the tests).
    // The source bits Convert reads.
    static constexpr uint32_t kRead = S::kColorMask | (D::kHasAlpha ? S::Mask(S::kA) : 0u);
    static constexpr bool kRgbTo16 =
        S::kBytes == 4 && S::kR.shift == 16 && S::kR.bits == 8 && (D::kType == RGB565 || D::kType == RGB555);
    void Row(const uint8_t* s, uint8_t* d, int n) const
        requires(kMovesBytes)
    {
        std::memmove(d, s, static_cast<size_t>(n) * S::kBytes);
    }
    // RGB565 or RGB555 onto XRGB8888: eight words widened in 16-bit lanes (the same bits as
    // Convert, held to it by the tests).
    static constexpr bool kRgb16To32 = (S::kType == RGB565 || S::kType == RGB555) && D::kType == XRGB8888;
    void Row(const uint8_t* s, uint8_t* d, int n) const
        requires(kCopyVectorRow<S, D> && kRgb16To32)
    {
        int i = 0;
        if (!BltRowsOverlap(s, static_cast<size_t>(n) * 2, d, static_cast<size_t>(n) * 4)) {
            for (; i + 8 <= n; i += 8) {
                simd::U16x8 w;
                simd::U32x4 lo, hi;
                std::memcpy(&w, s + 2 * i, 16);
                simd::Rgb16To32Pair<S::kG.bits>(w, lo, hi);
                std::memcpy(d + 4 * i, &lo, 16);
                std::memcpy(d + 4 * i + 16, &hi, 16);
            }
        }
        for (; i < n; ++i) (*this)(s + 2 * i, d + 4 * i);
    }
    void Row(const uint8_t* s, uint8_t* d, int n) const
        requires(kCopyVectorRow<S, D> && !kRgb16To32)
    {
        BltVectorRow<S, D, false, kRead>(*this, s, d, n, [](auto& v, auto&) {
            if constexpr (kRgbTo16) {
                return simd::RgbTo16Pair<D::kG.bits>(v[0], v[1]);  // the destination's 16 bytes
            } else {
                for (auto& x : v) x = Convert(x);
            }
        });
    }
};

template <class S, class D>
struct KeyedCopyPixel {
    static constexpr uint32_t kMask = S::kBltKeyMask;

    explicit KeyedCopyPixel(const BltParam& p) : key(p.key & kMask) {}
    void operator()(const uint8_t* s, uint8_t* d) const {
        const auto v = S::Load(s);
        if ((v & kMask) != key) D::Store(d, static_cast<typename D::Raw>(CopyPixel<S, D>::Convert(static_cast<uint32_t>(v))));
    }
    // Eight pixels a vector: a key pixel takes the destination's word as it was.
    void Row(const uint8_t* s, uint8_t* d, int n) const
        requires(kLaneFormat<S> && kLaneFormat<D>)
    {
        constexpr uint32_t kRead = CopyPixel<S, D>::kRead | kMask;
        using L = Lanes<S, D, kRead>;
        using W = typename L::W;
        using Lane = std::remove_cvref_t<decltype(W{}[0])>;
        const W k = W{} + static_cast<Lane>(key), m = W{} + static_cast<Lane>(kMask);
        BltVectorRow<S, D, true, kRead>(*this, s, d, n, [k, m](auto& v, auto& old) {
            for (int i = 0; i < L::kVectors; ++i) {
                const W draw = reinterpret_cast<W>((v[i] & m) != k);
                v[i] = (CopyPixel<S, D>::Convert(v[i]) & draw) | (old[i] & ~draw);
            }
        });
    }
    // The byte-wise pixels without a branch: a skipped pixel is written back as it was; a
    // 3-byte format onto itself sixteen pixels at a time.
    void Row(const uint8_t* s, uint8_t* d, int n) const
        requires(D::kType != Palette8 && !(kLaneFormat<S> && kLaneFormat<D>))
    {
        int i = 0;
        if constexpr (S::kType == D::kType && S::kBytes == 3) {
            static_assert(kMask == 0xFFFFFFu, "the raw key's bytes are the pixel's bytes in memory order");
            if (!BltRowsOverlap(s, static_cast<size_t>(n) * 3, d, static_cast<size_t>(n) * 3)) {
                const simd::Key24 k(key);
                for (; i + 16 <= n; i += 16) simd::KeyedCopy24(s + i * 3, d + i * 3, k);
            }
        }
        for (; i < n; ++i) {
            const auto v = S::Load(s + i * S::kBytes);
            uint8_t* dp = d + i * D::kBytes;
            const uint32_t draw = 0u - static_cast<uint32_t>((v & kMask) != key);
            const uint32_t out = (CopyPixel<S, D>::Convert(static_cast<uint32_t>(v)) & draw) | (D::Load(dp) & ~draw);
            D::Store(dp, static_cast<typename D::Raw>(out));
        }
    }
    uint32_t key;
};

// The named entries, for callers that know their pair (the 8-bit present).
template <SurfaceType S, SurfaceType D>
int BltCopy(const CSurfaceInfo& src, const CSurfaceInfo& dst, const BltGeometry& geom) {
    return BltMember<S, D, CopyPixel>(src, dst, BltParam{}, geom);
}
template <SurfaceType S, SurfaceType D>
int BltKeyedCopy(const CSurfaceInfo& src, const CSurfaceInfo& dst, uint32_t key, const BltGeometry& geom) {
    return BltMember<S, D, KeyedCopyPixel>(src, dst, BltParam{key}, geom);
}

// The member tables, in the order of their pair sets.
extern const std::array<BltPair, kBltCopyPairs.Count()> kBltCopyMembers;
extern const std::array<BltPair, kBltKeyedCopyPairs.Count()> kBltKeyedCopyMembers;

}  // namespace tovarineGameSDK3rd::Draw
