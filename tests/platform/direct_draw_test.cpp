#include "platform/direct_draw.h"

#include <gtest/gtest.h>

#include "platform/dib.h"

namespace dd = morna::platform;

namespace {

std::unique_ptr<dd::DirectDrawSurface> Offscreen(dd::DirectDraw& ddraw, int32_t w, int32_t h) {
    dd::SurfaceRequest r;
    r.width = w;
    r.height = h;
    std::unique_ptr<dd::DirectDrawSurface> s;
    EXPECT_EQ(ddraw.CreateSurface(r, &s), dd::kDdOk);
    return s;
}

TEST(DirectDrawSurface, TakesTheDisplayFormatWithAnAlignedPitch) {
    for (int code = 2; code <= 8; ++code) {
        dd::DirectDraw ddraw;
        ddraw.SetDisplayMode(code, 320, 200);
        auto s = Offscreen(ddraw, 5, 3);
        ASSERT_TRUE(s);
        dd::SurfaceDesc d;
        ASSERT_TRUE(s->GetSurfaceDesc(d));
        const dd::SurfaceDesc want = dd::DescribeDisplayFormat(code);
        EXPECT_EQ(d.bitCount, want.bitCount);
        EXPECT_EQ(d.redMask, want.redMask);
        dd::LockedSurface locked;
        ASSERT_EQ(s->Lock(&locked), dd::kDdOk);
        EXPECT_GE(locked.pitch, static_cast<int32_t>(5 * want.bitCount / 8));
        EXPECT_EQ(locked.pitch % 16, 0);
        EXPECT_EQ(s->Lock(&locked), dd::kDdErrSurfaceBusy);
        EXPECT_EQ(s->Unlock(), dd::kDdOk);

        dd::SurfaceRequest primary;
        primary.primary = true;
        std::unique_ptr<dd::DirectDrawSurface> p;
        ASSERT_EQ(ddraw.CreateSurface(primary, &p), dd::kDdOk);
        EXPECT_EQ(p->Width(), 320);
        EXPECT_EQ(p->Height(), 200);
    }
}

TEST(DirectDrawSurface, RefusesSizesOutsideTheLimits) {
    dd::DirectDraw ddraw;
    std::unique_ptr<dd::DirectDrawSurface> s;
    for (auto [w, h] : {std::pair{0, 4}, {4, -1}, {dd::kMaxSurfaceSide + 1, 1}, {8192, 8192}}) {
        dd::SurfaceRequest r;
        r.width = w;
        r.height = h;
        EXPECT_EQ(ddraw.CreateSurface(r, &s), dd::kDdErrInvalidParams) << w << "x" << h;
        EXPECT_FALSE(s);
    }
}

TEST(DirectDrawSurface, ADisplayChangeLosesEverySurfaceAndItsPixels) {
    dd::DirectDraw ddraw;
    auto a = Offscreen(ddraw, 4, 4);
    auto b = Offscreen(ddraw, 2, 2);
    EXPECT_EQ(ddraw.SurfaceCount(), 2);
    dd::LockedSurface locked;
    ASSERT_EQ(a->Lock(&locked), dd::kDdOk);
    locked.pixels[0] = 0x7F;
    a->Unlock();

    ddraw.SetDisplayMode(3, 640, 480);
    EXPECT_EQ(a->IsLost(), dd::kDdErrSurfaceLost);
    EXPECT_EQ(b->IsLost(), dd::kDdErrSurfaceLost);
    EXPECT_EQ(a->Lock(&locked), dd::kDdErrSurfaceLost);
    EXPECT_EQ(a->Restore(), dd::kDdOk);
    ASSERT_EQ(a->Lock(&locked), dd::kDdOk);
    EXPECT_EQ(locked.pixels[0], 0);
    a->Unlock();

    b.reset();
    EXPECT_EQ(ddraw.SurfaceCount(), 1);
    std::unique_ptr<dd::DirectDrawSurface> attached;
    EXPECT_EQ(a->GetAttachedSurface(&attached), dd::kDdErrNotFound);
}

// The context draws on a copy; only the pixels it changed go back, so a pad byte survives.
TEST(DirectDrawSurface, DeviceContextWritesBackWhatItDrew) {
    struct Case {
        int32_t format;
        uint32_t drawn;     // COLORREF
        uint32_t expected;  // the stored word
    };
    for (const Case& c : {Case{3, 0x0000FF, 0xF800}, Case{4, 0xFF0000, 0x001F},
                          Case{6, 0x332211, 0x332211},
                          Case{7, 0x332211, 0xAB112233}}) {
        dd::DirectDraw ddraw;
        ddraw.SetDisplayMode(c.format, 640, 480);
        auto s = Offscreen(ddraw, 3, 2);
        const int bytes = static_cast<int>(dd::DescribeDisplayFormat(c.format).bitCount / 8);
        dd::LockedSurface locked;
        ASSERT_EQ(s->Lock(&locked), dd::kDdOk);
        for (int i = 0; i < bytes; ++i) locked.pixels[locked.pitch + i] = 0xAB;  // (0, 1)
        s->Unlock();

        dd::DeviceContext* dc = nullptr;
        ASSERT_EQ(s->GetDC(&dc), dd::kDdOk);
        EXPECT_EQ(s->Lock(&locked), dd::kDdErrSurfaceBusy);
        dd::DeviceContext* again = nullptr;
        EXPECT_EQ(s->GetDC(&again), dd::kDdErrSurfaceBusy);
        dc->SetPixel(2, 1, c.drawn);
        dc->SetPixel(0, 1, dc->GetPixel(0, 1));  // unchanged: the pad byte stays
        EXPECT_EQ(s->ReleaseDC(nullptr), dd::kDdErrInvalidParams);
        ASSERT_EQ(s->ReleaseDC(dc), dd::kDdOk);

        ASSERT_EQ(s->Lock(&locked), dd::kDdOk);
        uint32_t word = 0;
        for (int i = 0; i < bytes; ++i) word |= uint32_t{locked.pixels[locked.pitch + 2 * bytes + i]} << (8 * i);
        const uint32_t expected = bytes == 4 ? c.expected & 0x00FFFFFF : c.expected;
        EXPECT_EQ(word, expected) << c.format;
        EXPECT_EQ(locked.pixels[locked.pitch + bytes - 1], 0xAB);
        s->Unlock();
    }
}

}  // namespace
