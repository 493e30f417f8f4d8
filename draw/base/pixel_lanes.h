#pragma once
// Eight pixels of a 16- or 32-bit format as vectors of raw words, for the vector rows of
// operators whose per-pixel rule is plain shifts, masks and compares on the raw word: the same
// expression then runs on a vector (the rule written once, over a word type W).
//
// Lanes<S, D, Read>: the lane type of a source and a destination format, for an operator that
// reads the bits Read of a source pixel: 16-bit lanes when both are 16-bit, or when a 32-bit
// source is read in its low half only onto a 16-bit destination (its pixels are narrowed on
// load: one vector holds the eight pixels), else 32-bit lanes (two vectors); a 16-bit format
// in 32-bit lanes is widened on load and narrowed on store.
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "draw/base/blt_loop.h"
#include "draw/base/pixel_format.h"
#include "draw/base/simd_kernels.h"

namespace tovarineGameSDK3rd::Draw {

template <class F>
constexpr bool kLaneFormat = F::kBytes == 2 || (F::kBytes == 4);

template <class A, class B, uint32_t Read = 0xFFFFFFFFu>
struct Lanes {
    static_assert(kLaneFormat<A> && kLaneFormat<B>);
    static constexpr bool k16 = B::kBytes == 2 && (A::kBytes == 2 || Read <= 0xFFFFu);
    using W = std::conditional_t<k16, simd::U16x8, simd::U32x4>;
    static constexpr int kVectors = k16 ? 1 : 2;
    using Block = W[kVectors];

    template <class F>
    static void Load(const uint8_t* p, Block& v) {
        if constexpr (F::kBytes == 4 && kVectors == 1) {
            simd::U32x4 lo, hi;
            std::memcpy(&lo, p, 16);
            std::memcpy(&hi, p + 16, 16);
            v[0] = simd::Narrow32(lo, hi);
        } else if constexpr (F::kBytes == 4 || kVectors == 1) {
            std::memcpy(&v[0], p, 16);
            if constexpr (kVectors == 2) std::memcpy(&v[1], p + 16, 16);
        } else {
            simd::Widen16(p, v[0], v[1]);
        }
    }
    // Writes what F::Store writes: a 4-bit alpha format's fourth bytes stay as they were.
    template <class F>
    static void Store(uint8_t* p, Block& v) {
        if constexpr (F::kBytes == 4) {
            if constexpr (!F::kWholePixelStore) {
                Block old;
                Load<F>(p, old);
                for (int i = 0; i < kVectors; ++i) v[i] = (old[i] & 0xFF000000u) | (v[i] & 0x00FFFFFFu);
            }
            std::memcpy(p, &v[0], 16);
            std::memcpy(p + 16, &v[1], 16);
        } else if constexpr (kVectors == 1) {
            std::memcpy(p, &v[0], 16);
        } else {
            const simd::U16x8 n = simd::Narrow32(v[0], v[1]);
            std::memcpy(p, &n, 16);
        }
    }
};

// A 1:1 row of n pixels of S onto D in blocks of eight: fn(block, old) turns the source block
// into the destination's (old: the destination's block, read when ReadsDest), or returns the
// destination's 16 bytes itself (a 16-bit destination made in one step); the last n % 8
// pixels and rows whose source and destination share bytes go through op pixel by pixel.
template <class S, class D, bool ReadsDest, uint32_t Read, class Op, class Fn>
void BltVectorRow(const Op& op, const uint8_t* s, uint8_t* d, int n, Fn&& fn) {
    using L = Lanes<S, D, Read>;
    int i = 0;
    if (!BltRowsOverlap(s, static_cast<size_t>(n) * S::kBytes, d, static_cast<size_t>(n) * D::kBytes)) {
        for (; i + 8 <= n; i += 8) {
            typename L::Block v, old;
            L::template Load<S>(s + i * S::kBytes, v);
            if constexpr (ReadsDest) L::template Load<D>(d + i * D::kBytes, old);
            if constexpr (std::is_void_v<decltype(fn(v, old))>) {
                fn(v, old);
                L::template Store<D>(d + i * D::kBytes, v);
            } else {
                const auto out = fn(v, old);
                static_assert(sizeof out == 8 * D::kBytes);
                std::memcpy(d + i * D::kBytes, &out, sizeof out);
            }
        }
    }
    for (; i < n; ++i) op(s + i * S::kBytes, d + i * D::kBytes);
}

}  // namespace tovarineGameSDK3rd::Draw
