// The display's change sequence with its answers, the planes rebuilt after it, the present of
// each frame (brightness, layers, the copy shown through the presenter) and the window hook.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

#include "draw/fast_draw.h"
#include "platform/display_mode.h"
#include "platform/window.h"
#include "tests/common/log_capture.h"

namespace {

using namespace tovarineGameSDK3rd::Draw;
namespace dd = morna::platform;

std::vector<uint32_t> g_slept;

class DisplayChange : public ::testing::Test {
protected:
    void SetUp() override {
        g_slept.clear();
        dd::SetDisplaySleeper([](uint32_t ms) { g_slept.push_back(ms); });
    }
    void TearDown() override {
        dd::SetDisplaySleeper(nullptr);
        dd::SelectDesktopFormatForTests(0);
        dd::InjectDisplayModeRefusals(0);
    }
    uint32_t Pixel(CFastPlane& plane, int x, int y) {
        uint32_t c = 0xDEADBEEF;
        EXPECT_EQ(plane.GetSurfaceInfo()->GetPixel(x, y, &c), 0);
        return c & 0xFFFFFF;
    }
    CFastDraw draw;
};

class WindowedFormat : public DisplayChange, public ::testing::WithParamInterface<int32_t> {};

TEST_P(WindowedFormat, TheWindowTakesTheDesktopsFormat) {
    const int32_t code = GetParam();
    ASSERT_TRUE(dd::SelectDesktopFormatForTests(code));
    EXPECT_EQ(draw.SetDisplayMode(false, 320, 200, 0), 0);
    EXPECT_FALSE(draw.IsFullScreen());
    EXPECT_EQ(draw.GetBpp(), 16);
    EXPECT_EQ(draw.GetPrimaryType(), code);
    int w = 0, h = 0;
    EXPECT_EQ(draw.GetBackPlane()->GetSize(&w, &h), 0);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(320, 200));
    // On a palette display the back plane is an RGB555 DIB and a conversion plane exists.
    EXPECT_EQ(draw.GetBackPlane()->GetSurfaceType(), code == 2 ? 4 : code);
    EXPECT_EQ(draw.GetPalettePlane()->GetSurfaceType(), code == 2 ? 2 : 0);
    EXPECT_TRUE(g_slept.empty());  // window to window does not wait
}

INSTANTIATE_TEST_SUITE_P(Codes, WindowedFormat, ::testing::Range(2, 9));

// A depth-24 server's desktop is XRGB8888; a size of 0 keeps the display's; a test outside a
// change does nothing.
TEST_F(DisplayChange, DesktopDefaultsAndATestOutsideAChange) {
    EXPECT_EQ(draw.TestDisplayMode(640, 480, true, 16), 0);
    EXPECT_EQ(draw.GetPrimary()->GetDDSurface(), nullptr);
    EXPECT_EQ(draw.SetDisplayMode(false, 0, 0, 0), 0);
    EXPECT_EQ(draw.GetPrimaryType(), 7);
    int w = 0, h = 0;
    draw.GetDisplaySize(&w, &h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(640, 480));
}

TEST_F(DisplayChange, FullScreenAtSixteenAndThirtyTwoBitsWaitsBeforeRestoring) {
    EXPECT_EQ(draw.SetDisplayMode(true, 640, 480, 16), 0);
    EXPECT_TRUE(draw.IsFullScreen());
    EXPECT_EQ(draw.GetPrimaryType(), 3);
    EXPECT_EQ(g_slept, std::vector<uint32_t>{500});
    EXPECT_EQ(draw.SetDisplayMode(true, 640, 480, 32), 0);
    EXPECT_EQ(draw.GetPrimaryType(), 7);
    EXPECT_EQ(draw.ChangeDisplay(false), 0);  // leaving full screen waits too
    EXPECT_EQ(draw.GetPrimaryType(), 7);
    EXPECT_FALSE(draw.IsFullScreen());
    EXPECT_EQ(g_slept.size(), 3u);
}

// The cursor's counter is brought to the mode's state from wherever it stands: hidden (below
// 0) in full screen, shown (0 or above) in a window, and left alone when already so.
TEST_F(DisplayChange, TheCursorFollowsTheModeFromAnyCount) {
    auto count = [] {
        dd::ShowCursor(true);
        return dd::ShowCursor(false);  // read without changing it
    };
    auto set = [&](int32_t n) {
        for (int32_t c = count(); c != n;) c = dd::ShowCursor(c < n);
    };
    for (bool full : {true, false, true})
        for (int32_t start : {-3, 0, 2}) {
            set(start);
            ASSERT_EQ(draw.ChangeDisplay(full), 0);
            EXPECT_EQ(count(), full ? std::min(start, -1) : std::max(start, 0)) << full << " from " << start;
        }
    set(0);
}

// A refused full screen falls back to the window; with no mode at all the change answers 1,
// leaves every surface released and nothing to present, and the display recovers.
TEST_F(DisplayChange, RefusedModes) {
    morna::test::LogCapture log;
    dd::InjectDisplayModeRefusals(1);
    EXPECT_EQ(draw.SetDisplayMode(true, 640, 480, 16), 0);
    EXPECT_FALSE(draw.IsFullScreen());
    EXPECT_EQ(draw.GetPrimaryType(), 7);
    dd::InjectDisplayModeRefusals(1);
    draw.GetDDraw()->InjectCreateSurfaceFailures(1);  // the window's primary
    EXPECT_EQ(draw.SetDisplayMode(true, 640, 480, 16), 1);
    EXPECT_EQ(draw.GetPrimary()->GetDDSurface(), nullptr);
    draw.GetDDraw()->InjectCreateSurfaceFailures(1);
    EXPECT_EQ(draw.ChangeDisplay(false), 2);
    draw.Present();
    EXPECT_FALSE(draw.IsChangeOpen());
    EXPECT_EQ(draw.ChangeDisplay(false), 0);
}

TEST_F(DisplayChange, AChangeLeftByAThrowIsClosedAndItsLockLeft) {
    dd::SetDisplaySleeper([](uint32_t) { throw std::runtime_error("sleeper"); });
    EXPECT_THROW(draw.SetDisplayMode(true, 640, 480, 16), std::runtime_error);
    EXPECT_FALSE(draw.IsChangeOpen());
    EXPECT_FALSE(draw.GetLock().IsLockedByThisThread());
    dd::SetDisplaySleeper(nullptr);
    EXPECT_EQ(draw.ChangeDisplay(false), 0);
}

// The back plane keeps its pixels through a change, and so does a display plane that keeps its
// contents, whose pixels the change loses before its rebuild.
TEST_F(DisplayChange, PlanesAreRebuiltForTheNewFormatAndTheBackPlaneKeepsItsPixels) {
    ASSERT_EQ(draw.SetDisplayMode(false, 64, 48, 0), 0);
    CFastPlane plane(&draw), kept(&draw);
    kept.SetKeepContents(true);
    ASSERT_EQ(plane.CreateSurface(16, 8), 0);
    ASSERT_EQ(kept.CreateSurface(16, 8), 0);
    EXPECT_EQ(plane.GetSurfaceType(), 7);
    for (CFastPlane* p : {draw.GetBackPlane(), &kept}) {
        p->SetFillColor(0x123456);
        p->Clear(nullptr);
    }
    ASSERT_EQ(draw.ChangeDisplay(true), 0);  // full screen at 16 bits
    EXPECT_EQ(plane.GetSurfaceType(), 3);
    EXPECT_EQ(draw.GetBackPlane()->GetSurfaceType(), 3);
    EXPECT_EQ(Pixel(*draw.GetBackPlane(), 5, 5), 0x103450u);  // copied through the change
    EXPECT_EQ(std::pair(kept.GetSurfaceType(), Pixel(kept, 15, 7)), std::pair(3, 0x103450u));
    EXPECT_EQ(Pixel(plane, 0, 0), 0u);
}

// A picture the rebuilt plane does not take back (here its lock refused) is lost with a line.
TEST_F(DisplayChange, APictureNotPutBackIsLogged) {
    ASSERT_EQ(draw.SetDisplayMode(false, 64, 48, 0), 0);
    static CFastPlane* back;
    back = draw.GetBackPlane();
    back->SetFillColor(0x123456);
    back->Clear(nullptr);
    morna::test::LogCapture log;
    // The wait comes after the back plane's rebuild, before the pictures are put back.
    dd::SetDisplaySleeper([](uint32_t) {
        back->GetSurfaceInfo()->SetLocker(tovarineGameSDK3rd::VTL::smart_ptr<ISurfaceLocker>(new IDisableSurfaceLocker));
    });
    ASSERT_EQ(draw.ChangeDisplay(true), 0);
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"CFastPlane::PutBackPictureで画像を戻せない(7→3)"});
}

// ---- present

class Present : public DisplayChange {
protected:
    void Start(int32_t code, int w = 32, int h = 24) {
        dd::SelectDesktopFormatForTests(code);
        ASSERT_EQ(draw.SetDisplayMode(false, w, h, 0), 0);
        draw.SetPresenter(dd::DisplayPresenter::CreateOffscreen(w, h));
        ASSERT_NE(draw.GetPresenter(), nullptr);
    }
    std::vector<uint32_t> Shown() {
        std::vector<uint32_t> out;
        int32_t w = 0, h = 0;
        EXPECT_TRUE(draw.GetPresenter()->ReadOutput(out, w, h));
        return out;
    }
};

class PresentFormat : public Present, public ::testing::WithParamInterface<int32_t> {};

TEST_P(PresentFormat, TheBackPlaneIsShown) {
    Start(GetParam());
    CFastPlane* back = draw.GetBackPlane();
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x) {
            uint32_t colour = static_cast<uint32_t>(x * 8) << 16 | static_cast<uint32_t>(y * 10) << 8 | 0x80;
            back->SetFillColor(colour);
            Rect r{x, y, x + 1, y + 1};
            back->Clear(&r);
        }
    draw.Present();
    auto shown = Shown();
    ASSERT_EQ(shown.size(), 32u * 24u);
    const uint32_t mask = GetParam() == 3 ? 0xF8FCF8u : GetParam() == 4 ? 0xF8F8F8u : 0xFFFFFFu;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(shown[y * 32 + x] & mask, Pixel(*back, x, y)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Codes, PresentFormat, ::testing::Range(3, 9));

TEST_F(Present, BrightnessFadesTheBackPlaneBeforeItIsShown) {
    Start(7);
    CFastPlane* back = draw.GetBackPlane();
    back->SetFillColor(0xC08040);
    back->Clear(nullptr);
    draw.Present();
    EXPECT_EQ(Shown()[0], 0xC08040u);  // 256: untouched
    draw.SetBrightness(128);
    draw.Present();
    EXPECT_EQ(Pixel(*back, 0, 0), 0x604020u);
    EXPECT_EQ(Shown()[100], 0x604020u);
}

struct RecordingLayer : ILayer {
    void OnDraw(dd::DeviceContext*) override { ++dcDraws; }
    void OnDraw(ISurface* s) override {
        s->SetFillColor(colour);
        Rect r{0, 0, 1, 1};
        s->Clear(&r);
    }
    uint32_t colour = 0;
    int dcDraws = 0;
};

TEST_F(Present, LayersDrawInTheirOrderBeforeTheFade) {
    Start(7);
    RecordingLayer under, over;
    under.colour = 0x0000FF;
    over.colour = 0x00FF00;
    draw.GetLayers1().Add(&under);
    draw.GetLayers2().Add(&over);
    draw.Present();
    EXPECT_EQ(Shown()[0], 0x00FF00u);
    draw.Present(nullptr, false);  // without layers the back plane is shown as it is
    EXPECT_EQ(Shown()[0], 0x00FF00u);
}

TEST_F(Present, ActivationRebuildsALostPrimaryAtTheNextPresent) {
    Start(7);
    draw.GetDDraw()->LoseAllSurfaces();
    draw.WndProc(0, dd::WM_ACTIVATEAPP, 0, 0);
    draw.WndProc(0, dd::WM_ACTIVATEAPP, 1, 0);
    draw.Present();  // rebuilds, presents nothing
    EXPECT_EQ(draw.GetPrimary()->GetDDSurface()->IsLost(), dd::kDdOk);
}

}  // namespace
