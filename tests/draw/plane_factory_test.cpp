#include "draw/plane_factory.h"

#include <gtest/gtest.h>

#include <thread>

#include "draw/fast_draw.h"
#include "tests/common/log_capture.h"

namespace {

using namespace tovarineGameSDK3rd::Draw;
namespace VTL = tovarineGameSDK3rd::VTL;

TEST(PlaneFactory, AThreadWithoutAFactoryCannotMakeAPlane) {
    std::thread([] {
        EXPECT_TRUE(CPlane::GetPlaneFactory().isNull());
        try {
            CPlane plane;
            ADD_FAILURE() << "no exception";
        } catch (const VTL::CRuntimeException& e) {
            EXPECT_EQ(e.getMessage(), "CPlane::CreateInstanceでfactoryがNULL");
        }
    }).join();
}

TEST(PlaneFactory, PlanesBelongToTheLatestDisplayOfTheThread) {
    VTL::smart_ptr<CFastDraw> first = CFastDraw::CreateWithPlaneFactory();
    EXPECT_EQ(CFastDraw::GetCurrent(), first.operator->());
    CPlane a;
    VTL::smart_ptr<CFastDraw> second = CFastDraw::CreateWithPlaneFactory();
    EXPECT_EQ(CFastDraw::GetCurrent(), second.operator->());
    CPlane b;
    auto* pa = dynamic_cast<CFastPlane*>(a.operator->());
    auto* pb = dynamic_cast<CFastPlane*>(b.operator->());
    ASSERT_TRUE(pa && pb);
    EXPECT_EQ(pa->GetOwner(), first.operator->());
    EXPECT_EQ(pb->GetOwner(), second.operator->());

    // The last reference takes the plane out of its display's list.
    ASSERT_EQ(b->CreateSurfaceByType(2, 2, RGB565), 0);
    EXPECT_TRUE(second->HasPlane(pb));
    b.Release();
    EXPECT_TRUE(second->GetPlaneList().empty());

    // Another thread has a factory of its own (none here).
    std::thread([] { EXPECT_TRUE(CPlane::GetPlaneFactory().isNull()); }).join();
}

// Neither the factory nor a plane keeps reaching a display that is gone.
TEST(PlaneFactory, OutlivingTheDisplay) {
    morna::test::LogCapture log;
    VTL::smart_ptr<CFastDraw> display = CFastDraw::CreateWithPlaneFactory();
    CPlane kept;
    ASSERT_EQ(kept->CreateSurfaceByType(3, 3, XRGB8888), 0);
    CFastPlane unowned;  // the thread's current display, looked up at each use
    ASSERT_EQ(unowned.CreateSurfaceByType(2, 2, RGB565), 0);
    EXPECT_TRUE(display->HasPlane(&unowned));
    display.Release();

    EXPECT_EQ(CFastDraw::GetCurrent(), nullptr);
    EXPECT_EQ(dynamic_cast<CFastPlane*>(kept.operator->())->GetOwner(), nullptr);
    EXPECT_EQ(kept->Clear(nullptr), 0);  // its memory is its own
    kept.Release();
    unowned.Release();

    CPlane late;
    EXPECT_TRUE(late.isNull());
    EXPECT_TRUE(log.Contains("CPlaneFactoryFastPlane::CreatePlane"));
    EXPECT_EQ(unowned.CreateSurface(4, 4), 1);  // no display: no display object
}

// A plane made with no owner leaves the list it joined, whichever display is current then.
TEST(PlaneFactory, PlaneLeavesTheListItJoined) {
    VTL::smart_ptr<CFastDraw> first = CFastDraw::CreateWithPlaneFactory();
    CFastPlane plane;
    ASSERT_EQ(plane.CreateSurfaceByType(2, 2, RGB565), 0);
    VTL::smart_ptr<CFastDraw> second = CFastDraw::CreateWithPlaneFactory();
    ASSERT_EQ(plane.CreateSurfaceByType(2, 2, RGB565), 0);
    EXPECT_FALSE(first->HasPlane(&plane));
    EXPECT_TRUE(second->HasPlane(&plane));
    plane.Release();
    EXPECT_TRUE(second->GetPlaneList().empty());
    VTL::smart_ptr<ISurface> twin;
    plane.CreateInstance(twin);
    EXPECT_EQ(dynamic_cast<CFastPlane*>(twin.operator->())->GetOwner(), second.operator->());
}

}  // namespace
