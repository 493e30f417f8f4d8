// Display formats in a window and in full screen, and refused modes.
#include <gtest/gtest.h>

#include "platform/display_mode.h"

namespace mp = morna::platform;

namespace {

// SDL's dummy driver has a 32-bit desktop, as a depth-24 X server has.
TEST(DisplayMode, DesktopOfADepth24ServerIsXRGB8888) { EXPECT_EQ(mp::DesktopDisplayFormat(), 7); }

TEST(DisplayMode, FullScreenOffersSixteenAndThirtyTwoBits) {
    int32_t format = 0;
    EXPECT_TRUE(mp::SetFullScreenMode(640, 480, 16, &format));
    EXPECT_EQ(format, 3);
    EXPECT_TRUE(mp::SetFullScreenMode(640, 480, 32, &format));
    EXPECT_EQ(format, 7);
    format = 99;
    EXPECT_FALSE(mp::SetFullScreenMode(640, 480, 24, &format));
    EXPECT_FALSE(mp::SetFullScreenMode(0, 480, 16, &format));
    EXPECT_EQ(format, 99);
}

}  // namespace
