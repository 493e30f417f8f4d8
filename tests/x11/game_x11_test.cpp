// The built game on an X display with a window manager (tools/run-with-wm.sh, 1024x768): its
// window as the manager sees it, closed as by the manager's close button or destroyed by another
// program, and the place it keeps in save/system.cfg for the next start, in a window and in full
// screen; minimised and restored as a desktop user does it (keys typed through XTEST, the
// manager's requests for the rest, a window of the test's own as another program's), and black
// where it has not drawn.
// Built without XTEST too: the tests that type or click then skip.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "framework/config.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "tests/common/file_bytes.h"
#include "tests/common/full_screen_start.h"
#include "tests/common/game_process.h"
#include "tests/common/wait.h"

#include "tests/x11/x_view.h"  // last: Xlib's macros
#include <X11/keysym.h>
#ifdef MORNA_HAVE_XTEST
#include <X11/extensions/XTest.h>
#define SKIP_WITHOUT_XTEST()
#else
#define SKIP_WITHOUT_XTEST() GTEST_SKIP() << "built without XTEST: nothing can be typed or clicked"
#endif

namespace {

namespace KB = KestraneGameBase2;
namespace mt = morna::test;

auto FrameAt(int x, int y) {
    return [=](const mt::XGeometry& g) { return g.viewable && g.width == 640 && g.height == 480 && g.frameX == x && g.frameY == y; };
}
// The manager's frame is round it (its extents on the left and top are not 0), not full screen.
bool Framed(const mt::XGeometry& g) { return g.x > g.frameX && g.y > g.frameY && !g.fullScreenState; }
bool FullScreen(const mt::XGeometry& g) {
    return g.viewable && g.fullScreenState && g.width == 1024 && g.height == 768;
}
// The line a dialog's close writes where GTK's requests failed on a window another program destroyed.
bool GtksDroppedErrors(const std::string& line) {
    return line.rfind("GTK: ", 0) == 0 && line.find("another program destroyed; not reported") != std::string::npos;
}

// What a connection of its own sees at the root (its errors its own, as XView's): the ordinary
// windows mapped and made there, and windows destroyed as another program destroys them.
class RootWatch {
public:
    RootWatch() {
        if (display() == nullptr) return;
        XSelectInput(display(), DefaultRootWindow(display()), SubstructureNotifyMask);
        XSync(display(), False);
        // The manager's client, which made its check window: its frames are no program's dialog.
        const auto check = view_.Property(DefaultRootWindow(display()), "_NET_SUPPORTING_WM_CHECK", "WINDOW");
        if (check.size() >= sizeof(long)) manager_ = ClientOf(*reinterpret_cast<const long*>(check.data()));
    }
    // Ordinary (not override-redirect) windows mapped at the root: the program's own without a
    // manager, the manager's frames round them with one. Counted from the events the server sent
    // before the count, so a finished program's are all there.
    int Count() {
        if (display() == nullptr) return -1;
        ForEachEvent([&](const XEvent& e) { count_ += e.type == MapNotify && !e.xmap.override_redirect; });
        return count_;
    }
    // The next ordinary window made at the root since the last, not by the manager, that is big
    // enough for a dialog (GTK's group leader is 10x10), as soon as its notice comes; 0 when none came
    // by the deadline (of MonotonicMilliseconds).
    Window NextDialog(uint32_t deadline) {
        for (;;) {
            while (XPending(display()) > 0) {
                XEvent e;
                XNextEvent(display(), &e);
                const XCreateWindowEvent& c = e.xcreatewindow;
                if (e.type == CreateNotify && c.parent == DefaultRootWindow(display()) && !c.override_redirect &&
                    c.width >= 50 && c.height >= 50 && ClientOf(c.window) != manager_)
                    return c.window;
            }
            if (static_cast<int32_t>(morna::platform::MonotonicMilliseconds() - deadline) >= 0) return 0;
            ::usleep(500);
        }
    }
    void Destroy(Window w) {
        XDestroyWindow(display(), w);
        XFlush(display());
    }

private:
    Display* display() const { return view_.get(); }
    // The client a window belongs to: the bits of its id above those the server gives each client.
    XID ClientOf(XID window) const { return window & ~display()->resource_mask; }
    void ForEachEvent(const std::function<void(const XEvent&)>& seen) {
        XSync(display(), False);
        while (XPending(display()) > 0) {
            XEvent e;
            XNextEvent(display(), &e);
            seen(e);
        }
    }
    mt::XView view_;
    int count_ = 0;
    XID manager_ = 0;
};

class X11Game : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(x_.get(), nullptr) << "no X display";
        mt::WaitUntil([&] { return x_.HasWindowManager(); }, {}, 10000, 20);
        ASSERT_TRUE(x_.HasWindowManager()) << "no window manager on the display";
        ASSERT_TRUE(morna::platform::NameFromSystemPath(game_ / "save/system.cfg", systemCfg_));
    }
    void TearDown() override {
        if (pid_ != 0) mt::Finish(pid_, 0);  // a game left running by a failed check
    }

    // Whether the game still runs; once it has ended, its exit code is in ended_.
    bool Running() {
        int status = 0;
        if (pid_ == 0 || ::waitpid(pid_, &status, WNOHANG) != pid_) return pid_ != 0;
        ended_ = WIFEXITED(status) ? WEXITSTATUS(status) : -2;
        pid_ = 0;
        return false;
    }

    // Starts the game and answers its window once it is `done` (10 s at most), else 0: the
    // window titled as the game's once the start-up has written the key bindings.
    Window Start(const std::function<bool(const mt::XGeometry&)>& done) {
        std::filesystem::remove(game_ / "save/key.cfg");
        pid_ = game_.Start({});
        Window w = 0;
        bool seen = mt::Started(pid_, game_ / "save/key.cfg");
        if (seen) mt::WaitUntil([&] { return (w = x_.FindByTitle(kTitle)) != 0 && done(seen_ = x_.Read(w)); }, {}, 10000, 20);
        return seen && w != 0 && done(seen_) ? w : 0;
    }
    // Closes the window as its close box does: the game's exit code (-1: not ended).
    int End(Window w) {
        x_.Close(w);
        const int code = mt::Finish(pid_, 60);
        pid_ = 0;
        return code;
    }
    // Starts the game, waits for its window to be `done`, then closes it: the exit code (-1: not seen, or not ended).
    int Run(const std::function<bool(const mt::XGeometry&)>& done, const std::function<void(Window)>& then = {}) {
        const Window w = Start(done);
        if (w == 0) return -1;
        if (then) then(w);
        return End(w);
    }
    // Polls until done, 20 s at most: whether it came.
    static bool Until(const std::function<bool()>& done) {
        return mt::WaitUntil(done, {}, 20000, 20);
    }
    bool Iconic(Window w) { return x_.WmState(w) == IconicState; }
    // Minimises the window as its title bar's button does and waits until the manager has.
    bool Minimise(Window w) {
        XIconifyWindow(x_.get(), w, DefaultScreen(x_.get()));
        XFlush(x_.get());
        return Until([&] { return Iconic(w); });
    }
    // Another program's window, once the manager shows it (see XView::MakeWindow).
    Window OtherProgram(int x, int y, int width, int height, unsigned long pixel, bool desktop = false) {
        const Window w = x_.MakeWindow(x, y, width, height, pixel, desktop);
        return Until([&] { return x_.Read(w).viewable; }) ? w : 0;
    }
    // Alt+Return (the game's full screen key) typed into the focused game, held until its window
    // is full screen, and pressed again where the game did not read it.
    bool AltReturnToFullScreen(Window w) {
        return mt::HoldUntil(
            [&](bool down) {
                Type(XK_Alt_L, down);
                Type(XK_Return, down);
            },
            [&] { return FullScreen(seen_ = x_.Read(w)); });
    }
    void Type(KeySym key, bool down) {
#ifdef MORNA_HAVE_XTEST
        XTestFakeKeyEvent(x_.get(), XKeysymToKeycode(x_.get(), key), down, CurrentTime);
        XFlush(x_.get());
#else
        ADD_FAILURE() << "typed without XTEST: " << key << " " << down;
#endif
    }
    // A click of the first button at (x, y) on the screen.
    void Click(int x, int y) {
#ifdef MORNA_HAVE_XTEST
        XTestFakeMotionEvent(x_.get(), -1, x, y, CurrentTime);
        XTestFakeButtonEvent(x_.get(), 1, True, CurrentTime);
        XTestFakeButtonEvent(x_.get(), 1, False, CurrentTime);
        XFlush(x_.get());
#else
        ADD_FAILURE() << "clicked without XTEST at " << x << "," << y;
#endif
    }
    // The window stays minimised for 5 s, looked at after 2 s and 5 s.
    void StaysMinimised(Window w) {
        for (const int seconds : {2, 3}) {
            ::sleep(seconds);
            seen_ = x_.Read(w);
            EXPECT_TRUE(Iconic(w) && !seen_.viewable) << mt::Describe(seen_);
        }
    }

    KB::SSystemConfig Saved() {
        KB::SSystemConfig system;
        EXPECT_EQ(system.Load(systemCfg_.c_str()), 0);  // the trailer is valid
        return system;
    }

    const std::string kTitle = mt::Utf8(u8"モルナ ver1.01");
    mt::XView x_;
    mt::GameFolder game_{"g"};
    std::string systemCfg_;
    pid_t pid_ = 0;
    int ended_ = -1;
    mt::XGeometry seen_;
};

TEST_F(X11Game, OpensCentredClosesCleanlyAndComesBackWhereItWasAndAFullScreenRunStoresTheCorner) {
    // Placed by its outer corner, centred: (1024 - 640) / 2, (768 - 480) / 2; then the player
    // moves it (the manager puts the frame where asked). The start shows one window, made once
    // with what its renderer needs: none comes and goes before it.
    RootWatch maps;
    EXPECT_EQ(Run(FrameAt(192, 144), [&](Window w) {
                  XMoveWindow(x_.get(), w, 50, 70);
                  mt::WaitUntil([&] { return FrameAt(50, 70)(seen_ = x_.Read(w)); }, {}, 10000, 20);
              }), 0) << mt::Describe(seen_) << game_.Stderr();
    EXPECT_EQ(maps.Count(), 1);
    EXPECT_EQ(mt::ReadBytes(game_ / "save/system.cfg").size(), 46u);
    EXPECT_EQ(mt::ReadBytes(game_ / "save/key.cfg").size(), 102u);
    EXPECT_FALSE(std::filesystem::exists(game_ / "save/global.cfg"));
    KB::SSystemConfig saved = Saved();
    EXPECT_EQ((std::vector<int32_t>{saved.fullScreen, saved.width, saved.height, saved.windowX, saved.windowY}),
              (std::vector<int32_t>{0, 640, 480, 50, 70}));

    EXPECT_EQ(Run(FrameAt(50, 70)), 0) << mt::Describe(seen_);  // the next start
    EXPECT_EQ(maps.Count(), 2);

    saved.fullScreen = true;
    ASSERT_FALSE(saved.Save());
    EXPECT_EQ(Run([](const mt::XGeometry& g) {
                  return g.viewable && g.fullScreenState && g.x == 0 && g.y == 0 && g.width == 1024 && g.height == 768;
              }), 0) << mt::Describe(seen_) << game_.Stderr();
    saved = Saved();
    EXPECT_EQ((std::vector<int32_t>{saved.fullScreen, saved.windowX, saved.windowY}), (std::vector<int32_t>{1, 0, 0}));
}

TEST_F(X11Game, CloseSignalEndsTheStartErrorBoxAndTheGameAsItsCloseBoxDoes) {
    std::filesystem::remove(game_ / "data/text/data.txt");
    for (const int signal : {SIGTERM, SIGINT}) {
        std::filesystem::remove_all(game_ / "save");
        pid_ = game_.Start({});
        // As long as a start-up may take (the ASan build beside busy cores takes 7 to 9 s).
        Window box = 0;
        const bool boxUp = mt::WaitUntil(
            [&] { return (box = x_.FindByTitle(mt::Utf8(u8"エラー"))) != 0 && x_.Read(box).viewable; }, {}, 60000, 20);
        ASSERT_TRUE(boxUp) << "box " << box << ", the game " << (Running() ? "runs" : "ended") << "\n"
                           << game_.Stderr();
        ::kill(pid_, signal);
        EXPECT_EQ(mt::Finish(pid_, 10), 0) << signal;
        pid_ = 0;
        EXPECT_TRUE(std::filesystem::exists(game_ / "save/system.cfg")) << signal;  // the exit save
    }
}

// Another program destroys the game's X window (no close request), shown, minimised and in full
// screen: the game ends as by its close box, within seconds, with its exit save, and says so in one
// line instead of logging every request that fails on the window.
TEST_F(X11Game, AWindowDestroyedByAnotherProgramEndsTheGameAsItsCloseBoxDoes) {
    enum class Shown { framed, minimised, fullScreen };
    for (const Shown shown : {Shown::framed, Shown::minimised, Shown::fullScreen}) {
        const int mode = static_cast<int>(shown);
#ifndef MORNA_HAVE_XTEST
        if (shown == Shown::fullScreen) continue;  // Alt+Return is typed
#endif
        const Window w = Start(FrameAt(192, 144));
        ASSERT_NE(w, 0u) << mt::Describe(seen_) << game_.Stderr();
        if (shown == Shown::minimised) {
            ASSERT_TRUE(Minimise(w));
        } else if (shown == Shown::fullScreen) {
            ASSERT_TRUE(Until([&] { return x_.Active() == w; })) << x_.FocusState({{"game", w}});
            ASSERT_TRUE(AltReturnToFullScreen(w)) << mt::Describe(seen_);
        }
        std::filesystem::remove(game_ / "save/system.cfg");
        XDestroyWindow(x_.get(), w);
        XFlush(x_.get());
        EXPECT_EQ(mt::Finish(pid_, 5), 0) << mode << "\n" << game_.Stderr();
        pid_ = 0;
        EXPECT_EQ(mt::ReadBytes(game_ / "save/system.cfg").size(), 46u) << mode;
        // Its place is the frame's corner, as the close box's saves it, however soon it was destroyed.
        const KB::SSystemConfig saved = Saved();
        EXPECT_EQ((std::vector<int32_t>{saved.fullScreen, saved.windowX, saved.windowY}),
                  shown == Shown::fullScreen ? (std::vector<int32_t>{1, 0, 0}) : (std::vector<int32_t>{0, 192, 144}))
            << mode;
        const std::string log = game_.Stderr();
        size_t errors = 0, said = 0;
        for (size_t at = 0; (at = log.find("X error", at)) != std::string::npos; ++at) ++errors;
        for (size_t at = 0; (at = log.find("destroyed", at)) != std::string::npos; ++at) ++said;
        EXPECT_EQ(errors, 0u) << mode << log;
        EXPECT_EQ(said, 1u) << mode << log;
    }
}

// F1, and another program destroys the settings dialog's X window as it opens: at once, 20, 50 and
// 100 ms after the window appears at the root, 16 times in a game. The game runs on; F1 then opens
// a dialog that is drawn and closes at its close box; the game's close saves as ever. Nothing is
// written but the game's own line of its start (the music's volume), GTK's notice of a window
// destroyed, and the count of GTK's requests that failed on it, at a dialog's close.
TEST_F(X11Game, TheSettingsDialogDestroyedAsItOpensLeavesTheGameRunning) {
    SKIP_WITHOUT_XTEST();
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);  // no sound library's lines in the log
    const Window w = Start(FrameAt(192, 144));
    ASSERT_NE(w, 0u) << mt::Describe(seen_) << game_.Stderr();
    RootWatch creates;
    const auto now = [] { return morna::platform::MonotonicMilliseconds(); };
    // F1 typed into the active game until a window comes: the dialog's. The game reads the keyboard
    // once a frame and takes a press of F1 after it has read the last dialog's end: the key is held
    // down for a second at most, then up for 150 ms, and typed again while none came. A slow opening
    // makes its window after the key went up, and no F1 makes another while it is open: every window
    // made since the last dialog is awaited, from the first press on.
    const auto openByF1 = [&] {
        const uint32_t deadline = now() + 20000;
        Window made = creates.NextDialog(now());
        while (made == 0 && Running() && static_cast<int32_t>(now() - deadline) < 0) {
            if (x_.Active() != w) x_.Activate(w);
            if (!Until([&] { return x_.Active() == w || !Running(); })) break;
            Type(XK_F1, true);
            made = creates.NextDialog(now() + 1000);
            Type(XK_F1, false);
            if (made == 0) made = creates.NextDialog(now() + 150);
        }
        return made;
    };
    // What a failed opening saw: the game, a titled dialog, the focus, the game's log.
    const auto noDialog = [&] {
        const Window titled = x_.FindByTitle(mt::Utf8(u8"設定"));
        return std::string("the game ") + (Running() ? "runs" : "ended") + " (" + std::to_string(ended_) + "), " +
               (titled != 0 ? "a window titled " : "no window titled ") + mt::Utf8(u8"設定") + "; " +
               x_.FocusState({{"game", w}, {"dialog", titled}}) + "\n" + game_.Stderr();
    };
    const uint32_t moments[] = {0, 20, 50, 100};
    for (int close = 0; close < 16; ++close) {
        const Window dialog = openByF1();
        const uint32_t made = now();
        ASSERT_NE(dialog, 0u) << "no dialog for close " << close << ": " << noDialog();
        while (now() - made < moments[close % 4]) ::usleep(500);
        creates.Destroy(dialog);
        ::usleep(150000);  // F1 up for some frames
    }
    ASSERT_NE(openByF1(), 0u) << noDialog();
    // The dialog as the manager lists it once shown, drawn: most of it the light ground of its
    // pages, where a dialog that draws nothing shows the game under it.
    Window dialog = 0;
    std::vector<uint32_t> pixels;
    double light = 0;
    const bool drawn = Until([&] {
        if (!Running()) return true;
        dialog = x_.FindByTitle(mt::Utf8(u8"設定"));
        const mt::XGeometry d = dialog != 0 ? x_.Read(dialog) : mt::XGeometry{};
        if (!d.viewable || !x_.Pixels(dialog, d.width, d.height, pixels)) return false;
        light = static_cast<double>(std::count_if(pixels.begin(), pixels.end(), [](uint32_t p) {
                    return (p >> 16 & 0xff) > 200 && (p >> 8 & 0xff) > 200 && (p & 0xff) > 200;
                })) / static_cast<double>(pixels.size());
        return light > 0.5;
    });
    ASSERT_TRUE(Running()) << ended_ << "\n" << game_.Stderr();
    EXPECT_TRUE(drawn) << "light part " << light;
    x_.Close(dialog);
    EXPECT_TRUE(Until([&] { return x_.FindByTitle(mt::Utf8(u8"設定")) == 0 || !Running(); }));
    std::filesystem::remove(game_ / "save/system.cfg");
    EXPECT_EQ(End(w), 0);
    EXPECT_EQ(mt::ReadBytes(game_ / "save/system.cfg").size(), 46u);
    std::stringstream log(game_.Stderr());
    for (std::string line; std::getline(log, line);)
        EXPECT_TRUE(line.empty() || line.find("unexpectedly destroyed") != std::string::npos ||
                    GtksDroppedErrors(line) || line.find("CWaveStaticSound::GetVolume") != std::string::npos)
            << line;
}

// The start error's box destroyed by another program as soon as the manager lists it: the start
// ends as at the box's OK, and nothing is written but the error itself (and GTK's notice of a
// window destroyed, and the count of its requests that failed on it).
TEST_F(X11Game, AStartErrorBoxDestroyedByAnotherProgramEndsTheStartAsItsOkDoes) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);  // no sound library's lines in the log
    std::filesystem::remove(game_ / "data/text/data.txt");
    pid_ = game_.Start({});
    Window box = 0;
    ASSERT_TRUE(Until([&] { return (box = x_.FindByTitle(mt::Utf8(u8"エラー"))) != 0 || !Running(); }))
        << game_.Stderr();
    ASSERT_NE(box, 0u) << ended_ << "\n" << game_.Stderr();
    XDestroyWindow(x_.get(), box);
    XFlush(x_.get());
    EXPECT_EQ(mt::Finish(pid_, 10), 0);
    pid_ = 0;
    std::stringstream log(game_.Stderr());
    int errors = 0;
    for (std::string line; std::getline(log, line);) {
        errors += line.find("data.txt") != std::string::npos;
        EXPECT_TRUE(line.empty() || line.find("data.txt") != std::string::npos ||
                    line.find("unexpectedly destroyed") != std::string::npos || GtksDroppedErrors(line))
            << line;
    }
    EXPECT_EQ(errors, 1);
}

// Full screen left for another program; back in the game, a minimise stays: the repaint
// countdown that leaving full screen starts (60 paints and activations, each re-applying the
// window's size) does not show the minimised window again.
TEST_F(X11Game, AMinimiseAfterFullScreenWasLeftForAnotherProgramStays) {
    SKIP_WITHOUT_XTEST();
    const Window w = Start(FrameAt(192, 144));
    ASSERT_NE(w, 0u) << mt::Describe(seen_) << game_.Stderr();
    ASSERT_TRUE(Until([&] { return x_.Active() == w; })) << x_.FocusState({{"game", w}});
    ASSERT_TRUE(AltReturnToFullScreen(w)) << mt::Describe(seen_);

    const Window other = OtherProgram(100, 100, 300, 200, WhitePixel(x_.get(), DefaultScreen(x_.get())));
    ASSERT_NE(other, 0u);
    x_.Activate(other);
    // The game leaves full screen for a framed window.
    ASSERT_TRUE(Until([&] { return FrameAt(192, 144)(seen_ = x_.Read(w)) && Framed(seen_); })) << mt::Describe(seen_);
    x_.Activate(w);
    ASSERT_TRUE(Until([&] { return x_.Active() == w; })) << x_.FocusState({{"game", w}});
    ASSERT_TRUE(Minimise(w));
    StaysMinimised(w);
    EXPECT_EQ(End(w), 0);
}

// Minimised in full screen, the game leaves full screen and stays minimised; restored, it is the
// framed window, centred, painted.
TEST_F(X11Game, AMinimiseInFullScreenStaysAndRestoresTheFramedWindow) {
    ASSERT_TRUE(mt::SaveFullScreenStart(game_ / ""));
    const Window w = Start(FullScreen);
    ASSERT_NE(w, 0u) << mt::Describe(seen_) << game_.Stderr();
    ASSERT_TRUE(Until([&] { return x_.Active() == w; })) << x_.FocusState({{"game", w}});
    ASSERT_TRUE(Minimise(w));
    StaysMinimised(w);
    EXPECT_FALSE(seen_.fullScreenState);

    x_.Activate(w);
    std::vector<uint32_t> pixels;
    const auto painted = [&] {
        return x_.Pixels(w, 640, 480, pixels) &&
               std::any_of(pixels.begin(), pixels.end(), [&](uint32_t p) { return p != pixels[0]; });
    };
    EXPECT_TRUE(Until([&] { return FrameAt(192, 144)(seen_ = x_.Read(w)) && Framed(seen_) && painted(); }))
        << mt::Describe(seen_);
    EXPECT_EQ(End(w), 0);
}

// A start error's box comes up before the first frame: the game window under it is black where
// the box does not cover it, not what was on the screen there (a white window of another program).
TEST_F(X11Game, AWindowUnderTheStartErrorBoxIsBlack) {
    std::filesystem::remove(game_ / "data/text/data.txt");
    Display* d = x_.get();
    const Window white = OtherProgram(0, 0, 1024, 768, WhitePixel(d, DefaultScreen(d)), true);
    ASSERT_NE(white, 0u);
    pid_ = game_.Start({});
    Window box = 0, w = 0;
    ASSERT_TRUE(Until([&] {
        box = x_.FindByTitle(mt::Utf8(u8"エラー"));
        w = x_.FindByTitle(kTitle);
        return box != 0 && w != 0 && x_.Read(box).viewable && (seen_ = x_.Read(w)).viewable;
    })) << game_.Stderr();
    ASSERT_EQ(seen_.width, 640);
    // The box with its frame, on the game window's client area.
    const mt::XGeometry b = x_.Read(box);
    const auto extents = x_.Property(box, "_NET_FRAME_EXTENTS", "CARDINAL");  // left, right, top, bottom
    ASSERT_EQ(extents.size(), 4 * sizeof(long));
    const long* e = reinterpret_cast<const long*>(extents.data());
    const int left = b.frameX - seen_.x, top = b.frameY - seen_.y;
    const int right = b.x + b.width + static_cast<int>(e[1]) - seen_.x;
    const int bottom = b.y + b.height + static_cast<int>(e[3]) - seen_.y;
    std::vector<uint32_t> pixels;
    size_t lit = 0;
    const auto black = [&] {
        if (!x_.Pixels(w, 640, 480, pixels)) return false;
        lit = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                lit += (x < left || x >= right || y < top || y >= bottom) && pixels[y * 640 + x] != 0;
        return lit == 0;
    };
    EXPECT_TRUE(Until(black)) << lit << " pixels not black outside the box at " << left << "," << top << " to "
                              << right << "," << bottom;
    ::kill(pid_, SIGTERM);
    EXPECT_EQ(mt::Finish(pid_, 10), 0);
    pid_ = 0;
}

// Alt+Return while the settings dialog is open, the game's picture clicked so that the game has
// the focus: no frame is drawn while the dialog stands over full screen, yet the full-screen
// window shows the game's last picture beside the dialog (the head-up display's score at the top
// right), not what the window showed before nor black.
TEST_F(X11Game, AFullScreenMadeUnderTheSettingsDialogShowsTheLastPicture) {
    SKIP_WITHOUT_XTEST();
    const Window w = Start(FrameAt(192, 144));
    ASSERT_NE(w, 0u) << mt::Describe(seen_) << game_.Stderr();
    ASSERT_TRUE(Until([&] { return x_.Active() == w; })) << x_.FocusState({{"game", w}});
    // The score's digits in the top right corner of the picture: lit once the title has come in.
    std::vector<uint32_t> pixels;
    const auto scoreShown = [&](int width, int height, int left, int top, int right, int bottom) {
        if (!x_.Pixels(w, width, height, pixels)) return false;
        size_t lit = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) lit += pixels[static_cast<size_t>(y) * width + x] > 0x808080;
        return lit > 300;
    };
    ASSERT_TRUE(Until([&] { return scoreShown(640, 480, 530, 10, 630, 35); }));
    Window dialog = 0;
    Type(XK_F1, true);  // held until read: the game reads the keyboard once a frame
    ASSERT_TRUE(Until([&] { return (dialog = x_.FindByTitle(mt::Utf8(u8"設定"))) != 0 && x_.Read(dialog).viewable; }));
    Type(XK_F1, false);
    const mt::XGeometry d = x_.Read(dialog);
    ASSERT_LT(d.x + d.width, 832) << "the dialog covers the game's bottom right";
    Click(820, 610);  // the game's picture, beside the dialog
    ASSERT_TRUE(Until([&] { return x_.Active() == w; })) << x_.FocusState({{"game", w}, {"dialog", dialog}}) << "\n"
                                                        << game_.Stderr();
    ASSERT_TRUE(AltReturnToFullScreen(w)) << mt::Describe(seen_) << "; " << x_.FocusState({{"game", w}, {"dialog", dialog}})
                                          << "\n" << game_.Stderr();
    EXPECT_TRUE(Until([&] { return scoreShown(1024, 768, 848, 16, 1008, 56); }));  // right of the dialog
    EXPECT_EQ(End(w), 0);
}

}  // namespace
