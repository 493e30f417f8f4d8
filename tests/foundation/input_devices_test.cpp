#include "foundation/input/joystick.h"
#include "foundation/input/key_base.h"
#include "foundation/input/virtual_key.h"
#include "foundation/vtl/exception.h"
#include "platform/joystick.h"
#include "tests/common/log_capture.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>

namespace in = tovarineGameSDK3rd::Input;
namespace vtl = tovarineGameSDK3rd::VTL;
namespace mp = morna::platform;

namespace {

// A device whose keys the test holds down; each poll takes them over as a
// real device does, into the array that the flip makes current.
class FakeDevice : public in::IKeyBase {
public:
    int32_t Input() override {
        FlipBuffer();
        std::memcpy(CurrentStates(), held, kKeyCount);
        return answer;
    }
    void Hold(int key, bool down) { held[key] = down ? 0x80 : 0; }

    uint8_t held[kKeyCount] = {};
    int32_t answer = 0;
};

// Push on the first poll, press on every one; a reset makes a held key pushed anew.
TEST(InputKeyBase, PushPressAndReset) {
    FakeDevice d;
    d.Hold(0x2C, true);
    d.Input();
    EXPECT_TRUE(d.IsKeyPush(0x2C));
    EXPECT_TRUE(d.IsKeyPress(0x2C));
    d.Input();
    EXPECT_FALSE(d.IsKeyPush(0x2C));
    EXPECT_TRUE(d.IsKeyPress(0x2C));
    d.ResetKey();  // a held key becomes newly pushed
    EXPECT_FALSE(d.IsKeyPress(0x2C));
    d.Input();
    EXPECT_TRUE(d.IsKeyPush(0x2C));
    d.Hold(0x2C, false);
    d.Input();
    EXPECT_FALSE(d.IsKeyPush(0x2C));
    EXPECT_FALSE(d.IsKeyPress(0x2C));
    EXPECT_EQ(d.GetKeyBuffer()[0x2C], 0);
    // Key codes outside the array are never pressed.
    std::memset(d.held, 0x80, sizeof d.held);
    d.Input();
    for (int key : {-1, 256, 1 << 20}) {
        EXPECT_FALSE(d.IsKeyPress(key)) << key;
        EXPECT_FALSE(d.IsKeyPush(key)) << key;
    }
    EXPECT_TRUE(d.IsKeyPress(255));
}

class VirtualKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        pad = new FakeDevice;
        board = new FakeDevice;
        vkeys.AddDevice(vtl::smart_ptr<in::IKeyBase>(board));  // device 0
        vkeys.AddDevice(vtl::smart_ptr<in::IKeyBase>(pad));    // device 1
        vkeys.AddKey(kShot, 0, 0x2C);
        vkeys.AddKey(kShot, 1, 4);
    }
    static constexpr int kShot = 5;
    FakeDevice* pad = nullptr;    // owned by vkeys
    FakeDevice* board = nullptr;  // owned by vkeys
    in::CVirtualKey vkeys;
};

TEST_F(VirtualKeyTest, EitherDevicePressesTheKey) {
    vkeys.Input();
    EXPECT_FALSE(vkeys.IsKeyPress(kShot));

    board->Hold(0x2C, true);
    vkeys.Input();
    EXPECT_TRUE(vkeys.IsKeyPush(kShot));
    EXPECT_EQ(vkeys.GetKeyBuffer()[kShot], in::CVirtualKey::kPressed);

    // The pad takes over while the keyboard is still held: no second push.
    pad->Hold(4, true);
    vkeys.Input();
    board->Hold(0x2C, false);
    vkeys.Input();
    EXPECT_TRUE(vkeys.IsKeyPress(kShot));
    EXPECT_FALSE(vkeys.IsKeyPush(kShot));

    pad->Hold(4, false);
    vkeys.Input();
    EXPECT_FALSE(vkeys.IsKeyPress(kShot));
    pad->Hold(4, true);
    vkeys.Input();
    EXPECT_TRUE(vkeys.IsKeyPush(kShot));
    // Only the assigned virtual key moved.
    const uint8_t* states = vkeys.GetKeyBuffer();
    for (int k = 0; k < in::IKeyBase::kKeyCount; ++k) {
        if (k != kShot) {
            EXPECT_EQ(states[k], 0) << k;
        }
    }
}

TEST_F(VirtualKeyTest, BadAssignmentsAreNeverPressed) {
    morna::test::LogCapture log;
    vkeys.AddKey(in::CVirtualKey::kVirtualKeyCount, 0, 0x2C);
    vkeys.AddKey(-1, 0, 0x2C);
    EXPECT_EQ(log.Lines().size(), 2u);
    vkeys.AddKey(7, 2, 0x2C);    // no third device
    vkeys.AddKey(8, -1, 0x2C);
    vkeys.AddKey(9, 0, 300);     // no such key code
    std::memset(board->held, 0x80, sizeof board->held);
    std::memset(pad->held, 0x80, sizeof pad->held);
    vkeys.Input();
    EXPECT_TRUE(vkeys.IsKeyPress(kShot));
    for (int k : {7, 8, 9}) EXPECT_FALSE(vkeys.IsKeyPress(k)) << k;
    vkeys.ClearKeyAll();  // every assignment forgotten
    vkeys.Input();
    EXPECT_FALSE(vkeys.IsKeyPress(kShot));
    vkeys.AddKey(kShot, 0, 0x2C);
    vkeys.Input();
    ASSERT_TRUE(vkeys.IsKeyPress(kShot));

    // Keys outlive their devices; with none left nothing is pressed.
    vkeys.ClearDevice();
    EXPECT_EQ(vkeys.Input(), 0);
    EXPECT_FALSE(vkeys.IsKeyPress(kShot));
    vkeys.AddDevice(vtl::smart_ptr<in::IKeyBase>());  // an empty device is a programming error
    EXPECT_THROW(vkeys.Input(), vtl::CNullPointerException);
}

// The answer combines the devices' failures.
TEST_F(VirtualKeyTest, AnswersTheDevicesFailuresCombined) {
    board->answer = 1;
    pad->answer = 2;
    EXPECT_EQ(vkeys.Input(), 3);
}

class InputJoyStickSdl : public ::testing::Test {
protected:
    void TearDown() override {
        mp::CloseJoysticks();
        SDL_Quit();
    }
};

// A missing pad leaves a device that is not ready, with its default button count; the null
// device is ready and never pressed, whatever its button count is set to.
TEST_F(InputJoyStickSdl, MissingPadAndNullDevice) {
    in::CJoyStick joy;
    EXPECT_EQ(joy.SelectDevice(1000), 1);
    EXPECT_FALSE(joy.IsReady());
    EXPECT_EQ(joy.Input(), in::CWIN32JoyStick::kInputNotReady);
    EXPECT_FALSE(joy.IsKeyPress(in::IJoyStick::kStateUp));
    EXPECT_EQ(joy.GetButtonCount(), in::CWIN32JoyStick::kDefaultButtonCount);
    EXPECT_EQ(joy.SelectDevice(-1), 1);
    EXPECT_TRUE(joy.IsReady());
    EXPECT_EQ(joy.Input(), 0);
    EXPECT_EQ(joy.SetButtonCount(8), 0);
    EXPECT_EQ(joy.GetButtonCount(), 0);
    for (int k = 0; k < in::IKeyBase::kKeyCount; ++k) EXPECT_FALSE(joy.IsKeyPress(k) || joy.IsKeyPush(k)) << k;
}

}  // namespace
