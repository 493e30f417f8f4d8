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
    uint16_t w = 0xC210;  // bit 15 set, 16 in each channel
    AddPixel<RGB555, RGB555>()(w, 0x4210);
    EXPECT_EQ(w, 0x7FFF);
}
