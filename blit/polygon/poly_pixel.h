#pragma once
// The pixel operations of the polygon workers, one template over the two format traits for
// every pair of an op; op(s, d) is applied to each sampled source pixel and the destination
// pixel it lands on.
//
// Op 0 (CopyPixel): a format onto itself moves the pixel's stored bytes as they are (RGB555
// bit 15, a pad byte, a whole 4-bit alpha byte; a 4-bit alpha format's own pad byte stays);
// a 16-bit word onto its 4-bit alpha format goes as it is, with alpha 15; any other pair
// moves the channels by colour, writing alpha 255, a pad byte 0 and RGB555 bit 15 as 0.
// Op 1 (KeyedCopyPixel): the same where the source's key part (its 16-bit word; the three
// colour bytes; all four bytes of a pad format) differs from the packed key.
// Op 10 (AlphaBlendPixel):
//   - 24- and 32-bit sources: a destination already of the source's colour keeps every byte;
//     any other gets Mul[a][s] + Inv[a][d] per channel (a the source's alpha, 255 without one,
//     which is the source colour) and alpha 255 or pad byte 0;
//   - a 4-bit alpha format onto itself blends the colour word by AlphaPixel (weight row
//     (16a) & 255, so alpha 15 weighs 240/255), alpha and pad bytes kept;
//   - a 4-bit alpha format onto its plain word format: L[15 - a][d] + L[a][s] through the
//     level tables, a the alpha byte's low four bits (a byte above 15 stays inside them);
//   - a plain 16-bit source: OpaquePixel, the source word (RGB555 bit 15 cleared) into the
//     destination's colour word only.
// The only test in the pixel loop is the key or the equal colour.
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "draw/base/blend_tables.h"
#include "draw/base/pixel_format.h"
#include "draw/base/pixel_lanes.h"
#include "draw/base/simd_kernels.h"

namespace tovarineGameSDK3rd::Draw::polygon {

// Formats whose colour is a 16-bit word: the plain 16-bit ones and the 4-bit alpha ones.
template <class F>
inline constexpr bool kWord = F::kBytes == 2 || F::kExtra == PixelExtra::Alpha4;

// The plain format of a format's 16-bit colour word.
template <class F>
using WordFormat = PixelFormat<F::kG.bits == 6 ? RGB565 : RGB555>;

inline uint16_t LoadWord(const uint8_t* p) {
    uint16_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}
inline void StoreWord(uint8_t* p, uint16_t w) { std::memcpy(p, &w, sizeof w); }

// Mul[w][s] + Inv[w][d] on each colour channel of two colours 0x..RRGGBB, all bytes of a
// word at once: Mul[w][x] is floor(x w / 255) and Inv[w][x] is Mul[255 - w][x], and the two
// never sum past 255, so no byte carries into the next.
inline uint32_t MixColours(uint32_t s, uint32_t d, uint32_t w) {
    return simd::MulDiv255Bytes(s & 0xFFFFFFu, w) + simd::MulDiv255Bytes(d & 0xFFFFFFu, 255 - w);
}

// The same on two colour words of format W, widened to bytes with zero low bits and narrowed
// back (an RGB555 result has bit 15 clear).
template <class W>
uint16_t BlendWords(uint16_t d, uint16_t s, uint32_t w) {
    return FromColor<W>(MixColours(ToColor<W>(s), ToColor<W>(d), w));
}

// The blend functors of the 16-bit colour words: each rewrites the destination's colour
// word and answers it. AlphaPixel weighs the source (a 4-bit alpha pixel) by row (16a) & 255.
template <SurfaceType S, SurfaceType W>
struct AlphaPixel {
    static_assert(PixelFormat<S>::kExtra == PixelExtra::Alpha4 && std::is_same_v<WordFormat<PixelFormat<S>>, PixelFormat<W>>);
    uint16_t& operator()(uint16_t& d, const uint32_t& s) const {
        return d = BlendWords<PixelFormat<W>>(d, static_cast<uint16_t>(s), (s >> 16) * 16 & 0xFF);
    }
};
// OpaquePixel weighs a bare colour word by row 255: the source word.
template <SurfaceType W>
struct OpaquePixel {
    uint16_t& operator()(uint16_t& d, const uint16_t& s) const { return d = BlendWords<PixelFormat<W>>(d, s, 255); }
};

template <class S, class D>
struct CopyPixel {
    explicit CopyPixel(uint32_t) {}
    static typename D::Raw Convert(typename S::Raw v) {
        if constexpr (std::is_same_v<S, D>) {
            return v;
        } else if constexpr (S::kBytes == 2 && D::kExtra == PixelExtra::Alpha4) {
            return static_cast<typename D::Raw>(v | 15u << 16);
        } else {
            return FromColor<D>(ToColor<S>(v) | 0xFF000000u);
        }
    }
    void operator()(const uint8_t* s, uint8_t* d) const { D::Store(d, Convert(S::Load(s))); }
    void Row(const uint8_t* s, uint8_t* d, int n) const
        requires(std::is_same_v<S, D> && S::kWholePixelStore)
    {
        std::memcpy(d, s, static_cast<size_t>(n) * S::kBytes);
    }
};

template <class S, class D>
struct KeyedCopyPixel {
    explicit KeyedCopyPixel(uint32_t key) : key_(key & S::kBltKeyMask) {}
    // A key pixel writes the destination's own value back: a select, not a branch, as
    // sprites mix key and other pixels without a pattern.
    void operator()(const uint8_t* s, uint8_t* d) const {
        const typename S::Raw v = S::Load(s);
        const typename D::Raw old = D::Load(d);
        D::Store(d, (v & S::kBltKeyMask) != key_ ? CopyPixel<S, D>::Convert(v) : old);
    }
    // A format onto itself, eight pixels a vector by the same select.
    void Row(const uint8_t* s, uint8_t* d, int n) const
        requires(std::is_same_v<S, D> && kLaneFormat<S>)
    {
        using L = Lanes<S, D>;
        using W = typename L::W;
        using Lane = std::remove_cvref_t<decltype(W{}[0])>;
        const W k = W{} + static_cast<Lane>(key_), m = W{} + static_cast<Lane>(S::kBltKeyMask);
        BltVectorRow<S, D, true, 0xFFFFFFFFu>(*this, s, d, n, [k, m](auto& v, auto& old) {
            for (int i = 0; i < L::kVectors; ++i) {
                const W draw = reinterpret_cast<W>((v[i] & m) != k);
                v[i] = (v[i] & draw) | (old[i] & ~draw);
            }
        });
    }

private:
    uint32_t key_;
};

template <class S, class D>
struct AlphaBlendPixel {
    explicit AlphaBlendPixel(uint32_t) {}
    void operator()(const uint8_t* s, uint8_t* d) const {
        if constexpr (kWord<S>) {
            uint16_t wd = LoadWord(d);
            if constexpr (S::kExtra != PixelExtra::Alpha4) {
                OpaquePixel<WordFormat<S>::kType>{}(wd, LoadWord(s));
            } else if constexpr (std::is_same_v<S, D>) {
                AlphaPixel<S::kType, WordFormat<S>::kType>{}(wd, S::Load(s));
            } else {
                const uint32_t a = s[2] & 15u;
                const auto& level = WordFormat<S>::kType == RGB565 ? BltLevelTable565 : BltLevelTable555;
                wd = static_cast<uint16_t>(level[a ^ 15][wd] + level[a][LoadWord(s)]);
            }
            StoreWord(d, wd);
        } else {
            const uint32_t sc = ToColor<S>(S::Load(s)), dc = ToColor<D>(D::Load(d));
            if (((sc ^ dc) & 0xFFFFFFu) == 0) return;
            // Row 255 gives the source colour itself.
            const uint32_t out = S::kHasAlpha ? MixColours(sc, dc, sc >> 24) : sc;
            D::Store(d, FromColor<D>(out | 0xFF000000u));
        }
    }

    // 4-byte pixels four a vector by the same rule; worth gathering scattered samples for.
    static constexpr bool kGathers = S::kBytes == 4 && D::kBytes == 4 && !kWord<S> && !kWord<D>;
    void Row(const uint8_t* s, uint8_t* d, int n) const
        requires(kGathers)
    {
        using simd::U32x4;
        using simd::U8x16;
        int i = 0;
        if (!BltRowsOverlap(s, 4 * static_cast<size_t>(n), d, 4 * static_cast<size_t>(n))) {
            for (; i + 4 <= n; i += 4) {
                U32x4 sv = simd::Load(s + 4 * i);
                const U32x4 dv = simd::Load(d + 4 * i);
                if constexpr (S::kR.shift != D::kR.shift) sv = (sv & 0xFF00FF00u) | (sv >> 16 & 0xFFu) | (sv & 0xFFu) << 16;
                U32x4 out = sv;  // without alpha: the source colour
                if constexpr (S::kHasAlpha) {
                    out = reinterpret_cast<U32x4>(simd::MixByAlpha(reinterpret_cast<U8x16>(sv), reinterpret_cast<U8x16>(dv)));
                }
                out = (out & 0xFFFFFFu) | (D::kHasAlpha ? 0xFF000000u : 0u);
                const U32x4 keep = reinterpret_cast<U32x4>(((sv ^ dv) & 0xFFFFFFu) == 0);
                simd::Store(d + 4 * i, (dv & keep) | (out & ~keep));
            }
        }
        for (; i < n; ++i) (*this)(s + 4 * i, d + 4 * i);
    }
};

}  // namespace tovarineGameSDK3rd::Draw::polygon
