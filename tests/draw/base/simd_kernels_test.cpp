#include "draw/base/simd_kernels.h"

#include <gtest/gtest.h>

#include <algorithm>

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
