#include "draw/base/add_sub_pixel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace tovarineGameSDK3rd::Draw;

namespace {

// Per-channel min/max on 16-bit words.
uint32_t Reference(uint32_t d, uint32_t s, bool add, bool is565) {
    const int shifts[3] = {is565 ? 11 : 10, 5, 0};
    const int bits[3] = {5, is565 ? 6 : 5, 5};
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
        const int sh = shifts[c], m = (1 << bits[c]) - 1;
        const int dv = static_cast<int>(d >> sh) & m, sv = static_cast<int>(s >> sh) & m;
        out |= static_cast<uint32_t>(add ? std::min(m, dv + sv) : std::max(0, dv - sv)) << sh;
    }
    return out;
}

}  // namespace

TEST(AddSubPixel, SaturatesEachChannelAlone) {
    uint16_t d = 0x7FFF;
    AddPixel<RGB555, RGB555>()(d, 0x0421);
    EXPECT_EQ(d, 0x7FFF);
    d = 0xC210;  // bit 15 set, 16 in each channel
    AddPixel<RGB555, RGB555>()(d, 0x4210);
    EXPECT_EQ(d, 0x7FFF);  // 32 -> 31, bit 15 cleared
    d = 0x3DEF;
    AddPixel<RGB555, RGB555>()(d, 0x3DEF);
    EXPECT_EQ(d, 0x7BDE);  // 15 + 15 = 30, no saturation
    d = 0x0400;            // green 32 of 63
    AddPixel<RGB565, RGB565>()(d, 0x0400);
    EXPECT_EQ(d, 0x07E0);  // 64 -> 63, red and blue untouched
    d = 0x8000;
    AddPixel<RGB565, RGB565>()(d, 0x8801);
    EXPECT_EQ(d, 0xF801);
    d = 0xFFFF;
    AddPixel<RGB565, RGB565>()(d, 0xFFFF);
    EXPECT_EQ(d, 0xFFFF);

    d = (10 << 11) | (40 << 5) | 3;
    SubPixel<RGB565, RGB565>()(d, (11 << 11) | (20 << 5) | 1);
    EXPECT_EQ(d, (20 << 5) | 2);
    d = 0x8000 | (4 << 10) | 31;
    SubPixel<RGB555, RGB555>()(d, (5 << 10) | (1 << 5) | 31);
    EXPECT_EQ(d, 0);  // floored at 0 everywhere, bit 15 cleared
    d = 0;
    SubPixel<RGB565, RGB565>()(d, 0xFFFF);
    EXPECT_EQ(d, 0);
}

TEST(AddSubPixel, MatchesPerChannelReferenceOnRandomWords) {
    std::mt19937 rng(17);
    for (int i = 0; i < 200000; ++i) {
        const uint32_t d = rng(), s = rng();
        EXPECT_EQ(SaturatingAdd<PixelFormat<RGB565>>(d & 0xFFFF, s & 0xFFFF), Reference(d, s, true, true));
        EXPECT_EQ(SaturatingSub<PixelFormat<RGB565>>(d & 0xFFFF, s & 0xFFFF), Reference(d, s, false, true));
        EXPECT_EQ(SaturatingAdd<PixelFormat<RGB555>>(d & 0xFFFF, s & 0xFFFF), Reference(d, s, true, false));
        EXPECT_EQ(SaturatingSub<PixelFormat<RGB555>>(d & 0xFFFF, s & 0xFFFF), Reference(d, s, false, false));
    }
}

TEST(AddSubPixel, EightBitChannelsLeaveTheFourthByte) {
    using F = PixelFormat<ARGB8888>;
    EXPECT_EQ(SaturatingAdd<F>(0xAA80FF01u, 0x55807F01u), 0x00FFFF02u);
    EXPECT_EQ(SaturatingSub<F>(0xAA80FF01u, 0x55817F02u), 0x00008000u);
}
