// The application window on a real X display with a window manager
// (tools/run-with-wm.sh): its caption as the manager reads it, its client area before
// anything is drawn, its geometry through a switch to full screen and back, and a
// minimised window kept minimised when it is shown or leaves full screen. The pointer's motion
// over it reaches the pump as no X system event.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "foundation/appframe/app_base.h"
#include "foundation/appframe/app_initializer.h"
#include "foundation/thread/thread_manager.h"
#include "platform/event_observer.h"
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
    uint32_t undrawnOr = 0xFFFFFF;  // every pixel of the client area before a frame, or-ed
    int systemEvents = -1;          // taken by the pump while the pointer moved over the window
    // Minimised: iconic after a show, and 2 s after leaving full screen; then restored.
    bool iconicAfterShow = false, iconicAfterLeaving = false, fullScreenWhileIconic = true, sawRestored = false;
    Geometry restored;
};

bool Iconic(XView& x, Window w) { return x.WmState(w) == IconicState; }

void CountSystemEvents(const SDL_Event& e, void* count) { *static_cast<int*>(count) += e.type == SDL_SYSWMEVENT; }

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
        std::vector<uint32_t> pixels;
        if (m_r->sawWindowed && x.Pixels(w, 640, 480, pixels)) {
            m_r->undrawnOr = 0;
            for (uint32_t p : pixels) m_r->undrawnOr |= p;
        }
        m_r->systemEvents = 0;
        mp::AddEventObserver(&CountSystemEvents, &m_r->systemEvents);
        for (int i = 0; i < 40; ++i) {
            XWarpPointer(x.get(), None, w, 0, 0, 0, 0, 10 + i * 15, 10 + i * 11);
            XFlush(x.get());
            Geometry g;
            WaitFor(x, w, g, [&, start = SDL_GetTicks()](const Geometry&) { return SDL_GetTicks() - start >= 25; });
        }
        mp::RemoveEventObserver(&CountSystemEvents, &m_r->systemEvents);
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

        // Minimised, as the manager's button does; the repaint after an activation shows it.
        Geometry g;
        const auto iconic = [&](const Geometry&) { return Iconic(x, w); };
        const auto hold = [&](uint32_t ms) {
            WaitFor(x, w, g, [&, start = SDL_GetTicks()](const Geometry&) { return SDL_GetTicks() - start >= ms; });
        };
        XIconifyWindow(x.get(), w, DefaultScreen(x.get()));
        if (!WaitFor(x, w, g, iconic)) return;
        hold(500);  // SDL hears of it too
        window->SetSize(640, 480);
        hold(1000);
        m_r->iconicAfterShow = Iconic(x, w);

        // Minimised in full screen: the window leaves full screen as the application leaves, and
        // stays minimised, to come back framed and centred.
        x.Activate(w);
        if (!WaitFor(x, w, g, centred)) return;
        window->SetFullScreen(true);
        window->ChangeScreenMode();
        if (!WaitFor(x, w, g, [](const Geometry& f) { return f.viewable && f.fullScreenState; })) return;
        XIconifyWindow(x.get(), w, DefaultScreen(x.get()));
        if (!WaitFor(x, w, g, iconic)) return;
        window->SetFullScreen(false);
        window->ChangeScreenMode();
        window->SetSize(640, 480);
        hold(2000);
        m_r->iconicAfterLeaving = Iconic(x, w);
        m_r->fullScreenWhileIconic = x.Read(w).fullScreenState;
        x.Activate(w);
        m_r->sawRestored = WaitFor(x, w, m_r->restored, centred);
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
    // What lies under the window before it opens is white: an undrawn window that showed it
    // would read white.
    XView x;
    const Window under = x.MakeWindow(0, 0, 1024, 768, 0xFFFFFF);
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
    EXPECT_EQ(r.undrawnOr, 0u) << "an undrawn client area is black";
    EXPECT_EQ(r.systemEvents, 0);
    EXPECT_TRUE(r.iconicAfterShow);
    EXPECT_TRUE(r.iconicAfterLeaving);
    EXPECT_FALSE(r.fullScreenWhileIconic);
    EXPECT_TRUE(r.sawRestored) << Describe(r.restored);
    XDestroyWindow(x.get(), under);
}
