#include "draw/base/surface_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/vtl/exception.h"
#include "platform/surface_desc.h"
#include "tests/common/log_capture.h"
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

namespace {

class FakeDesc : public morna::platform::ISurfaceDescSource {
public:
    FakeDesc(bool ok, uint32_t bits, uint32_t r, uint32_t g, uint32_t b) : ok_(ok), desc_{bits, r, g, b} {}
    bool GetSurfaceDesc(morna::platform::SurfaceDesc& out) override {
        if (ok_) out = desc_;
        return ok_;
    }

private:
    bool ok_;
    morna::platform::SurfaceDesc desc_;
};

struct ProbeCase {
    uint32_t bits, r, g, b;
    int32_t code;
    std::vector<std::string> log;
};

}  // namespace

TEST(SurfaceProbe, NullAndUnreadable) {
    morna::test::LogCapture log;
    EXPECT_EQ(CDirectDrawSurfaceManager::GetSurfaceType(nullptr), -1);
    EXPECT_TRUE(log.Lines().empty());
    FakeDesc broken(false, 32, 0xFF0000, 0xFF00, 0xFF);
    EXPECT_EQ(CDirectDrawSurfaceManager::GetSurfaceType(&broken), 0);
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"CDirectDrawSurfaceManager::GetSurfaceTypeでGetSurfaceDescに失敗"});
}

TEST(SurfaceProbe, ClassifiesByBitsAndMasks) {
    const std::vector<ProbeCase> cases = {
        {8, 0, 0, 0, Palette8, {}},
        {8, 1, 2, 3, Palette8, {}},
        {16, 0xF800, 0x07E0, 0x001F, RGB565, {}},
        {16, 0x7C00, 0x03E0, 0x001F, RGB555, {}},
        {24, 0xFF0000, 0xFF00, 0xFF, RGB888, {}},
        {24, 0xFF, 0xFF00, 0xFF0000, BGR888, {}},
        {32, 0xFF0000, 0xFF00, 0xFF, XRGB8888, {}},
        {32, 0xFF, 0xFF00, 0xFF0000, XBGR8888, {}},
        {16, 0x0F00, 0x00F0, 0x000F, 1,
         {"CDirectDrawSurfaceManager::16bppの不明ピクセルフォーマット検出", "BMask=0xf00 BMask=0xf0 BMask=0xf"}},
        {24, 0xFF00, 0xFF, 0xFF0000, 1,
         {"CDirectDrawSurfaceManager::24bppの不明ピクセルフォーマット検出", "BMask=0xff00 BMask=0xff BMask=0xff0000"}},
        {32, 0xF800, 0x07E0, 0x001F, 1,
         {"CDirectDrawSurfaceManager::32bppの不明ピクセルフォーマット検出", "BMask=0xf800 BMask=0x7e0 BMask=0x1f"}},
        {15, 0x7C00, 0x03E0, 0x001F, 1,
         {"CDirectDrawSurfaceManager::bpp不明のピクセルフォーマット検出", "nBpp=15 BMask=0x7c00 BMask=0x3e0 BMask=0x1f"}},
    };
    for (const ProbeCase& c : cases) {
        morna::test::LogCapture log;
        FakeDesc desc(true, c.bits, c.r, c.g, c.b);
        EXPECT_EQ(CDirectDrawSurfaceManager::GetSurfaceType(&desc), c.code) << c.bits << " " << c.r;
        EXPECT_EQ(log.Lines(), c.log);
    }
}
