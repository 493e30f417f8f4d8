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

namespace {

std::string MessageOf(const CRuntimeException& e) {
    auto m = e.getMessage();
    return std::string(m.c_str(), m.size());
}

}  // namespace

TEST(SurfaceInfo, StartsEmptyAndRefusesLocksUntilInitialised) {
    CSurfaceInfo s;
    EXPECT_EQ(s.Lock(), -1);
    EXPECT_FALSE(s.locked);
    EXPECT_EQ(s.Unlock(), -1);
    uint32_t c = 0x12345678;
    EXPECT_EQ(s.GetPixel(0, 0, &c), 1);
    EXPECT_EQ(c, 0x12345678u);
}

TEST(SurfaceInfo, DoubleLockAndUnlockThrowTheirTexts) {
    TestSurface t(RGB565, 4, 4);
    EXPECT_THROW(t.info.Unlock(), CRuntimeException);
    ASSERT_EQ(t.info.Lock(), 0);
    EXPECT_TRUE(t.info.locked);
    try {
        t.info.Lock();
        FAIL() << "second Lock did not throw";
    } catch (const CRuntimeException& e) {
        EXPECT_EQ(MessageOf(e), "２重Lock(CSurfaceInfo::Lock)");
    }
    EXPECT_TRUE(t.info.locked);
    EXPECT_EQ(t.info.Unlock(), 0);
    try {
        t.info.Unlock();
        FAIL() << "second Unlock did not throw";
    } catch (const CRuntimeException& e) {
        EXPECT_EQ(MessageOf(e), "２重UnlockCSurfaceInfo::Unlock");
    }
}

TEST(SurfaceInfo, RefusedLockLeavesItUnlockedEveryTime) {
    TestSurface t(XRGB8888, 2, 2);
    t.info.SetLocker(smart_ptr<ISurfaceLocker>(new IDisableSurfaceLocker));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(t.info.Lock(), 1);
        EXPECT_FALSE(t.info.locked);
    }
    uint32_t c = 0xDEADBEEF;
    EXPECT_EQ(t.info.GetPixel(0, 0, &c), 1);
    EXPECT_EQ(c, 0xDEADBEEFu);
}

TEST(SurfaceInfo, LockerIsSharedAndReplaceable) {
    TestSurface t(RGB555, 2, 2);
    auto* counting = new CountingLocker(0);
    smart_ptr<ISurfaceLocker> locker(counting);
    t.info.SetLocker(locker);
    t.info.SetLocker(t.info.GetLocker());  // the held pointer onto itself changes nothing
    EXPECT_EQ(t.info.GetLocker().GetNoCheck(), counting);
    uint32_t c;
    EXPECT_EQ(t.info.GetPixel(1, 1, &c), 0);
    EXPECT_EQ(t.info.GetPixel(2, 1, &c), -1);  // outside: still locked and unlocked
    EXPECT_EQ(counting->locks, 2);
    EXPECT_EQ(counting->unlocks, 2);
    EXPECT_FALSE(t.info.locked);
}

TEST(SurfaceInfo, GetPixelBoundsAndCodesWithoutPixels) {
    TestSurface t(ARGB8888, 3, 2);
    t.At(2, 1)[0] = 0x11;
    uint32_t c = 7;
    EXPECT_EQ(t.info.GetPixel(2, 1, &c), 0);
    EXPECT_EQ(c & 0xFF, 0x11u);
    for (auto [x, y] : std::vector<std::pair<int, int>>{{3, 0}, {0, 2}, {-1, 0}, {0, -1}}) {
        c = 7;
        EXPECT_EQ(t.info.GetPixel(x, y, &c), -1);
        EXPECT_EQ(c, 7u);
    }
    for (int32_t code : {0, 1, 9, 14, -3}) {
        t.info.type = code;
        c = 7;
        EXPECT_EQ(t.info.GetPixel(0, 0, &c), -2) << code;
        EXPECT_EQ(c, 0u);
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
