#include "draw/base/add_sub_pixel.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/draw/pixel_reference.h"

using namespace tovarineGameSDK3rd::Draw;
using morna::test::MapColour;

// Each channel alone, against per-channel min and max on the layouts; bits outside the colour
// channels (RGB555 bit 15, a fourth byte) come out 0.
TEST(AddSubPixel, MatchesPerChannelReference) {
    std::mt19937 rng(17);
    auto add = [](int d, int s, int m) { return std::min(m, d + s); };
    auto sub = [](int d, int s, int) { return std::max(0, d - s); };
    for (int i = 0; i < 200000; ++i) {
        const uint32_t d = rng(), s = rng();
        ASSERT_EQ(SaturatingAdd<PixelFormat<RGB565>>(d & 0xFFFF, s & 0xFFFF), MapColour(RGB565, d, s, add));
        ASSERT_EQ(SaturatingSub<PixelFormat<RGB565>>(d & 0xFFFF, s & 0xFFFF), MapColour(RGB565, d, s, sub));
        ASSERT_EQ(SaturatingAdd<PixelFormat<RGB555>>(d & 0xFFFF, s & 0xFFFF), MapColour(RGB555, d, s, add));
        ASSERT_EQ(SaturatingSub<PixelFormat<RGB555>>(d & 0xFFFF, s & 0xFFFF), MapColour(RGB555, d, s, sub));
        ASSERT_EQ(SaturatingAdd<PixelFormat<ARGB8888>>(d, s), MapColour(ARGB8888, d, s, add));
        ASSERT_EQ(SaturatingSub<PixelFormat<ARGB8888>>(d, s), MapColour(ARGB8888, d, s, sub));
    }
    // Eight 16-bit pixels a vector, as the one-pixel form gives them.
    for (int i = 0; i < 20000; ++i) {
        simd::U32x4 d, s;
        for (int k = 0; k < 4; ++k) d[k] = rng(), s[k] = rng();
        const simd::U32x4 got[] = {SaturatingAdd<PixelFormat<RGB565>>(d, s), SaturatingSub<PixelFormat<RGB565>>(d, s),
                                   SaturatingAdd<PixelFormat<RGB555>>(d, s), SaturatingSub<PixelFormat<RGB555>>(d, s)};
        for (int k = 0; k < 8; ++k) {
            const uint32_t dw = d[k / 2] >> (k % 2 * 16) & 0xFFFF, sw = s[k / 2] >> (k % 2 * 16) & 0xFFFF;
            const uint32_t want[] = {MapColour(RGB565, dw, sw, add), MapColour(RGB565, dw, sw, sub), MapColour(RGB555, dw, sw, add),
                                     MapColour(RGB555, dw, sw, sub)};
            for (int j = 0; j < 4; ++j) ASSERT_EQ(got[j][k / 2] >> (k % 2 * 16) & 0xFFFF, want[j]) << j << " " << dw << " " << sw;
        }
    }
    uint16_t w = 0xC210;  // bit 15 set, 16 in each channel
    AddPixel<RGB555, RGB555>()(w, 0x4210);
    EXPECT_EQ(w, 0x7FFF);
}

// Every 16-bit word at every level, eight lanes at a time, against each channel's
// floor(c * l / 15); bits outside the channels come out 0.
TEST(AddSubPixel, ScaleLevelOfEveryWord) {
    auto check = [](auto format) {
        using F = decltype(format);
        for (uint32_t l = 0; l < 16; ++l) {
            for (uint32_t w = 0; w < 65536; w += 8) {
                simd::U16x8 v;
                for (int i = 0; i < 8; ++i) v[i] = static_cast<uint16_t>(w + i);
                const auto got = reinterpret_cast<simd::U16x8>(ScaleLevel<F>(reinterpret_cast<simd::U32x4>(v), simd::U32x4{} + l * 0x10001u));
                for (int i = 0; i < 8; ++i) {
                    const uint32_t want = MapColour(F::kType, 0, w + i, [l](int, int c, int) { return c * static_cast<int>(l) / 15; });
                    ASSERT_EQ(got[i], want) << w + i << " at " << l;
                    ASSERT_EQ(ScaleLevel<F>(w + i, l), want);
                }
            }
        }
    };
    check(PixelFormat<RGB565>{});
    check(PixelFormat<RGB555>{});
}
