#include "foundation/appframe/app_base.h"
#include "foundation/appframe/app_initializer.h"
#include "foundation/input/key_input.h"
#include "foundation/thread/thread_manager.h"
#include "platform/keyboard_state.h"
#include "platform/window.h"
#include "tests/common/checked_input_scope.h"
#include "tests/common/log_capture.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace in = tovarineGameSDK3rd::Input;
namespace mt = morna::test;
namespace r = morna::platform::input_result;

namespace {

class KeyInputTest : public ::testing::Test {
protected:
    mt::FakeSystem sys_;
    mt::CheckedInputScope scope_{sys_};
};

// ---- how the keyboard is made

using MakeCase = mt::InputMakeCase;

// The device's own steps; with an unusable input object (status 3 to 5) it
// stops before them.
const MakeCase kMakeCases[] = {
    {"Ready", [](mt::FakeSystem&) {}, 0},
    {"NoObject", [](mt::FakeSystem& s) { s.serviceObject = false; s.library = false; }, 3},
    {"NoInitialize", [](mt::FakeSystem& s) { s.initialize5 = s.initialize3 = r::kFail; }, 5},
    {"NoDevice", [](mt::FakeSystem& s) { s.createKeyboard = r::kFail; }, 6},
    {"NoFormat", [](mt::FakeSystem& s) { s.format = r::kFail; }, 7},
    {"NoCooperation", [](mt::FakeSystem& s) { s.cooperative = r::kHandle; }, 8},
};

class KeyInputMakeTest : public KeyInputTest, public ::testing::WithParamInterface<MakeCase> {};

TEST_P(KeyInputMakeTest, Status) {
    const MakeCase& c = GetParam();
    c.setup(sys_);
    sys_.keys[0x2C] = 0x80;
    {
        mt::LogCapture log;
        in::CKeyInput keys;
        EXPECT_EQ(keys.GetStatus(), c.status);
        // An unusable keyboard answers 1 and reports no key.
        const bool usable = c.status < 3;
        EXPECT_EQ(keys.Input(), usable ? 0 : 1);
        EXPECT_EQ(keys.IsKeyPress(0x2C), usable);
    }
    // Everything made is released.
    EXPECT_EQ(sys_.liveObjects, 0);
    EXPECT_EQ(sys_.liveDevices, 0);
    EXPECT_EQ(sys_.liveLibraries, 0);
}

INSTANTIATE_TEST_SUITE_P(Steps, KeyInputMakeTest, ::testing::ValuesIn(kMakeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeyInputTest, CooperativeLevelFollowsTheBackgroundOption) {
    { in::CKeyInput keys(false); }
    EXPECT_EQ(sys_.level, 0x06u);
    { in::CKeyInput keys(true); }
    EXPECT_EQ(sys_.level, 0x0Au);
}

// ---- polling

TEST_F(KeyInputTest, PressNeedsTheHighBit) {
    in::CKeyInput keys;
    sys_.keys[0xC8] = 0x80;
    sys_.keys[0xCB] = 0x7F;  // only the high bit counts
    ASSERT_EQ(keys.Input(), 0);
    EXPECT_TRUE(keys.IsKeyPush(0xC8));
    EXPECT_FALSE(keys.IsKeyPress(0xCB));
    ASSERT_EQ(keys.Input(), 0);
    EXPECT_TRUE(keys.IsKeyPress(0xC8));
    EXPECT_FALSE(keys.IsKeyPush(0xC8));
    EXPECT_FALSE(keys.IsKeyPress(-1));
    EXPECT_FALSE(keys.IsKeyPress(256));
    EXPECT_EQ(sys_.acquireCalls, 1);  // acquired once, kept
}

// A lost device taken back is read again; a failed read releases every key and the next
// poll acquires again.
TEST_F(KeyInputTest, LostDevicesAndFailedReads) {
    in::CKeyInput keys;
    sys_.keys[0x1C] = 0x80;
    sys_.reads = {r::kInputLost};
    EXPECT_EQ(keys.Input(), 0);
    EXPECT_TRUE(keys.IsKeyPress(0x1C));
    EXPECT_EQ(sys_.acquireCalls, 2);
    sys_.reads = {r::kFail};
    EXPECT_EQ(keys.Input(), 1);
    EXPECT_FALSE(keys.IsKeyPress(0x1C));
    ASSERT_EQ(keys.Input(), 0);
    EXPECT_EQ(sys_.acquireCalls, 3);
}

TEST_F(KeyInputTest, AnAcquiredDeviceIsReleasedOnDestruction) {
    {
        in::CKeyInput keys;
        ASSERT_EQ(keys.Input(), 0);
    }
    EXPECT_EQ(sys_.unacquireCalls, 1);
    { in::CKeyInput keys; }
    EXPECT_EQ(sys_.unacquireCalls, 1);
}

}  // namespace

// ---- the real keyboard, on an application thread with its window

namespace {

namespace mp = morna::platform;
namespace af = tovarineGameSDK3rd::AppFrame;
using tovarineGameSDK3rd::Window::CWinHookList;

class KeyboardApp : public af::CAppBase {
public:
    int32_t OnPreCreate(tovarineGameSDK3rd::Window::CWindowOption& o) override {
        o.className = "MornaKeyboardTest";
        o.width = 64;
        o.height = 48;
        return 0;
    }
    void MainThread() override {
        Body();
        Close();
    }

private:
    void Push(const SDL_Event& e) { ASSERT_EQ(SDL_PushEvent(const_cast<SDL_Event*>(&e)), 1); }
    void Focus(bool gained) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
        e.window.windowID = SDL_GetWindowID(mp::GetSdlWindow(GetHWnd()));
        Push(e);
    }
    void Key(SDL_Scancode code, bool down) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.keysym.scancode = code;
        Push(e);
    }
    int HookCount() { return static_cast<CWinHookList*>(GetWindow()->GetHookList())->GetCount(); }

    void Body() {
        const int hooks = HookCount();
        {
            in::CKeyInput keys;
            ASSERT_EQ(keys.GetStatus(), 0);
            EXPECT_EQ(HookCount(), hooks + 1);

            // Not in focus: not acquired, nothing pressed.
            Key(SDL_SCANCODE_Z, true);
            IsThreadValid();
            EXPECT_EQ(keys.Input(), 1);
            EXPECT_FALSE(keys.IsKeyPress(0x2C));

            Focus(true);
            Key(SDL_SCANCODE_Z, true);
            Key(SDL_SCANCODE_LEFT, true);
            IsThreadValid();  // the pump hands the events to the keyboard state
            EXPECT_EQ(keys.Input(), 0);
            EXPECT_TRUE(keys.IsKeyPush(0x2C));
            EXPECT_TRUE(keys.IsKeyPress(0xCB));
            EXPECT_EQ(keys.Input(), 0);
            EXPECT_TRUE(keys.IsKeyPress(0x2C));
            EXPECT_FALSE(keys.IsKeyPush(0x2C));

            // The focus goes while the keys are held: every key reads released.
            Focus(false);
            IsThreadValid();
            EXPECT_EQ(keys.Input(), -1);
            EXPECT_FALSE(keys.IsKeyPress(0x2C));
            EXPECT_EQ(keys.Input(), 1);
            EXPECT_FALSE(keys.IsKeyPress(0xCB));

            Focus(true);
            Key(SDL_SCANCODE_ESCAPE, true);
            IsThreadValid();
            EXPECT_EQ(keys.Input(), 0);
            EXPECT_TRUE(keys.IsKeyPush(0x01));
            EXPECT_FALSE(keys.IsKeyPress(0x2C));  // its key-up was lost with the focus
        }
        EXPECT_EQ(HookCount(), hooks);
        mp::ResetKeyboardState();
    }
};

TEST(KeyInputWindow, ReadsThePumpedKeysWhileTheWindowHasTheFocus) {
    {
        af::CAppInitializer init(nullptr, nullptr, "", 1);
        ASSERT_EQ(tovarineGameSDK3rd::Thread::CThreadManager::StartThread(new KeyboardApp), 0);
    }  // waits until the application thread has ended
}

}  // namespace
