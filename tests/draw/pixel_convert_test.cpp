// Row converters against the byte-layout reference.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "draw/pixel_convert.h"
#include "tests/draw/pixel_reference.h"

namespace {

using namespace tovarineGameSDK3rd::Draw;
using namespace morna::test;

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
        for (int i = 0; i < n; ++i) Narrow(d, expected.data() + i * db, Widen(s, src.data() + i * sb));
    }
    EXPECT_EQ(dst, expected);
}

std::string PairName(const ::testing::TestParamInfo<ConvertPair::ParamType>& info) {
    return std::string(FormatName(std::get<0>(info.param))) + "_" + FormatName(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(AllPairs, ConvertPair,
                         ::testing::Combine(::testing::ValuesIn(AllFormats()), ::testing::ValuesIn(AllFormats())), PairName);

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
