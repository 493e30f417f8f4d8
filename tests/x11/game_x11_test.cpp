// The built game on an X display with a window manager (tools/run-with-wm.sh, 1024x768): its
// window as the manager sees it, closed as by the manager's close button, and the place it
// keeps in save/system.cfg for the next start, in a window and in full screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "framework/config.h"
#include "platform/file_system.h"
#include "tests/common/file_bytes.h"
#include "tests/common/game_process.h"

#include "tests/x11/x_view.h"  // last: Xlib's macros

namespace {

namespace KB = KestraneGameBase2;
namespace mt = morna::test;

class X11Game : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(x_.get(), nullptr) << "no X display";
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // a listed window may be gone when read
        for (int i = 0; i < 500 && !x_.HasWindowManager(); ++i) ::usleep(20000);
        ASSERT_TRUE(x_.HasWindowManager()) << "no window manager on the display";
        ASSERT_TRUE(morna::platform::NameFromSystemPath(game_ / "save/system.cfg", systemCfg_));
    }
    void TearDown() override {
        if (pid_ != 0) mt::Finish(pid_, 0);  // a game left running by a failed check
    }

    // Starts the game and waits (10 s at most) for its window to be `done`; then closes it and
    // answers the exit code (-1: not seen, or not ended). The window is the last one SDL
    // makes once the start-up has written the key bindings (a renderer may want another).
    int Run(const std::function<bool(const mt::XGeometry&)>& done, const std::function<void(Window)>& then = {}) {
        std::filesystem::remove(game_ / "save/key.cfg");
        pid_ = game_.Start({});
        Window w = 0;
        bool seen = mt::Started(pid_, game_ / "save/key.cfg");
        for (int i = 0; seen && i < 500 && !((w = x_.FindByTitle(kTitle)) != 0 && done(seen_ = x_.Read(w))); ++i)
            ::usleep(20000);
        if (!seen || w == 0 || !done(seen_)) return -1;
        if (then) then(w);
        x_.Close(w);
        const int code = mt::Finish(pid_, 60);
        pid_ = 0;
        return code;
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
    mt::XGeometry seen_;
};

auto FrameAt(int x, int y) {
    return [=](const mt::XGeometry& g) { return g.viewable && g.width == 640 && g.height == 480 && g.frameX == x && g.frameY == y; };
}

TEST_F(X11Game, OpensCentredClosesCleanlyAndComesBackWhereItWasAndAFullScreenRunStoresTheCorner) {
    // Placed by its outer corner, centred: (1024 - 640) / 2, (768 - 480) / 2; then the player
    // moves it (the manager puts the frame where asked).
    EXPECT_EQ(Run(FrameAt(192, 144), [&](Window w) {
                  XMoveWindow(x_.get(), w, 50, 70);
                  for (int i = 0; i < 500 && !FrameAt(50, 70)(seen_ = x_.Read(w)); ++i) ::usleep(20000);
              }), 0) << mt::Describe(seen_) << game_.Stderr();
    EXPECT_EQ(mt::ReadBytes(game_ / "save/system.cfg").size(), 46u);
    EXPECT_EQ(mt::ReadBytes(game_ / "save/key.cfg").size(), 102u);
    EXPECT_FALSE(std::filesystem::exists(game_ / "save/global.cfg"));
    KB::SSystemConfig saved = Saved();
    EXPECT_EQ((std::vector<int32_t>{saved.fullScreen, saved.width, saved.height, saved.windowX, saved.windowY}),
              (std::vector<int32_t>{0, 640, 480, 50, 70}));

    EXPECT_EQ(Run(FrameAt(50, 70)), 0) << mt::Describe(seen_);  // the next start

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
        bool boxUp = false;
        for (int i = 0; i < 500 && !boxUp; ++i, ::usleep(20000)) {
            const Window box = x_.FindByTitle(mt::Utf8(u8"エラー"));
            boxUp = box != 0 && x_.Read(box).viewable;
        }
        ASSERT_TRUE(boxUp) << game_.Stderr();
        ::kill(pid_, signal);
        EXPECT_EQ(mt::Finish(pid_, 10), 0) << signal;
        pid_ = 0;
        EXPECT_TRUE(std::filesystem::exists(game_ / "save/system.cfg")) << signal;  // the exit save
    }
}

}  // namespace
