#include "draw/base/simd_kernels.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "draw/base/blend_tables.h"
#include "draw/base/pixel_format.h"

using namespace tovarineGameSDK3rd::Draw;
using namespace tovarineGameSDK3rd::Draw::simd;

// Every pair of bytes (and of 16-bit factors for the high product), through both forms of
// each kernel, against the plain arithmetic they stand for.
TEST(SimdKernels, BothFormsGiveTheArithmeticOnEveryPair) {
    for (uint32_t a = 0; a < 256; ++a) {
        U8x16 x, w;
        for (uint32_t b0 = 0; b0 < 256; b0 += 16) {
            for (int i = 0; i < 16; ++i) x[i] = static_cast<uint8_t>(a), w[i] = static_cast<uint8_t>(b0 + i);
            const U8x16 got[2][3] = {{AddSatU8(x, w), SubSatU8(x, w), MulDiv255U8(x, w)},
                                     {portable::AddSatU8(x, w), portable::SubSatU8(x, w), portable::MulDiv255U8(x, w)}};
            for (int i = 0; i < 16; ++i) {
                const uint32_t b = b0 + i, mul = a * b / 255;
                for (const auto& g : got) {
                    ASSERT_EQ(g[0][i], std::min(255u, a + b)) << a << " + " << b;
                    ASSERT_EQ(g[1][i], a > b ? a - b : 0) << a << " - " << b;
                    ASSERT_EQ(g[2][i], mul) << a << " * " << b;
                }
                ASSERT_EQ(MulDiv255(a, b), mul);
                ASSERT_EQ(MulDiv255Bytes(a << 24 | b << 16 | a << 8 | b, a), MulDiv255(a, a) << 24 | mul << 16 | MulDiv255(a, a) << 8 | mul);
            }
        }
    }
    for (uint32_t a = 0; a < 65536; a += 7) {
        const U16x8 x = U16x8{} + static_cast<uint16_t>(a), y = {0, 1, 945, 4370, 0x8000, 0xFFFF, 12345, static_cast<uint16_t>(a)};
        const U16x8 hi = MulHiU16(x, y), hp = portable::MulHiU16(x, y);
        for (int i = 0; i < 8; ++i) {
            ASSERT_EQ(hi[i], a * y[i] >> 16);
            ASSERT_EQ(hp[i], a * y[i] >> 16);
        }
    }
}

#if defined(__SSE2__)

namespace {

// fn(first input) for the eight lanes first .. first + 7, each checked against want(input).
template <class Fn, class Want>
testing::AssertionResult Lanes(uint32_t first, Fn fn, Want want) {
    alignas(16) uint16_t out[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(out), fn(_mm_add_epi16(Splat16(first), _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7))));
    for (uint32_t i = 0; i < 8; ++i) {
        if (out[i] != want(first + i)) return testing::AssertionFailure() << "input " << first + i << ": " << out[i];
    }
    return testing::AssertionSuccess();
}

}  // namespace

// The blends' 16-bit-lane forms against the tables, entry by entry.
TEST(SimdKernels, LaneFormsEqualTheBlendTables) {
    InitBlendTables();
    for (uint32_t w = 0; w < 256; ++w) {
        const __m128i wv = Splat16(w), m = Splat16(Mul255Multiplier(w));
        for (uint32_t x = 0; x < 256; x += 8) {
            const auto want = [w](uint32_t v) { return BltMulTable[w][v]; };
            ASSERT_TRUE(Lanes(x, [&](__m128i v) { return MulDiv255Epu16(v, wv); }, want)) << w;
            if (w == 255) continue;  // no multiplier: the full weight is the identity
            ASSERT_TRUE(Lanes(x, [&](__m128i v) { return _mm_mulhi_epu16(v, m); }, want)) << w;
        }
    }
    for (uint32_t l = 0; l < 16; ++l) {
        __m128i full;
        const __m128i m = LevelMultipliers(Splat16(l), full);
        for (uint32_t p = 0; p < 65536; p += 8) {
            ASSERT_TRUE(Lanes(p, [&](__m128i v) { return LevelWord<PixelFormat<RGB565>>(v, m, full); },
                              [l](uint32_t v) { return BltLevelTable565[l][v]; })) << l;
            ASSERT_TRUE(Lanes(p, [&](__m128i v) { return LevelWord<PixelFormat<RGB555>>(v, m, full); },
                              [l](uint32_t v) { return BltLevelTable555[l][v]; })) << l;
        }
    }
}

#endif
