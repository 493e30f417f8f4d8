#include <gtest/gtest.h>

#include <cstring>

#include "sound/sound.h"
#include "sound/sound_stream.h"

using namespace tovarineGameSDK3rd::Multimedia;

TEST(SoundTime, SplitsAndJoinsAndRefusesNegatives) {
    CSoundNullDevice s;
    int32_t h = 0, m = 0, sec = 0, ms = 0, t = 7;
    ASSERT_EQ(s.MsecToHMS(3723004, h, m, sec, ms), 0);
    EXPECT_EQ((std::vector<int32_t>{h, m, sec, ms}), (std::vector<int32_t>{1, 2, 3, 4}));
    ASSERT_EQ(s.HMSToMsec(t, h, m, sec, ms), 0);
    EXPECT_EQ(t, 3723004);
    ASSERT_EQ(s.HMSToMsec(t, 0, 59, 75, 0), 0);
    EXPECT_EQ(t, 3615000);

    t = 7;
    h = m = sec = ms = 9;
    EXPECT_EQ(s.MsecToHMS(-1, h, m, sec, ms), -1);
    for (const auto& a : std::vector<std::vector<int32_t>>{{-1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, -1}}) {
        EXPECT_EQ(s.HMSToMsec(t, a[0], a[1], a[2], a[3]), -1);
    }
    EXPECT_EQ((std::vector<int32_t>{t, h, m, sec, ms}), (std::vector<int32_t>{7, 9, 9, 9, 9}));
}

TEST(SoundNull, DeviceAndStreamAnswerAsSilence) {
    CSoundNullDevice d;
    EXPECT_EQ(d.SetLoopPlay(true), 0);
    EXPECT_TRUE(d.IsLoopPlay());
    EXPECT_EQ(d.SetVolume(0), -1);
    EXPECT_EQ(d.GetVolume(), -10000);
    EXPECT_EQ(d.GetType(), 0);
    EXPECT_EQ(d.GetLength(), -1);

    CNullSoundStream n;
    uint8_t buffer[16];
    std::memset(buffer, 0x5A, sizeof buffer);
    EXPECT_EQ(n.Read(buffer, sizeof buffer), 0u);
    EXPECT_EQ(buffer[0], 0x5A);
    EXPECT_EQ(buffer[15], 0x5A);
    EXPECT_EQ(n.GetFormat(), nullptr);
}
