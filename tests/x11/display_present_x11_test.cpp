// The present in a real 640x480 window on an X display with a window manager
// (tools/run-with-wm.sh), through SDL's software renderer: a colour-keyed picture over a test
// pattern on a back surface at 16 and at 32 bits, read back from the X server and compared
// with the back surface.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "draw/base/blend_tables.h"
#include "draw/base/surface_info.h"
#include "draw/blt_dispatch.h"
#include "draw/fast_draw.h"
#include "platform/display_mode.h"
#include "platform/display_present.h"
#include "platform/window.h"

// Xlib's macros (None, Bool, Status, ...) last, after everything they could clash with;
// SDL_syswm.h brings Xlib in.
#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace mp = morna::platform;
using namespace tovarineGameSDK3rd::Draw;

namespace {

constexpr int kW = 640, kH = 480;

struct MemorySurface {
    MemorySurface(int32_t type, int w, int h) : bytes(static_cast<size_t>(w) * h * PixelSizeOf(type)) {
        info.type = type;
        info.width = w;
        info.height = h;
        info.pitch = w * PixelSizeOf(type);
        info.pixels = bytes.data();
        info.initialised = true;
    }
    // Writes a colour 0x00RRGGBB the way the format holds it.
    void Put(int x, int y, uint32_t c) {
        uint8_t* p = bytes.data() + y * info.pitch + x * info.GetPixelSize();
        uint32_t r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
        if (info.type == 3) {
            uint16_t w = static_cast<uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
            p[0] = static_cast<uint8_t>(w);
            p[1] = static_cast<uint8_t>(w >> 8);
        } else {
            p[0] = static_cast<uint8_t>(b);
            p[1] = static_cast<uint8_t>(g);
            p[2] = static_cast<uint8_t>(r);
            p[3] = 0;
        }
    }
    uint32_t Get(int x, int y) {
        uint32_t c = 0;
        info.GetPixel(x, y, &c);
        return c & 0xFFFFFFu;
    }
    std::vector<uint8_t> bytes;
    CSurfaceInfo info;
};

// Bars of the primaries and greys, with a gradient across each.
uint32_t Pattern(int x, int y) {
    static const uint32_t bars[] = {0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x00FF00,
                                    0xFF00FF, 0xFF0000, 0x0000FF, 0x808080};
    uint32_t bar = bars[x * 8 / kW];
    uint32_t level = 255 - static_cast<uint32_t>(y * 255 / (kH - 1)) / 2;
    uint32_t r = ((bar >> 16) & 0xFF) * level / 255, g = ((bar >> 8) & 0xFF) * level / 255,
             b = (bar & 0xFF) * level / 255;
    return (r << 16) | (g << 8) | b;
}

constexpr uint32_t kKey = 0xFF00FF;

// A 200x150 picture: a disc of changing colour on the key colour.
void DrawPicture(MemorySurface& s) {
    for (int y = 0; y < s.info.height; ++y)
        for (int x = 0; x < s.info.width; ++x) {
            int dx = x - 100, dy = y - 75;
            bool inside = dx * dx + dy * dy < 70 * 70;
            s.Put(x, y, inside ? (static_cast<uint32_t>(x) << 16) | (static_cast<uint32_t>(y) << 8) | 0x40 : kKey);
        }
}

class XReader {
public:
    XReader() : display_(XOpenDisplay(nullptr)) {}
    ~XReader() {
        if (display_) XCloseDisplay(display_);
    }
    Display* get() const { return display_; }
    bool Viewable(Window w) {
        XSync(display_, False);
        XWindowAttributes a;
        return XGetWindowAttributes(display_, w, &a) && a.map_state == IsViewable && a.width == kW &&
               a.height == kH;
    }
    // The window's pixels as 0x00RRGGBB, after every request before it was served.
    bool Read(Window w, std::vector<uint32_t>& out) {
        XSync(display_, False);
        XImage* image = XGetImage(display_, w, 0, 0, kW, kH, AllPlanes, ZPixmap);
        if (image == nullptr) return false;
        out.resize(static_cast<size_t>(kW) * kH);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                unsigned long p = XGetPixel(image, x, y);
                auto channel = [p](unsigned long mask) {
                    int shift = 0;
                    while (mask && !(mask & 1)) mask >>= 1, ++shift;
                    return static_cast<uint32_t>(((p >> shift) & mask) * 255 / mask);
                };
                out[static_cast<size_t>(y) * kW + x] =
                    (channel(image->red_mask) << 16) | (channel(image->green_mask) << 8) | channel(image->blue_mask);
            }
        XDestroyImage(image);
        return true;
    }

private:
    Display* display_;
};

intptr_t Procedure(mp::WindowHandle w, uint32_t m, uintptr_t wp, intptr_t lp) {
    return mp::DefaultWindowProcedure(w, m, wp, lp);
}

void Pump() {
    mp::WindowMessage m;
    while (mp::PeekWindowMessage(m)) mp::DispatchWindowMessage(m);
}

// Largest difference of one channel between the window and the back surface.
int WorstChannel(const std::vector<uint32_t>& shown, MemorySurface& back, int* badX, int* badY) {
    int worst = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            uint32_t a = shown[static_cast<size_t>(y) * kW + x], b = back.Get(x, y);
            for (int shift : {0, 8, 16}) {
                int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
                if (d > worst) {
                    worst = d;
                    *badX = x;
                    *badY = y;
                }
            }
        }
    return worst;
}

// A visible 640x480 window with its X window, on this thread.
struct TestWindow {
    TestWindow() {
        static bool registered = mp::RegisterWindowClass({"MornaPresentTest", &Procedure, false});
        EXPECT_TRUE(registered);
        mp::WindowCreation c;
        c.className = "MornaPresentTest";
        c.caption = "present";
        c.style = mp::WS_CAPTION | mp::WS_SYSMENU | mp::WS_VISIBLE;
        c.x = 50;
        c.y = 50;
        c.width = kW;
        c.height = kH;
        handle = mp::CreateWindow(c);
    }
    // Asked each time: SDL may make the X window anew when a renderer is made for it.
    Window XId() const {
        SDL_SysWMinfo wm;
        SDL_VERSION(&wm.version);
        if (handle != 0 && SDL_GetWindowWMInfo(mp::GetSdlWindow(handle), &wm) && wm.subsystem == SDL_SYSWM_X11)
            return wm.info.x11.window;
        return 0;
    }
    ~TestWindow() {
        if (handle != 0) mp::DestroyWindow(handle);
        Pump();
    }
    mp::WindowHandle handle = 0;
};

// The manager maps and places the window in its own time: presents until the X server shows
// `expected` (bounded), as a window would be repainted after it is exposed. Answers the
// largest channel difference of the last reading.
template <class PresentOnce>
int ShowUntilShown(const TestWindow& window, MemorySurface& expected, int tolerance, PresentOnce present) {
    XReader x;
    EXPECT_NE(x.get(), nullptr);
    if (x.get() == nullptr) return 256;
    std::vector<uint32_t> shown;
    int worst = 256, bx = 0, by = 0;
    for (int attempt = 0; attempt < 100 && worst > tolerance; ++attempt) {
        Pump();
        if (!x.Viewable(window.XId())) {
            SDL_Delay(50);
            continue;
        }
        if (!present() || !x.Read(window.XId(), shown)) return 256;
        worst = WorstChannel(shown, expected, &bx, &by);
        if (worst > tolerance) SDL_Delay(50);
    }
    if (worst > tolerance && !shown.empty())
        ADD_FAILURE() << "at " << bx << "," << by << " shown " << std::hex << shown[static_cast<size_t>(by) * kW + bx]
                      << " expected " << expected.Get(bx, by);
    return worst;
}

// The colour a pattern pixel has in the format.
uint32_t PatternIn(int32_t type, int x, int y) {
    MemorySurface p(type, 1, 1);
    p.Put(0, 0, Pattern(x, y));
    return p.Get(0, 0);
}

class PresentX11 : public ::testing::TestWithParam<int32_t> {
protected:
    void SetUp() override {
        InitBlendTables();
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    }
    int32_t type = GetParam();
    int tolerance = GetParam() == 3 ? 7 : 0;
};

TEST_P(PresentX11, WindowShowsTheBackSurface) {
    MemorySurface back(type, kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) back.Put(x, y, Pattern(x, y));
    MemorySurface picture(type, 200, 150);
    DrawPicture(picture);
    picture.info.colourKey = kKey;
    Point at{220, 165};
    BltGeometry geom;
    geom.dstPoint = &at;
    ASSERT_EQ(DispatchBlt(back.info, EBltOp::BltKeyedCopy, picture.info, geom), 0);
    // The key let the pattern through at the picture's corner; the disc covers its centre.
    EXPECT_EQ(back.Get(221, 166), PatternIn(type, 221, 166));
    EXPECT_EQ(back.Get(320, 240), picture.Get(100, 75) & (type == 3 ? 0xF8FCF8u : 0xFFFFFFu));

    TestWindow window;
    ASSERT_NE(window.XId(), 0u);
    std::string error;
    auto presenter = mp::DisplayPresenter::CreateForWindow(window.handle, &error);
    ASSERT_NE(presenter, nullptr) << error;
    mp::PresentPicture pic{back.bytes.data(), back.info.pitch, kW, kH, type, nullptr};
    EXPECT_LE(ShowUntilShown(window, back, tolerance, [&] { return presenter->Present(pic, false); }), tolerance);
    presenter.reset();
}

// The same through the display: the desktop's format selected, the picture a keyed plane.
TEST_P(PresentX11, DisplayShowsItsBackPlane) {
    TestWindow window;
    ASSERT_NE(window.XId(), 0u);
    mp::SelectDesktopFormatForTests(type);
    mp::SetDisplaySleeper([](uint32_t) {});
    {
        CFastDraw draw;
        ASSERT_EQ(draw.SetDisplayMode(false, kW, kH, 0), 0);
        ASSERT_EQ(draw.GetPrimaryType(), type);
        draw.SetPresenter(mp::DisplayPresenter::CreateForWindow(window.handle));
        ASSERT_NE(draw.GetPresenter(), nullptr);
        CFastPlane* back = draw.GetBackPlane();
        MemorySurface pattern(type, kW, kH);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) pattern.Put(x, y, Pattern(x, y));
        BltGeometry whole;
        ASSERT_EQ(back->Blt(EBltOp::BltCopy, &pattern.info, &whole, nullptr), 0);
        CFastPlane picture(&draw);
        ASSERT_EQ(picture.CreateSurface(200, 150), 0);
        MemorySurface drawn(type, 200, 150);
        DrawPicture(drawn);
        ASSERT_EQ(picture.Blt(EBltOp::BltCopy, &drawn.info, &whole, nullptr), 0);
        picture.SetColorKey(kKey);
        Point at{220, 165};
        BltGeometry geom;
        geom.dstPoint = &at;
        ASSERT_EQ(back->Blt(EBltOp::BltKeyedCopy, picture.GetSurfaceInfo(), &geom, nullptr), 0);

        MemorySurface expected(type, kW, kH);
        ASSERT_EQ(DispatchBlt(expected.info, EBltOp::BltCopy, *back->GetSurfaceInfo(), whole), 0);
        EXPECT_EQ(expected.Get(221, 166), PatternIn(type, 221, 166));
        EXPECT_LE(ShowUntilShown(window, expected, tolerance, [&] {
                      draw.Present();
                      return true;
                  }),
                  tolerance);
    }
    mp::SetDisplaySleeper(nullptr);
    mp::SelectDesktopFormatForTests(0);
}

INSTANTIATE_TEST_SUITE_P(Depths, PresentX11, ::testing::Values(3, 7),
                         [](const auto& info) { return info.param == 3 ? "RGB565" : "XRGB8888"; });

}  // namespace
