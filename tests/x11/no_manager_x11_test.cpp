// The built game on a bare X server with no window manager (tools/run-with-wm.sh with MORNA_WM=none,
// 1024x768), as a kiosk or xinit runs it: nobody acts on the full-screen state, so full screen is the
// game's own to make. Alt+Return (typed through XTEST) and a start with full screen saved give the
// window the whole screen with the whole picture on it; the way back gives the 640x480 window,
// centred. With the default renderer (SDL's software one here: Xvfb's OpenGL is a software
// rasterizer), the software one named and OpenGL named, which show a wrong size differently; the
// default and the software one never hold the server as they present, OpenGL named holds it for each.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/common/full_screen_start.h"
#include "tests/common/game_process.h"
#include "tests/common/process_state.h"
#include "tests/common/wait.h"
#include "tests/x11/present_log.h"
#include "platform/x11_errors.h"
#include "platform/x11_window.h"

#include "tests/x11/x_view.h"  // last: Xlib's macros
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

namespace mt = morna::test;

// What the title shows, in the picture's own 640x480 pixels, and the share of each part that is lit
// (a channel at 0x80 or more): its gauges and score along the top edge, its menu near the bottom,
// and only a few stars below that. A magnified piece, or a picture left in a corner, misses them.
struct Part {
    const char* what;
    int left, top, right, bottom;
    double least, most;
};
constexpr Part kTitle[] = {
    {"gauges at the top left", 10, 8, 150, 40, 0.2, 1.0},
    {"score at the top right", 530, 8, 632, 38, 0.1, 1.0},
    {"menu's bottom edge", 200, 420, 440, 435, 0.08, 1.0},
    {"dark strip at the bottom", 0, 440, 640, 480, 0.0, 0.03},
};

// The title as the window shows it, scaled to its size: empty when every part is as it should be,
// else what each part showed.
std::string PictureFault(const std::vector<uint32_t>& pixels, int width, int height) {
    std::string fault, seen;
    for (const Part& p : kTitle) {
        const int left = p.left * width / 640, right = p.right * width / 640;
        const int top = p.top * height / 480, bottom = p.bottom * height / 480;
        size_t lit = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                const uint32_t c = pixels[static_cast<size_t>(y) * width + x];
                lit += (c >> 16 & 0xFF) >= 0x80 || (c >> 8 & 0xFF) >= 0x80 || (c & 0xFF) >= 0x80;
            }
        const double share = static_cast<double>(lit) / ((right - left) * (bottom - top));
        char line[128];
        std::snprintf(line, sizeof line, "%s %.3f (%.2f to %.2f); ", p.what, share, p.least, p.most);
        seen += line;
        if (share < p.least || share > p.most) fault += line;
    }
    return fault.empty() ? fault : fault + "seen: " + seen;
}

class X11NoManager : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(x_.get(), nullptr) << "no X display";
        ASSERT_TRUE(x_.Property(DefaultRootWindow(x_.get()), "_NET_SUPPORTING_WM_CHECK", nullptr).empty())
            << "a window manager runs on the display";
        screenWidth_ = DisplayWidth(x_.get(), DefaultScreen(x_.get()));
        screenHeight_ = DisplayHeight(x_.get(), DefaultScreen(x_.get()));
    }
    void TearDown() override {
        if (pid_ != 0) mt::Finish(pid_, 0);  // a game left running by a failed check
        unsetenv("SDL_RENDER_DRIVER");
    }

    // Polls until done or 20 s have passed: whether it came.
    static bool Until(const std::function<bool()>& done) { return mt::WaitUntil(done, {}, 20000, 20); }

    // With no manager, a child of the root with the title; 0 while there is none.
    Window Titled(const std::string& title) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        Window found = 0;
        if (XQueryTree(x_.get(), DefaultRootWindow(x_.get()), &root, &parent, &children, &count)) {
            for (unsigned int i = 0; i < count && found == 0; ++i) {
                const auto name = x_.Property(children[i], "_NET_WM_NAME", "UTF8_STRING");
                if (std::string(name.begin(), name.end()) == title) found = children[i];
            }
            if (children != nullptr) XFree(children);
        }
        return found;
    }
    Window GameWindow() { return Titled(kTitle); }
    Window Focus() {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(x_.get(), &focus, &revert);
        return focus;
    }

    // Whether the window is at the whole screen (or 640x480, centred) with the whole title on it;
    // `seen_` and `fault_` say what it showed.
    bool Shows(Window w, bool fullScreen) {
        seen_ = x_.Read(w);
        const int width = fullScreen ? screenWidth_ : 640, height = fullScreen ? screenHeight_ : 480;
        const int x = fullScreen ? 0 : (screenWidth_ - 640) / 2, y = fullScreen ? 0 : (screenHeight_ - 480) / 2;
        if (!seen_.viewable || seen_.x != x || seen_.y != y || seen_.width != width || seen_.height != height) {
            fault_ = "the window at " + mt::Describe(seen_) + ", not " + std::to_string(width) + "x" +
                     std::to_string(height) + " at " + std::to_string(x) + "," + std::to_string(y);
            return false;
        }
        std::vector<uint32_t> pixels;
        fault_ = x_.Pixels(w, width, height, pixels) ? PictureFault(pixels, width, height) : "no pixels read";
        return fault_.empty();
    }

    void Type(KeySym key, bool down) {
        XTestFakeKeyEvent(x_.get(), XKeysymToKeycode(x_.get(), key), down, CurrentTime);
        XFlush(x_.get());
    }
    // Alt+Return (the game's full screen key), held until the window has the other shape.
    bool AltReturn(Window w, bool toFullScreen) {
        return mt::HoldUntil(
            [&](bool down) {
                Type(XK_Alt_L, down);
                Type(XK_Return, down);
            },
            [&] {
                const mt::XGeometry g = seen_ = x_.Read(w);
                return toFullScreen ? g.width == screenWidth_ : g.width == 640;
            });
    }

    struct Row {
        const char* renderer;  // SDL_RENDER_DRIVER; null: the game's own choice
        bool savedFullScreen;
    };
    void Play(const Row& row) {
        if (pid_ != 0) mt::Finish(pid_, 0);  // left running by a failed row
        pid_ = 0;
        if (row.renderer != nullptr) setenv("SDL_RENDER_DRIVER", row.renderer, 1);
        else unsetenv("SDL_RENDER_DRIVER");
        std::filesystem::remove_all(game_ / "save");
        if (row.savedFullScreen) {
            ASSERT_TRUE(mt::SaveFullScreenStart(game_ / ""));
        }
        // The game's holds of the server and its presents, noted by a library preloaded into it.
        const std::string log = game_ / "present.log";
        std::filesystem::remove(log);
        const std::string asan = std::string(getenv("ASAN_OPTIONS") != nullptr ? getenv("ASAN_OPTIONS") : "");
        setenv("LD_PRELOAD", MORNA_PRESENT_PROBE, 1);
        setenv("MORNA_PRESENT_LOG", log.c_str(), 1);
        setenv("ASAN_OPTIONS", (asan + ":verify_asan_link_order=0").c_str(), 1);  // the probe loads first
        pid_ = game_.Start({});
        unsetenv("LD_PRELOAD");
        unsetenv("MORNA_PRESENT_LOG");
        setenv("ASAN_OPTIONS", asan.c_str(), 1);
        ASSERT_TRUE(mt::Started(pid_, game_ / "save/key.cfg")) << game_.Stderr();
        Window w = 0;
        ASSERT_TRUE(Until([&] { return (w = GameWindow()) != 0; })) << "no window titled as the game's";
        bool fullScreen = row.savedFullScreen;
        for (int step = 0;; ++step) {
            ASSERT_TRUE(Until([&] { return Shows(w, fullScreen); }))
                << "step " << step << (fullScreen ? ", full screen: " : ", windowed: ") << fault_ << "; "
                << mt::ProcessState(pid_) << "\n"
                << game_.Stderr();
            if (step == 2) break;
            // The game takes the keys with the X focus, which it takes itself where nobody gives it.
            ASSERT_TRUE(Until([&] { return Focus() == w; })) << x_.FocusState({{"game", w}});
            fullScreen = !fullScreen;
            ASSERT_TRUE(AltReturn(w, fullScreen))
                << "step " << step << ": Alt+Return left the window at " << mt::Describe(seen_) << "; "
                << mt::ProcessState(pid_) << "\n"
                << game_.Stderr();
        }
        ::kill(pid_, SIGTERM);  // no manager's close button: the game takes the signal as its close
        EXPECT_EQ(mt::Finish(pid_, 20), 0) << game_.Stderr();
        pid_ = 0;
        const mt::PresentLog seen = mt::PresentLog::Read(log);
        EXPECT_GT(seen.presents.size(), 0u) << "no present noted in " << log;
        if (row.renderer != nullptr && std::string(row.renderer) == "opengl") {
            const auto held = [&](const mt::PresentLog::Span& p) {
                return std::any_of(seen.holds.begin(), seen.holds.end(), [&](const mt::PresentLog::Span& h) {
                    return h.startUs <= p.startUs && p.startUs + p.tookUs <= h.startUs + h.tookUs;
                });
            };
            EXPECT_EQ(std::count_if(seen.presents.begin(), seen.presents.end(), held),
                      static_cast<ptrdiff_t>(seen.presents.size()))
                << "presents held, of " << seen.presents.size() << "\n"
                << game_.Stderr();
        } else
            EXPECT_EQ(seen.holds.size(), 0u) << "holds of the server over " << seen.presents.size() << " presents\n"
                                             << game_.Stderr();
    }

    const std::string kTitle = mt::Utf8(u8"モルナ ver1.01");
    mt::XView x_;
    mt::GameFolder game_{"g"};
    pid_t pid_ = 0;
    int screenWidth_ = 0, screenHeight_ = 0;
    mt::XGeometry seen_;
    std::string fault_;
};

// Each row starts the game once and switches twice: windowed, full screen, windowed again; or full
// screen from the saved settings, windowed, full screen again.
TEST_F(X11NoManager, FullScreenCoversTheScreenWithTheWholePictureAndComesBackCentred) {
    for (const Row row : {Row{nullptr, false}, Row{nullptr, true}, Row{"software", false}, Row{"software", true},
                          Row{"opengl", false}, Row{"opengl", true}}) {
        SCOPED_TRACE(std::string(row.renderer ? row.renderer : "default renderer") +
                     (row.savedFullScreen ? ", full screen saved" : ", windowed start"));
        Play(row);
    }
}

}  // namespace

namespace {

// The settings dialog (F1) closed by Escape, four times in a game on the title: with nobody to
// activate the owner of a closed dialog, the game takes the X focus back itself, so each F1 after
// the first reaches it. Before, the focus fell to the root as the dialog went, and stayed there.
TEST_F(X11NoManager, TheSettingsDialogsCloseGivesTheKeysBackToTheGame) {
    pid_ = game_.Start({});
    ASSERT_TRUE(mt::Started(pid_, game_ / "save/key.cfg")) << game_.Stderr();
    Window w = 0;
    ASSERT_TRUE(Until([&] { return (w = GameWindow()) != 0; })) << "no window titled as the game's";
    ASSERT_TRUE(Until([&] { return Focus() == w; })) << "at the start: " << x_.FocusState({{"game", w}});
    const std::string caption = mt::Utf8(u8"設定");
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // F1 reaches the game only through the focus; the dialog takes it as it maps.
        Window dialog = 0;
        ASSERT_TRUE(mt::HoldUntil([&](bool down) { Type(XK_F1, down); },
                                  [&] { return (dialog = Titled(caption)) != 0 && Focus() == dialog; }))
            << "F1 opened no dialog with the keys: " << x_.FocusState({{"game", w}, {"dialog", dialog}}) << "; "
            << mt::ProcessState(pid_) << "\n"
            << game_.Stderr();
        // Escape, tapped again only while the dialog stays; the game reads no Escape of its own.
        ASSERT_TRUE(mt::HoldUntil([&](bool down) { Type(XK_Escape, down); }, [&] { return Titled(caption) == 0; },
                                  50, 3000))
            << "Escape left the dialog open: " << x_.FocusState({{"game", w}, {"dialog", dialog}});
        ASSERT_TRUE(Until([&] { return Focus() == w; })) << "after the close: " << x_.FocusState({{"game", w}});
    }
    ::kill(pid_, SIGTERM);
    EXPECT_EQ(mt::Finish(pid_, 20), 0) << game_.Stderr();
    pid_ = 0;
}

}  // namespace

namespace {

// A manager runs where the root names a check window that names itself. One killed with -9 leaves
// the root naming a window that is gone, with its list of hints: none of them counts, and the
// question's error on the gone window is not logged. A window that does not name itself is another
// client's, which the root names wrongly.
TEST_F(X11NoManager, ManagerHintsCountOnlyALiveCheckWindowThatNamesItself) {
    namespace mp = morna::platform;
    ASSERT_TRUE(mp::RegisterWindowClass({"MORNA_HINTS_TEST", &mp::DefaultWindowProcedure, false}));
    const mp::WindowHandle window = mp::CreateWindow({"MORNA_HINTS_TEST", "hints", 0x10CA0000, 0, 0, 320, 240});
    ASSERT_NE(window, 0u) << mp::LastWindowError();
    Display* d = x_.get();
    const Window root = DefaultRootWindow(d);
    const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
    const Atom supported = XInternAtom(d, "_NET_SUPPORTED", False);
    const auto name = [&](Window on, Window named) {
        XChangeProperty(d, on, check, XA_WINDOW, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&named), 1);
    };
    const long hint = static_cast<long>(XInternAtom(d, "_NET_WM_STATE_FULLSCREEN", False));
    XChangeProperty(d, root, supported, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&hint), 1);
    // Whether a manager runs, and whether its hints list full screen, asked afresh as each change does.
    const auto asked = [&] {
        XSync(d, False);
        morna::platform::x11::ManagerHints hints(mp::GetSdlWindow(window));
        return std::string(hints.Running() ? "running" : "none") + (hints("_NET_WM_STATE_FULLSCREEN") ? "+hint" : "");
    };
    testing::internal::CaptureStderr();
    const std::string nothingNamed = asked();
    const Window checkWindow = XCreateSimpleWindow(d, root, -1, -1, 1, 1, 0, 0, 0);
    name(root, checkWindow);
    const std::string namesNothing = asked();
    name(checkWindow, checkWindow);
    const std::string live = asked();
    name(checkWindow, root);
    const std::string namesAnother = asked();
    name(checkWindow, checkWindow);
    XDestroyWindow(d, checkWindow);
    const std::string gone = asked();
    morna::platform::x11::ReportErrors();
    const std::string logged = testing::internal::GetCapturedStderr();
    EXPECT_EQ(nothingNamed + " " + namesNothing + " " + live + " " + namesAnother + " " + gone,
              "none none running+hint none none");
    EXPECT_EQ(logged, "");
    XDeleteProperty(d, root, check);
    XDeleteProperty(d, root, supported);
    XSync(d, False);
    EXPECT_TRUE(mp::DestroyWindow(window));
}

}  // namespace
