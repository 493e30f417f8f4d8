// The keyboard while another program's window has the focus (tools/run-with-wm.sh): keys typed
// through the X server reach the key control only when it reads in the background, and a key
// held from there while the game window takes the focus back neither sticks nor is pressed anew.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "framework/key_control.h"
#include "platform/keyboard_state.h"
#include "tests/common/app_thread.h"
#include "tests/common/temp_base_folder.h"
#include "tests/common/wait.h"
#include "tests/x11/x_view.h"  // last: Xlib's macros
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

namespace KB = KestraneGameBase2;
namespace mp = morna::platform;
namespace mt = morna::test;

TEST(X11BackgroundKeys, ReachTheGameOnlyWithTheOptionAndNeverStick) {
    mt::XView x;
    ASSERT_NE(x.get(), nullptr) << "no X display";
    int event = 0, error = 0, major = 0, minor = 0;
    ASSERT_TRUE(XTestQueryExtension(x.get(), &event, &error, &major, &minor)) << "no XTEST on the display";
    const KeyCode z = XKeysymToKeycode(x.get(), XK_z);
    auto type = [&](bool down) {
        XTestFakeKeyEvent(x.get(), z, down ? True : False, CurrentTime);
        XFlush(x.get());
    };
    auto serverHasZ = [&] {
        char map[32];
        XQueryKeymap(x.get(), map);
        return (map[z / 8] >> (z % 8) & 1) != 0;
    };

    mt::RunOnAppThread([&](mt::BodyApp& app) {
        mt::TempBaseFolder folder("morna-background-keys");
        KB::CKeyControlBase keys;
        keys.Initialize("save\\key.cfg");  // the default bindings: Z is virtual key 8
        const mp::WindowHandle game = app.GetHWnd();
        // Each pass: the window messages, then the keys as the frame loop polls them. The states
        // of Z are kept as a run of changes.
        std::vector<int> zRun;
        auto pumpUntil = [&](const std::function<bool()>& done, uint32_t ms = 10000) {
            return mt::WaitUntil(done, [&] {
                mp::WindowMessage m;
                while (mp::PeekWindowMessage(m)) mp::DispatchWindowMessage(m);
                keys.Input();
                const int held = keys.IsKeyPress(8) ? 1 : 0;
                if (zRun.empty() || zRun.back() != held) zRun.push_back(held);
            }, ms);
        };
        auto never = [] { return false; };
        ASSERT_TRUE(pumpUntil([&] { return mp::GetKeyInputWindow() == game; }))
            << "the game never had the focus: " << x.FocusState({{"game", mt::XView::Of(game)}});

        // Another program's window takes the focus.
        const Window other = XCreateSimpleWindow(x.get(), DefaultRootWindow(x.get()), 300, 300, 200, 100, 0, 0, 0);
        XMapRaised(x.get(), other);
        ASSERT_TRUE(pumpUntil([&] { return x.Read(other).viewable; }));
        XSetInputFocus(x.get(), other, RevertToParent, CurrentTime);
        XSync(x.get(), False);
        ASSERT_TRUE(pumpUntil([&] { return mp::GetKeyInputWindow() == 0; }))
            << "the game kept the focus: " << x.FocusState({{"game", mt::XView::Of(game)}, {"other", other}});

        // The option off: the keyboard is at the foreground level and reads nothing.
        type(true);
        EXPECT_TRUE(pumpUntil(serverHasZ));
        pumpUntil(never, 300);
        type(false);
        EXPECT_EQ(zRun, std::vector<int>({0}));

        // The option on: Z down and up, from the server's key map.
        keys.SetBackgroundInput(true);
        type(true);
        EXPECT_TRUE(pumpUntil([&] { return zRun.back() == 1; })) << "Z never reached the game";
        type(false);
        EXPECT_TRUE(pumpUntil([&] { return zRun.back() == 0; })) << "Z stuck";

        // Held while the game window takes the focus back, then released: one press, one release.
        zRun = {0};
        type(true);
        EXPECT_TRUE(pumpUntil([&] { return zRun.back() == 1; }));
        XSetInputFocus(x.get(), mt::XView::Of(app.GetHWnd()), RevertToParent, CurrentTime);
        XSync(x.get(), False);
        EXPECT_TRUE(pumpUntil([&] { return mp::GetKeyInputWindow() == game; }))
            << "the game never had the focus back: " << x.FocusState({{"game", mt::XView::Of(game)}, {"other", other}});
        pumpUntil(never, 300);
        const std::vector<int> whileHeld = zRun;
        type(false);
        EXPECT_TRUE(pumpUntil([&] { return zRun.back() == 0; })) << "Z stuck after the focus came back";
        pumpUntil(never, 300);
        EXPECT_EQ(whileHeld, std::vector<int>({0, 1}));
        EXPECT_EQ(zRun, std::vector<int>({0, 1, 0}));

        XDestroyWindow(x.get(), other);
        XSync(x.get(), False);
    });
}

}  // namespace
