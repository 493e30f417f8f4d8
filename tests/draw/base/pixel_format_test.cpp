#include "draw/base/pixel_format.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/draw/pixel_reference.h"

using namespace tovarineGameSDK3rd::Draw;
using namespace morna::test;

// GetPixel of every format against the layouts: channels widened, alpha 0 where the format
// has none, a palette index reads as 0; the pixel's neighbours and pad bytes do not count.
TEST(PixelFormat, GetPixelReadsTheLayouts) {
    std::mt19937 rng(5);
    for (int32_t type : AllFormats()) {
        TestSurface t(type, 3, 2, 1);
        for (int i = 0; i < 200; ++i) {
            t.Fill(rng);
            uint32_t colour = 0x55555555;
            ASSERT_EQ(t.info.GetPixel(2, 1, &colour), 0);
            const Argb w = Widen(type, t.At(2, 1));
            const uint32_t want = type == Palette8 ? 0 : (HasAlpha(type) ? w.a : 0) << 24 | w.r << 16 | w.g << 8 | w.b;
            ASSERT_EQ(colour, want) << FormatName(type);
            ASSERT_FALSE(t.info.locked);
        }
    }
}

// The key in the source's layout; the alpha byte by destination: 255 onto the same 8-bit alpha
// format, the key's top byte onto any other.
TEST(PixelFormat, PackColorKey) {
    EXPECT_EQ(PackColorKey(RGB565, 0x7FFF00FF, RGB565), 0xF81Fu);
    EXPECT_EQ(PackColorKey(RGB555, 0x7FFF00FF, RGB555), 0x7C1Fu);
    EXPECT_EQ(PackColorKey(ARGB4565, 0x7FFF00FF, RGB565), 0x07F81Fu);
    EXPECT_EQ(PackColorKey(ARGB4555, 0xF0123456, ARGB4555), 0x0F0000u | MakeRGB555(0x12, 0x34, 0x56));
    EXPECT_EQ(PackColorKey(BGR888, 0x7F123456, ARGB8888), 0x563412u);
    EXPECT_EQ(PackColorKey(XBGR8888, 0x7F123456, ABGR8888), 0x00563412u);
    EXPECT_EQ(PackColorKey(ARGB8888, 0x7F123456, ARGB8888), 0xFF123456u);
    EXPECT_EQ(PackColorKey(ARGB8888, 0x7F123456, RGB888), 0x7F123456u);
    EXPECT_EQ(PackColorKey(ABGR8888, 0x7F123456, XBGR8888), 0x7F563412u);
    EXPECT_EQ(PackColorKey(9, 0x7F123456, 9), 0u);
    uint16_t w = 0;
    MakeRGB565(w, 0x1FF, 0x107, 0x1F8);  // bits above the byte are ignored
    EXPECT_EQ(w, MakeRGB565(0xFF, 0x07, 0xF8));
}
