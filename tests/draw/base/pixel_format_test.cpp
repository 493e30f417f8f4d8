#include "draw/base/pixel_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/draw/base/test_surface.h"

using namespace tovarineGameSDK3rd::Draw;
using morna::test::TestSurface;

namespace {

struct ReadCase {
    int32_t type;
    std::vector<uint8_t> bytes;
    uint32_t colour;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << "type " << c.type; }

class GetPixelReads : public ::testing::TestWithParam<ReadCase> {};

}  // namespace

// Colours worked out by hand from the byte layouts, not from the traits.
TEST_P(GetPixelReads, EveryFormat) {
    const ReadCase& c = GetParam();
    TestSurface t(c.type, 3, 2, 1);
    t.bytes.assign(t.bytes.size(), 0xEE);
    std::copy(c.bytes.begin(), c.bytes.end(), t.At(2, 1));
    uint32_t colour = 0x55555555;
    EXPECT_EQ(t.info.GetPixel(2, 1, &colour), 0);
    EXPECT_EQ(colour, c.colour);
    EXPECT_FALSE(t.info.locked);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, GetPixelReads,
    ::testing::Values(ReadCase{Palette8, {0x7F}, 0},
                      ReadCase{RGB565, {0xFF, 0xFF}, 0xF8FCF8}, ReadCase{RGB565, {0x34, 0x12}, 0x1044A0},
                      ReadCase{RGB555, {0xFF, 0x7F}, 0xF8F8F8}, ReadCase{RGB555, {0x34, 0x92}, 0x2088A0},
                      ReadCase{RGB888, {0x01, 0x02, 0x03}, 0x030201}, ReadCase{BGR888, {0x01, 0x02, 0x03}, 0x010203},
                      ReadCase{XRGB8888, {0x01, 0x02, 0x03, 0x5A}, 0x030201},
                      ReadCase{XBGR8888, {0x01, 0x02, 0x03, 0x5A}, 0x010203},
                      ReadCase{ARGB4565, {0x34, 0x12, 0x0F, 0x77}, 0xF01044A0},
                      ReadCase{ARGB4555, {0x34, 0x92, 0x05, 0x77}, 0x502088A0},
                      ReadCase{ARGB8888, {0x01, 0x02, 0x03, 0x80}, 0x80030201},
                      ReadCase{ABGR8888, {0x01, 0x02, 0x03, 0x80}, 0x80010203}),
    [](const ::testing::TestParamInfo<ReadCase>& i) {
        return "Type" + std::to_string(i.param.type) + "_" + std::to_string(i.index);
    });

TEST(PixelFormat, SizesAndAlphaCounterparts) {
    const int32_t codes[] = {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    const int sizes[] = {0, 0, 0, 1, 2, 2, 3, 3, 4, 4, 0, 4, 4, 4, 4, 0};
    const int32_t alpha[] = {-1, 0, 1, 11, 10, 11, 12, 13, 12, 13, 9, 10, 11, 12, 13, 14};
    for (size_t i = 0; i < std::size(codes); ++i) {
        TestSurface t(codes[i], 1, 1);
        EXPECT_EQ(t.info.GetPixelSize(), sizes[i]) << codes[i];
        EXPECT_EQ(ToAlphaSurfaceType(codes[i]), alpha[i]) << codes[i];
    }
}

TEST(PixelFormat, MakeRgbPacksTopBits) {
    EXPECT_EQ(MakeRGB565(255, 255, 255), 0xFFFF);
    EXPECT_EQ(MakeRGB555(255, 255, 255), 0x7FFF);
    EXPECT_EQ(MakeRGB565(0xFF, 0x00, 0xFF), 0xF81F);
    EXPECT_EQ(MakeRGB555(0xFF, 0x00, 0xFF), 0x7C1F);
    uint16_t w = 0;
    MakeRGB565(w, 0x1FF, 0x107, 0x1F8);  // bits above the byte are ignored
    EXPECT_EQ(w, MakeRGB565(0xFF, 0x07, 0xF8));
    MakeRGB555(w, 0x1FF, 0x1FF, 0x1FF);
    EXPECT_EQ(w, 0x7FFF);
}

// The narrowing and widening rules of the copy blits, through the canonical colour word (the
// plain 16/24/32-bit worked pixels are pinned per pair by the copy blit's worked examples).
TEST(PixelFormat, ConversionsKeepTopBitsAndFillZeros) {
    auto conv = [](auto s, auto d, uint32_t raw) {
        using S = decltype(s);
        using D = decltype(d);
        return static_cast<uint32_t>(FromColor<D>(ToColor<S>(static_cast<typename S::Raw>(raw))));
    };
    EXPECT_EQ(conv(PixelFormat<RGB555>{}, PixelFormat<RGB565>{}, 0x7FFF), 0xFFDFu);
    EXPECT_EQ(conv(PixelFormat<XRGB8888>{}, PixelFormat<ARGB8888>{}, 0x5AFF8001), 0xFFFF8001u);
    // 4-bit alpha: 15 widens to 240; 8-bit alpha narrows to its top four bits.
    EXPECT_EQ(conv(PixelFormat<ARGB4565>{}, PixelFormat<ARGB8888>{}, 0x0FFFFF), 0xF0F8FCF8u);
    EXPECT_EQ(conv(PixelFormat<ABGR8888>{}, PixelFormat<ARGB4555>{}, 0x9F000000), 0x090000u);
    EXPECT_EQ(conv(PixelFormat<RGB555>{}, PixelFormat<ARGB4555>{}, 0x7FFF), 0x0F7FFFu);
    // RGB555's bit 15 is ignored when read.
    EXPECT_EQ(ToColor<PixelFormat<RGB555>>(0x8000), 0xFF000000u);
}

TEST(PixelFormat, StoresOnlyTheBytesTheFormatOwns) {
    uint8_t px[4] = {1, 2, 3, 4};
    PixelFormat<ARGB4555>::Store(px, 0xABCDEF);
    EXPECT_EQ(px[0], 0xEF);
    EXPECT_EQ(px[2], 0xAB);
    EXPECT_EQ(px[3], 4);  // pad byte neither read nor written
    EXPECT_EQ(PixelFormat<ARGB4555>::Load(px), 0xABCDEFu);
    uint8_t rgb[4] = {9, 9, 9, 9};
    PixelFormat<BGR888>::Store(rgb, 0x112233);
    EXPECT_EQ(rgb[0], 0x33);
    EXPECT_EQ(rgb[3], 9);
}

// The key table of the keyed operations: the source's layout, alpha byte by destination.
TEST(PixelFormat, PackColorKey) {
    const uint32_t magenta = 0x7FFF00FF;
    EXPECT_EQ(PackColorKey(RGB565, magenta, RGB565), 0xF81Fu);
    EXPECT_EQ(PackColorKey(RGB555, magenta, RGB555), 0x7C1Fu);
    EXPECT_EQ(PackColorKey(ARGB4565, magenta, RGB565), 0x07F81Fu);
    EXPECT_EQ(PackColorKey(ARGB4555, 0xF0123456, ARGB4555), 0x0F0000u | MakeRGB555(0x12, 0x34, 0x56));
    EXPECT_EQ(PackColorKey(RGB888, 0x7F123456, RGB888), 0x123456u);
    EXPECT_EQ(PackColorKey(BGR888, 0x7F123456, ARGB8888), 0x563412u);
    EXPECT_EQ(PackColorKey(XRGB8888, 0x7F123456, XRGB8888), 0x00123456u);
    EXPECT_EQ(PackColorKey(XBGR8888, 0x7F123456, ABGR8888), 0x00563412u);
    EXPECT_EQ(PackColorKey(ARGB8888, 0x7F123456, ARGB8888), 0xFF123456u);
    EXPECT_EQ(PackColorKey(ARGB8888, 0x7F123456, RGB888), 0x7F123456u);
    EXPECT_EQ(PackColorKey(ABGR8888, 0x7F123456, ABGR8888), 0xFF563412u);
    EXPECT_EQ(PackColorKey(ABGR8888, 0x7F123456, XBGR8888), 0x7F563412u);
    EXPECT_EQ(PackColorKey(9, 0x7F123456, 9), 0u);
}
