// The title screen of the game on the data set, headless: its frame 120 (the menu open, the
// head-up display slid in, the hero standing) written as a BMP into the build folder and read
// back pixel by pixel, and the title music as the mixer plays it, pulled frame by frame into a
// WAV file beside it for a person to listen to.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/game/e2e/game_driver.h"
#include "tools/wave/wave_writer.h"

namespace morna::e2e {
namespace {

constexpr uint32_t kFramesPerGameFrame = platform::kOutputRate / 60;

TEST(TitleScreen, FrameOneHundredTwentyAndItsMusic) {
    GameDriver run(1, true);
    std::vector<int16_t> sound;
    const auto frame = [&] {
        run.Frame(0);
        const size_t at = sound.size();
        sound.resize(at + 2 * kFramesPerGameFrame);
        platform::RenderSoundOutput(sound.data() + at, kFramesPerGameFrame);
    };
    for (int f = 0; f <= 120; ++f) frame();
    ASSERT_EQ(run.Game().scene, Scene::kTitle);
    EXPECT_TRUE(run.SaveScreen("e2e_title.bmp"));

    // The menu box, 224 x 176 at (208, 256): its outline one pixel inside on all four sides,
    // the pixel ring outside it left clear.
    constexpr int kLeft = 208, kTop = 256, kRight = kLeft + 224, kBottom = kTop + 176;
    const uint32_t outline = run.Pixel(kLeft + 1, kTop + 100);
    EXPECT_NE(outline, 0u);
    for (int y = kTop + 8; y < kBottom - 8; ++y) {
        ASSERT_EQ(run.Pixel(kLeft + 1, y), outline) << y;
        ASSERT_EQ(run.Pixel(kRight - 2, y), outline) << y;
        ASSERT_EQ(run.Pixel(kLeft, y), 0u) << y;
        ASSERT_EQ(run.Pixel(kRight - 1, y), 0u) << y;
    }
    for (int x = kLeft + 8; x < kRight - 8; ++x) {
        ASSERT_EQ(run.Pixel(x, kTop + 1), outline) << x;
        ASSERT_EQ(run.Pixel(x, kBottom - 2), outline) << x;
        ASSERT_EQ(run.Pixel(x, kTop), 0u) << x;
        ASSERT_EQ(run.Pixel(x, kBottom - 1), 0u) << x;
    }
    // Five rows of 32 pixels from y 264: light text pixels on each, the cursor's cyan bar on
    // the first only.
    const auto channels = [](uint32_t c) { return std::array<uint32_t, 3>{c >> 16 & 255, c >> 8 & 255, c & 255}; };
    for (int row = 0; row < 5; ++row) {
        int text = 0, bar = 0;
        for (int y = 264 + row * 32; y < 264 + (row + 1) * 32; ++y) {
            for (int x = kLeft + 16; x < kRight - 16; ++x) {
                const auto [r, g, b] = channels(run.Pixel(x, y));
                text += r > 0xC0 && g > 0xC0 && b > 0xC0;
                bar += r < 0x60 && g > 0xA0 && b > 0xA0;
            }
        }
        EXPECT_GT(text, 100) << "text on row " << row;
        if (row == 0) {
            EXPECT_GT(bar, 200) << "the cursor's bar";
        } else {
            EXPECT_EQ(bar, 0) << "the cursor's bar on row " << row;
        }
    }
    // The head-up display slid in: the life bar's green across the top left.
    EXPECT_EQ(run.Game().screenFx.hudOffset, 0);
    for (int x = 50; x < 140; x += 10) {
        const auto [r, g, b] = channels(run.Pixel(x, 22));
        EXPECT_TRUE(g > 0x80 && g > r && g > b) << x;
    }
    // The hero, drawn where it stands.
    const int heroX = static_cast<int>(run.Game().player->x), heroY = static_cast<int>(run.Game().player->y);
    int hero = 0;
    for (int y = heroY - 24; y < heroY + 24; ++y)
        for (int x = heroX - 24; x < heroX + 24; ++x) hero += run.Pixel(x, y) != 0;
    EXPECT_GT(hero, 300);

    for (int f = 121; f < 420; ++f) frame();
    // The music: after its fade-in, loud and not a single tone.
    double energy = 0;
    int crossings = 0;
    const size_t from = 2 * kFramesPerGameFrame * 60;  // from the second second
    for (size_t i = from; i + 2 < sound.size(); i += 2) {
        energy += double(sound[i]) * sound[i];
        crossings += (sound[i] < 0) != (sound[i + 2] < 0);
    }
    const double rms = std::sqrt(energy / double((sound.size() - from) / 2));
    EXPECT_GT(rms, 500.0);
    EXPECT_GT(crossings, 1000);
    tools::Bytes bytes(reinterpret_cast<const uint8_t*>(sound.data()),
                       reinterpret_cast<const uint8_t*>(sound.data() + sound.size()));
    EXPECT_TRUE(tools::SaveBytes(std::string(MORNA_BUILD_DIR) + "/e2e_title_music.wav",
                                 tools::PcmWaveFileBytes(2, platform::kOutputRate, 16, bytes)));
}

}  // namespace
}  // namespace morna::e2e
