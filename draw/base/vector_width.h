#pragma once
// Vectors of one width for the blit rows that are written once over it and made for 16-byte
// vectors (SSE2) and, run where the processor has them, 32-byte vectors (AVX2): a row's kernels
// are included once per width inside a namespace that first names V, that width's operations
// (lanes of 8, 16 or 32 bits, pixels in address order; unpack and pack work within 16-byte
// halves, which keeps the order), the AVX2 one inside a region compiled for AVX2:
//
//   namespace sse2 { using V = simd::sse2::V;
//   #include "the kernels" }
//   MORNA_AVX2_BEGIN
//   namespace avx2 { using V = simd::avx2::V;
//   #include "the kernels" }
//   MORNA_AVX2_END
//
// and the caller picks one by UseWideVectors().
#include <cstdint>

namespace tovarineGameSDK3rd::Draw {

// Whether the vector rows may use 32-byte vectors (the processor has AVX2); else 16 bytes.
bool UseWideVectors();
// Tests only: 0 narrow, 1 wide where the processor has them, -1 ask the processor again.
void ForceWideVectorsForTesting(int wide);

}  // namespace tovarineGameSDK3rd::Draw

#if defined(__SSE2__)
#include <immintrin.h>

#if defined(__clang__)
#define MORNA_AVX2_BEGIN _Pragma("clang attribute push(__attribute__((target(\"avx2\"))), apply_to = function)")
#define MORNA_AVX2_END _Pragma("clang attribute pop")
#else
#define MORNA_AVX2_BEGIN _Pragma("GCC push_options") _Pragma("GCC target(\"avx2\")")
#define MORNA_AVX2_END _Pragma("GCC pop_options")
#endif

namespace tovarineGameSDK3rd::Draw::simd {

namespace sse2 {

struct V {
    using T = __m128i;
    static constexpr int kBytes = 16;
    static T Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const T*>(p)); }
    static T LoadHalves(const uint8_t* p) { return Load(p); }
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
    static T Add32(T a, T b) { return _mm_add_epi32(a, b); }
    static T Sub32(T a, T b) { return _mm_sub_epi32(a, b); }
    static T AddSat8(T a, T b) { return _mm_adds_epu8(a, b); }
    static T SubSat8(T a, T b) { return _mm_subs_epu8(a, b); }
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

}  // namespace sse2

MORNA_AVX2_BEGIN

namespace avx2 {

struct V {
    using T = __m256i;
    static constexpr int kBytes = 32;
    static T Load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const T*>(p)); }
    // Two 16-byte loads, neither of which straddles a cache line where p is 16-byte aligned.
    static T LoadHalves(const uint8_t* p) {
        return _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(p + 16), reinterpret_cast<const __m128i*>(p));
    }
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
    static T Add32(T a, T b) { return _mm256_add_epi32(a, b); }
    static T Sub32(T a, T b) { return _mm256_sub_epi32(a, b); }
    static T AddSat8(T a, T b) { return _mm256_adds_epu8(a, b); }
    static T SubSat8(T a, T b) { return _mm256_subs_epu8(a, b); }
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

}  // namespace avx2

MORNA_AVX2_END

}  // namespace tovarineGameSDK3rd::Draw::simd

#endif
