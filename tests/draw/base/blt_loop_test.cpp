#include "draw/base/blt_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "tests/draw/base/test_surface.h"

using namespace tovarineGameSDK3rd::Draw;
using morna::test::TestSurface;

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

// The frame's shortcuts (contiguous rows moved at once, a repeated scaled row copied from the
// row above) give what row-by-row moves and pixel-by-pixel scaling give, also where source and
// destination share bytes: both described over one buffer at a random offset.
TEST(BltLoop, ShortcutsKeepThePixelOrder) {
    using F = PixelFormat<RGB565>;
    struct PlainCopy {
        void operator()(const uint8_t* s, uint8_t* d) const { F::Store(d, F::Load(s)); }
        void Row(const uint8_t* s, uint8_t* d, int n) const { std::memmove(d, s, n * 2u); }
    };
    std::mt19937 rng(11);
    for (int round = 0; round < 400; ++round) {
        const int w = 1 + static_cast<int>(rng() % 12), h = 1 + static_cast<int>(rng() % 12);
        TestSurface base(RGB565, w, 2 * h + 4, rng() % 2 ? 0 : 2);
        base.Fill(rng);
        const auto start = base.bytes;
        CSurfaceInfo src = base.info, dst = base.info;
        src.height = dst.height = h;
        for (CSurfaceInfo* at : {&src, &dst}) at->pixels += rng() % ((h + 4) * base.info.pitch / 2) * 2;
        const Size z{w + static_cast<int>(rng() % 3) * (w / 2), h + static_cast<int>(rng() % 3) * h};
        const BltGeometry g{nullptr, rng() % 2 ? &z : nullptr};
        BltLoop<F, F>(src, dst, g, SameFormatCopyPixel<F, F>{});
        const auto fast = base.bytes;
        base.bytes = start;
        BltLoop<F, F>(src, dst, g, PlainCopy{});
        ASSERT_EQ(fast, base.bytes) << "round " << round;
    }
}
