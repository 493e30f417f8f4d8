#include "platform/joystick.h"
#include "tests/common/virtual_pad.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

namespace mp = morna::platform;

namespace {

class JoystickTest : public ::testing::Test {
protected:
    void SetUp() override { before_ = mp::JoystickCount(); }  // starts SDL's joystick subsystem
    void TearDown() override {
        mp::CloseJoysticks();
        SDL_Quit();
    }
    uint32_t before_ = 0;
};

TEST_F(JoystickTest, BackgroundEventsAreOn) {
    ASSERT_NE(SDL_WasInit(SDL_INIT_JOYSTICK), 0u);
    EXPECT_TRUE(SDL_GetHintBoolean(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, SDL_FALSE));
    // Also when another part started the subsystem after SDL cleared the hints.
    SDL_Quit();
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
    EXPECT_EQ(mp::JoystickCount(), before_);
    EXPECT_TRUE(SDL_GetHintBoolean(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, SDL_FALSE));
}

TEST_F(JoystickTest, ReadsAxesAndButtonsOfAVirtualPad) {
    VirtualPad pad(2, 8);
    ASSERT_TRUE(pad.Ok()) << SDL_GetError();
    EXPECT_EQ(mp::JoystickCount(), before_ + 1);

    mp::JoystickCaps caps;
    ASSERT_TRUE(mp::GetJoystickCaps(pad.Id(), caps));
    EXPECT_EQ(caps.x_min, 0u);
    EXPECT_EQ(caps.x_max, 65535u);
    EXPECT_EQ(caps.y_min, 0u);
    EXPECT_EQ(caps.y_max, 65535u);
    EXPECT_EQ(caps.buttons, 8u);
    EXPECT_EQ(caps.axes, 2u);

    pad.Axis(0, -32768);
    pad.Axis(1, 32767);
    pad.Button(0, true);
    pad.Button(5, true);
    mp::JoystickPosition pos;
    ASSERT_TRUE(mp::GetJoystickPosition(pad.Id(), true, pos));
    EXPECT_EQ(pos.x, 0u);
    EXPECT_EQ(pos.y, 65535u);
    EXPECT_EQ(pos.buttons, 0x21u);
    // The short call knows four buttons only.
    ASSERT_TRUE(mp::GetJoystickPosition(pad.Id(), false, pos));
    EXPECT_EQ(pos.buttons, 0x01u);

    pad.Axis(0, 0);
    pad.Axis(1, -1);
    pad.Button(0, false);
    ASSERT_TRUE(mp::GetJoystickPosition(pad.Id(), true, pos));
    EXPECT_EQ(pos.x, 32768u);
    EXPECT_EQ(pos.y, 32767u);
    EXPECT_EQ(pos.buttons, 0x20u);
}

TEST_F(JoystickTest, AnUnpluggedPadFails) {
    VirtualPad pad(2, 4);
    ASSERT_TRUE(pad.Ok()) << SDL_GetError();
    const uint32_t id = pad.Id();
    mp::JoystickPosition pos;
    ASSERT_TRUE(mp::GetJoystickPosition(id, true, pos));
    pad.Detach();
    EXPECT_FALSE(mp::GetJoystickPosition(id, true, pos));
    mp::JoystickCaps caps;
    EXPECT_FALSE(mp::GetJoystickCaps(id, caps));
    EXPECT_FALSE(mp::GetJoystickCaps(0xFFFFFFFFu, caps));
    EXPECT_EQ(mp::JoystickCount(), before_);
}

TEST_F(JoystickTest, SurvivesSdlShuttingDown) {
    VirtualPad pad(2, 4);
    ASSERT_TRUE(pad.Ok()) << SDL_GetError();
    mp::JoystickPosition pos;
    ASSERT_TRUE(mp::GetJoystickPosition(pad.Id(), true, pos));
    pad.Detach();
    SDL_Quit();
    // The module starts the subsystem again and forgets the dead handles.
    EXPECT_EQ(mp::JoystickCount(), before_);
    VirtualPad again(2, 4);
    ASSERT_TRUE(again.Ok()) << SDL_GetError();
    EXPECT_TRUE(mp::GetJoystickPosition(again.Id(), true, pos));
}

}  // namespace
