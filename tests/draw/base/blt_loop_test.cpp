#include "draw/base/blt_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "tests/draw/base/reference_blt.h"
#include "tests/draw/base/test_surface.h"

using namespace tovarineGameSDK3rd::Draw;
using morna::test::RandomBlt;
using morna::test::ReferenceBlt;
using morna::test::TestSurface;

namespace {

template <class S, class D>
struct ConvertPixel {
    void operator()(const uint8_t* s, uint8_t* d) const { D::Store(d, FromColor<D>(ToColor<S>(S::Load(s)))); }
};

template <SurfaceType SC, SurfaceType DC, class Op, class Fn>
void CompareWithReference(uint32_t seed, int rounds, Fn fn) {
    using S = PixelFormat<SC>;
    using D = PixelFormat<DC>;
    std::mt19937 rng(seed);
    for (int i = 0; i < rounds; ++i) {
        auto r = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        TestSurface src(SC, r(1, 30), r(1, 30), r(0, 3));
        TestSurface dst(DC, r(1, 40), r(1, 40), r(0, 3));
        src.Fill(rng);
        dst.Fill(rng);
        RandomBlt b(rng, src.info.width, src.info.height, dst.info.width, dst.info.height);
        std::vector<uint8_t> expect = dst.bytes;
        CSurfaceInfo ref = dst.info;
        ref.pixels = expect.data();
        ReferenceBlt(src.info, ref, b.g, S::kBytes, D::kBytes, fn);
        BltLoop<S, D>(src.info, dst.info, b.g, Op{});
        ASSERT_EQ(dst.bytes, expect) << "round " << i;
    }
}

template <class F>
class SameFormatCopy : public ::testing::Test {};
using AllFormats =
    ::testing::Types<PixelFormat<Palette8>, PixelFormat<RGB565>, PixelFormat<RGB555>, PixelFormat<RGB888>,
                     PixelFormat<BGR888>, PixelFormat<XRGB8888>, PixelFormat<XBGR8888>, PixelFormat<ARGB4565>,
                     PixelFormat<ARGB4555>, PixelFormat<ARGB8888>, PixelFormat<ABGR8888>>;
TYPED_TEST_SUITE(SameFormatCopy, AllFormats);

}  // namespace

TYPED_TEST(SameFormatCopy, EqualsPlainReference) {
    using F = TypeParam;
    CompareWithReference<F::kType, F::kType, SameFormatCopyPixel<F, F>>(
        1234u + F::kType, 3000, [](const uint8_t* s, uint8_t* d) { std::memcpy(d, s, F::kStoredBytes); });
}

// The frame with pixel sizes that differ between source and destination.
TEST(BltLoop, ConvertingOperatorEqualsPlainReference) {
    auto conv = [](auto s, auto d) {
        using S = decltype(s);
        using D = decltype(d);
        return [](const uint8_t* sp, uint8_t* dp) { D::Store(dp, FromColor<D>(ToColor<S>(S::Load(sp)))); };
    };
    CompareWithReference<RGB565, RGB888, ConvertPixel<PixelFormat<RGB565>, PixelFormat<RGB888>>>(
        1, 1500, conv(PixelFormat<RGB565>{}, PixelFormat<RGB888>{}));
    CompareWithReference<BGR888, ARGB4555, ConvertPixel<PixelFormat<BGR888>, PixelFormat<ARGB4555>>>(
        2, 1500, conv(PixelFormat<BGR888>{}, PixelFormat<ARGB4555>{}));
    CompareWithReference<ARGB8888, RGB565, ConvertPixel<PixelFormat<ARGB8888>, PixelFormat<RGB565>>>(
        3, 1500, conv(PixelFormat<ARGB8888>{}, PixelFormat<RGB565>{}));
    CompareWithReference<Palette8, XBGR8888, ConvertPixel<PixelFormat<Palette8>, PixelFormat<XBGR8888>>>(
        4, 500, conv(PixelFormat<Palette8>{}, PixelFormat<XBGR8888>{}));
}

// A stretch clipped anywhere writes, inside the clip, exactly what the unclipped stretch writes.
TEST(BltLoop, ClippedStretchEqualsUnclippedStretch) {
    using F = PixelFormat<XRGB8888>;
    std::mt19937 rng(99);
    auto r = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int i = 0; i < 2000; ++i) {
        TestSurface src(XRGB8888, r(1, 20), r(1, 20));
        src.Fill(rng);
        TestSurface whole(XRGB8888, 48, 48), clipped(XRGB8888, 48, 48);
        Point p{r(-10, 10), r(-10, 10)};
        Size z{r(1, 60), r(1, 60)};
        Rect clip{r(0, 47), r(0, 47), 0, 0};
        clip.right = r(clip.left + 1, 48);
        clip.bottom = r(clip.top + 1, 48);
        BltLoop<F, F>(src.info, whole.info, BltGeometry{&p, &z}, SameFormatCopyPixel<F, F>{});
        BltLoop<F, F>(src.info, clipped.info, BltGeometry{&p, &z, nullptr, &clip}, SameFormatCopyPixel<F, F>{});
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 48; ++x) {
                const bool in = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
                const uint32_t expect = in ? F::Load(whole.At(x, y)) : 0;
                ASSERT_EQ(F::Load(clipped.At(x, y)), expect) << i << " at " << x << "," << y;
            }
        }
    }
}

namespace {

// Records the destination offsets in the order the worker visits them.
std::vector<ptrdiff_t>* visits = nullptr;
template <class S, class D>
struct RecordPixel {
    void operator()(const uint8_t*, uint8_t* d) const { visits->push_back(d - base); }
    static inline uint8_t* base = nullptr;
};

}  // namespace

// Groups of eight plus the rest, and the scaled path: each pixel once, left to right, top to
// bottom, for widths around the group size.
TEST(BltLoop, VisitsEveryPixelOnceInOrder) {
    using F = PixelFormat<RGB888>;
    std::vector<ptrdiff_t> seen;
    visits = &seen;
    for (int w = 1; w <= 17; ++w) {
        for (int scaled = 0; scaled < 2; ++scaled) {
            TestSurface src(RGB888, w, 3), dst(RGB888, 20, 4, 2);
            RecordPixel<F, F>::base = dst.bytes.data();
            Point p{1, 1};
            Size z{w, 3};
            Rect sr{0, 0, w, 3};
            Size big{w + 1, 3};
            seen.clear();
            BltLoop<F, F>(src.info, dst.info, BltGeometry{&p, scaled ? &big : &z, scaled ? &sr : nullptr},
                          RecordPixel<F, F>{});
            std::vector<ptrdiff_t> expect;
            const int n = scaled ? std::min(w + 1, 19) : w;
            for (int y = 1; y < 4; ++y)
                for (int x = 1; x < 1 + n; ++x) expect.push_back(y * dst.info.pitch + x * 3);
            EXPECT_EQ(seen, expect) << "width " << w << (scaled ? " scaled" : "");
        }
    }
    visits = nullptr;
}

TEST(BltLoop, NothingToDrawAnswersOneAndTouchesNothing) {
    using F = PixelFormat<ARGB8888>;
    using Copy = SameFormatCopyPixel<F, F>;
    TestSurface src(ARGB8888, 4, 4), dst(ARGB8888, 4, 4);
    std::mt19937 rng(5);
    dst.Fill(rng);
    const auto before = dst.bytes;
    Point outside{4, 0};
    EXPECT_EQ((BltLoop<F, F>(src.info, dst.info, BltGeometry{&outside}, Copy{})), 1);
    Size zero{0, 4};
    EXPECT_EQ((BltLoop<F, F>(src.info, dst.info, BltGeometry{nullptr, &zero}, Copy{})), 1);
    EXPECT_EQ(dst.bytes, before);
    EXPECT_EQ((BltLoop<F, F>(src.info, dst.info, BltGeometry{}, Copy{})), 0);
    EXPECT_EQ(dst.bytes, src.bytes);
}

namespace {
template <class S, class D>
struct KeyedPixel {
    explicit KeyedPixel(const BltParam& p) : key(p.key) {}
    void operator()(const uint8_t* s, uint8_t* d) const {
        const auto v = S::Load(s);
        if ((v & S::kColorMask) != (key & S::kColorMask)) D::Store(d, v);
    }
    uint32_t key;
};
}  // namespace

// A member is one line: formats and operator; the per-pixel argument reaches the operator.
TEST(BltLoop, MemberCarriesItsParameter) {
    TestSurface src(RGB565, 3, 1), dst(RGB565, 3, 1);
    const uint16_t px[3] = {0xF81F, 0x1234, 0xF81F};
    std::memcpy(src.bytes.data(), px, 6);
    static constexpr BltPair table[] = {
        {XRGB8888, XRGB8888, &BltMember<XRGB8888, XRGB8888, KeyedPixel>},
        {RGB565, RGB565, &BltMember<RGB565, RGB565, KeyedPixel>},
    };
    EXPECT_EQ(FindBltMember(table, RGB565, RGB555), nullptr);
    const BltMemberFn member = FindBltMember(table, RGB565, RGB565);
    ASSERT_EQ(member, (&BltMember<RGB565, RGB565, KeyedPixel>));
    BltParam param;
    param.key = PackColorKey(RGB565, 0xFF00FF, RGB565);
    EXPECT_EQ(member(src.info, dst.info, param, BltGeometry{}), 0);
    uint16_t out[3];
    std::memcpy(out, dst.bytes.data(), 6);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0x1234);
    EXPECT_EQ(out[2], 0);
}
