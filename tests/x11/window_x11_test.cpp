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

// Xlib's macros (None, Bool, Status, ...) last, after everything they could clash with.
#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace mp = morna::platform;
namespace sdk = tovarineGameSDK3rd;

namespace {

const char* Utf8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

struct Geometry {
    int x = -1, y = -1, width = -1, height = -1;  // the client area on the screen
    int frameX = -1, frameY = -1;                 // the manager's frame around it
    bool viewable = false, fullScreenState = false;
};

class XView {
public:
    XView() : m_display(XOpenDisplay(nullptr)) {}
    ~XView() {
        if (m_display) XCloseDisplay(m_display);
    }
    Display* get() const { return m_display; }

    std::vector<unsigned char> Property(Window w, const char* name, const char* type) {
        Atom actualType;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        std::vector<unsigned char> out;
        if (XGetWindowProperty(m_display, w, XInternAtom(m_display, name, False), 0, 4096, False,
                               XInternAtom(m_display, type, False), &actualType, &format, &count,
                               &after, &data) == Success &&
            data != nullptr) {
            out.assign(data, data + count * (format == 32 ? sizeof(long) : format / 8));
            XFree(data);
        }
        return out;
    }

    bool HasProperty(Window w, const char* name) {
        Atom actualType = 0;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        XGetWindowProperty(m_display, w, XInternAtom(m_display, name, False), 0, 0, False,
                           AnyPropertyType, &actualType, &format, &count, &after, &data);
        if (data != nullptr) XFree(data);
        return actualType != 0;
    }

    // The manager announces itself early in its start-up and lists its clients
    // once it manages windows: a window mapped between the two can be lost.
    bool HasWindowManager() {
        Window root = DefaultRootWindow(m_display);
        return HasProperty(root, "_NET_SUPPORTING_WM_CHECK") && HasProperty(root, "_NET_CLIENT_LIST");
    }

    Geometry Read(Window w) {
        Geometry g;
        XSync(m_display, False);
        XWindowAttributes a;
        if (!XGetWindowAttributes(m_display, w, &a)) return g;
        Window child;
        XTranslateCoordinates(m_display, w, DefaultRootWindow(m_display), 0, 0, &g.x, &g.y, &child);
        g.width = a.width;
        g.height = a.height;
        g.viewable = a.map_state == IsViewable;
        auto extents = Property(w, "_NET_FRAME_EXTENTS", "CARDINAL");  // left, right, top, bottom
        long left = 0, top = 0;
        if (extents.size() >= 4 * sizeof(long)) {
            left = reinterpret_cast<const long*>(extents.data())[0];
            top = reinterpret_cast<const long*>(extents.data())[2];
        }
        g.frameX = g.x - static_cast<int>(left);
        g.frameY = g.y - static_cast<int>(top);
        auto state = Property(w, "_NET_WM_STATE", "ATOM");
        Atom fs = XInternAtom(m_display, "_NET_WM_STATE_FULLSCREEN", False);
        for (size_t i = 0; i + sizeof(long) <= state.size(); i += sizeof(long))
            if (*reinterpret_cast<const long*>(&state[i]) == static_cast<long>(fs)) g.fullScreenState = true;
        return g;
    }

private:
    Display* m_display;
};

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
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!x.get() || !SDL_GetWindowWMInfo(mp::GetSdlWindow(GetHWnd()), &info) ||
            info.subsystem != SDL_SYSWM_X11)
            return;
        const Window w = info.info.x11.window;
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

std::string Describe(const Geometry& g) {
    return std::to_string(g.x) + "," + std::to_string(g.y) + " frame " + std::to_string(g.frameX) +
           "," + std::to_string(g.frameY) + " " + std::to_string(g.width) + "x" +
           std::to_string(g.height) + (g.viewable ? " viewable" : " unmapped") +
           (g.fullScreenState ? " fullscreen" : "");
}

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
