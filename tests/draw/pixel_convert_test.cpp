// Row converters against a reference that reads and writes each format from its byte layout.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "draw/pixel_convert.h"

namespace {

using namespace tovarineGameSDK3rd::Draw;

struct Rgba {
    uint32_t r, g, b, a;
    bool hasAlpha;
};

// The layouts, written out by hand (not through the traits).
Rgba Read(int32_t type, const uint8_t* p) {
    const uint32_t w = p[0] | p[1] << 8;
    switch (type) {
        case RGB565: return {(w >> 11) << 3, ((w >> 5) & 63) << 2, (w & 31) << 3, 255, false};
        case RGB555: return {((w >> 10) & 31) << 3, ((w >> 5) & 31) << 3, (w & 31) << 3, 255, false};
        case RGB888: return {p[2], p[1], p[0], 255, false};
        case BGR888: return {p[0], p[1], p[2], 255, false};
        case XRGB8888: return {p[2], p[1], p[0], 255, false};
        case XBGR8888: return {p[0], p[1], p[2], 255, false};
        case ARGB4565: return {(w >> 11) << 3, ((w >> 5) & 63) << 2, (w & 31) << 3, uint32_t(p[2] & 15) << 4, true};
        case ARGB4555: return {((w >> 10) & 31) << 3, ((w >> 5) & 31) << 3, (w & 31) << 3, uint32_t(p[2] & 15) << 4, true};
        case ARGB8888: return {p[2], p[1], p[0], p[3], true};
        default: return {};
    }
}

// Writes into a copy of the destination's old bytes, so untouched bytes stay.
void Write(int32_t type, uint8_t* p, Rgba c) {
    const uint32_t a = c.hasAlpha ? c.a : 255;
    const uint16_t w565 = static_cast<uint16_t>((c.r >> 3) << 11 | (c.g >> 2) << 5 | c.b >> 3);
    const uint16_t w555 = static_cast<uint16_t>((c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3);
    switch (type) {
        case RGB565: p[0] = w565 & 0xFF, p[1] = w565 >> 8; break;
        case RGB555: p[0] = w555 & 0xFF, p[1] = w555 >> 8; break;
        case RGB888: p[0] = c.b, p[1] = c.g, p[2] = c.r; break;
        case BGR888: p[0] = c.r, p[1] = c.g, p[2] = c.b; break;
        case XRGB8888: p[0] = c.b, p[1] = c.g, p[2] = c.r, p[3] = 0; break;
        case XBGR8888: p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = 0; break;
        case ARGB4565: p[0] = w565 & 0xFF, p[1] = w565 >> 8, p[2] = static_cast<uint8_t>(a >> 4); break;
        case ARGB4555: p[0] = w555 & 0xFF, p[1] = w555 >> 8, p[2] = static_cast<uint8_t>(a >> 4); break;
        case ARGB8888: p[0] = c.b, p[1] = c.g, p[2] = c.r, p[3] = static_cast<uint8_t>(a); break;
        case ABGR8888: p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = static_cast<uint8_t>(a); break;
    }
}

const int32_t kTypes[] = {Palette8, RGB565, RGB555, RGB888, BGR888, XRGB8888, XBGR8888, ARGB4565, ARGB4555, ARGB8888, ABGR8888};

bool Listed(int32_t s, int32_t d) {
    if (s == RGB555 || s == RGB888 || s == ARGB8888) return d != Palette8;
    if (s == RGB565 || s == BGR888 || s == XRGB8888 || s == XBGR8888 || s == ARGB4565 || s == ARGB4555)
        return d == RGB888 || d == ARGB8888;
    return false;
}

class ConvertPair : public ::testing::TestWithParam<std::tuple<int32_t, int32_t>> {};

TEST_P(ConvertPair, MatchesTheLayoutsOrRefuses) {
    const auto [s, d] = GetParam();
    const int n = 257;
    std::mt19937 rng(s * 31 + d);
    std::vector<uint8_t> src(n * 4), dst(n * 4 + 8), expected;
    for (auto& b : src) b = static_cast<uint8_t>(rng());
    for (auto& b : dst) b = static_cast<uint8_t>(rng());
    expected = dst;
    const uint32_t r = ConvertPixelRun(src.data(), s, dst.data(), d, n);
    if (!Listed(s, d)) {
        EXPECT_EQ(r, 1u);
        EXPECT_EQ(dst, expected);  // nothing written
        return;
    }
    ASSERT_EQ(r, 0u);
    const int sb = PixelSizeOf(s), db = PixelSizeOf(d);
    if (s == d) {
        std::copy(src.begin(), src.begin() + n * sb, expected.begin());  // copied unchanged
    } else {
        for (int i = 0; i < n; ++i) Write(d, expected.data() + i * db, Read(s, src.data() + i * sb));
    }
    EXPECT_EQ(dst, expected);
}

std::string PairName(const ::testing::TestParamInfo<ConvertPair::ParamType>& info) {
    return "From" + std::to_string(std::get<0>(info.param)) + "To" + std::to_string(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(AllPairs, ConvertPair,
                         ::testing::Combine(::testing::ValuesIn(kTypes), ::testing::ValuesIn(kTypes)), PairName);

TEST(ConvertPixelRun, WidensWithZeroLowBits) {
    const uint8_t w555[2] = {0xFF, 0x7F}, w565[2] = {0xFF, 0xFF};
    uint8_t out[3];
    ASSERT_EQ(ConvertPixelRun(w555, RGB555, out, RGB888, 1), 0u);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 3), (std::vector<uint8_t>{0xF8, 0xF8, 0xF8}));
    ASSERT_EQ(ConvertPixelRun(w565, RGB565, out, RGB888, 1), 0u);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 3), (std::vector<uint8_t>{0xF8, 0xFC, 0xF8}));
    const uint8_t a4555[4] = {0, 0, 15, 0};
    uint8_t argb[4];
    ASSERT_EQ(ConvertPixelRun(a4555, ARGB4555, argb, ARGB8888, 1), 0u);
    EXPECT_EQ(argb[3], 240);
}

TEST(ConvertPixelRun, AlphaAndPadBytes) {
    const uint8_t px[4] = {0x33, 0x22, 0x11, 0x80};  // ARGB8888 0x80112233
    uint8_t abgr[4], xrgb[4] = {9, 9, 9, 9}, a4565[4] = {0, 0, 0, 0x5A};
    ConvertPixelRun(px, ARGB8888, abgr, ABGR8888, 1);
    EXPECT_EQ(std::vector<uint8_t>(abgr, abgr + 4), (std::vector<uint8_t>{0x11, 0x22, 0x33, 0x80}));
    ConvertPixelRun(px, ARGB8888, xrgb, XRGB8888, 1);
    EXPECT_EQ(std::vector<uint8_t>(xrgb, xrgb + 4), (std::vector<uint8_t>{0x33, 0x22, 0x11, 0x00}));
    const uint8_t rgb[3] = {1, 2, 3};
    ConvertPixelRun(rgb, RGB888, a4565, ARGB4565, 1);
    EXPECT_EQ(a4565[2], 15);    // a source without alpha is opaque
    EXPECT_EQ(a4565[3], 0x5A);  // the fourth byte is not written
}

TEST(ConvertPixelRun, CountOfZeroOrLessWritesNothing) {
    uint8_t src[4] = {1, 2, 3, 4}, dst[4] = {7, 7, 7, 7};
    EXPECT_EQ(ConvertPixelRun(src, RGB888, dst, ARGB8888, 0), 0u);
    EXPECT_EQ(ConvertPixelRun(src, RGB888, dst, ARGB8888, -5), 0u);
    EXPECT_EQ(dst[0], 7);
    EXPECT_EQ(ConvertPixelRun(src, 9, dst, ARGB8888, 1), 1u);
    EXPECT_EQ(ConvertPixelRun(src, RGB888, dst, 9, 1), 1u);
}

}  // namespace
