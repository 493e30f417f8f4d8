#include "framework/key_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework/config.h"
#include "platform/joystick.h"
#include "platform/keyboard_state.h"
#include "tests/common/app_thread.h"
#include "tests/common/checked_input_scope.h"
#include "tests/common/temp_base_folder.h"
#include "tests/common/virtual_pad.h"

using namespace KestraneGameBase2;
namespace mp = morna::platform;
using Binding = CKeyControlBase::SConfigData;

namespace {

constexpr uint8_t kZ = 0x2C, kX = 0x2D, kUp = 0xC8;

class KeyControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        kc_.Initialize("key.cfg");
        Frame({});  // every key must be seen released once after Initialize
    }
    // One frame with the given keyboard keys held: the frame's push mask.
    uint32_t Frame(std::initializer_list<uint8_t> held) {
        std::fill(std::begin(sys_.keys), std::end(sys_.keys), 0);
        for (uint8_t k : held) sys_.keys[k] = 0x80;
        return kc_.Update();
    }
    morna::test::TempBaseFolder folder_{"morna-keys"};
    morna::test::FakeSystem sys_;
    morna::test::CheckedInputScope scope_{sys_};
    CKeyControlBase kc_;
};

// Each case's interval holds from frame 0; a scene may change it between two frames while the
// key is held (after frame 2): a key reported every frame counts as pushed at the change, so a
// menu opened under it waits for its next press.
TEST_F(KeyControlTest, RepeatTimelines) {
    constexpr int32_t kOnce = CKeyControlBase::kOncePerPress;
    struct Case {
        int32_t interval, changedTo;
        std::vector<int> pushes;  // frames of 22 held frames, then one released, then 3 held
    };
    const Case cases[] = {
        {30, 30, {0, 16, 18, 20, 23}},
        {kOnce, kOnce, {0, 23}},
        {0, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 23, 24, 25}},
        {0, kOnce, {0, 1, 2, 23}},
        {0, 30, {0, 1, 2, 18, 20, 23}},  // as a press at frame 2 repeats
        {kOnce, 0, {0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 23, 24, 25}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.interval << " then " << c.changedTo);
        kc_.SetRepeatButtons(c.interval);
        std::vector<int> pushes;
        for (int f = 0; f < 26; ++f) {
            if (Frame(f == 22 ? std::initializer_list<uint8_t>{} : std::initializer_list<uint8_t>{kZ}) & (1u << 8))
                pushes.push_back(f);
            if (f == 2) kc_.SetRepeatButtons(c.changedTo);
        }
        Frame({});
        EXPECT_EQ(pushes, c.pushes);
    }
}

TEST_F(KeyControlTest, KeyHeldAtInitializePushesOnlyAfterRelease) {
    sys_.keys[kZ] = 0x80;
    kc_.Initialize("");
    EXPECT_EQ(Frame({kZ}), 0u);
    EXPECT_EQ(Frame({kZ}), 0u);
    EXPECT_EQ(Frame({}), 0u);
    EXPECT_EQ(Frame({kZ}), 1u << 8);
}

TEST_F(KeyControlTest, CaptureSwapsTakenInputsIgnoresReservedAndCancelRestores) {
    auto keyboardCode = [&](int key) {
        for (const Binding& b : kc_.GetConfig())
            if (b.key == key && b.device == 0) return int(b.code);
        return -1;
    };
    kc_.BeginCapture(8, 0);
    EXPECT_EQ(keyboardCode(8), -1);
    // Escape, F1, Tab, left Alt: reserved, capture goes on.
    for (uint8_t reserved : {0x01, 0x3B, 0x0F, 0x38}) {
        EXPECT_EQ(Frame({reserved}), 0u);
        EXPECT_TRUE(kc_.IsCapturing());
        Frame({});
    }
    Frame({kX});
    EXPECT_FALSE(kc_.IsCapturing());
    EXPECT_EQ(keyboardCode(8), kX);
    EXPECT_EQ(keyboardCode(9), kZ);  // key 9 took key 8's former input

    const std::vector<Binding> before = kc_.GetConfig();
    kc_.BeginCapture(9, 0);
    kc_.CancelCapture();
    std::vector<Binding> after = kc_.GetConfig();
    EXPECT_EQ(after.size(), before.size());
    EXPECT_TRUE(std::is_permutation(after.begin(), after.end(), before.begin()));
    // A key without a binding puts nothing back.
    kc_.BeginCapture(5, 0);
    kc_.CancelCapture();
    EXPECT_EQ(kc_.GetConfig().size(), before.size());
}

// The capture with a pad beside the keyboard: each column's timeline from a key (button) that
// went down after the last poll, as the one that moves the settings dialog's focus into a box.
class KeyCaptureTest : public KeyControlTest {
protected:
    void SetUp() override {
        mp::JoystickCount();
        pad_ = std::make_unique<VirtualPad>(4, 16, 1);
        ASSERT_TRUE(pad_->Ok()) << SDL_GetError();
        KeyControlTest::SetUp();
    }
    void TearDown() override {
        pad_.reset();
        mp::CloseJoysticks();
    }
    // Holds the keyboard codes and the pad codes (4 + button) given, without a poll.
    void Hold(int device, const std::vector<int>& codes) {
        std::fill(std::begin(sys_.keys), std::end(sys_.keys), 0);
        for (int b = 0; b < 16; ++b) pad_->Button(b, false);
        for (int c : codes) {
            if (device == 0)
                sys_.keys[c] = 0x80;
            else
                pad_->Button(c - 4, true);
        }
    }
    std::unique_ptr<VirtualPad> pad_;
};

TEST_F(KeyCaptureTest, KeyDownWhenTheCaptureBeginsCountsOnlyPressedAgain) {
    for (int device : {0, 1}) {
        SCOPED_TRACE(device);
        const int a = device == 0 ? kX : 4, b = device == 0 ? 0x2E : 9;  // C; pad buttons 0 and 5
        auto code = [&](int key) {
            for (const Binding& bd : kc_.GetConfig())
                if (bd.key == key && bd.device == device) return int(bd.code);
            return -1;
        };
        // Each poll: the keys held, and whether the capture still runs after it.
        auto timeline = [&](const std::vector<std::vector<int>>& polls) {
            std::vector<int> capturing;
            for (const auto& held : polls) {
                Hold(device, held);
                kc_.Update();
                capturing.push_back(kc_.IsCapturing());
            }
            return capturing;
        };
        Hold(device, {});
        kc_.Update();
        Hold(device, {a});  // down since the last poll
        kc_.BeginCapture(8, device);
        EXPECT_EQ(timeline({{a}, {a}, {}, {a}}), (std::vector<int>{1, 1, 1, 0}));
        EXPECT_EQ(code(8), a);
        // a still held: another key first pressed after the capture began is taken at once.
        kc_.BeginCapture(9, device);
        EXPECT_EQ(timeline({{a}, {a, b}}), (std::vector<int>{1, 0}));
        EXPECT_EQ(code(9), b);
        timeline({{}});
    }
}

TEST_F(KeyControlTest, CountBeyondTheRecordsIsRefusedAndKeepsTheBindings) {
    // Count 2 and one record, under a valid trailer.
    tovarineGameSDK3rd::Auxiliary::CSerialize ar;
    ar.GetData() = {2, 0, 8, 0, 0x2D, 0};
    ASSERT_FALSE(WriteCheckedFile("key.cfg", ar));
    const std::vector<Binding> before = kc_.GetConfig();
    EXPECT_EQ(kc_.Load(), 2);
    EXPECT_EQ(kc_.GetConfig(), before);
    EXPECT_EQ(Frame({kZ}), 1u << 8);  // still bound as before
}

TEST(KeyNames, ShiftJisNamesAndUnknownCodes) {
    const std::pair<int, const char*> names[] = {
        {84, "不明"}, {300, "不明"}, {-1, "不明"}, {53, "．"}, {15, "Tab "},
        {256, "Pad ↑"}, {275, "Pad １５"}, {327, "POV ←"}, {2, "１"},
    };
    for (const auto& [code, name] : names) EXPECT_EQ(CKeyControlBase::GetKeyName(code), name) << code;
}

// The extended pad through SDL's virtual joystick: four axes, 16 buttons, a hat.
class PadExTest : public ::testing::Test {
protected:
    void SetUp() override {
        mp::JoystickCount();
        pad_ = std::make_unique<VirtualPad>(4, 16, 1);
        ASSERT_TRUE(pad_->Ok()) << SDL_GetError();
        ASSERT_EQ(joy_.SelectDevice(static_cast<int32_t>(pad_->Id())), 0);
        joy_.SetButtonCount(16);
    }
    void TearDown() override {
        pad_.reset();
        mp::CloseJoysticks();
        SDL_Quit();
    }
    void Axis(int axis, uint32_t v) { pad_->Axis(axis, static_cast<int16_t>(static_cast<int32_t>(v) - 32768)); }
    // Codes with a non-zero state, with their strengths.
    std::vector<std::pair<int, int>> Pressed() {
        EXPECT_EQ(joy_.Input(), 0);
        std::vector<std::pair<int, int>> out;
        const uint8_t* s = joy_.GetKeyBuffer();
        for (int i = 0; i < 256; ++i)
            if (s[i] != 0) out.emplace_back(i, s[i]);
        return out;
    }
    std::unique_ptr<VirtualPad> pad_;
    CWIN32JoyStickEx joy_;
};

using Codes = std::vector<std::pair<int, int>>;

TEST_F(PadExTest, AxesHatAndButtonsGiveCodesWithStrengths) {
    for (int a = 0; a < 4; ++a) Axis(a, 32768);
    EXPECT_EQ(Pressed(), Codes{});
    Axis(1, 0);
    EXPECT_EQ(Pressed(), (Codes{{0, 255}}));
    Axis(1, 10000);
    EXPECT_EQ(Pressed(), (Codes{{0, 138}}));
    Axis(1, 21845);  // the threshold itself is centred
    Axis(0, 43690);
    EXPECT_EQ(Pressed(), Codes{});
    Axis(1, 32768);
    Axis(0, 32768);
    Axis(2, 0);
    Axis(3, 65535);
    EXPECT_EQ(Pressed(), (Codes{{65, 255}, {66, 255}}));
    Axis(2, 65535);
    Axis(3, 0);
    EXPECT_EQ(Pressed(), (Codes{{64, 255}, {67, 255}}));
    Axis(2, 32768);
    Axis(3, 32768);
    pad_->Hat(0, SDL_HAT_RIGHTUP);
    EXPECT_EQ(Pressed(), (Codes{{68, 1}, {70, 1}}));
    pad_->Hat(0, SDL_HAT_CENTERED);
    for (int b = 0; b < 16; ++b) pad_->Button(b, true);
    Codes buttons;
    for (int b = 0; b < 16; ++b) buttons.emplace_back(4 + b, 1);
    EXPECT_EQ(Pressed(), buttons);
}

TEST(PadEx, MissingPadFailsToSelectAndPoll) {
    CWIN32JoyStickEx joy;
    EXPECT_EQ(joy.SelectDevice(static_cast<int32_t>(mp::JoystickCount()) + 3), 1);
    EXPECT_EQ(joy.Input(), 1);
    CJoyStickEx front;
    EXPECT_EQ(front.SelectDevice(-1), 0);
    EXPECT_EQ(front.SelectDevice(static_cast<int32_t>(mp::JoystickCount()) + 3), 1);
    SDL_Quit();
}

TEST(KeyTriggered, OncePerPressAndOnlyWithTheFocus) {
    mp::InstallKeyboardState();
    std::vector<bool> seen;
    morna::test::RunOnAppThread([&](morna::test::BodyApp& app) {
        auto step = [&](SDL_Scancode key, bool down) {
            app.PushKey(key, down);
            app.IsThreadValid();
            seen.push_back(CKeyControlBase::IsKeyTriggered(mp::vk::kTab));
        };
        step(SDL_SCANCODE_TAB, true);  // no focus yet
        step(SDL_SCANCODE_TAB, false);
        app.PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
        step(SDL_SCANCODE_TAB, true);
        step(SDL_SCANCODE_A, true);  // still held
        step(SDL_SCANCODE_TAB, false);
        step(SDL_SCANCODE_TAB, true);
        app.PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
        step(SDL_SCANCODE_A, false);
    });
    EXPECT_EQ(seen, (std::vector<bool>{false, false, true, false, false, true, false}));
}

}  // namespace
