#include "draw/base/surface_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/vtl/exception.h"
#include "tests/draw/base/test_surface.h"

using namespace tovarineGameSDK3rd::Draw;
using tovarineGameSDK3rd::VTL::CRuntimeException;
using tovarineGameSDK3rd::VTL::smart_ptr;
using morna::test::CountingLocker;
using morna::test::TestSurface;

// Locks: refused until initialised, a refusal leaves it unlocked, a second Lock or Unlock
// throws; GetPixel locks around every read, inside or outside, and leaves *colour alone
// on a failure.
TEST(SurfaceInfo, LocksAndGetPixelAnswers) {
    CSurfaceInfo empty;
    uint32_t c = 7;
    EXPECT_EQ(empty.Lock(), -1);
    EXPECT_EQ(empty.Unlock(), -1);
    EXPECT_EQ(empty.GetPixel(0, 0, &c), 1);

    TestSurface t(ARGB8888, 3, 2);
    EXPECT_THROW(t.info.Unlock(), CRuntimeException);
    ASSERT_EQ(t.info.Lock(), 0);
    try {
        t.info.Lock();
        ADD_FAILURE() << "second Lock did not throw";
    } catch (const CRuntimeException& e) {
        EXPECT_EQ(e.getMessage(), "２重Lock(CSurfaceInfo::Lock)");
    }
    EXPECT_EQ(t.info.Unlock(), 0);
    EXPECT_THROW(t.info.Unlock(), CRuntimeException);

    auto* counting = new CountingLocker(0);
    t.info.SetLocker(smart_ptr<ISurfaceLocker>(counting));
    t.info.SetLocker(t.info.GetLocker());  // the held pointer onto itself changes nothing
    for (auto [x, y] : std::vector<std::pair<int, int>>{{3, 0}, {0, 2}, {-1, 0}, {0, -1}}) {
        EXPECT_EQ(t.info.GetPixel(x, y, &c), -1);
        EXPECT_EQ(c, 7u);
    }
    EXPECT_EQ(counting->locks, 4);
    EXPECT_EQ(counting->unlocks, 4);
    for (int32_t code : {0, 1, 9, 14, -3}) {
        t.info.type = code;
        EXPECT_EQ(t.info.GetPixel(0, 0, &c), -2) << code;
    }
    t.info.type = ARGB8888;
    t.info.SetLocker(smart_ptr<ISurfaceLocker>(new IDisableSurfaceLocker));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(t.info.GetPixel(0, 0, &c), 1);
        EXPECT_FALSE(t.info.locked);
    }
}

TEST(SurfaceInfo, ClipRectCutsToTheSurface) {
    TestSurface t(RGB888, 10, 8);
    auto edges = [](const Rect& r) { return std::vector<int32_t>{r.left, r.top, r.right, r.bottom}; };
    Rect r;
    EXPECT_EQ(edges(t.info.ClipRect(&r)), (std::vector<int32_t>{0, 0, 10, 8}));
    Rect in{-5, 3, 20, 4};
    t.info.ClipRect(&r, &in);
    EXPECT_EQ(edges(r), (std::vector<int32_t>{0, 3, 10, 4}));
    Rect inverted{12, 5, -3, 2};
    t.info.ClipRect(&r, &inverted);  // returned as cut, not repaired
    EXPECT_EQ(edges(r), (std::vector<int32_t>{12, 5, -3, 2}));
}
