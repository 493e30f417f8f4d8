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

TEST(ConvertPixelRun, CountOfZeroOrLessWritesNothing) {
    uint8_t src[4] = {1, 2, 3, 4}, dst[4] = {7, 7, 7, 7};
    EXPECT_EQ(ConvertPixelRun(src, RGB888, dst, ARGB8888, 0), 0u);
    EXPECT_EQ(ConvertPixelRun(src, RGB888, dst, ARGB8888, -5), 0u);
    EXPECT_EQ(dst[0], 7);
    EXPECT_EQ(ConvertPixelRun(src, 9, dst, ARGB8888, 1), 1u);
    EXPECT_EQ(ConvertPixelRun(src, RGB888, dst, 9, 1), 1u);
}

}  // namespace
