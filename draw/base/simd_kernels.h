#pragma once
// Per-lane kernels of the blit families on 16-byte vectors: saturating byte and 16-bit add and subtract,
// floor(x * w / 255) per byte and a mix of two pixels by the first one's alpha, the high half of a 16-bit product, and 16-bit words widened to
// 32-bit lanes and back. Each has an SSE2 form and a portable one (`portable::`, plain vector
// arithmetic that any target compiles); the unqualified name is the SSE2 form where the
// compiler offers it. The tests hold the two forms against each other and against the
// arithmetic they stand for.
//
// floor(x * w / 255) for x, w in 0..255 is (t + 1 + (t >> 8)) >> 8 with t = x * w, and also
// ((t + 1) * 257) >> 16, the high half of a 16-bit product: both stay in 16-bit lanes and give
// BltMulTable's bytes.
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tovarineGameSDK3rd::Draw::simd {

using U8x16 = uint8_t __attribute__((vector_size(16)));
using U16x8 = uint16_t __attribute__((vector_size(16)));
using U32x4 = uint32_t __attribute__((vector_size(16)));
using U16x4 = uint16_t __attribute__((vector_size(8)));
using U16x16 = uint16_t __attribute__((vector_size(32)));
using U32x8 = uint32_t __attribute__((vector_size(32)));

inline U32x4 Load(const uint8_t* p) {
    U32x4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void Store(uint8_t* p, U32x4 v) { std::memcpy(p, &v, sizeof v); }

// floor(x * w / 255) of one pair of bytes.
constexpr uint32_t MulDiv255(uint32_t x, uint32_t w) {
    const uint32_t t = x * w;
    return (t + 1 + (t >> 8)) >> 8;
}

// The same on each byte of a 32-bit word, all by one weight w (0..255): even and odd bytes
// each in 16-bit lanes, which hold the product and the sum without overflow.
constexpr uint32_t MulDiv255Bytes(uint32_t x, uint32_t w) {
    constexpr uint32_t kLanes = 0x00FF00FFu, kOnes = 0x00010001u;
    uint32_t lo = (x & kLanes) * w, hi = (x >> 8 & kLanes) * w;
    lo = (lo + kOnes + (lo >> 8 & kLanes)) >> 8 & kLanes;
    hi = (hi + kOnes + (hi >> 8 & kLanes)) >> 8 & kLanes;
    return lo | hi << 8;
}

// A 3-byte key repeated over 48 bytes, for the keyed 3-byte rows.
struct Key24 {
    explicit Key24(uint32_t key) {
        for (int i = 0; i < 48; ++i) bytes[i] = static_cast<uint8_t>(key >> (i % 3 * 8));
    }
    alignas(16) uint8_t bytes[48];
};

namespace portable {

// Saturating add and subtract of unsigned lanes of any width: a wrapped sum is below a, a
// wrapped difference comes from a below b.
template <class V>
V AddSat(V a, V b) {
    const V s = a + b;
    return s | reinterpret_cast<V>(s < a);
}
template <class V>
V SubSat(V a, V b) {
    return (a - b) & reinterpret_cast<V>(a >= b);
}
inline U8x16 AddSatU8(U8x16 a, U8x16 b) { return AddSat(a, b); }
inline U8x16 SubSatU8(U8x16 a, U8x16 b) { return SubSat(a, b); }
inline U16x8 AddSatU16(U16x8 a, U16x8 b) { return AddSat(a, b); }
inline U16x8 SubSatU16(U16x8 a, U16x8 b) { return SubSat(a, b); }
inline U8x16 MulDiv255U8(U8x16 x, U8x16 w) {
    U16x16 t = __builtin_convertvector(x, U16x16) * __builtin_convertvector(w, U16x16);
    t = (t + 1 + (t >> 8)) >> 8;
    return __builtin_convertvector(t, U8x16);
}
// Four 4-byte pixels s over d by the fourth byte a of each s: every byte
// floor(s * a / 255) + floor(d * (255 - a) / 255), which never passes 255.
inline U8x16 MixByAlpha(U8x16 s, U8x16 d) {
    const U8x16 a = __builtin_shufflevector(s, s, 3, 3, 3, 3, 7, 7, 7, 7, 11, 11, 11, 11, 15, 15, 15, 15);
    return MulDiv255U8(s, a) + MulDiv255U8(d, ~a);
}
inline U16x8 MulHiU16(U16x8 a, U16x8 b) {
    return __builtin_convertvector(__builtin_convertvector(a, U32x8) * __builtin_convertvector(b, U32x8) >> 16, U16x8);
}

// Eight 16-bit words widened into two vectors of 32-bit lanes, and two such vectors narrowed
// to the low halves of their lanes.
inline void Widen16(const uint8_t* p, U32x4& lo, U32x4& hi) {
    U16x4 a, b;
    std::memcpy(&a, p, 8);
    std::memcpy(&b, p + 8, 8);
    lo = __builtin_convertvector(a, U32x4);
    hi = __builtin_convertvector(b, U32x4);
}
inline U16x8 Narrow32(U32x4 lo, U32x4 hi) {
    return __builtin_shufflevector(__builtin_convertvector(lo, U16x4), __builtin_convertvector(hi, U16x4), 0, 1, 2,
                                   3, 4, 5, 6, 7);
}

// 32-bit pixels with 8-bit channels R at bit 16, G at 8, B at 0, each as the RGB565 word
// (green of 6 bits) or RGB555 word (5 bits) of the channels' top bits, in its lane.
template <int GreenBits>
U32x4 RgbTo16(U32x4 v) {
    if constexpr (GreenBits == 6) {
        return ((v >> 8) & 0xF800u) | ((v >> 5) & 0x07E0u) | ((v >> 3) & 0x001Fu);
    } else {
        return ((v >> 9) & 0x7C00u) | ((v >> 6) & 0x03E0u) | ((v >> 3) & 0x001Fu);
    }
}
// Two such vectors narrowed to eight words.
template <int GreenBits>
U16x8 RgbTo16Pair(U32x4 lo, U32x4 hi) {
    return Narrow32(RgbTo16<GreenBits>(lo), RgbTo16<GreenBits>(hi));
}

// Eight RGB565 (green of 6 bits) or RGB555 words as 32-bit pixels with 8-bit channels R at
// bit 16, G at 8, B at 0, each channel's bits at the top and zeros below, the fourth byte 0.
// In 16-bit lanes: green and blue make each pixel's low half, red its high half, and the two
// halves interleave.
template <int GreenBits>
void Rgb16To32Pair(U16x8 w, U32x4& lo, U32x4& hi) {
    constexpr int kGreenShift = GreenBits == 6 ? 5 : 6, kRedShift = GreenBits == 6 ? 8 : 7;
    constexpr uint16_t kGreenMask = GreenBits == 6 ? 0xFC00 : 0xF800;
    const U16x8 gb = ((w << kGreenShift) & kGreenMask) | ((w << 3) & 0xF8);
    const U16x8 ra = (w >> kRedShift) & 0xF8;
    lo = reinterpret_cast<U32x4>(__builtin_shufflevector(gb, ra, 0, 8, 1, 9, 2, 10, 3, 11));
    hi = reinterpret_cast<U32x4>(__builtin_shufflevector(gb, ra, 4, 12, 5, 13, 6, 14, 7, 15));
}

// Sixteen 3-byte pixels (48 bytes) from s onto d, but those whose three bytes equal the key's
// (its low three bytes in memory order), which keep d's bytes.
inline void KeyedCopy24(const uint8_t* s, uint8_t* d, const Key24& key) {
    const uint8_t* k = key.bytes;
    for (int i = 0; i < 48; i += 3) {
        if (s[i] != k[0] || s[i + 1] != k[1] || s[i + 2] != k[2]) {
            d[i] = s[i], d[i + 1] = s[i + 1], d[i + 2] = s[i + 2];
        }
    }
}

// Each even lane copied over the odd lane after it.
inline U16x8 DupEven(U16x8 v) { return __builtin_shufflevector(v, v, 0, 0, 2, 2, 4, 4, 6, 6); }
inline U32x4 DupEven(U32x4 v) { return __builtin_shufflevector(v, v, 0, 0, 2, 2); }

// Fills `bytes` bytes from p with a 4-byte word repeated (a 2- or 4-byte pixel splatted), four
// vectors a round.
inline void Fill(uint8_t* p, size_t bytes, uint32_t word) {
    const U32x4 pattern = U32x4{} + word;
    size_t i = 0;
    for (; i + 64 <= bytes; i += 64) {
        Store(p + i, pattern), Store(p + i + 16, pattern), Store(p + i + 32, pattern), Store(p + i + 48, pattern);
    }
    for (; i + 16 <= bytes; i += 16) Store(p + i, pattern);
    std::memcpy(p + i, &pattern, bytes - i);
}

}  // namespace portable

#if defined(__SSE2__)

inline U8x16 AddSatU8(U8x16 a, U8x16 b) {
    return reinterpret_cast<U8x16>(_mm_adds_epu8(reinterpret_cast<__m128i>(a), reinterpret_cast<__m128i>(b)));
}
inline U8x16 SubSatU8(U8x16 a, U8x16 b) {
    return reinterpret_cast<U8x16>(_mm_subs_epu8(reinterpret_cast<__m128i>(a), reinterpret_cast<__m128i>(b)));
}
inline U16x8 AddSatU16(U16x8 a, U16x8 b) {
    return reinterpret_cast<U16x8>(_mm_adds_epu16(reinterpret_cast<__m128i>(a), reinterpret_cast<__m128i>(b)));
}
inline U16x8 SubSatU16(U16x8 a, U16x8 b) {
    return reinterpret_cast<U16x8>(_mm_subs_epu16(reinterpret_cast<__m128i>(a), reinterpret_cast<__m128i>(b)));
}
inline U8x16 MulDiv255U8(U8x16 x, U8x16 w) {
    const __m128i xv = reinterpret_cast<__m128i>(x), wv = reinterpret_cast<__m128i>(w);
    const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi16(1);
    const __m128i k257 = _mm_set1_epi16(257);
    const __m128i lo = _mm_mullo_epi16(_mm_unpacklo_epi8(xv, zero), _mm_unpacklo_epi8(wv, zero));
    const __m128i hi = _mm_mullo_epi16(_mm_unpackhi_epi8(xv, zero), _mm_unpackhi_epi8(wv, zero));
    return reinterpret_cast<U8x16>(_mm_packus_epi16(_mm_mulhi_epu16(_mm_add_epi16(lo, one), k257),
                                                    _mm_mulhi_epu16(_mm_add_epi16(hi, one), k257)));
}
// In 16-bit lanes: the weights are the alpha lanes copied by a shuffle and flipped by an xor,
// and the two terms are summed before the one pack.
inline U8x16 MixByAlpha(U8x16 s, U8x16 d) {
    const __m128i sv = reinterpret_cast<__m128i>(s), dv = reinterpret_cast<__m128i>(d), zero = _mm_setzero_si128();
    const __m128i one = _mm_set1_epi16(1), k257 = _mm_set1_epi16(257), flip = _mm_set1_epi16(0xFF);
    const auto half = [&](__m128i sx, __m128i dx) {
        const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sx, 0xFF), 0xFF);
        const __m128i ts = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(sx, a), one), k257);
        const __m128i td = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(dx, _mm_xor_si128(a, flip)), one), k257);
        return _mm_add_epi16(ts, td);
    };
    return reinterpret_cast<U8x16>(_mm_packus_epi16(half(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(dv, zero)),
                                                    half(_mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(dv, zero))));
}
inline U16x8 MulHiU16(U16x8 a, U16x8 b) {
    return reinterpret_cast<U16x8>(_mm_mulhi_epu16(reinterpret_cast<__m128i>(a), reinterpret_cast<__m128i>(b)));
}

inline void Widen16(const uint8_t* p, U32x4& lo, U32x4& hi) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), zero = _mm_setzero_si128();
    lo = reinterpret_cast<U32x4>(_mm_unpacklo_epi16(v, zero));
    hi = reinterpret_cast<U32x4>(_mm_unpackhi_epi16(v, zero));
}
// SSE2 packs with signed saturation only: each lane's low half is first sign-extended so
// that the pack keeps it as it is.
inline U16x8 Narrow32(U32x4 lo, U32x4 hi) {
    const auto low = [](U32x4 v) { return _mm_srai_epi32(_mm_slli_epi32(reinterpret_cast<__m128i>(v), 16), 16); };
    return reinterpret_cast<U16x8>(_mm_packs_epi32(low(lo), low(hi)));
}

// Red and blue placed by one multiply-add of their 16-bit halves, green by a mask: the word
// comes out shifted left by 5 (565) or 6 (555), and one shift pair takes it to the low half
// sign-extended, as the signed pack needs.
template <int GreenBits>
U16x8 RgbTo16Pair(U32x4 lo, U32x4 hi) {
    constexpr int kShift = GreenBits == 6 ? 5 : 6;
    const auto word = [](U32x4 v) {
        const __m128i x = reinterpret_cast<__m128i>(v);
        const __m128i rb = _mm_madd_epi16(_mm_and_si128(x, _mm_set1_epi32(0x00F800F8)),
                                          _mm_set1_epi32(8192 << 16 | 1 << (kShift - 3)));
        const __m128i g = _mm_and_si128(x, _mm_set1_epi32(GreenBits == 6 ? 0xFC00 : 0xF800));
        return _mm_srai_epi32(_mm_slli_epi32(_mm_or_si128(rb, g), 16 - kShift), 16);
    };
    return reinterpret_cast<U16x8>(_mm_packs_epi32(word(lo), word(hi)));
}

template <int GreenBits>
void Rgb16To32Pair(U16x8 w, U32x4& lo, U32x4& hi) {
    constexpr int kGreenShift = GreenBits == 6 ? 5 : 6, kRedShift = GreenBits == 6 ? 8 : 7;
    constexpr auto kGreenMask = static_cast<int16_t>(GreenBits == 6 ? 0xFC00 : 0xF800);
    const __m128i x = reinterpret_cast<__m128i>(w), low = _mm_set1_epi16(0xF8);
    const __m128i gb = _mm_or_si128(_mm_and_si128(_mm_slli_epi16(x, kGreenShift), _mm_set1_epi16(kGreenMask)),
                                    _mm_and_si128(_mm_slli_epi16(x, 3), low));
    const __m128i ra = _mm_and_si128(_mm_srli_epi16(x, kRedShift), low);
    lo = reinterpret_cast<U32x4>(_mm_unpacklo_epi16(gb, ra));
    hi = reinterpret_cast<U32x4>(_mm_unpackhi_epi16(gb, ra));
}

// The byte compares of the three vectors as one 48-bit mask; a pixel is the key where its
// three bits are set, and its three bytes are then spread back into byte masks.
inline void KeyedCopy24(const uint8_t* s, uint8_t* d, const Key24& key) {
    __m128i v[3];
    uint64_t eq = 0;
    for (int k = 0; k < 3; ++k) {
        v[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16 * k));
        const __m128i e = _mm_cmpeq_epi8(v[k], _mm_load_si128(reinterpret_cast<const __m128i*>(key.bytes + 16 * k)));
        eq |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(e))) << (16 * k);
    }
    uint64_t keyed = eq & eq >> 1 & eq >> 2 & 0x249249249249ull;  // bit 3j: pixel j is the key
    keyed |= keyed << 1 | keyed << 2;
    const __m128i bits = _mm_set_epi8(-128, 64, 32, 16, 8, 4, 2, 1, -128, 64, 32, 16, 8, 4, 2, 1);
    for (int k = 0; k < 3; ++k) {
        // Byte i of the mask: bit i of this vector's 16 bits (low byte to bytes 0-7).
        __m128i m = _mm_cvtsi32_si128(static_cast<int>(keyed >> (16 * k) & 0xFFFF));
        m = _mm_unpacklo_epi8(m, m);
        m = _mm_unpacklo_epi16(m, m);
        m = _mm_unpacklo_epi32(m, m);
        m = _mm_cmpeq_epi8(_mm_and_si128(m, bits), bits);
        __m128i* const out = reinterpret_cast<__m128i*>(d + 16 * k);
        const __m128i old = _mm_loadu_si128(out);
        _mm_storeu_si128(out, _mm_or_si128(_mm_and_si128(m, old), _mm_andnot_si128(m, v[k])));
    }
}

// The processor's string store: whole cache lines are written without being read first,
// which vector stores cannot ask for (twice as fast on a frame).
inline void Fill(uint8_t* p, size_t bytes, uint32_t word) {
    void* at = p;
    size_t words = bytes / 4;
    asm volatile("rep stosl" : "+D"(at), "+c"(words) : "a"(word) : "memory");
    std::memcpy(p + (bytes & ~size_t{3}), &word, bytes & 3);
}

inline U16x8 DupEven(U16x8 v) {
    const __m128i x = reinterpret_cast<__m128i>(v);
    return reinterpret_cast<U16x8>(_mm_shufflehi_epi16(_mm_shufflelo_epi16(x, 0xA0), 0xA0));
}
inline U32x4 DupEven(U32x4 v) { return reinterpret_cast<U32x4>(_mm_shuffle_epi32(reinterpret_cast<__m128i>(v), 0xA0)); }

#else

using portable::DupEven;
using portable::Fill;
using portable::KeyedCopy24;
using portable::AddSatU16;
using portable::AddSatU8;
using portable::Rgb16To32Pair;
using portable::RgbTo16Pair;
using portable::Narrow32;
using portable::Widen16;
using portable::MixByAlpha;
using portable::MulDiv255U8;
using portable::MulHiU16;
using portable::SubSatU16;
using portable::SubSatU8;

#endif

}  // namespace tovarineGameSDK3rd::Draw::simd
