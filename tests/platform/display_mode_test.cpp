// Display formats in a window and in full screen, and refused modes.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>


#include "platform/display_mode.h"

namespace mp = morna::platform;

namespace {

TEST(DisplayMode, DesktopFormatIsSdlsUnlessATestSelectsOne) {
    // SDL's dummy driver has a 32-bit desktop, as a depth-24 X server has.
    EXPECT_EQ(mp::DesktopDisplayFormat(), 7);
    for (int32_t code = 2; code <= 8; ++code) {
        ASSERT_TRUE(mp::SelectDesktopFormatForTests(code));
        EXPECT_EQ(mp::DesktopDisplayFormat(), code);
    }
    EXPECT_FALSE(mp::SelectDesktopFormatForTests(1));
    EXPECT_FALSE(mp::SelectDesktopFormatForTests(12));
    EXPECT_EQ(mp::DesktopDisplayFormat(), 8);  // a refused selection changed nothing
    ASSERT_TRUE(mp::SelectDesktopFormatForTests(0));
    EXPECT_EQ(mp::DesktopDisplayFormat(), 7);
}

TEST(DisplayMode, SdlFormatsMapOntoDisplayCodesWithTheNamesCrossed) {
    // SDL's RGB888 is 32-bit; its RGB24 is our BGR888 and the other way round.
    const uint32_t sdl[] = {SDL_PIXELFORMAT_RGB444, SDL_PIXELFORMAT_INDEX8, SDL_PIXELFORMAT_RGB565,
                            SDL_PIXELFORMAT_RGB555, SDL_PIXELFORMAT_BGR24,  SDL_PIXELFORMAT_RGB24,
                            SDL_PIXELFORMAT_RGB888, SDL_PIXELFORMAT_BGR888};
    for (int32_t code = 1; code <= 8; ++code) EXPECT_EQ(mp::DisplayFormatOfSdl(sdl[code - 1]), code);
}

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

TEST(DisplayMode, InjectedRefusalsRefuseThatManyRequests) {
    mp::InjectDisplayModeRefusals(2);
    int32_t format = 0;
    EXPECT_FALSE(mp::SetFullScreenMode(640, 480, 16, &format));
    EXPECT_FALSE(mp::SetFullScreenMode(640, 480, 16, &format));
    EXPECT_TRUE(mp::SetFullScreenMode(640, 480, 16, &format));
}

}  // namespace
