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

namespace tovarineGameSDK3rd::Draw {

template <class S, class D>
struct CopyPixel {
    using SRaw = typename S::Raw;
    using DRaw = typename D::Raw;

    static DRaw Convert(SRaw v) {
        if constexpr (S::kType == D::kType) {
            return v;
        } else if constexpr (D::kType == Palette8) {
            static_assert(S::kType == RGB555, "only RGB555 maps onto a palette");
            return PaletteLookupTable[v & 0x7FFFu];
        } else if constexpr (S::kBytes == 2 && D::kExtra == PixelExtra::Alpha4) {
            static_assert(S::kR.shift == D::kR.shift && S::kG.bits == D::kG.bits, "same colour word");
            return static_cast<DRaw>(v | 15u << D::kA.shift);
        } else {
            return FromColor<D>(ToColor<S>(v));
        }
    }
    void operator()(const uint8_t* s, uint8_t* d) const { D::Store(d, Convert(S::Load(s))); }
    // A format stored whole onto itself: the 1:1 row is one move.
    void Row(const uint8_t* s, uint8_t* d, int n) const
        requires(S::kType == D::kType && S::kWholePixelStore)
    {
        std::memmove(d, s, static_cast<size_t>(n) * S::kBytes);
    }
};

template <class S, class D>
struct KeyedCopyPixel {
    static constexpr uint32_t kMask = S::kBltKeyMask;

    explicit KeyedCopyPixel(const BltParam& p) : key(p.key & kMask) {}
    void operator()(const uint8_t* s, uint8_t* d) const {
        const auto v = S::Load(s);
        if ((v & kMask) != key) D::Store(d, CopyPixel<S, D>::Convert(v));
    }
    // The 1:1 row of word-sized pixels without a branch: a skipped pixel is written back as it
    // was, which lets the compiler do several pixels per instruction.
    void Row(const uint8_t* s, uint8_t* d, int n) const
        requires(D::kType != Palette8)
    {
        for (int i = 0; i < n; ++i) {
            const auto v = S::Load(s + i * S::kBytes);
            uint8_t* dp = d + i * D::kBytes;
            if constexpr (S::kBytes == 3 || D::kBytes == 3) {
                // Byte-wise pixels stay scalar; a mask keeps the branch out all the same.
                const uint32_t draw = 0u - static_cast<uint32_t>((v & kMask) != key);
                const uint32_t out = (CopyPixel<S, D>::Convert(v) & draw) | (D::Load(dp) & ~draw);
                D::Store(dp, static_cast<typename D::Raw>(out));
            } else {
                D::Store(dp, (v & kMask) != key ? CopyPixel<S, D>::Convert(v) : D::Load(dp));
            }
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
