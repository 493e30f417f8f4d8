// The application window on a real X display with a window manager
// (tools/run-with-wm.sh): its caption as the manager reads it, and its geometry
// through a switch to full screen and back.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "foundation/appframe/app_base.h"
#include "foundation/appframe/app_initializer.h"
#include "foundation/thread/thread_manager.h"
#include "platform/window.h"

#include "tests/x11/x_view.h"  // last: Xlib's macros

namespace mp = morna::platform;
namespace sdk = tovarineGameSDK3rd;
using Geometry = morna::test::XGeometry;
using morna::test::Describe;
using morna::test::Utf8;
using morna::test::XView;

namespace {

struct Results {
    std::string netWmName;
    bool sawWindowed = false, sawFullScreen = false, sawWindowedAgain = false;
    Geometry windowed, fullScreen, windowedAgain;
    int screenWidth = 0, screenHeight = 0;
};

class X11App : public sdk::AppFrame::CAppBase {
public:
    explicit X11App(Results* r) : m_r(r) {}
    int32_t OnPreCreate(sdk::Window::CWindowOption& o) override {
        o.caption = "モルナ ver1.01";
        o.className = "MORNA_X11_TEST";
        o.width = 640;
        o.height = 480;
        o.style = 0x10CA0000;
        return 0;
    }

    // Pumps until the window's geometry satisfies `done`, for at most 10 s: the
    // window manager answers in its own time.
    bool WaitFor(XView& x, Window w, Geometry& g, const std::function<bool(const Geometry&)>& done) {
        const uint32_t start = SDL_GetTicks();
        while (SDL_GetTicks() - start < 10000) {
            IsThreadValid();
            g = x.Read(w);
            if (done(g)) return true;
            SDL_Delay(20);
        }
        return false;
    }

    void MainThread() override {
        XView x;
        const Window w = XView::Of(GetHWnd());
        if (!x.get() || w == 0) return;
        mp::GetScreenSize(m_r->screenWidth, m_r->screenHeight);
        const int cx = (m_r->screenWidth - 640) >> 1, cy = (m_r->screenHeight - 480) >> 1;
        // As the position of a window is that of its frame, the frame is centred
        // on the client size's half difference.
        auto centred = [&](const Geometry& g) {
            return g.viewable && !g.fullScreenState && g.width == 640 && g.height == 480 &&
                   g.frameX == cx && g.frameY == cy;
        };
        m_r->sawWindowed = WaitFor(x, w, m_r->windowed, centred);
        auto name = x.Property(w, "_NET_WM_NAME", "UTF8_STRING");
        m_r->netWmName.assign(name.begin(), name.end());

        sdk::Window::IWindow* window = GetWindow();
        window->SetFullScreen(true);
        window->ChangeScreenMode();
        m_r->sawFullScreen = WaitFor(x, w, m_r->fullScreen, [&](const Geometry& g) {
            return g.viewable && g.fullScreenState && g.x == 0 && g.y == 0 &&
                   g.width == m_r->screenWidth && g.height == m_r->screenHeight;
        });

        window->SetFullScreen(false);
        window->ChangeScreenMode();
        m_r->sawWindowedAgain = WaitFor(x, w, m_r->windowedAgain, centred);
    }

private:
    Results* m_r;
};

}  // namespace

TEST(X11Window, CaptionAndFullScreenRoundTrip) {
    {
        XView x;
        ASSERT_NE(x.get(), nullptr) << "no X display";
        const uint32_t start = SDL_GetTicks();
        while (!x.HasWindowManager() && SDL_GetTicks() - start < 10000) SDL_Delay(20);
        ASSERT_TRUE(x.HasWindowManager()) << "no window manager on the display";
    }
    Results r;
    {
        sdk::AppFrame::CAppInitializer init(nullptr, nullptr, "", 1);
        ASSERT_EQ(sdk::Thread::CThreadManager::StartThread(new X11App(&r)), 0);
    }  // the application returns from MainThread when it has seen everything
    EXPECT_EQ(r.netWmName, Utf8(u8"モルナ ver1.01"));
    EXPECT_TRUE(r.sawWindowed) << Describe(r.windowed);
    EXPECT_TRUE(r.sawFullScreen) << Describe(r.fullScreen) << " screen " << r.screenWidth << "x"
                                 << r.screenHeight;
    EXPECT_TRUE(r.sawWindowedAgain) << Describe(r.windowedAgain);
}
