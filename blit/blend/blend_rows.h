#pragma once
// Vector rows of the blend operators: 4-byte pixels and plain 16-bit destinations many at a
// time, with the same bytes as the operator's pixel-by-pixel form, which does the rest of a
// row and whole rows whose source and destination share bytes. The kernels are written once
// (blend_rows_impl.h) and made for 16-byte vectors (SSE2) and, run where the processor has
// them, 32-byte vectors (AVX2).
#include "blit/blend/blend_pixel.h"
#include "blit/blend/cpu_level.h"

#if defined(__SSE2__)
#include <immintrin.h>

#include <type_traits>

namespace tovarineGameSDK3rd::Draw::blend {

namespace sse2 {

struct V {
    using T = __m128i;
    static constexpr int kBytes = 16;
    static T Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const T*>(p)); }
    static void Store(uint8_t* p, T v) { _mm_storeu_si128(reinterpret_cast<T*>(p), v); }
    static T Zero() { return _mm_setzero_si128(); }
    static T Set16(uint32_t v) { return _mm_set1_epi16(static_cast<int16_t>(v)); }
    static T Set32(uint32_t v) { return _mm_set1_epi32(static_cast<int32_t>(v)); }
    static T PixelLanes(int16_t a, int16_t b, int16_t c, int16_t d) { return _mm_setr_epi16(a, b, c, d, a, b, c, d); }
    static T And(T a, T b) { return _mm_and_si128(a, b); }
    static T Or(T a, T b) { return _mm_or_si128(a, b); }
    static T Xor(T a, T b) { return _mm_xor_si128(a, b); }
    static T AndNot(T a, T b) { return _mm_andnot_si128(a, b); }
    static T Add16(T a, T b) { return _mm_add_epi16(a, b); }
    static T Mullo16(T a, T b) { return _mm_mullo_epi16(a, b); }
    static T Mulhi16(T a, T b) { return _mm_mulhi_epu16(a, b); }
    static T CmpEq16(T a, T b) { return _mm_cmpeq_epi16(a, b); }
    static T CmpEq32(T a, T b) { return _mm_cmpeq_epi32(a, b); }
    static T UnpackLo8(T a, T b) { return _mm_unpacklo_epi8(a, b); }
    static T UnpackHi8(T a, T b) { return _mm_unpackhi_epi8(a, b); }
    static T PackUs16(T a, T b) { return _mm_packus_epi16(a, b); }
    static T PackWords32(T a, T b) { return _mm_packs_epi32(a, b); }
    template <int N> static T Srli16(T v) { return _mm_srli_epi16(v, N); }
    template <int N> static T Slli16(T v) { return _mm_slli_epi16(v, N); }
    template <int N> static T Srli32(T v) { return _mm_srli_epi32(v, N); }
    template <int N> static T Slli32(T v) { return _mm_slli_epi32(v, N); }
    template <int N> static T Srai32(T v) { return _mm_srai_epi32(v, N); }
    template <int N> static T Shuffle16(T v) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, N), N); }
};

#include "blit/blend/blend_rows_impl.h"

}  // namespace sse2

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace avx2 {

struct V {
    using T = __m256i;
    static constexpr int kBytes = 32;
    static T Load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const T*>(p)); }
    static void Store(uint8_t* p, T v) { _mm256_storeu_si256(reinterpret_cast<T*>(p), v); }
    static T Zero() { return _mm256_setzero_si256(); }
    static T Set16(uint32_t v) { return _mm256_set1_epi16(static_cast<int16_t>(v)); }
    static T Set32(uint32_t v) { return _mm256_set1_epi32(static_cast<int32_t>(v)); }
    static T PixelLanes(int16_t a, int16_t b, int16_t c, int16_t d) {
        return _mm256_setr_epi16(a, b, c, d, a, b, c, d, a, b, c, d, a, b, c, d);
    }
    static T And(T a, T b) { return _mm256_and_si256(a, b); }
    static T Or(T a, T b) { return _mm256_or_si256(a, b); }
    static T Xor(T a, T b) { return _mm256_xor_si256(a, b); }
    static T AndNot(T a, T b) { return _mm256_andnot_si256(a, b); }
    static T Add16(T a, T b) { return _mm256_add_epi16(a, b); }
    static T Mullo16(T a, T b) { return _mm256_mullo_epi16(a, b); }
    static T Mulhi16(T a, T b) { return _mm256_mulhi_epu16(a, b); }
    static T CmpEq16(T a, T b) { return _mm256_cmpeq_epi16(a, b); }
    static T CmpEq32(T a, T b) { return _mm256_cmpeq_epi32(a, b); }
    static T UnpackLo8(T a, T b) { return _mm256_unpacklo_epi8(a, b); }
    static T UnpackHi8(T a, T b) { return _mm256_unpackhi_epi8(a, b); }
    static T PackUs16(T a, T b) { return _mm256_packus_epi16(a, b); }
    // The pack works within 16-byte halves; the permute puts the words back in pixel order.
    static T PackWords32(T a, T b) { return _mm256_permute4x64_epi64(_mm256_packs_epi32(a, b), 0xD8); }
    template <int N> static T Srli16(T v) { return _mm256_srli_epi16(v, N); }
    template <int N> static T Slli16(T v) { return _mm256_slli_epi16(v, N); }
    template <int N> static T Srli32(T v) { return _mm256_srli_epi32(v, N); }
    template <int N> static T Slli32(T v) { return _mm256_slli_epi32(v, N); }
    template <int N> static T Srai32(T v) { return _mm256_srai_epi32(v, N); }
    template <int N> static T Shuffle16(T v) { return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v, N), N); }
};

#include "blit/blend/blend_rows_impl.h"

}  // namespace avx2

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

}  // namespace tovarineGameSDK3rd::Draw::blend

namespace tovarineGameSDK3rd::Draw {

template <class Op>
void blend::VectorRow(const Op& op, const uint8_t* s, uint8_t* d, int n) {
    using S = typename Op::Src;
    using D = typename Op::Dst;
    int i = 0;
    if (!BltRowsOverlap(s, static_cast<size_t>(n) * S::kBytes, d, static_cast<size_t>(n) * D::kBytes)) {
        if constexpr (Op::kLevels) {
            i = UseWideVectors() ? avx2::Row16(op, s, d, n) : sse2::Row16(op, s, d, n);
        } else {
            i = UseWideVectors() ? avx2::Row4(op, s, d, n) : sse2::Row4(op, s, d, n);
        }
    }
    for (; i < n; ++i) op(s + i * S::kBytes, d + i * D::kBytes);
}

}  // namespace tovarineGameSDK3rd::Draw

#endif

namespace tovarineGameSDK3rd::Draw {

// Where source and destination share bytes, pairs read both pixels before they write.
template <class S, class D>
void PackedBlendPixel<S, D>::Row(const uint8_t* s, uint8_t* d, int n) const {
    int i = 0;
#if defined(__SSE2__)
    if (!BltRowsOverlap(s, 4 * static_cast<size_t>(n), d, 4 * static_cast<size_t>(n))) {
        i = UseWideVectors() ? blend::avx2::PackedRow(rate, s, d, n) : blend::sse2::PackedRow(rate, s, d, n);
    }
#endif
    if ((n - i) & 1) {
        (*this)(s + 4 * i, d + 4 * i);
        ++i;
    }
    for (; i < n; i += 2) {
        const uint32_t s0 = S::Load(s + 4 * i), s1 = S::Load(s + 4 * i + 4);
        const uint32_t d0 = D::Load(d + 4 * i), d1 = D::Load(d + 4 * i + 4);
        D::Store(d + 4 * i, Blend(s0, d0));
        D::Store(d + 4 * i + 4, Blend(s1, d1));
    }
}

}  // namespace tovarineGameSDK3rd::Draw
