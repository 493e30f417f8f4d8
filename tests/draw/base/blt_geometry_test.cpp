#include "draw/base/blt_geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "draw/base/blt_loop.h"
#include "tests/draw/base/test_surface.h"

using namespace tovarineGameSDK3rd::Draw;
using morna::test::TestSurface;

namespace {

bool Same(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
#define EXPECT_RECT(r, l, t, ri, b) EXPECT_TRUE(Same(r, Rect{l, t, ri, b})) \
    << "(" << (r).left << "," << (r).top << "," << (r).right << "," << (r).bottom << ")"

struct Desc {
    CSurfaceInfo info;
    Desc(int w, int h) {
        info.width = w;
        info.height = h;
    }
};

// Source columns a 1-row stretch reads: every source pixel holds its column number.
std::vector<int> ColumnsRead(int srcW, int dstW, int x, const Rect* clip = nullptr) {
    TestSurface src(XRGB8888, srcW, 1), dst(XRGB8888, 64, 1);
    for (int i = 0; i < srcW; ++i) PixelFormat<XRGB8888>::Store(src.At(i, 0), static_cast<uint32_t>(i));
    for (int i = 0; i < 64; ++i) PixelFormat<XRGB8888>::Store(dst.At(i, 0), 0xFFFFFFFFu);
    Point p{x, 0};
    Size s{dstW, 1};
    BltGeometry g{&p, &s, nullptr, clip, 0};
    BltLoop<PixelFormat<XRGB8888>, PixelFormat<XRGB8888>>(src.info, dst.info, g,
                                                          SameFormatCopyPixel<PixelFormat<XRGB8888>, PixelFormat<XRGB8888>>{});
    std::vector<int> cols;
    for (int i = 0; i < 64; ++i) {
        uint32_t v = PixelFormat<XRGB8888>::Load(dst.At(i, 0));
        if (v != 0xFFFFFFFFu) cols.push_back(static_cast<int>(v));
    }
    return cols;
}

}  // namespace

TEST(CalcBltGeometry, BasePoints) {
    Desc d(640, 480), s(100, 50);
    Point p{320, 240};
    BltClipResult r;
    const int lefts[] = {320, 270, 220, 320, 270, 220, 320, 270, 220};
    const int tops[] = {240, 240, 240, 215, 215, 215, 190, 190, 190};
    for (int code = 0; code < 9; ++code) {
        ASSERT_EQ(CalcBltGeometry(d.info, s.info, BltGeometry{&p, nullptr, nullptr, nullptr, code}, r), 0);
        EXPECT_EQ(r.dstRect.left, lefts[code]) << code;
        EXPECT_EQ(r.dstRect.top, tops[code]) << code;
    }
    for (int code : {9, -1, 1000}) {
        ASSERT_EQ(CalcBltGeometry(d.info, s.info, BltGeometry{&p, nullptr, nullptr, nullptr, code}, r), 0);
        EXPECT_RECT(r.dstRect, 320, 240, 420, 290);
    }
    // An odd width halves toward minus infinity: 101 centred at 0 starts at -50.
    Desc odd(101, 10);
    Point zero{0, 0};
    ASSERT_EQ(CalcBltGeometry(d.info, odd.info, BltGeometry{&zero, nullptr, nullptr, nullptr, 1}, r), 0);
    EXPECT_RECT(r.srcRect, 50, 0, 101, 10);
    EXPECT_RECT(r.dstRect, 0, 0, 51, 10);
}

TEST(CalcBltGeometry, StretchedColumns) {
    EXPECT_EQ(ColumnsRead(5, 10, 0), (std::vector<int>{0, 0, 1, 1, 2, 2, 3, 3, 4, 4}));
    EXPECT_EQ(ColumnsRead(5, 10, -3), (std::vector<int>{1, 2, 2, 3, 3, 4, 4}));
    EXPECT_EQ(ColumnsRead(10, 5, 0), (std::vector<int>{0, 2, 4, 6, 8}));
    EXPECT_EQ(ColumnsRead(2, 4, 0), (std::vector<int>{0, 0, 1, 1}));
    EXPECT_EQ(ColumnsRead(4, 2, 0), (std::vector<int>{0, 2}));
    EXPECT_EQ(ColumnsRead(3, 2, 0), (std::vector<int>{0, 1}));
    // A 2x stretch clipped by two columns continues where the unclipped one is.
    EXPECT_EQ(ColumnsRead(5, 10, -2), (std::vector<int>{1, 1, 2, 2, 3, 3, 4, 4}));
    Rect clip{3, 0, 64, 1};
    EXPECT_EQ(ColumnsRead(5, 10, 0, &clip), (std::vector<int>{1, 2, 2, 3, 3, 4, 4}));
}

// Coordinates and sizes near the 32-bit limits: sums and products must not wrap.
TEST(CalcBltGeometry, ExtremeCoordinates) {
    Desc d(640, 480), s(10, 10);
    BltClipResult r;
    Point maxP{INT32_MAX, INT32_MAX};
    EXPECT_EQ(CalcBltGeometry(d.info, s.info, BltGeometry{&maxP}, r), 1);
    Point minP{INT32_MIN, INT32_MIN};
    EXPECT_EQ(CalcBltGeometry(d.info, s.info, BltGeometry{&minP}, r), 1);
    Size huge{INT32_MAX, INT32_MAX};
    for (int base = 0; base < 9; ++base) {
        EXPECT_EQ(CalcBltGeometry(d.info, s.info, BltGeometry{&minP, &huge, nullptr, nullptr, base}, r), 1) << base;
        // Anchored bottom right at the far corner, the huge rectangle covers the destination.
        EXPECT_EQ(CalcBltGeometry(d.info, s.info, BltGeometry{&maxP, &huge, nullptr, nullptr, base}, r), base == 8 ? 0 : 1)
            << base;
    }
    // The last few columns of an enormous stretch that started far to the left.
    Point start{INT32_MIN + 5, 0};
    Size wide{INT32_MAX, 10};
    ASSERT_EQ(CalcBltGeometry(d.info, s.info, BltGeometry{&start, &wide}, r), 0);
    EXPECT_RECT(r.dstRect, 0, 0, 4, 10);
    EXPECT_EQ(r.srcRect.left, 9);
    EXPECT_LT(r.errX, 0);
    EXPECT_GE(r.errX, -INT32_MAX - 1);
    Size tall{10, INT32_MAX};
    Point up{0, INT32_MIN + 3};
    ASSERT_EQ(CalcBltGeometry(d.info, s.info, BltGeometry{&up, &tall}, r), 0);
    EXPECT_EQ(r.srcRect.top, 9);
}
