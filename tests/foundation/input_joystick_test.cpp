#include "foundation/input/joystick.h"
#include "platform/joystick.h"
#include "tests/common/virtual_pad.h"

#include <gtest/gtest.h>

namespace in = tovarineGameSDK3rd::Input;
namespace mp = morna::platform;

namespace {

// CWIN32JoyStick over a virtual pad, through SDL's real joystick path.
class Win32JoyStickTest : public ::testing::Test {
protected:
    void SetUp() override {
        mp::JoystickCount();  // starts SDL's joystick subsystem
        pad_ = std::make_unique<VirtualPad>(2, 8);
        ASSERT_TRUE(pad_->Ok()) << SDL_GetError();
    }
    void TearDown() override {
        pad_.reset();
        mp::CloseJoysticks();
        SDL_Quit();
    }
    // Sets the axes as the platform reports them, 0..65535.
    void Stick(uint32_t x, uint32_t y) {
        pad_->Axis(0, static_cast<int16_t>(static_cast<int32_t>(x) - 32768));
        pad_->Axis(1, static_cast<int16_t>(static_cast<int32_t>(y) - 32768));
    }
    std::unique_ptr<VirtualPad> pad_;
};

TEST_F(Win32JoyStickTest, AxesTurnIntoDirectionsAtOneAndTwoThirds) {
    in::CWIN32JoyStick joy;
    ASSERT_EQ(joy.SelectDevice(static_cast<int32_t>(pad_->Id())), in::CWIN32JoyStick::kSelectReady);
    ASSERT_TRUE(joy.IsReady());

    // Range 0..65535: low 21845, high 43690, both themselves still centred.
    struct Case {
        uint32_t x, y;
        bool up, down, left, right;
    };
    const Case cases[] = {
        {32767, 32767, false, false, false, false},
        {21845, 21845, false, false, false, false},
        {21844, 21844, true, false, true, false},
        {43690, 43690, false, false, false, false},
        {43691, 43691, false, true, false, true},
        {0, 65535, false, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        Stick(c.x, c.y);
        ASSERT_EQ(joy.Input(), 0);
        EXPECT_EQ(joy.IsKeyPress(in::IJoyStick::kStateUp), c.up);
        EXPECT_EQ(joy.IsKeyPress(in::IJoyStick::kStateDown), c.down);
        EXPECT_EQ(joy.IsKeyPress(in::IJoyStick::kStateLeft), c.left);
        EXPECT_EQ(joy.IsKeyPress(in::IJoyStick::kStateRight), c.right);
    }
}

TEST_F(Win32JoyStickTest, ButtonsFollowTheButtonCount) {
    in::CWIN32JoyStick joy;
    ASSERT_EQ(joy.SelectDevice(static_cast<int32_t>(pad_->Id())), 0);
    pad_->Button(0, true);
    pad_->Button(5, true);
    pad_->Button(7, true);
    ASSERT_EQ(joy.Input(), 0);  // six buttons by default
    EXPECT_TRUE(joy.IsKeyPush(in::IJoyStick::kStateFirstButton + 0));
    EXPECT_TRUE(joy.IsKeyPush(in::IJoyStick::kStateFirstButton + 5));
    EXPECT_FALSE(joy.IsKeyPress(in::IJoyStick::kStateFirstButton + 7));
    ASSERT_EQ(joy.Input(), 0);
    EXPECT_TRUE(joy.IsKeyPress(in::IJoyStick::kStateFirstButton + 5));
    EXPECT_FALSE(joy.IsKeyPush(in::IJoyStick::kStateFirstButton + 5));

    // Four buttons or fewer go through the short call, which reports four.
    EXPECT_EQ(joy.SetButtonCount(4), 0);
    ASSERT_EQ(joy.Input(), 0);
    EXPECT_TRUE(joy.IsKeyPush(in::IJoyStick::kStateFirstButton + 0));  // reset: pushed anew
    EXPECT_FALSE(joy.IsKeyPress(in::IJoyStick::kStateFirstButton + 5));

    // Counts are bounded by the states there are; past the mask's 32 nothing is pressed.
    joy.SetButtonCount(100000);
    EXPECT_EQ(joy.GetButtonCount(), in::IJoyStick::kMaxButtons);
    ASSERT_EQ(joy.Input(), 0);
    EXPECT_TRUE(joy.IsKeyPress(in::IJoyStick::kStateFirstButton + 7));
    EXPECT_FALSE(joy.IsKeyPress(in::IKeyBase::kKeyCount - 1));
    joy.SetButtonCount(-5);
    EXPECT_EQ(joy.GetButtonCount(), 0);
    ASSERT_EQ(joy.Input(), 0);
    EXPECT_FALSE(joy.IsKeyPress(in::IJoyStick::kStateFirstButton + 0));
}

TEST_F(Win32JoyStickTest, AFailedPollReadsAsAllReleased) {
    in::CWIN32JoyStick joy;
    ASSERT_EQ(joy.SelectDevice(static_cast<int32_t>(pad_->Id())), 0);
    pad_->Button(1, true);
    Stick(0, 32767);
    ASSERT_EQ(joy.Input(), 0);  // this array comes round again two polls on
    pad_->Button(1, false);
    Stick(32767, 32767);
    ASSERT_EQ(joy.Input(), 0);
    pad_->Detach();
    EXPECT_EQ(joy.Input(), in::CWIN32JoyStick::kInputPollFailed);
    EXPECT_FALSE(joy.IsKeyPress(in::IJoyStick::kStateFirstButton + 1));
    EXPECT_FALSE(joy.IsKeyPush(in::IJoyStick::kStateFirstButton + 1));
    EXPECT_FALSE(joy.IsKeyPress(in::IJoyStick::kStateLeft));
}

TEST_F(Win32JoyStickTest, FrontSelectsThePadAndReadsIt) {
    in::CJoyStick joy;
    ASSERT_EQ(joy.SelectDevice(static_cast<int32_t>(pad_->Id())), 0);
    EXPECT_TRUE(joy.IsReady());
    pad_->Button(2, true);
    ASSERT_EQ(joy.Input(), 0);
    EXPECT_TRUE(joy.IsKeyPush(in::IJoyStick::kStateFirstButton + 2));
    EXPECT_EQ(joy.GetKeyBuffer()[in::IJoyStick::kStateFirstButton + 2], 1);
    // ResetKey reaches the device: the held button is pushed again.
    ASSERT_EQ(joy.Input(), 0);
    joy.ResetKey();
    ASSERT_EQ(joy.Input(), 0);
    EXPECT_TRUE(joy.IsKeyPush(in::IJoyStick::kStateFirstButton + 2));
    EXPECT_EQ(joy.GetDevice()->GetButtonCount(), in::CWIN32JoyStick::kDefaultButtonCount);

    // An unplugged pad cannot be selected again; the device waits, not ready.
    const int32_t id = static_cast<int32_t>(pad_->Id());
    pad_->Detach();
    EXPECT_EQ(joy.SelectDevice(id), 1);
    EXPECT_FALSE(joy.IsReady());
    EXPECT_EQ(joy.Input(), in::CWIN32JoyStick::kInputNotReady);
}

}  // namespace
