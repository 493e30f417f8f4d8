#include "draw/base/simd_kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "draw/base/pixel_format.h"

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
        const U16x8 sat[2][2] = {{AddSatU16(x, y), SubSatU16(x, y)}, {portable::AddSatU16(x, y), portable::SubSatU16(x, y)}};
        for (int i = 0; i < 8; ++i) {
            ASSERT_EQ(hi[i], a * y[i] >> 16);
            ASSERT_EQ(hp[i], a * y[i] >> 16);
            for (const auto& s : sat) {
                ASSERT_EQ(s[0][i], std::min(65535u, a + y[i]));
                ASSERT_EQ(s[1][i], a > y[i] ? a - y[i] : 0);
            }
        }
    }
}

// The pixel-moving kernels on random input: both forms give the same bytes, and the bytes the
// per-pixel rule gives.
TEST(SimdKernels, PixelKernelsAgreeOnRandomInput) {
    using tovarineGameSDK3rd::Draw::PixelFormat;
    namespace D = tovarineGameSDK3rd::Draw;
    std::mt19937 rng(29);
    for (int round = 0; round < 2000; ++round) {
        uint8_t in[48], out[2][48], old[48];
        for (auto& b : in) b = static_cast<uint8_t>(rng() % 4 ? rng() : 0x5A);  // some key bytes
        for (auto& b : old) b = static_cast<uint8_t>(rng());
        U32x4 lo, hi, plo, phi;
        std::memcpy(&lo, in, 16), std::memcpy(&hi, in + 16, 16);
        Widen16(in, plo, phi);
        portable::Widen16(in, lo, hi);
        for (int i = 0; i < 4; ++i) {
            ASSERT_EQ(plo[i], lo[i]);
            ASSERT_EQ(phi[i], hi[i]);
            ASSERT_EQ(lo[i], in[2 * i] | in[2 * i + 1] << 8u);
        }
        std::memcpy(&lo, in, 16), std::memcpy(&hi, in + 16, 16);
        const U16x8 n = Narrow32(lo, hi), pn = portable::Narrow32(lo, hi);
        const U16x8 r565 = RgbTo16Pair<6>(lo, hi), r555 = RgbTo16Pair<5>(lo, hi);
        const U16x8 p565 = portable::RgbTo16Pair<6>(lo, hi), p555 = portable::RgbTo16Pair<5>(lo, hi);
        for (int i = 0; i < 8; ++i) {
            const uint32_t word = i < 4 ? lo[i] : hi[i - 4];
            ASSERT_EQ(n[i], static_cast<uint16_t>(word));
            ASSERT_EQ(pn[i], n[i]);
            const auto to565 = D::FromColor<PixelFormat<D::RGB565>>(D::ToColor<PixelFormat<D::XRGB8888>>(word));
            const auto to555 = D::FromColor<PixelFormat<D::RGB555>>(D::ToColor<PixelFormat<D::XRGB8888>>(word));
            ASSERT_EQ(r565[i], to565);
            ASSERT_EQ(p565[i], to565);
            ASSERT_EQ(r555[i], to555);
            ASSERT_EQ(p555[i], to555);
        }
        const U16x8 words = reinterpret_cast<U16x8>(lo);
        U32x4 x565[2], x555[2], q565[2], q555[2];
        Rgb16To32Pair<6>(words, x565[0], x565[1]);
        Rgb16To32Pair<5>(words, x555[0], x555[1]);
        portable::Rgb16To32Pair<6>(words, q565[0], q565[1]);
        portable::Rgb16To32Pair<5>(words, q555[0], q555[1]);
        for (int i = 0; i < 8; ++i) {
            using X = PixelFormat<D::XRGB8888>;
            const uint32_t want565 = D::FromColor<X>(D::ToColor<PixelFormat<D::RGB565>>(words[i]));
            const uint32_t want555 = D::FromColor<X>(D::ToColor<PixelFormat<D::RGB555>>(words[i]));
            ASSERT_EQ(x565[i / 4][i % 4], want565);
            ASSERT_EQ(q565[i / 4][i % 4], want565);
            ASSERT_EQ(x555[i / 4][i % 4], want555);
            ASSERT_EQ(q555[i / 4][i % 4], want555);
        }
        const U8x16 s8 = reinterpret_cast<U8x16>(lo), d8 = reinterpret_cast<U8x16>(hi);
        const U8x16 mix = MixByAlpha(s8, d8), pmix = portable::MixByAlpha(s8, d8);
        for (int i = 0; i < 16; ++i) {
            const uint32_t a = s8[i | 3], want = MulDiv255(s8[i], a) + MulDiv255(d8[i], 255 - a);
            ASSERT_EQ(mix[i], want);
            ASSERT_EQ(pmix[i], want);
        }
        const U16x8 d16 = DupEven(reinterpret_cast<U16x8>(lo)), pd16 = portable::DupEven(reinterpret_cast<U16x8>(lo));
        const U32x4 d32 = DupEven(lo), pd32 = portable::DupEven(lo);
        for (int i = 0; i < 8; ++i) {
            ASSERT_EQ(d16[i], pd16[i]);
            ASSERT_EQ(d16[i], reinterpret_cast<U16x8>(lo)[i & ~1]);
        }
        for (int i = 0; i < 4; ++i) {
            ASSERT_EQ(d32[i], pd32[i]);
            ASSERT_EQ(d32[i], lo[i & ~1]);
        }

        const Key24 key(rng() % 2 ? 0x5A5A5A : rng());
        for (int f = 0; f < 2; ++f) {
            std::memcpy(out[f], old, 48);
            (f ? KeyedCopy24 : portable::KeyedCopy24)(in, out[f], key);
        }
        ASSERT_EQ(0, std::memcmp(out[0], out[1], 48));
        for (int p = 0; p < 16; ++p) {
            const bool keyed = std::memcmp(in + 3 * p, key.bytes, 3) == 0;
            ASSERT_EQ(0, std::memcmp(out[0] + 3 * p, keyed ? old + 3 * p : in + 3 * p, 3)) << p;
        }

        const size_t bytes = rng() % 40, at = rng() % 8;
        const uint32_t word = rng();
        for (int f = 0; f < 2; ++f) {
            std::memcpy(out[f], old, 48);
            (f ? Fill : portable::Fill)(out[f] + at, bytes, word);
        }
        for (size_t i = 0; i < 48; ++i) {
            const bool inside = i >= at && i < at + bytes;
            ASSERT_EQ(out[0][i], out[1][i]);
            ASSERT_EQ(out[0][i], inside ? static_cast<uint8_t>(word >> ((i - at) % 4 * 8)) : old[i]) << i;
        }
    }
}
