#pragma once
// What the X server shows of a window: its properties, its place and state as the window
// manager leaves them, and its pixels. Xlib's macros (None, Bool, Status, ...) come with it:
// include it after everything they could clash with.
#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/Xlibint.h>  // XESetWireToError
#undef min
#undef max

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/window.h"

namespace morna::test {

struct XGeometry {
    int x = -1, y = -1, width = -1, height = -1;  // the client area on the screen
    int frameX = -1, frameY = -1;                 // the manager's frame around it
    bool viewable = false, fullScreenState = false;
};

inline const char* Utf8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

inline std::string Describe(const XGeometry& g) {
    return std::to_string(g.x) + "," + std::to_string(g.y) + " frame " + std::to_string(g.frameX) + "," +
           std::to_string(g.frameY) + " " + std::to_string(g.width) + "x" + std::to_string(g.height) +
           (g.viewable ? " viewable" : " unmapped") + (g.fullScreenState ? " fullscreen" : "");
}

class XView {
public:
    // The errors of this connection are the test's own (a window it reads may be gone): they never
    // reach the process's handler, which the program under test sets for its own connections.
    XView() : display_(XOpenDisplay(nullptr)) {
        if (display_ != nullptr)
            for (int code = 1; code < 256; ++code) XESetWireToError(display_, code, [](Display*, XErrorEvent*, xError*) -> Bool { return False; });
    }
    ~XView() {
        if (display_) XCloseDisplay(display_);
    }
    XView(const XView&) = delete;
    XView& operator=(const XView&) = delete;
    Display* get() const { return display_; }

    // The X window of one of ours.
    static Window Of(platform::WindowHandle handle) {
        SDL_SysWMinfo wm;
        SDL_VERSION(&wm.version);
        if (handle != 0 && SDL_GetWindowWMInfo(platform::GetSdlWindow(handle), &wm) && wm.subsystem == SDL_SYSWM_X11)
            return wm.info.x11.window;
        return 0;
    }

    // A property's bytes; a 32-bit format comes as longs. Empty when it is absent.
    std::vector<unsigned char> Property(Window w, const char* name, const char* type) {
        Atom actualType = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<unsigned char> out;
        const Atom wanted = type ? XInternAtom(display_, type, False) : AnyPropertyType;
        if (XGetWindowProperty(display_, w, XInternAtom(display_, name, False), 0, 4096, False, wanted, &actualType,
                               &format, &count, &after, &data) == Success &&
            data != nullptr) {
            out.assign(data, data + count * (format == 32 ? sizeof(long) : format / 8));
            if (out.empty()) out.push_back(0);  // present, if empty
            XFree(data);
        }
        return out;
    }

    // The manager announces itself early in its start-up and lists its clients once it
    // manages windows: a window mapped between the two can be lost.
    bool HasWindowManager() {
        const Window root = DefaultRootWindow(display_);
        return !Property(root, "_NET_SUPPORTING_WM_CHECK", nullptr).empty() &&
               !Property(root, "_NET_CLIENT_LIST", nullptr).empty();
    }

    XGeometry Read(Window w) {
        XGeometry g;
        XSync(display_, False);
        XWindowAttributes a;
        if (!XGetWindowAttributes(display_, w, &a)) return g;
        Window child;
        XTranslateCoordinates(display_, w, DefaultRootWindow(display_), 0, 0, &g.x, &g.y, &child);
        g.width = a.width;
        g.height = a.height;
        g.viewable = a.map_state == IsViewable;
        const auto extents = Property(w, "_NET_FRAME_EXTENTS", "CARDINAL");  // left, right, top, bottom
        const long* e = reinterpret_cast<const long*>(extents.data());
        const bool framed = extents.size() >= 4 * sizeof(long);
        g.frameX = g.x - static_cast<int>(framed ? e[0] : 0);
        g.frameY = g.y - static_cast<int>(framed ? e[2] : 0);
        const auto state = Property(w, "_NET_WM_STATE", "ATOM");
        const Atom fs = XInternAtom(display_, "_NET_WM_STATE_FULLSCREEN", False);
        for (size_t i = 0; i + sizeof(long) <= state.size(); i += sizeof(long))
            g.fullScreenState |= *reinterpret_cast<const long*>(&state[i]) == static_cast<long>(fs);
        return g;
    }

    // The managed window whose _NET_WM_NAME is the UTF-8 title; 0 while there is none.
    Window FindByTitle(const std::string& title) {
        const auto list = Property(DefaultRootWindow(display_), "_NET_CLIENT_LIST", "WINDOW");
        for (size_t i = 0; i + sizeof(long) <= list.size(); i += sizeof(long)) {
            const Window w = static_cast<Window>(*reinterpret_cast<const long*>(&list[i]));
            const auto name = Property(w, "_NET_WM_NAME", "UTF8_STRING");
            if (std::string(name.begin(), name.end()) == title) return w;
        }
        return 0;
    }

    // Asks the window's program to close it, as the manager's close button does.
    void Close(Window w) {
        Send(w, w, "WM_PROTOCOLS", static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False)), NoEventMask);
    }

    // Asks the window manager to activate the window (and restore it when minimised), as a task
    // bar does (source 2).
    void Activate(Window w) {
        Send(DefaultRootWindow(display_), w, "_NET_ACTIVE_WINDOW", 2, SubstructureRedirectMask | SubstructureNotifyMask);
    }

    // A window of this connection's own: another program's, as the game and the manager see it; a
    // desktop's stays below every other and takes no focus.
    Window MakeWindow(int x, int y, int width, int height, unsigned long pixel, bool desktop = false) {
        const Window w = XCreateSimpleWindow(display_, DefaultRootWindow(display_), x, y, width, height, 0, 0, pixel);
        XStoreName(display_, w, "other");
        if (desktop) {
            const Atom type = XInternAtom(display_, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
            XChangeProperty(display_, w, XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(&type), 1);
        }
        XMapRaised(display_, w);
        XFlush(display_);
        return w;
    }

    // The window manager's state of a window (WM_STATE: 1 normal, 3 iconic); 0 while it has none.
    long WmState(Window w) {
        const auto state = Property(w, "WM_STATE", "WM_STATE");
        return state.size() >= sizeof(long) ? *reinterpret_cast<const long*>(state.data()) : 0;
    }

    // The window that has the focus, as the manager announces it.
    Window Active() {
        const auto active = Property(DefaultRootWindow(display_), "_NET_ACTIVE_WINDOW", "WINDOW");
        return active.size() >= sizeof(long) ? static_cast<Window>(*reinterpret_cast<const long*>(active.data())) : 0;
    }

    // Whether the manager stacks window `upper` above window `lower` (_NET_CLIENT_LIST_STACKING,
    // bottom to top); false while either is not among its clients.
    bool StacksAbove(Window upper, Window lower) {
        const auto list = Property(DefaultRootWindow(display_), "_NET_CLIENT_LIST_STACKING", "WINDOW");
        long up = -1, low = -1;
        for (size_t i = 0; i + sizeof(long) <= list.size(); i += sizeof(long)) {
            const auto w = static_cast<Window>(*reinterpret_cast<const long*>(&list[i]));
            if (w == upper) up = static_cast<long>(i);
            if (w == lower) low = static_cast<long>(i);
        }
        return up >= 0 && low >= 0 && up > low;
    }

    // The manager's stacking of the given windows, top down, by their place in the list: "0>2>1>3".
    std::string StackingOf(const std::vector<Window>& windows) {
        const auto list = Property(DefaultRootWindow(display_), "_NET_CLIENT_LIST_STACKING", "WINDOW");
        std::string order;
        for (size_t i = list.size() / sizeof(long); i-- > 0;) {
            const auto w = static_cast<Window>(reinterpret_cast<const long*>(list.data())[i]);
            for (size_t k = 0; k < windows.size(); ++k)
                if (windows[k] == w && w != 0) order += (order.empty() ? "" : ">") + std::to_string(k);
        }
        return order;
    }

    // The time of the user's last action in the window, as the manager reads it: _NET_WM_USER_TIME
    // on the window, or on the window its _NET_WM_USER_TIME_WINDOW names (GTK keeps it there).
    // -1 while it has none.
    long UserTime(Window w) {
        const auto other = Property(w, "_NET_WM_USER_TIME_WINDOW", "WINDOW");
        if (other.size() >= sizeof(long)) w = static_cast<Window>(*reinterpret_cast<const long*>(other.data()));
        const auto time = Property(w, "_NET_WM_USER_TIME", "CARDINAL");
        return time.size() >= sizeof(long) ? *reinterpret_cast<const long*>(time.data()) : -1;
    }

    // What decides which window has the keyboard, for a wait that failed: the X focus, the
    // manager's active window, the named windows' user times, and the manager's stacking top down.
    std::string FocusState(const std::vector<std::pair<std::string, Window>>& named) {
        const auto hex = [](unsigned long v) {
            char s[24];
            std::snprintf(s, sizeof s, "0x%lx", v);
            return std::string(s);
        };
        const auto nameOf = [&](unsigned long w) {
            for (const auto& [name, window] : named)
                if (window == w && w != 0) return name + " " + hex(w);
            return hex(w);
        };
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display_, &focus, &revert);
        std::string out = "X focus " + nameOf(focus) + ", _NET_ACTIVE_WINDOW " + nameOf(Active()) + "; user times:";
        for (const auto& [name, window] : named)
            if (window != 0) out += " " + name + " " + std::to_string(UserTime(window));
        out += "; stacking top down:";
        const auto list = Property(DefaultRootWindow(display_), "_NET_CLIENT_LIST_STACKING", "WINDOW");
        for (size_t i = list.size() / sizeof(long); i-- > 0;)
            out += " " + nameOf(static_cast<unsigned long>(reinterpret_cast<const long*>(list.data())[i]));
        return out;
    }

    // The window's pixels as 0x00RRGGBB, after every request before it was served.
    bool Pixels(Window w, int width, int height, std::vector<uint32_t>& out) {
        XSync(display_, False);
        XImage* image = XGetImage(display_, w, 0, 0, width, height, AllPlanes, ZPixmap);
        if (image == nullptr) return false;
        out.resize(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const unsigned long p = XGetPixel(image, x, y);
                auto channel = [p](unsigned long mask) {
                    int shift = 0;
                    while (mask && !(mask & 1)) mask >>= 1, ++shift;
                    return static_cast<uint32_t>(((p >> shift) & mask) * 255 / mask);
                };
                out[static_cast<size_t>(y) * width + x] =
                    (channel(image->red_mask) << 16) | (channel(image->green_mask) << 8) | channel(image->blue_mask);
            }
        XDestroyImage(image);
        return true;
    }

private:
    // A client message about window `about` of the given type, its first word `first`, its
    // second the current time.
    void Send(Window to, Window about, const char* type, long first, long mask) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = about;
        e.xclient.message_type = XInternAtom(display_, type, False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = first;
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(display_, to, False, mask, &e);
        XFlush(display_);
    }

    Display* display_;
};

}  // namespace morna::test
